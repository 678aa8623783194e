#include "bindings/notices.h"

#include <cstdio>
#include <vector>

#include "binding_file/binding_places.h"
#include "binding_file/gear_access.h"
#include "explain/binding_report.h"
#include "keys/input_names.h"
#include "keys/virtual_keys.h"
#include "screen/hud.h"

namespace {

// The clutch and gear key texts left unbound: two by name, more counted.
std::string unboundKeys(const KeyBindings& bindings) {
    std::vector<std::string> unbound;
    for (const std::size_t field : unreachedGearFields(bindings)) {
        unbound.emplace_back(bindingFields[field].keyText);
    }
    if (unbound.size() > 2) {
        return unbound.front() + " and " + std::to_string(unbound.size() - 1) + " more";
    }
    return joined(unbound);
}

} // namespace

std::string bindingsNoticeText(BindingsFile file, const KeyBindings& bindings, bool reload,
                               bool logWritten) {
    const std::string prefix = "Manual Gearbox: ";
    const std::string name = bindingFileName;
    std::string text;
    switch (file) {
    case BindingsFile::NotFound:
        text = name + (reload ? " can't be opened, the keys stay as they were."
                              : " not found, read when you next get in a vehicle.");
        break;
    case BindingsFile::TooLarge:
        text = name + " is " + std::string(tooLargeNote) + (reload ? "; the keys stay." : ".");
        break;
    case BindingsFile::InUse:
        text = "another program has " + name +
               (reload ? " open, the keys stay." : " open, read when you get in.");
        break;
    case BindingsFile::Utf16:
        text = name + (reload ? " read again: it is UTF-16 and binds no key."
                              : " is saved as UTF-16, so it binds no key.");
        break;
    case BindingsFile::Read:
        if (gearAccess(bindings) != GearAccess::None) {
            return reload ? prefix + name + " read again, every gear can be reached." : "";
        }
        const bool noClutch = bindings.clutchKey == 0 && bindings.clutchPedal.part == 0;
        if (reload) {
            text = name + " read again: " +
                   (noClutch ? "no Clutch, gears can't be changed."
                             : unboundKeys(bindings) + " not bound.");
        } else {
            text = noClutch ? "no Clutch in " + name + ", gears can't be changed."
                            : unboundKeys(bindings) + " not bound in " + name + ".";
        }
        break;
    }
    text.insert(0, prefix);
    // Keys missing are best chosen in the game: the notice says how, in as
    // many words as fit.
    const char* const bindKey = virtualKeyName(bindings.bindKey);
    if (file == BindingsFile::Read && !reload && bindKey != nullptr) {
        for (const std::string& ending : {std::string(" Press ") + bindKey + " to choose keys.",
                                          std::string(" ") + bindKey + " chooses keys."}) {
            if (text.size() + ending.size() <= textLengthAtMost) {
                return text + ending;
            }
        }
    }
    return text + (logWritten ? " See ManualGearbox.log" : "");
}

std::string controllerMissingNotice(ControllerId id, VirtualKeyCode reloadKey) {
    const std::string text =
        "Manual Gearbox: game controller " + controllerIdText(id) + " not found; plug it in and ";
    const char* const key = virtualKeyName(reloadKey);
    if (key == nullptr) {
        return text + "restart the game.";
    }
    const std::string press = text + "press " + key;
    const std::string lookAgain = " to look again.";
    return press.size() + lookAgain.size() <= textLengthAtMost ? press + lookAgain : press + ".";
}

std::string reversedClutchNotice(const ControllerBinding& pedal) {
    const ControllerBinding otherWay = {
        pedal.device, axisPart(partAxis(pedal.part), !partTowardsLowest(pedal.part))};
    return "Manual Gearbox: the clutch pedal reads pressed and never moved; try " +
           std::string(bindingFields[clutchPedalField].keyText) + "=" +
           controllerBindingText(otherWay);
}

std::string keysNotSavedNotice(std::string_view why) {
    return "Manual Gearbox: keys in use until the game ends, not saved: " + std::string(why) + ".";
}

namespace {

// Why there is no force feedback, in a few words; empty when it is on.
std::string_view forcesUnavailable(const KeyBindings& bindings, ForceFeedbackStatus status) {
    switch (status) {
    case ForceFeedbackStatus::On:
        return {};
    case ForceFeedbackStatus::NoForceFeedback:
        return "the Steering line's controller has none";
    case ForceFeedbackStatus::Taken:
        return "another program holds the wheel";
    case ForceFeedbackStatus::Failed:
        return "the wheel refused it";
    case ForceFeedbackStatus::Off:
        break;
    }
    return bindings.steeringAxis.part == 0 ? "no Steering line names the wheel"
                                           : "the Steering line's wheel isn't found";
}

} // namespace

std::string forceFeedbackNotice(const KeyBindings& bindings, ForceFeedbackStatus status) {
    const std::string_view why = forcesUnavailable(bindings, status);
    if (bindings.forceFeedback <= 0 || why.empty()) {
        return {};
    }
    return "Manual Gearbox: no force feedback: " + std::string(why) + ". The wheel still reads.";
}

std::string forceFeedbackLog(const KeyBindings& bindings, ForceFeedbackStatus status) {
    if (bindings.forceFeedback <= 0) {
        return {};
    }
    const std::string_view why = forcesUnavailable(bindings, status);
    return why.empty()
               ? "\nForce feedback on, at " + std::to_string(bindings.forceFeedback) +
                     "% of the wheel's strength.\n"
               : "\nNo force feedback: " + std::string(why) + "; the wheel is still read.\n";
}
