#include "bindings/notices.h"

#include <cstdio>
#include <initializer_list>
#include <iterator>
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

namespace {

// The first of the texts that fits one text component.
std::string firstThatFits(std::initializer_list<std::string> texts) {
    for (const std::string& text : texts) {
        if (text.size() <= textLengthAtMost) {
            return text;
        }
    }
    return *std::prev(texts.end());
}

} // namespace

std::string controllerMissingNotice(ControllerId id, std::span<const ControllerId> attached,
                                    VirtualKeyCode reloadKey) {
    const std::string text =
        "Manual Gearbox: game controller " + controllerIdText(id) + " not found";
    const char* const key = virtualKeyName(reloadKey);
    const std::string press = key != nullptr ? std::string("press ") + key : "restart the game";
    if (attached.empty()) {
        return firstThatFits({text + "; plug it in and " + press + " to look again.",
                              text + "; plug it in and " + press + "."});
    }
    std::vector<std::string> ids;
    for (const ControllerId other : attached) {
        ids.push_back(controllerIdText(other));
    }
    const std::string some = ids.front() + " and " + std::to_string(ids.size() - 1) + " more";
    return firstThatFits({text + "; attached: " + joined(ids) + "; " + press + " to look again.",
                          text + "; attached: " + joined(ids) + "; " + press + ".",
                          text + "; attached: " + some + "; " + press + ".",
                          text + "; attached: " + some + "."});
}

std::string controllerFaultNotice(ControllerId id, ControllerFault fault,
                                  VirtualKeyCode reloadKey) {
    const std::string name = "Manual Gearbox: " + controllerIdText(id);
    const char* const key = virtualKeyName(reloadKey);
    const std::string press = key != nullptr ? std::string(" and press ") + key : "";
    const bool lost = fault.result == directInputAnswer::inputLost ||
                      fault.result == directInputAnswer::unplugged;
    switch (fault.step) {
    case ControllerStep::Start:
        return name + " can't be read: DirectInput won't start. See ManualGearbox.log";
    case ControllerStep::List:
        return firstThatFits({name + " can't be looked for: Windows won't list game controllers" +
                                  (key != nullptr ? std::string("; press ") + key + "." : "."),
                              name + " can't be looked for: Windows won't list them."});
    case ControllerStep::Create:
        return firstThatFits({name + " is attached but can't be opened; reconnect it" + press + ".",
                              name + " is attached but can't be opened; reconnect it."});
    case ControllerStep::Format:
    case ControllerStep::Share:
        return name + " is attached but its driver won't let it be read. See ManualGearbox.log";
    case ControllerStep::Acquire:
    case ControllerStep::Poll:
    case ControllerStep::Read:
        break;
    case ControllerStep::None:
        return {};
    }
    if (lost) {
        return name + " was unplugged or lost; it is read again once plugged back in.";
    }
    if (fault.step == ControllerStep::Acquire || fault.result == directInputAnswer::notAcquired) {
        const std::string held =
            name + " is attached but can't be read: another program may hold it";
        return firstThatFits({held + "; close it" + press + ".", held + "; close it."});
    }
    const std::string fails = name + " is attached but its driver fails to read it";
    return key != nullptr ? firstThatFits({fails + "; press " + key + " to open it again.",
                                           fails + "; press " + key + "."})
                          : fails + ".";
}

std::string controllerFoundNotice(ControllerId id) {
    return "Manual Gearbox: game controller " + controllerIdText(id) +
           " plugged in, read from now on.";
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
