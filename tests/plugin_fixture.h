// A fresh plug-in and a fresh world for every test, with helpers to step the
// frame loop and to read back what crossed the boundary.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bindings/key_bindings.h"
#include "gearbox/gearbox.h"
#include "host/files.h"
#include "host/keyboard.h"
#include "host/natives.h"
#include "plugin/recorded_state.h"
#include "plugin/script.h"
#include "recorder/recorder.h"
#include "sim/hook_control.h"
#include "sim/world.h"

// The hook of a drive the real plug-in plays natively: each frame its pass
// and its yield, and a restart the script's reset at the next frame's start.
inline bool driveRestartDue = false;

inline void runDriveFrame() {
    if (std::exchange(driveRestartDue, false)) {
        resetPlugin(Reset::Restart);
    }
    runFramePass();
    scriptWait(0);
}

inline const sim::HookControl driveHook = sim::worldControl(
    runDriveFrame, [] { sim::world = sim::World{}; }, [] { driveRestartDue = true; });

inline bool recording() {
    return recorderState().mode == RecorderMode::Recording;
}

inline bool saving() {
    return recorderState().mode == RecorderMode::Saving;
}

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

    // One field of the keys in use, as a replay starts a plug-in with its
    // recording's keys.
    static void bindField(std::int32_t KeyBindings::*field, std::int32_t value) {
        KeyBindings keys = bindingsState().keys;
        keys.*field = value;
        useKeyBindings(keys);
    }

    // Sets fields of the plug-in's state by name, as a replay restores them.
    static void restoreState(const std::vector<NamedValue>& values) {
        for (const NamedValue& value : values) {
            EXPECT_TRUE(std::ranges::count(recordedStateFields(), value.name, &RecordedField::name))
                << "no field of state named " << value.name;
        }
        restoreStateValues(values);
    }

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
