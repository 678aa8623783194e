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

// What a wheel's step asks the player to do, and what a part chosen for that
// field is called; a gate's are its gear's.
struct WheelAsk {
    std::string_view field;
    const char* ask;
    const char* name;
};
constexpr WheelAsk wheelAsks[] = {
    {"clutchPedal", "Press the clutch pedal down", "the clutch"},
    {"steeringAxis", "Turn the wheel right", "the steering"},
    {"throttlePedal", "Press the throttle pedal down", "the throttle"},
    {"brakePedal", "Press the brake pedal down", "the brake"},
    {"handbrakeButton", "Pull the handbrake", "the handbrake"},
    {"paddleUpButton", "Pull the shift-up paddle", "the up paddle"},
    {"paddleDownButton", "Pull the shift-down paddle", "the down paddle"},
};
static_assert(std::ranges::all_of(wheelChoosableFields,
                                  [](std::size_t field) {
                                      return bindingFields[field].kind == BindingKind::Gate ||
                                             std::ranges::count(wheelAsks,
                                                                bindingFields[field].fieldName,
                                                                &WheelAsk::field) == 1;
                                  }),
              "each of a wheel's lines but the gates has its words");

using WheelText = std::array<char, 40>;

// "Put the stick in first gear", "Turn the wheel right"; and its name.
const char* wheelAsk(std::size_t step, WheelText& ask) {
    if (const GearSpec* gear = gearAskedFor(step)) {
        std::snprintf(ask.data(), ask.size(), "Put the stick in %s%s", gear->name,
                      gear->reverse ? "" : " gear");
        return gear->name;
    }
    const std::string_view field = wheelFieldAsked(step).fieldName;
    const WheelAsk& asked =
        *std::ranges::find(wheelAsks, field, [](const WheelAsk& each) { return each.field; });
    std::snprintf(ask.data(), ask.size(), "%s", asked.ask);
    return asked.name;
}

// "046D:C24F Button13", or "none"; no longer than a short string, so that
// a pass allocates nothing.
const char* partText(const ControllerBinding& binding, WheelText& text) {
    if (binding.part == 0) {
        return "none";
    }
    std::snprintf(text.data(), text.size(), "%s %s", controllerIdText(binding.device).c_str(),
                  controllerPartText(binding.part).c_str());
    return text.data();
}

void writeWheelLine(const ChoosingState& state, const KeyBindings& keys, PromptLine& line) {
    const std::size_t place = state.step - choosableFieldCount;
    WheelText ask{};
    WheelText part{};
    wheelAsk(state.step, ask);
    if (state.refusal == Refusal::None) {
        const ControllerBinding& inUse = keys.*bindingFields[wheelChoosableFields[place]].input;
        std::snprintf(line.data(), line.size(), "%s (now %s). A %s keeps it, Backspace cancels.",
                      ask.data(), partText(inUse, part),
                      axisAsked(state.step) ? "button" : "pedal");
        return;
    }
    if (state.refusal == Refusal::AlreadyChosen) {
        // The field asked for stands in for one a restored state may lack.
        const std::size_t holding = placeHolding(state, state.refusedPart);
        const std::size_t other = holding < wheelChoosableCount ? holding : place;
        WheelText otherAsk{};
        const char* name = wheelAsk(choosableFieldCount + other, otherAsk);
        std::snprintf(line.data(), line.size(), "%s is already %s. %s, Backspace cancels.",
                      partText(foundPart(state.refusedPart), part), name, ask.data());
        return;
    }
    std::array<char, 12> number{};
    std::snprintf(line.data(), line.size(), "%s is a key. %s, Backspace cancels.",
                  shownKey(state.refusedKey, number), ask.data());
}

} // namespace

void writePromptLine(const ChoosingState& state, const KeyBindings& keys, PromptLine& line) {
    if (state.askingDevice) {
        std::snprintf(line.data(), line.size(),
                      "Touch the wheel or a pedal to set it up, or press a key to choose keys. "
                      "Backspace cancels.");
        return;
    }
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
