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

// How far an axis goes from rest, of the 256 steps of its top byte: touched,
// the steering turned, a pedal pressed. An awaited axis counts again once
// closer to rest than a touch.
constexpr int touchTravel = 32, steeringTravel = 64, pedalTravel = 128;
// The steering rests in the middle half of its axis, a pedal near an end.
constexpr int centredFrom = 64, centredBelow = 192;

// What the wheel did in a pass: the first button newly down, and the axis
// pressed furthest from rest, with the way it went, and how far.
struct WheelLook {
    ChosenPart button;
    ChosenPart axis;
    int travelled = 0;
};

// Looks at every controller found, noting each button down, each axis's rest
// and the awaited axes back near it. One that can't be read (without the
// focus, none can) counts for nothing, and as it comes back its buttons held
// and its axes pressed count only once let go. On the steering's step, only
// an axis that rests centred counts.
WheelLook lookAtWheel(bool steering) {
    const std::span<const GameController> found = foundControllers();
    const bool focus = keyboardState().gameHasFocus;
    WheelLook look;
    for (std::size_t place = 0; place < found.size(); ++place) {
        const GameController& controller = found[place];
        const auto at = static_cast<std::uint8_t>(place);
        const bool readable = focus && controller.opened && !controller.released;
        for (int button = 1; button <= controllerButtonCount; ++button) {
            const std::size_t bit = buttonHeldBit(place, button);
            const bool down = buttonDown(controller.input, button);
            if (readable && down && !state.buttonsHeld[bit] && look.button.part == 0) {
                look.button = {at, button};
            }
            state.buttonsHeld[bit] = !readable || down;
        }
        const bool started = state.axesStarted[place];
        state.axesStarted[place] = started || readable;
        for (std::size_t axis = 0; axis < controllerAxisCount; ++axis) {
            const std::size_t slot = axisSlot(place, axis);
            const int now = controller.input.axes[axis] >> 8;
            const int travelled = now - state.axesAtStart[slot];
            if (!readable) {
                state.axesAwaited.set(slot);
                continue;
            }
            if (!started) {
                state.axesAtStart[slot] = static_cast<std::uint8_t>(now);
                continue;
            }
            if (state.axesAwaited[slot]) {
                state.axesAwaited[slot] = std::abs(travelled) >= touchTravel;
                continue;
            }
            const int rest = state.axesAtStart[slot];
            if ((!steering || (rest >= centredFrom && rest < centredBelow)) &&
                std::abs(travelled) > look.travelled) {
                look.travelled = std::abs(travelled);
                look.axis = {at, axisPart(axis, travelled < 0)};
            }
        }
    }
    return look;
}

// An axis that went as far as asked ends a step: it counts for nothing
// until let go, so that it ends no other.
bool axisMoved(const WheelLook& look, int asked) {
    if (look.travelled < asked) {
        return false;
    }
    state.axesAwaited.set(axisSlot(look.axis.place, partAxis(look.axis.part)));
    return true;
}

// Whether a game controller attached can be read: choosing then asks which
// device the player touches first.
bool wheelAttached() {
    return std::ranges::any_of(foundControllers(), &GameController::opened);
}

// The step after this one that the box in use needs, or choosingSteps. The
// keys' steps end with the keys: a player who touched the keyboard first
// chose it, and a pad attached asks for nothing.
std::size_t nextStep(std::size_t step) {
    const KeyBindings& keys = bindingsState().keys;
    if (!wheelStep(step)) {
        step = nextNeededChoosable(keys, step);
        return step < choosableFieldCount ? step : choosingSteps;
    }
    const auto& box = boxOf(keys);
    auto order = std::ranges::find(wheelStepOrder, step - choosableFieldCount);
    while (++order != wheelStepOrder.end()) {
        const GearSpec* gear = gearAskedFor(choosableFieldCount + *order);
        if (gear == nullptr || box.gears[static_cast<std::size_t>(gear - gearTable)].inBox) {
            return choosableFieldCount + *order;
        }
    }
    return choosingSteps;
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

// A part another of the wheel's fields has.
Refusal refusalOfPart(ChosenPart part) {
    return placeHolding(state, part) < wheelChoosableCount ? Refusal::AlreadyChosen : Refusal::None;
}

constexpr char chosenKeyName[] = "chosenKey";
constexpr char chosenPartName[] = "chosenPart";
constexpr char keysHeldName[] = "keysHeld";
constexpr char buttonsHeldName[] = "buttonsHeld";
constexpr char axesAtStartName[] = "axesAtStart";
constexpr char axesAwaitedName[] = "axesAwaited";

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
        std::to_array({numberField<state, &ChoosingState::axesStarted>("axesStarted"),
                       flagField<state, &ChoosingState::askingDevice>("askingDevice")}),
        wordFields<state, &ChoosingState::axesAwaited, axesAwaitedName>());
    return fields;
}

void startChoosingKeys() {
    state = ChoosingState{.choosing = true};
    state.keysHeld.set();
    state.buttonsHeld.set();
    findEveryController();
    state.askingDevice = wheelAttached();
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

// The first step, with a game controller attached: a key starts the keys'
// steps, but for the mouse's buttons and the right arrow, which are the
// game's and the gearbox's own; the wheel touched starts its own.
void deviceStep(VirtualKeyCode pressed, const WheelLook& look) {
    if (pressed != 0 && pressed != leftMouse && pressed != rightMouse &&
        pressed != toggleArrowKey) {
        state.askingDevice = false;
    } else if (look.travelled >= touchTravel || look.button.part != 0) {
        state.askingDevice = false;
        state.step = static_cast<std::uint8_t>(choosableFieldCount + wheelStepOrder.front());
    }
}

// On a wheel's step, the part asked for is taken, unless another field has
// it. The other kind (a button where an axis is asked for, a pedal where a
// button is) keeps the part in use, as Enter does, so that the wheel alone
// goes through every step; a key is refused.
void partStep(VirtualKeyCode pressed, const WheelLook& look) {
    const std::size_t place = state.step - choosableFieldCount;
    if (pressed != 0 && pressed != enterKey) {
        state.refusal = Refusal::NotTheWheel;
        state.refusedKey = pressed;
        state.refusedPart = {};
        return;
    }
    const bool axis = axisAsked(state.step);
    const bool moved = axisMoved(look, steeringAsked(state.step) ? steeringTravel : pedalTravel);
    const ChosenPart picked = axis ? (moved ? look.axis : ChosenPart{}) : look.button;
    const bool kept = pressed == enterKey || (axis ? look.button.part != 0 : moved);
    if (picked.part == 0 && !kept) {
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
    const bool wheel = !state.askingDevice && wheelStep(state.step);
    const WheelLook look = lookAtWheel(wheel && steeringAsked(state.step));
    if (pressed == backspaceKey) {
        state.choosing = false;
        pass.end = ChoosingPass::End::Cancelled;
        return pass;
    }
    if (state.askingDevice) {
        deviceStep(pressed, look);
    } else if (wheel) {
        partStep(pressed, look);
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
