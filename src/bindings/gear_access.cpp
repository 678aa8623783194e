#include "bindings/gear_access.h"

std::vector<std::string_view> unboundGearKeyTexts(const KeyBindings& bindings) {
    std::vector<std::string_view> unbound;
    for (std::size_t field = clutchField; field <= lastGearField; ++field) {
        if (bindings.*bindingFields[field].member == 0) {
            unbound.push_back(bindingFields[field].keyText);
        }
    }
    return unbound;
}

GearAccess gearAccess(const KeyBindings& bindings) {
    if (unboundGearKeyTexts(bindings).empty()) {
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
