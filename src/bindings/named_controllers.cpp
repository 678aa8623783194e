#include "bindings/named_controllers.h"

#include <algorithm>

#include "binding_file/gear_access.h"
#include "bindings/notices.h"
#include "explain/binding_warnings.h"
#include "host/game_controllers.h"
#include "keys/input_names.h"
#include "keys/virtual_keys.h"
#include "wheel/wheel.h"
#include "wheel/wheel_forces.h"

namespace {

const GameController* firstFound(ControllerId id) {
    for (const GameController& controller : foundControllers()) {
        if (controller.id == id) {
            return &controller;
        }
    }
    return nullptr;
}

std::string fieldsDoNothing(const KeyBindings& keys, ControllerId id, std::string_view until) {
    const std::vector<std::string> fields = fieldsNaming(keys, id);
    return joined(fields) + (fields.size() == 1 ? " does" : " do") + " nothing until " +
           std::string(until) + "; the keyboard works meanwhile.";
}

// The game controllers attached, why one can't be read, and what the lines
// naming one that can't do, for the log.
std::string controllersLog(const KeyBindings& keys) {
    std::string text = "\nGame controllers attached, looked for since a wheel's line binds:\n";
    const ControllerFault system = controllersSystemFault();
    const std::span<const GameController> found = foundControllers();
    for (std::size_t i = 0; i < found.size(); ++i) {
        const GameController& controller = found[i];
        text += "  " + std::to_string(i + 1) + "  " + controllerIdText(controller.id) + "  " +
                std::string(controllerTypeNames[static_cast<std::size_t>(controller.type)]) + "  " +
                controller.name +
                (controller.fault.step != ControllerStep::None
                     ? "  (can't be read: " + controllerFaultText(controller.fault) + ")"
                 : controller.opened ? "  (read on every pass)"
                                     : "") +
                "\n";
    }
    if (system.step != ControllerStep::None) {
        text += "  none could be looked for: " + controllerFaultText(system) + "\n";
    } else if (found.empty()) {
        text += "  none\n";
    }
    const char* const reload = virtualKeyName(keys.reloadKey);
    const std::string lookAgain =
        reload != nullptr ? std::string(" Press ") + reload + " (reloadKey) to look again.\n"
                          : std::string(" Start the game again.\n");
    for (const ControllerId id : boundControllers(keys)) {
        const GameController* controller = firstFound(id);
        if (system.step == ControllerStep::None && controller == nullptr) {
            text += controllerIdText(id) +
                    " is not attached: " + fieldsDoNothing(keys, id, "it is plugged in") +
                    " It is looked for while the game runs." + lookAgain;
        } else if (controller == nullptr || controller->fault.step != ControllerStep::None) {
            text += controllerIdText(id) +
                    " can't be read: " + fieldsDoNothing(keys, id, "it can") + lookAgain;
        }
    }
    return text;
}

std::vector<ControllerId> attachedIds() {
    std::vector<ControllerId> ids;
    for (const GameController& controller : foundControllers()) {
        ids.push_back(controller.id);
    }
    return ids;
}

} // namespace

std::string findNamedControllers(const KeyBindings& keys, NamedControllers& named) {
    named = NamedControllers{};
    if (!wheelBound(keys)) {
        closeControllers();
        findWheelParts(keys);
        return {};
    }
    findControllers(boundControllers(keys));
    // Read once as they are found, so that what the player is told of them
    // holds from the start.
    readControllers();
    findWheelParts(keys);
    for (const ControllerId id : boundControllers(keys)) {
        const GameController* controller = firstFound(id);
        named.watching = named.watching || controller == nullptr;
        if (controller != nullptr && controller->opened &&
            controller->fault.step != ControllerStep::None) {
            named.unreadPasses = unreadPassesTold;
        }
    }
    named.watching = named.watching && controllersSystemFault().step == ControllerStep::None;
    const std::string forces = forceFeedbackLog(keys, openWheelForces(keys));
    return controllersLog(keys) + forces;
}

std::optional<std::vector<AttachedController>> attachedControllers() {
    if (controllersSystemFault().step != ControllerStep::None) {
        return std::nullopt;
    }
    std::vector<AttachedController> attached;
    for (const GameController& controller : foundControllers()) {
        attached.push_back({controller.id, controller.name});
    }
    return attached;
}

std::string unreadControllerNotice(const KeyBindings& keys, NamedControllers& named) {
    const ControllerFault system = controllersSystemFault();
    const VirtualKeyCode reloadKey = keys.reloadKey;
    for (const ControllerId id : boundControllers(keys)) {
        const GameController* controller = firstFound(id);
        if (system.step != ControllerStep::None) {
            return controllerFaultNotice(id, system, reloadKey);
        }
        if (controller == nullptr) {
            return controllerMissingNotice(id, attachedIds(), reloadKey);
        }
        if (!controller->opened) {
            return controllerFaultNotice(id, controller->fault, reloadKey);
        }
        if (controller->fault.step != ControllerStep::None &&
            named.unreadPasses >= unreadPassesTold) {
            named.unreadTold = true;
            return controllerFaultNotice(id, controller->fault, reloadKey);
        }
    }
    return {};
}
