// The key-binding file's text with the clutch and gear keys chosen in the
// game written into it, and the check that it reads as chosen. Text only: the
// files are written elsewhere.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "binding_file/gear_access.h"

// A key for each of choosableFields, in its order.
using ChosenKeys = std::array<VirtualKeyCode, choosableFieldCount>;

// The text with the first line that selects each chosen field replaced by
// "KeyText=code", keeping that line's end, and its later lines dropped, since
// they would override it; a field without a line gets one at the end of the
// text the reader reads, before a Ctrl-Z, with the text's first line end (CRLF
// when it has none). Every other byte stays, in its place. A UTF-16 text,
// which binds nothing, gives way to the chosen lines alone. For a text the
// reader reads: at most bindingFileBytesAtMost bytes.
std::string rewrittenBindingText(std::string_view text, const ChosenKeys& keys);

// Whether the new text, read with the one reader, gives the chosen keys and
// every other field as the old text gives it.
bool readsAsChosen(std::string_view oldText, std::string_view newText, const ChosenKeys& keys);
