// The tap's entries of the game controllers: kept apart from tap.cpp, since
// they read the device layer's controllers, which writes them through here.
#include <algorithm>

#include "host/game_controllers.h"
#include "host/tap.h"

namespace {

void putFault(std::uint8_t*& at, ControllerFault fault) {
    *at++ = static_cast<std::uint8_t>(fault.step);
    putNumber(at, fault.result);
}

} // namespace

void tapControllers(std::uint8_t tag, std::span<const GameController> found,
                    ControllerFault systemFault) {
    const bool faults = systemFault.step != ControllerStep::None ||
                        std::ranges::any_of(found, [](const GameController& controller) {
                            return controller.fault.step != ControllerStep::None;
                        });
    constexpr std::size_t faultBytes = 1 + sizeof(std::int32_t);
    std::size_t bytes = 2 + (faults ? faultBytes : 0);
    for (const GameController& controller : found) {
        bytes +=
            7 + (faults ? faultBytes : 0) + std::min(controller.name.size(), recordedTextAtMost);
    }
    std::uint8_t* at = tapEntry(bytes);
    if (at == nullptr) {
        return;
    }
    *at++ = !faults                     ? tag
            : tag == controllersKeptTag ? controllersKeptFaultsTag
                                        : controllersFaultsTag;
    if (faults) {
        putFault(at, systemFault);
    }
    *at++ = static_cast<std::uint8_t>(found.size());
    for (const GameController& controller : found) {
        putNumber(at, controller.id.vendor);
        putNumber(at, controller.id.product);
        *at++ = static_cast<std::uint8_t>(controller.type);
        *at++ = controller.opened ? 1 : 0;
        if (faults) {
            putFault(at, controller.fault);
        }
        const std::size_t length = std::min(controller.name.size(), recordedTextAtMost);
        *at++ = static_cast<std::uint8_t>(length);
        putBytes(at, controller.name.data(), length);
    }
    tapState.cursor = at;
}

void tapControllerRead(std::size_t index, const GameController& controller) {
    std::uint8_t* at = tapEntry(entryBytesAtMost);
    if (at == nullptr) {
        return;
    }
    if (controller.released) {
        *at++ = controllerFailedTag;
        *at++ = static_cast<std::uint8_t>(index);
        putFault(at, controller.fault);
        tapState.cursor = at;
        return;
    }
    *at++ = controllerReadTag;
    *at++ = static_cast<std::uint8_t>(index);
    for (const std::uint16_t axis : controller.input.axes) {
        putNumber(at, axis);
    }
    std::uint8_t* const count = at++;
    *count = 0;
    for (int button = 1; button <= controllerButtonCount; ++button) {
        if (buttonDown(controller.input, button)) {
            *at++ = static_cast<std::uint8_t>(button);
            ++*count;
        }
    }
    tapState.cursor = at;
}
