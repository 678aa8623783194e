#include "choosing/key_choosing.h"

#include <algorithm>
#include <cstdio>

#include "bindings/key_bindings.h"
#include "keys/own_inputs.h"
#include "keys/virtual_keys.h"

namespace {

ChoosingState state;

constexpr VirtualKeyCode leftMouse = 1, rightMouse = 2, backspaceKey = 8, enterKey = 13,
                         escapeKey = 27;

// Asks for every key and notes which are down: the first that went down since
// the last look, or 0.
VirtualKeyCode firstKeyPressed(bool& arrowPressed) {
    if (!keyboardState().gameHasFocus) {
        state.keysHeld.fill(~0u);
        return 0;
    }
    VirtualKeyCode first = 0;
    for (VirtualKeyCode key = 1; key < choosingCodesBelow; ++key) {
        const bool down = keyDown(key);
        if (down && !heldWhileChoosing(key)) {
            first = first == 0 ? key : first;
            arrowPressed = arrowPressed || key == toggleArrowKey;
        }
        std::uint32_t& word = state.keysHeld[static_cast<std::size_t>(key / 32)];
        const std::uint32_t bit = 1u << (key % 32);
        word = down ? word | bit : word & ~bit;
    }
    return first;
}

VirtualKeyCode keyInUse(std::size_t step) {
    return bindingsState().keys.*bindingFields[choosableFields[step]].member;
}

Refusal refusalOf(VirtualKeyCode key) {
    if (key == 0) {
        return Refusal::NothingToKeep;
    }
    if (key == accelerateKey || key == brakeKey || key == toggleArrowKey) {
        return Refusal::GearboxKey;
    }
    if (key == enterKey || key == backspaceKey) {
        return Refusal::SteersChoosing;
    }
    if (key == escapeKey || key == leftMouse || key == rightMouse) {
        return Refusal::GameKey;
    }
    if (key == bindingsState().keys.bindKey) {
        return Refusal::BindKey;
    }
    const auto chosen = state.chosen.begin() + state.step;
    return std::find(state.chosen.begin(), chosen, key) != chosen ? Refusal::AlreadyChosen
                                                                  : Refusal::None;
}

// The key's name; its code for one without a name, "none" for 0.
const char* shownKey(VirtualKeyCode key, std::array<char, 12>& number) {
    if (key == 0) {
        return "none";
    }
    if (const char* name = virtualKeyName(key)) {
        return name;
    }
    std::snprintf(number.data(), number.size(), "%d", key);
    return number.data();
}

std::string_view fieldText(std::size_t step) {
    return bindingFields[choosableFields[step]].keyText;
}

void writeLine(PromptLine& line) {
    std::array<char, 12> number{};
    const std::string_view field = fieldText(state.step);
    const int fieldLength = static_cast<int>(field.size());
    const char* key = shownKey(state.refusedKey, number);
    char reason[64];
    switch (state.refusal) {
    case Refusal::None:
        std::snprintf(line.data(), line.size(),
                      "Press the key for %.*s (now %s). Enter keeps it, Backspace cancels.",
                      fieldLength, field.data(), shownKey(keyInUse(state.step), number));
        return;
    case Refusal::GearboxKey:
        std::snprintf(reason, sizeof reason, "%s is the gearbox's own", key);
        break;
    case Refusal::SteersChoosing:
        std::snprintf(reason, sizeof reason, "%s steers the choosing", key);
        break;
    case Refusal::GameKey:
        std::snprintf(reason, sizeof reason, "%s stays the game's", key);
        break;
    case Refusal::BindKey:
        std::snprintf(reason, sizeof reason, "%s is the Bind key", key);
        break;
    case Refusal::AlreadyChosen: {
        // The field asked for stands in for one a restored state may lack.
        const auto chosen = state.chosen.begin() + state.step;
        const std::string_view other = fieldText(static_cast<std::size_t>(
            std::find(state.chosen.begin(), chosen, state.refusedKey) - state.chosen.begin()));
        std::snprintf(reason, sizeof reason, "%s is already %.*s", key,
                      static_cast<int>(other.size()), other.data());
        break;
    }
    case Refusal::NothingToKeep:
        std::snprintf(reason, sizeof reason, "%.*s has no key to keep", fieldLength, field.data());
        break;
    }
    const int length = std::snprintf(line.data(), line.size(), "%s", reason);
    std::snprintf(line.data() + length, line.size() - static_cast<std::size_t>(length),
                  ". Press another key for %.*s, Backspace cancels.", fieldLength, field.data());
}

constexpr char chosenKeyName[] = "chosenKey";
constexpr char keysHeldName[] = "keysHeld";

} // namespace

const ChoosingState& choosingState() {
    return state;
}

std::span<const StateField> choosingStateFields() {
    static constexpr auto fields = joinedFields(
        std::to_array(
            {flagField<state, &ChoosingState::choosing>("choosing"),
             choiceField<state, &ChoosingState::step>("choosingStep", choosableFieldCount - 1)}),
        elementFields<state, &ChoosingState::chosen, chosenKeyName>(),
        std::to_array({numberField<state, &ChoosingState::refusedKey>("refusedKey"),
                       choiceField<state, &ChoosingState::refusal>("refusal", int(lastRefusal))}),
        elementFields<state, &ChoosingState::keysHeld, keysHeldName>());
    return fields;
}

void startChoosingKeys() {
    state = ChoosingState{.choosing = true};
    state.keysHeld.fill(~0u);
}

ChoosingPass chooseKeysPass() {
    ChoosingPass pass;
    const VirtualKeyCode pressed = firstKeyPressed(pass.toggleArrowPressed);
    if (pressed == backspaceKey) {
        state.choosing = false;
        pass.end = ChoosingPass::End::Cancelled;
        return pass;
    }
    if (pressed != 0) {
        const VirtualKeyCode key = pressed == enterKey ? keyInUse(state.step) : pressed;
        state.refusal = refusalOf(key);
        state.refusedKey = state.refusal == Refusal::None ? 0 : key;
        if (state.refusal == Refusal::None) {
            state.chosen[state.step] = key;
            state.step =
                static_cast<std::uint8_t>(nextNeededChoosable(bindingsState().keys, state.step));
        }
    }
    if (state.step == choosableFieldCount) {
        state.choosing = false;
        state.step = 0;
        pass.end = ChoosingPass::End::Chosen;
        return pass;
    }
    writeLine(pass.line);
    return pass;
}

void stopChoosingKeys() {
    state = ChoosingState{};
}

bool heldWhileChoosing(VirtualKeyCode key) {
    return key > 0 && key < choosingCodesBelow &&
           ((state.keysHeld[static_cast<std::size_t>(key / 32)] >> (key % 32)) & 1u) != 0;
}
