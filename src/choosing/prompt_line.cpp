#include "choosing/prompt_line.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "keys/virtual_keys.h"

namespace {

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

// What a wheel's step asks the player to do: "Press the clutch pedal down",
// "Put the stick in first gear".
std::string wheelAsk(std::size_t step) {
    const GearSpec* gear = gearAskedFor(step);
    if (gear == nullptr) {
        return "Press the clutch pedal down";
    }
    return std::string("Put the stick in ") + gear->name + (gear->reverse ? "" : " gear");
}

void writeWheelLine(const ChoosingState& state, const KeyBindings& keys, PromptLine& line) {
    const std::size_t place = state.step - choosableFieldCount;
    const std::string ask = wheelAsk(state.step);
    if (state.refusal == Refusal::None) {
        const ControllerBinding& inUse = keys.*bindingFields[wheelChoosableFields[place]].input;
        const std::string now = inUse.part == 0 ? "none" : controllerBindingText(inUse);
        std::snprintf(line.data(), line.size(), "%s (now %s). Enter keeps it, Backspace cancels.",
                      ask.c_str(), now.c_str());
        return;
    }
    std::string reason;
    if (state.refusal == Refusal::AlreadyChosen) {
        const auto chosen = state.chosenParts.begin() + static_cast<std::ptrdiff_t>(place);
        const auto other = std::find(state.chosenParts.begin(), chosen, state.refusedPart);
        const GearSpec* gear = gearAskedFor(
            choosableFieldCount + static_cast<std::size_t>(other - state.chosenParts.begin()));
        reason = controllerBindingText(foundPart(state.refusedPart)) + " is already " +
                 (gear == nullptr ? "the clutch" : gear->name);
    } else {
        std::array<char, 12> number{};
        reason = std::string(shownKey(state.refusedKey, number)) + " is a key";
    }
    std::snprintf(line.data(), line.size(), "%s. %s, Backspace cancels.", reason.c_str(),
                  ask.c_str());
}

} // namespace

void writePromptLine(const ChoosingState& state, const KeyBindings& keys, PromptLine& line) {
    if (wheelStep(state.step)) {
        writeWheelLine(state, keys, line);
        return;
    }
    std::array<char, 12> number{};
    const std::string_view field = fieldText(state.step);
    const int fieldLength = static_cast<int>(field.size());
    const char* key = shownKey(state.refusedKey, number);
    char reason[64];
    switch (state.refusal) {
    case Refusal::None:
        std::snprintf(line.data(), line.size(),
                      "Press the key for %.*s (now %s). Enter keeps it, Backspace cancels.",
                      fieldLength, field.data(),
                      shownKey(keys.*bindingFields[choosableFields[state.step]].member, number));
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
    case Refusal::NotTheWheel:
        std::snprintf(reason, sizeof reason, "%.*s has no key to keep", fieldLength, field.data());
        break;
    }
    const int length = std::snprintf(line.data(), line.size(), "%s", reason);
    std::snprintf(line.data() + length, line.size() - static_cast<std::size_t>(length),
                  ". Press another key for %.*s, Backspace cancels.", fieldLength, field.data());
}
