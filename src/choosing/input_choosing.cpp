#include "choosing/input_choosing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

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
        state.keysHeld.set();
        return 0;
    }
    VirtualKeyCode first = 0;
    for (VirtualKeyCode key = 1; key < choosingCodesBelow; ++key) {
        const bool down = keyDown(key);
        if (down && !heldWhileChoosing(key)) {
            first = first == 0 ? key : first;
            arrowPressed = arrowPressed || key == toggleArrowKey;
        }
        state.keysHeld[static_cast<std::size_t>(key)] = down;
    }
    return first;
}

VirtualKeyCode keyInUse(std::size_t step) {
    return bindingsState().keys.*bindingFields[choosableFields[step]].member;
}

// A part chosen, by its controller's id; none for one that names no part of
// a controller found.
ControllerBinding foundPart(ChosenPart chosen) {
    const std::span<const GameController> found = foundControllers();
    if (chosen.place >= found.size() || (!isButtonPart(chosen.part) && !isAxisPart(chosen.part))) {
        return {};
    }
    return {found[chosen.place].id, chosen.part};
}

// Looks at every controller found, noting each button down and, on the
// pedal's step, each axis as first read there; returns the first button newly
// down, or on the pedal's step, once an axis has travelled half its way, the
// one that travelled furthest, with the way it went; or none. Without the
// focus nothing counts, and every button counts as held.
ChosenPart wheelPicked(bool pedalStep) {
    const std::span<const GameController> found = foundControllers();
    const bool focus = keyboardState().gameHasFocus;
    ChosenPart picked;
    int furthest = 0;
    ChosenPart axisPicked;
    for (std::size_t place = 0; place < found.size(); ++place) {
        const GameController& controller = found[place];
        const bool readable = focus && controller.opened && !controller.released;
        const auto at = static_cast<std::uint8_t>(place);
        for (int button = 1; button <= controllerButtonCount; ++button) {
            const std::size_t bit = buttonHeldBit(place, button);
            const bool down = !readable || buttonDown(controller.input, button);
            if (down && !state.buttonsHeld[bit] && picked.part == 0) {
                picked = {at, button};
            }
            state.buttonsHeld[bit] = down;
        }
        if (!pedalStep || !readable) {
            state.axesStarted[place] = false;
            continue;
        }
        for (std::size_t axis = 0; axis < controllerAxisCount; ++axis) {
            std::uint8_t& start = state.axesAtStart[axisAtStartSlot(place, axis)];
            const auto now = static_cast<std::uint8_t>(controller.input.axes[axis] >> 8);
            if (!state.axesStarted[place]) {
                start = now;
                continue;
            }
            const int travelled = now - start;
            if (std::abs(travelled) > furthest) {
                furthest = std::abs(travelled);
                axisPicked = {at, axisPart(axis, travelled < 0)};
            }
        }
        state.axesStarted[place] = true;
    }
    constexpr int halfTravel = 128;
    return !pedalStep ? picked : furthest >= halfTravel ? axisPicked : ChosenPart{};
}

bool wheelStep(std::size_t step) {
    return step >= choosableFieldCount;
}

// Whether a game controller attached can be read: its steps follow the keys'.
bool wheelAttached() {
    return std::ranges::any_of(foundControllers(), &GameController::opened);
}

// The step after this one that the box in use needs, or choosingSteps.
std::size_t nextStep(std::size_t step) {
    const KeyBindings& keys = bindingsState().keys;
    if (!wheelStep(step)) {
        step = nextNeededChoosable(keys, step);
        return step < choosableFieldCount || wheelAttached() ? step : choosingSteps;
    }
    while (++step < choosingSteps && !boxOf(keys).gears[step - choosableFieldCount - 1].inBox) {
    }
    return step;
}

