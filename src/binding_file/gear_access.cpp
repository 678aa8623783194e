#include "binding_file/gear_access.h"

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

GearAccess gearAccess(const KeyBindings& bindings) {
    if (unboundGearFields(bindings).empty()) {
        return GearAccess::GearKeys;
    }
    if (bindings.clutchKey != 0 && bindings.shiftUpKey != 0 && bindings.shiftDownKey != 0) {
        return GearAccess::ShiftKeys;
    }
    if (bindings.padHoldControl != 0 && bindings.padUpControl != 0 &&
        bindings.padDownControl != 0) {
        return GearAccess::PadButtons;
    }
    return GearAccess::None;
}
