#include "sim/world.h"

#include <algorithm>

#include "sim/motion.h"

namespace sim {

World world;

int addVehicle(std::int32_t handle) {
    Vehicle vehicle;
    vehicle.handle = handle;
    world.vehicles.push_back(vehicle);
    const int index = static_cast<int>(world.vehicles.size()) - 1;
    world.vehicleIndexes.try_emplace(handle, index);
    return index;
}

void enterVehicle(int index, int seat) {
    world.occupied = index;
    world.seat = seat;
    world.vehicles[static_cast<std::size_t>(index)].driver =
        seat == driverSeat ? 0 : chauffeurHandle;
}

void leaveVehicle() {
    world.occupied = -1;
}

Vehicle* playerVehicle() {
    return world.occupied >= 0 ? &world.vehicles[static_cast<std::size_t>(world.occupied)]
                               : nullptr;
}

int vehicleIndex(std::int32_t handle) {
    const auto found = world.vehicleIndexes.find(handle);
    return found == world.vehicleIndexes.end() ? -1 : found->second;
}

Vehicle* findVehicle(std::int32_t handle) {
    const int index = handle != 0 ? vehicleIndex(handle) : -1;
    return index >= 0 ? &world.vehicles[static_cast<std::size_t>(index)] : nullptr;
}

void setKey(int key, bool down) {
    if (key <= 0 || key >= keyCount) {
        return;
    }
    if (down && !world.keys[key]) {
        world.pressedSinceQuery[key] = true;
        if (world.gameFocused) {
            world.lastDevice = Device::KeyboardAndMouse;
        }
    }
    world.keys[key] = down;
}

void holdControl(int control, bool held) {
    world.controlsHeld[control] = held;
    if (held) {
        world.lastDevice = Device::Pad;
    }
}

void fireControlOnce(int control) {
    world.controlsOnce[control] = true;
    world.lastDevice = Device::Pad;
}

bool controlActive(int control) {
    const bool key = (control == controlAccelerate && world.keys[keyW]) ||
                     (control == controlBrake && world.keys[keyS]);
    return world.controlsHeld[control] || world.controlsOnce[control] || (key && world.gameFocused);
}

float torqueIn(const Vehicle& vehicle, std::int64_t frame) {
    return vehicle.torqueFrame == frame ? vehicle.torque : 1.0f;
}

float fedValue(int control) {
    const bool applies = world.fedForThisFrame.sent[control] && !world.suppressed[control];
    return applies ? world.fedForThisFrame.values[control] : 0.0f;
}

void endFrame() {
    if (Vehicle* vehicle = playerVehicle(); vehicle && !world.pauseMenuActive) {
        moveVehicle(*vehicle);
    }
    world.shownEffectCounts = world.effectCounts;
    world.effectCounts = EffectCounts{};
    world.shownForces = forceOutput();
    if (world.frameObserver) {
        world.frameObserver(world);
    }
    world.shownLabels.swap(world.labels);
    world.labels.clear();
    world.shownRects.swap(world.rects);
    world.rects.clear();
    world.shownSuppressed = world.suppressed;
    world.suppressed.reset();
    world.controlsHeldBefore = world.controlsHeld;
    world.controlsOnce.reset();
    world.fedForThisFrame = world.fedForNextFrame;
    world.fedForNextFrame.sent.reset();
    ++world.frame;
    world.timeMs += world.frameMs;
}

void advanceFrames(std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        endFrame();
    }
}

std::int64_t framesCovering(std::uint32_t milliseconds) {
    const std::int64_t frames = (std::int64_t{milliseconds} + world.frameMs - 1) / world.frameMs;
    return std::max<std::int64_t>(frames, 1);
}

} // namespace sim
