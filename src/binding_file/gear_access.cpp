#include "binding_file/gear_access.h"

#include <algorithm>

bool keyFieldNeeded(const KeyBindings& bindings, std::size_t field) {
    for (std::size_t gear = 0; gear < gearCount; ++gear) {
        if (gearKeyFields[gear] == field) {
            return boxOf(bindings).gears[gear].inBox;
        }
    }
    return field == clutchField;
}

std::size_t nextNeededChoosable(const KeyBindings& bindings, std::size_t place) {
    while (++place < choosableFieldCount && !keyFieldNeeded(bindings, choosableFields[place])) {
    }
    return place;
}

std::vector<std::size_t> unboundGearFields(const KeyBindings& bindings) {
    std::vector<std::size_t> unbound;
    for (std::size_t field = 0; field < bindingFields.size(); ++field) {
        if (keyFieldNeeded(bindings, field) && bindings.*bindingFields[field].member == 0) {
            unbound.push_back(field);
        }
    }
    return unbound;
}

std::vector<std::size_t> unboundGateFields(const KeyBindings& bindings) {
    std::vector<std::size_t> unbound;
    for (std::size_t gear = 0; gear < gearCount; ++gear) {
        if (boxOf(bindings).gears[gear].inBox &&
            (bindings.*bindingFields[gearGateFields[gear]].input).part == 0) {
            unbound.push_back(gearGateFields[gear]);
        }
    }
    std::ranges::sort(unbound);
    return unbound;
}

std::vector<std::size_t> unreachedGearFields(const KeyBindings& bindings) {
    std::vector<std::size_t> gates = unboundGateFields(bindings);
    if (gates.size() ==
        static_cast<std::size_t>(std::ranges::count_if(
            boxOf(bindings).gears, [](const BoxGear& gear) { return gear.inBox; }))) {
        return unboundGearFields(bindings);
    }
    if (bindings.clutchKey == 0 && bindings.clutchPedal.part == 0) {
        gates.insert(gates.begin(), clutchPedalField);
    }
    return gates;
}

bool wheelBound(const KeyBindings& bindings) {
    return std::ranges::any_of(bindingFields, [&bindings](const BindingField& field) {
        return field.input != nullptr && (bindings.*field.input).part != 0;
    });
}

std::vector<ControllerId> boundControllers(const KeyBindings& bindings) {
    std::vector<ControllerId> devices;
    for (const BindingField& field : bindingFields) {
        const ControllerBinding& input =
            field.input != nullptr ? bindings.*field.input : ControllerBinding{};
        if (input.part != 0 && std::ranges::count(devices, input.device) == 0) {
            devices.push_back(input.device);
        }
    }
    return devices;
}

GearAccess gearAccess(const KeyBindings& bindings) {
    if (unboundGearFields(bindings).empty()) {
        return GearAccess::GearKeys;
    }
    const bool clutch = bindings.clutchKey != 0 || bindings.clutchPedal.part != 0;
    if (clutch && unboundGateFields(bindings).empty()) {
        return GearAccess::Gates;
    }
    if (clutch && bindings.shiftUpKey != 0 && bindings.shiftDownKey != 0) {
        return GearAccess::ShiftKeys;
    }
    if (clutch && bindings.paddleUpButton.part != 0 && bindings.paddleDownButton.part != 0) {
        return GearAccess::Paddles;
    }
    if (bindings.padHoldControl != 0 && bindings.padUpControl != 0 &&
        bindings.padDownControl != 0) {
        return GearAccess::PadButtons;
    }
    return GearAccess::None;
}
