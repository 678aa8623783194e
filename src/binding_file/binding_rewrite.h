// The key-binding file's text with the clutch and gear keys chosen in the
// game written into it, and the check that it reads as chosen. Text only: the
// files are written elsewhere.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "binding_file/gear_access.h"

// A key for each of choosableFields, in its order; 0 for a field not asked
// for, a gear's the box lacks, which stays as it is.
using ChosenKeys = std::array<VirtualKeyCode, choosableFieldCount>;
// A game controller's part for each of wheelChoosableFields, in its order;
// unbound (part 0) for a field that stays as it is.
using ChosenInputs = std::array<ControllerBinding, wheelChoosableCount>;

// "KeyText=value" for the field as the bindings hold it: a number, or a
// controller's id and part ("Gate1=046D:C24F Button13").
std::string fieldLine(const BindingField& field, const KeyBindings& bindings);

struct ChosenText {
    std::string text;
    // What the text must read as.
    KeyBindings bindings{};
};

// The file's new text with the chosen keys and controllers' parts, from its
// old text. In the old text, the first line that selects each chosen field is
// replaced by its fieldLine, keeping that line's end, and its later lines dropped, since
// they would override it; a field without a line gets one at the end of the
// text the reader reads, before a Ctrl-Z, with the text's first line end (CRLF
// when it has none). Every other byte stays, in its place, and the text reads
// as the old one but for the chosen keys. With no old text to keep lines from
// (no file, or a UTF-16 one, which binds nothing), the text has a line for
// each binding in use that isn't 0, the chosen keys among them, so that every
// key works after as before. An old text is one the reader reads: at most
// bindingFileBytesAtMost bytes.
ChosenText chosenBindingText(std::optional<std::string_view> oldText, const KeyBindings& inUse,
                             const ChosenKeys& keys, const ChosenInputs& inputs = {});

// Whether the text, read with the one reader, gives exactly these bindings.
bool readsAs(std::string_view text, const KeyBindings& bindings);
