#include "choosing/input_choosing.h"

#include <algorithm>
#include <cstdlib>

#include "bindings/key_bindings.h"
#include "keys/own_inputs.h"

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
    writePromptLine(state, bindingsState().keys, pass.line);
    return pass;
}

void stopChoosingKeys() {
    state = ChoosingState{};
}

bool heldWhileChoosing(VirtualKeyCode key) {
    return key > 0 && key < choosingCodesBelow && state.keysHeld[static_cast<std::size_t>(key)];
}
