// A player in a car with the usual bindings, and a readable trace of every
// call a pass makes across the boundary.
#pragma once

#include "plugin_fixture.h"

#include <cmath>
#include <cstdio>
#include <ostream>

// A gear as a failed expectation shows it: its label, or its number past the
// table.
inline void PrintTo(Gear gear, std::ostream* out) {
    const auto row = static_cast<std::size_t>(gear);
    *out << (row < gearCount ? gearTable[row].label : "gear #" + std::to_string(row));
}

// A gear by its label in the gear table.
inline Gear gearLabelled(std::string_view label) {
    for (std::size_t gear = 0; gear < gearCount; ++gear) {
        if (gearTable[gear].label == label) {
            return Gear{static_cast<std::uint8_t>(gear)};
        }
    }
    ADD_FAILURE() << "no gear labelled " << label;
    return Gear{};
}
inline const Gear gear1 = gearLabelled("1"), gear2 = gearLabelled("2"), gear3 = gearLabelled("3"),
                  gear4 = gearLabelled("4"), gear5 = gearLabelled("5"), gear6 = gearLabelled("6"),
                  gearR = gearLabelled("R");

constexpr std::int32_t carHandle = static_cast<std::int32_t>(0x80002A01u);
constexpr int clutch = 16, firstKey = 49, secondKey = 50, thirdKey = 51, fourthKey = 52,
              fifthKey = 53, sixthKey = 54, reverseKey = 82, keyW = 87, keyS = 83;

// The single-precision neighbours of a threshold.
inline float above(float value) {
    return std::nextafter(value, 1e9f);
}
inline float below(float value) {
    return std::nextafter(value, -1e9f);
}

inline std::string slotText(std::uint64_t slot) {
    char text[24];
    if (slot < 0x10000) {
        std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(slot));
    } else {
        std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(slot));
    }
    return text;
}

inline std::string fl(float value) {
    return slotText(floatSlot(value));
}

class GearboxTest : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        sim::world.playerHandle = 0x0001B2C4;
        sim::enterVehicle(sim::addVehicle(carHandle));
        bindField(&KeyBindings::clutchKey, clutch);
        bindField(&KeyBindings::firstGearKey, firstKey);
        bindField(&KeyBindings::secondGearKey, secondKey);
        bindField(&KeyBindings::thirdGearKey, thirdKey);
        bindField(&KeyBindings::fourthGearKey, fourthKey);
        bindField(&KeyBindings::fifthGearKey, fifthKey);
        bindField(&KeyBindings::sixthGearKey, sixthKey);
        bindField(&KeyBindings::reverseKey, reverseKey);
        // Bound as if read from a file at the first pass, whose notice was given.
        restoreState({{"bindingsFile", static_cast<int>(BindingsFile::Read)},
                      {"noticeGiven", 1},
                      {"bindingsLoaded", 1}});
    }

    static void putInGear(Gear gear) { restoreState({{"gear", static_cast<int>(gear)}}); }

    static sim::Vehicle& car() { return sim::world.vehicles[0]; }

    static void press(int key) { sim::setKey(key, true); }
    static void release(int key) { sim::setKey(key, false); }

    // Puts the car at this speed and runs one pass, stopping before its yield.
    static void passAt(float speed) {
        car().speed = speed;
        clearCalls();
        runFramePass();
    }

    // Every call since the last clear, one readable line each.
    static std::vector<std::string> trace() {
        std::vector<std::string> lines;
        for (const sim::Call& call : sim::world.calls) {
            switch (call.kind) {
            case sim::Call::Kind::Wait:
                lines.push_back("wait(" + std::to_string(call.value) + ")");
                break;
            case sim::Call::Kind::KeyQuery:
                lines.push_back("key " + std::to_string(call.value) +
                                (call.keyState < 0 ? " down" : ""));
                break;
            case sim::Call::Kind::ForegroundQuery:
                lines.push_back("GetForegroundWindow() = " + slotText(std::uint64_t(call.value)));
                break;
            case sim::Call::Kind::WindowProcessQuery:
                lines.push_back("GetWindowThreadProcessId(" + slotText(std::uint64_t(call.value)) +
                                ")");
                break;
            case sim::Call::Kind::File:
                lines.push_back("file question " + std::to_string(call.value));
                break;
            case sim::Call::Kind::ControllerList:
            case sim::Call::Kind::ControllerOpen:
            case sim::Call::Kind::ControllerAcquire:
            case sim::Call::Kind::ControllerRead:
            case sim::Call::Kind::ForcesOpened:
            case sim::Call::Kind::ForceSet:
            case sim::Call::Kind::ForcesStopped:
                lines.push_back("game controller call " +
                                std::to_string(static_cast<int>(call.kind)) + " of " +
                                std::to_string(call.value));
                break;
            case sim::Call::Kind::Native: {
                const NativeId* id = findNativeId(call.hash);
                std::string line = id ? id->name : sim::hashText(call.hash);
                line += "(";
                if (!call.text.empty()) {
                    line += "\"" + call.text + "\"";
                } else {
                    for (std::size_t i = 0; i < call.argumentCount; ++i) {
                        line += (i ? "," : "") + slotText(call.arguments[i]);
                    }
                }
                lines.push_back(line + ")");
                break;
            }
            }
        }
        return lines;
    }

    static std::string carSlot() { return slotText(std::uint32_t(carHandle)); }

    static int stallCalls() {
        int count = 0;
        for (const sim::Call& call : nativeCalls()) {
            count += call.hash == hashOf(Native::StallEngine);
        }
        return count;
    }

    static std::vector<std::string> labelTexts(const std::vector<sim::Label>& labels) {
        std::vector<std::string> texts;
        for (const sim::Label& label : labels) {
            texts.push_back(label.text + (label.colour.green == 255 ? "*" : ""));
        }
        return texts;
    }
};
