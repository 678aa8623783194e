// A fresh plug-in and a fresh world for every test, with helpers to step the
// frame loop and to read back what crossed the boundary.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bindings/key_bindings.h"
#include "gearbox/gearbox.h"
#include "host/files.h"
#include "host/keyboard.h"
#include "host/natives.h"
#include "plugin/script.h"
#include "sim/world.h"

namespace hashes {
constexpr NativeHash playerCharacter = 0xD80958FC74E988A6;
constexpr NativeHash characterInVehicle = 0x997ABD671D25CA0B;
constexpr NativeHash vehicleOfCharacter = 0x6094AD011A2EA87D;
constexpr NativeHash driverOfVehicle = 0xBB40DD2270B65366;
constexpr NativeHash vehicleClass = 0x29439776AAA00A62;
constexpr NativeHash vehicleSpeed = 0xD5037BA82E12416F;
constexpr NativeHash vehicleTopSpeed = 0x53AF99BAA671CA47;
constexpr NativeHash capVehicleSpeed = 0x0E46A3FCBDE2A1B1;
constexpr NativeHash forceForwardSpeed = 0xAB54A438726D25D5;
constexpr NativeHash stallEngine = 0x2497C4717C8B881E;
constexpr NativeHash vehicleStationary = 0x5721B434AD84D57A;
constexpr NativeHash controlFired = 0x580417101DDB492F;
constexpr NativeHash suppressControl = 0xFE99B66D079CF6BC;
constexpr NativeHash textFont = 0x66E0276CC5F6B9DA;
constexpr NativeHash textScale = 0x07C837F9A01C34C9;
constexpr NativeHash textColour = 0xBE6B23FFA53FB442;
constexpr NativeHash textWrap = 0x63145D9C883A1A70;
constexpr NativeHash textCentred = 0xC02F4DBFB51D988B;
constexpr NativeHash textDropShadow = 0x465C84BC39F1C351;
constexpr NativeHash textOutline = 0x2513DFB0FB8400FE;
constexpr NativeHash beginScreenText = 0x25FBB336DF1804CB;
constexpr NativeHash addTextString = 0x6C188BE134E074AA;
constexpr NativeHash drawScreenText = 0xCD015E5BB0D96A57;
constexpr NativeHash beginSubtitle = 0xB87A37EEB7FAA67D;
constexpr NativeHash printSubtitle = 0x9D77056A530643F6;
constexpr NativeHash beginNotification = 0x202709F4C58A0424;
constexpr NativeHash postNotification = 0x2ED7843F8F801023;
} // namespace hashes

// Raw slot of a single-precision value, as the plug-in must push it.
inline std::uint64_t floatSlot(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

class PluginTest : public ::testing::Test {
  protected:
    // A freshly loaded plug-in whose .asi sits in a fresh folder of its own,
    // where it found no key-binding file.
    void SetUp() override {
        sim::world = sim::World{};
        resetPlugin(Reset::Everything);
        std::string pattern = (std::filesystem::temp_directory_path() / "plugin-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        pluginFolder = pattern;
        nativeModuleFolder() = pluginFolder.string();
    }

    void TearDown() override {
        for (const std::string& fault : sim::world.faults) {
            ADD_FAILURE() << "the world saw a faulty call: " << fault;
        }
        nativeModuleFolder().clear();
        std::filesystem::remove_all(pluginFolder);
    }

    std::filesystem::path pluginFolder;

    // One frame of the loop, ending with its yield, as the hook runs it.
    static void pass() {
        runFramePass();
        scriptWait(0);
    }

    static void passes(int count) {
        for (int i = 0; i < count; ++i) {
            pass();
        }
    }

    static void clearCalls() { sim::world.calls.clear(); }

    static std::vector<sim::Call> nativeCalls() {
        std::vector<sim::Call> result;
        for (const sim::Call& call : sim::world.calls) {
            if (call.kind == sim::Call::Kind::Native) {
                result.push_back(call);
            }
        }
        return result;
    }

    static std::vector<std::uint64_t> nativeHashes() {
        std::vector<std::uint64_t> result;
        for (const sim::Call& call : nativeCalls()) {
            result.push_back(call.hash);
        }
        return result;
    }

    static std::vector<std::int64_t> waits() {
        std::vector<std::int64_t> result;
        for (const sim::Call& call : sim::world.calls) {
            if (call.kind == sim::Call::Kind::Wait) {
                result.push_back(call.value);
            }
        }
        return result;
    }

    static std::vector<std::string> subtitleTexts() {
        std::vector<std::string> result;
        for (const sim::Subtitle& subtitle : sim::world.subtitles) {
            result.push_back(subtitle.text);
        }
        return result;
    }

    static std::vector<std::uint64_t> arguments(const sim::Call& call) {
        return {call.arguments.begin(), call.arguments.begin() + call.argumentCount};
    }
};
