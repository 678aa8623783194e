// What the world does for the natives of the player's character, the
// vehicles and the phone.
#include "sim/native_runs.h"

#include <cmath>
#include <cstdio>

#include "sim/motion.h"
#include "sim/slots.h"

namespace sim {

namespace {

// Who sits in the vehicle's seat: the player, or at the wheel its driver.
std::int32_t occupant(const Vehicle& vehicle, int seat) {
    if (&vehicle == playerVehicle() && seat == world.seat) {
        return world.playerHandle;
    }
    return seat == driverSeat ? vehicle.driver : 0;
}

} // namespace

void runPlayerCharacter(const std::uint64_t*) {
    setResult(withHighHalf(std::uint32_t(world.playerHandle)));
}

void runCharacterInVehicle(const std::uint64_t* a) {
    setResult(boolResult(slotInt(a[0]) == world.playerHandle && world.occupied >= 0));
}

void runVehicleOfCharacter(const std::uint64_t* a) {
    const Vehicle* vehicle = slotInt(a[0]) == world.playerHandle ? playerVehicle() : nullptr;
    setResult(withHighHalf(vehicle ? std::uint32_t(vehicle->handle) : 0u));
}

void runVehicleSpeed(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(floatResult(vehicle ? std::fabs(vehicle->speed) : 0.0f));
}

void runVehicleTopSpeed(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(floatResult(vehicle ? vehicle->topSpeed : 0.0f));
}

void runCapVehicleSpeed(const std::uint64_t* a) {
    if (Vehicle* vehicle = findVehicle(slotInt(a[0]))) {
        vehicle->maxSpeed = slotFloat(a[1]);
    }
}

void runForceForwardSpeed(const std::uint64_t* a) {
    if (Vehicle* vehicle = findVehicle(slotInt(a[0]))) {
        vehicle->speed = slotFloat(a[1]);
    }
}

void runEngineSwitch(const std::uint64_t* a) {
    if (Vehicle* vehicle = findVehicle(slotInt(a[0]))) {
        vehicle->engineOn = slotInt(a[1]) != 0;
        vehicle->autoStart = slotInt(a[3]) == 0;
        vehicle->restartArmed = false;
    }
}

void runVehicleStationary(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(boolResult(vehicle && std::fabs(vehicle->speed) <= stoppedAtOrBelow));
}

void runPedInVehicleSeat(const std::uint64_t* a) {
    Vehicle* vehicle = findVehicle(slotInt(a[0]));
    const int seat = slotInt(a[1]);
    if (vehicle && vehicle->ambient && seat == driverSeat && occupant(*vehicle, seat) == 0) {
        vehicle->driver = strangerHandle;
    }
    setResult(withHighHalf(std::uint32_t(vehicle ? occupant(*vehicle, seat) : 0)));
}

void runVehicleSeatFree(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(boolResult(vehicle && occupant(*vehicle, slotInt(a[1])) == 0));
}

void runVehicleClass(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(withHighHalf(std::uint32_t(vehicle ? vehicle->vehicleClass : 0)));
}

// The game's own scripts send 0.2 to 1.8 to a vehicle; no vehicle, or a
// value outside that, is a call the plug-in must not make.
void runScaleEngineTorque(const std::uint64_t* a) {
    const float multiplier = slotFloat(a[1]);
    Vehicle* vehicle = findVehicle(slotInt(a[0]));
    if (slotInt(a[0]) == 0) {
        fault(hashText(world.openHash) + " " + nameOf(Native::ScaleEngineTorque) +
              " of no vehicle");
    } else if (!(multiplier >= lowestTorque && multiplier <= highestTorque)) {
        char value[32];
        std::snprintf(value, sizeof value, "%g", static_cast<double>(multiplier));
        fault(hashText(world.openHash) + " " + nameOf(Native::ScaleEngineTorque) + " with " +
              value + ", outside the game's own 0.2 to 1.8");
    } else if (vehicle) {
        vehicle->torque = multiplier;
        vehicle->torqueFrame = world.frame;
    }
}

void runPhoneOut(const std::uint64_t* a) {
    setResult(boolResult(slotInt(a[0]) == world.playerHandle && world.phoneOut));
}

} // namespace sim