// The gear a wheel's step asks for, or none for the pedal's.
const GearSpec* gearAskedFor(std::size_t step) {
    const std::size_t place = step - choosableFieldCount;
    return place == 0 ? nullptr : &gearTable[place - 1];
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

// A part already chosen for the clutch or another gate.
Refusal refusalOfPart(ChosenPart part) {
    const auto chosen = state.chosenParts.begin() + (state.step - choosableFieldCount);
    return std::find(state.chosenParts.begin(), chosen, part) != chosen ? Refusal::AlreadyChosen
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

// What a wheel's step asks the player to do: "Press the clutch pedal down",
// "Put the stick in first gear".
std::string wheelAsk(std::size_t step) {
    const GearSpec* gear = gearAskedFor(step);
    if (gear == nullptr) {
        return "Press the clutch pedal down";
    }
    return std::string("Put the stick in ") + gear->name + (gear->reverse ? "" : " gear");
}

void writeWheelLine(PromptLine& line) {
    const std::size_t place = state.step - choosableFieldCount;
    const std::string ask = wheelAsk(state.step);
    if (state.refusal == Refusal::None) {
        const ControllerBinding& inUse =
            bindingsState().keys.*bindingFields[wheelChoosableFields[place]].input;
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

void writeLine(PromptLine& line) {
    if (wheelStep(state.step)) {
        writeWheelLine(line);
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
    case Refusal::NotTheWheel:
        std::snprintf(reason, sizeof reason, "%.*s has no key to keep", fieldLength, field.data());
        break;
    }
    const int length = std::snprintf(line.data(), line.size(), "%s", reason);
    std::snprintf(line.data() + length, line.size() - static_cast<std::size_t>(length),
                  ". Press another key for %.*s, Backspace cancels.", fieldLength, field.data());
}

constexpr char chosenKeyName[] = "chosenKey";
constexpr char chosenPartName[] = "chosenPart";
constexpr char keysHeldName[] = "keysHeld";
constexpr char buttonsHeldName[] = "buttonsHeld";
constexpr char axesAtStartName[] = "axesAtStart";

} // namespace

// A chosen part as a recording keeps it: its place times 256, and its part;
// 0 for none.
template <>
struct RecordedAs<ChosenPart> {
    static constexpr std::int32_t perPlace = 256;
    static std::int32_t number(ChosenPart chosen) {
        return chosen.part == 0 ? 0 : chosen.place * perPlace + chosen.part;
    }
    static ChosenPart value(std::int32_t number) {
        if (number <= 0 || number / perPlace >= std::int32_t{controllersAtMost}) {
            return {};
        }
        return {static_cast<std::uint8_t>(number / perPlace), number % perPlace};
    }
};

namespace {

// The key or part refused, as a recording keeps it, one number: the part's
// when one was refused. Restored, both take it, and the step says which is
// meant.
constexpr StateField refusedField = {
    "refusedKey",
    [] {
        return state.refusedPart.part != 0 ? RecordedAs<ChosenPart>::number(state.refusedPart)
                                           : state.refusedKey;
    },
    [](std::int32_t refused) {
        state.refusedKey = refused;
        state.refusedPart = RecordedAs<ChosenPart>::value(refused);
    },
    INT32_MIN, INT32_MAX};

} // namespace

const ChoosingState& choosingState() {
    return state;
}

std::span<const StateField> choosingStateFields() {
    static constexpr auto fields = joinedFields(
        std::to_array(
            {flagField<state, &ChoosingState::choosing>("choosing"),
             choiceField<state, &ChoosingState::step>("choosingStep", choosingSteps - 1)}),
        elementFields<state, &ChoosingState::chosen, chosenKeyName>(),
        elementFields<state, &ChoosingState::chosenParts, chosenPartName>(),
        std::to_array({refusedField,
                       choiceField<state, &ChoosingState::refusal>("refusal", int(lastRefusal))}),
        wordFields<state, &ChoosingState::keysHeld, keysHeldName>(),
        wordFields<state, &ChoosingState::buttonsHeld, buttonsHeldName>(),
        wordFields<state, &ChoosingState::axesAtStart, axesAtStartName>(),
        std::to_array({numberField<state, &ChoosingState::axesStarted>("axesStarted")}));
    return fields;
}

void startChoosingKeys() {
    state = ChoosingState{.choosing = true};
    state.keysHeld.set();
    state.buttonsHeld.set();
    findEveryController();
}

ChosenInputs chosenInputs() {
    ChosenInputs inputs;
    std::ranges::transform(state.chosenParts, inputs.begin(), foundPart);
    return inputs;
}

namespace {

// A key pressed on a key's step: taken, or refused.
void keyStep(VirtualKeyCode pressed) {
    const VirtualKeyCode key = pressed == enterKey ? keyInUse(state.step) : pressed;
    state.refusal = refusalOf(key);
    state.refusedKey = state.refusal == Refusal::None ? 0 : key;
    state.refusedPart = {};
    if (state.refusal == Refusal::None) {
        state.chosen[state.step] = key;
        state.step = static_cast<std::uint8_t>(nextStep(state.step));
    }
}

// On a wheel's step, Enter keeps the part in use; another key is refused; a
// part picked is taken, unless another gate has it.
void partStep(VirtualKeyCode pressed, ChosenPart picked) {
    const std::size_t place = state.step - choosableFieldCount;
    if (pressed != 0 && pressed != enterKey) {
        state.refusal = Refusal::NotTheWheel;
        state.refusedKey = pressed;
        state.refusedPart = {};
        return;
    }
    if (pressed == 0 && picked.part == 0) {
        return;
    }
    const ChosenPart part = pressed == enterKey ? ChosenPart{} : picked;
    state.refusal = part.part == 0 ? Refusal::None : refusalOfPart(part);
    state.refusedKey = 0;
    state.refusedPart = state.refusal == Refusal::None ? ChosenPart{} : part;
    if (state.refusal == Refusal::None) {
        state.chosenParts[place] = part;
        state.step = static_cast<std::uint8_t>(nextStep(state.step));
    }
}

} // namespace

ChoosingPass chooseKeysPass() {
    ChoosingPass pass;
    const VirtualKeyCode pressed = firstKeyPressed(pass.toggleArrowPressed);
    const bool wheel = wheelStep(state.step);
    const ChosenPart picked = wheelPicked(wheel && gearAskedFor(state.step) == nullptr);
    if (pressed == backspaceKey) {
        state.choosing = false;
        pass.end = ChoosingPass::End::Cancelled;
        return pass;
    }
    if (wheel) {
        partStep(pressed, picked);
    } else if (pressed != 0) {
        keyStep(pressed);
    }
    if (state.step == choosingSteps) {
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
    return key > 0 && key < choosingCodesBelow && state.keysHeld[static_cast<std::size_t>(key)];
}
