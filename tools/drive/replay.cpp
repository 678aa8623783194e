#include "drive/replay.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "bindings/binding_places.h"
#include "bindings/recorded_bindings.h"
#include "drive/recorded_drive.h"
#include "host/files.h"
#include "sim/world.h"

namespace fs = std::filesystem;

namespace {

// The key-binding file as the header describes it: one that reads as the
// bindings recorded, or as large or as UTF-16 as the recorded one, or none.
std::string bindingFileText(const DriveRecording& recording) {
    const KeyBindings keys = keysOfRecording(recording.bindings);
    switch (fileOfRecording(recording.bindings)) {
    case BindingsFile::NotFound:
        break;
    case BindingsFile::TooLarge:
        return std::string(bindingFileBytesAtMost + 1, '\n');
    case BindingsFile::Utf16:
        return "\xFF\xFE";
    case BindingsFile::Read: {
        std::string text;
        for (const BindingField& field : bindingFields) {
            text += std::string(field.keyText) + "=" + std::to_string(keys.*field.member) + "\n";
        }
        return text;
    }
    }
    return {};
}

// A fresh folder for the plug-in's files, its own and working folder for the
// replay, removed after; none when it can't be made.
struct ReplayFolder {
    fs::path made;
    fs::path previous = fs::current_path();
    std::string previousModule = nativeModuleFolder();

    // Why no folder could be made.
    std::string failure;

    explicit ReplayFolder(const DriveRecording& recording) {
        std::error_code error;
        const fs::path temporary = fs::temp_directory_path(error);
        std::string pattern = (temporary / "drive-replay-XXXXXX").string();
        if (error || !mkdtemp(pattern.data())) {
            failure = "cannot make a folder for the replay in the temporary folder";
            if (!temporary.empty()) {
                failure.append(" ").append(temporary.string());
            }
            failure.append(": ").append(error ? error.message() : std::strerror(errno));
            return;
        }
        made = pattern;
        if (fileOfRecording(recording.bindings) != BindingsFile::NotFound) {
            std::ofstream(made / bindingFileName, std::ios::binary) << bindingFileText(recording);
        }
        nativeModuleFolder() = made.string();
        fs::current_path(made);
    }

    ~ReplayFolder() {
        if (!made.empty()) {
            fs::current_path(previous);
            nativeModuleFolder() = previousModule;
            std::error_code error;
            fs::remove_all(made, error);
        }
    }
};

std::string numberText(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A value as the native's documentation types it.
std::string typedText(std::string_view type, std::uint32_t value) {
    if (type == "float") {
        return numberText("%.2f", static_cast<double>(std::bit_cast<float>(value)));
    }
    if (type == "Ped" || type == "Vehicle" || type == "Entity") {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", value);
        return text;
    }
    if (type == "BOOL") {
        return value != 0 ? "TRUE" : "FALSE";
    }
    return std::to_string(static_cast<std::int32_t>(value));
}

// The parameter types, in order, of a documented parameter list.
std::vector<std::string_view> parameterTypes(std::string_view parameters) {
    std::vector<std::string_view> types;
    while (!parameters.empty()) {
        const std::size_t comma = std::min(parameters.find(", "), parameters.size());
        const std::string_view parameter = parameters.substr(0, comma);
        types.push_back(parameter.substr(0, parameter.rfind(' ')));
        parameters.remove_prefix(std::min(comma + 2, parameters.size()));
    }
    return types;
}

std::string_view nameOf(const RecordedCall& call) {
    const char* name = sim::nativeName(call.hash);
    return name ? name : "";
}

bool sameCall(const RecordedCall& a, const RecordedCall& b) {
    if (a.kind != b.kind) {
        return false;
    }
    switch (a.kind) {
    case RecordedCall::Kind::Native:
        return a.hash == b.hash && a.argumentCount == b.argumentCount &&
               a.textArgument == b.textArgument && a.text == b.text && a.arguments == b.arguments;
    case RecordedCall::Kind::Key:
        return a.key == b.key;
    default:
        return true;
    }
}

std::vector<const RecordedCall*> answeredCalls(const RecordedPass& pass) {
    std::vector<const RecordedCall*> calls;
    for (const RecordedCall& call : pass.calls) {
        if (call.kind != RecordedCall::Kind::State) {
            calls.push_back(&call);
        }
    }
    return calls;
}

std::string passText(std::uint32_t pass) {
    return "pass " + std::to_string(pass);
}

// The first call in which the replayed pass differs from the recorded one, or
// empty; a pass the recording stopped in counts as far as it goes.
std::string firstDifference(const RecordedPass& recorded, const RecordedPass& replayed,
                            std::uint32_t pass) {
    const std::vector<const RecordedCall*> expected = answeredCalls(recorded);
    const std::size_t count =
        recorded.cut ? expected.size() : std::max(expected.size(), replayed.calls.size());
    for (std::size_t i = 0; i < count; ++i) {
        const RecordedCall* before = i < expected.size() ? expected[i] : nullptr;
        const RecordedCall* now = i < replayed.calls.size() ? &replayed.calls[i] : nullptr;
        if (!before || !now || !sameCall(*before, *now)) {
            return passText(pass) + ", call " + std::to_string(i + 1) + ": recorded " +
                   (before ? callText(*before) : "nothing") + ", replayed " +
                   (now ? callText(*now) : "nothing");
        }
    }
    return {};
}

// --- Through the world -------------------------------------------------------------

struct WorldReplay {
    sim::World& world = sim::world;
    // The vehicles whose speed the game told, from which the world moves them.
    std::vector<std::int32_t> speedKnown;
    // The kinds of answer whose first difference is reported.
    std::vector<std::string> kindsReported;
    ReplayReport report;
};

// The vehicle of this handle, which the world gets when the game first
// names it.
int vehicleIndex(std::int32_t handle) {
    for (std::size_t i = 0; i < sim::world.vehicles.size(); ++i) {
        if (sim::world.vehicles[i].handle == handle) {
            return static_cast<int>(i);
        }
    }
    return sim::addVehicle(handle);
}

sim::Vehicle& worldVehicle(std::int32_t handle) {
    return sim::world.vehicles[static_cast<std::size_t>(vehicleIndex(handle))];
}

void reportOnce(WorldReplay& replay, const std::string& kind, std::uint32_t pass,
                std::int32_t timeMs, const std::string& text) {
    if (std::ranges::find(replay.kindsReported, kind) != replay.kindsReported.end()) {
        return;
    }
    replay.kindsReported.push_back(kind);
    replay.report.differences.push_back(passText(pass) + " at " +
                                        numberText("%.3f s", timeMs / 1000.0) + ": " + text);
}

float floatOf(std::uint32_t result) {
    return std::bit_cast<float>(result);
}

// A speed the world moved itself against the game's, which then holds.
void takeSpeed(WorldReplay& replay, const RecordedCall& call, std::int32_t timeMs,
               std::uint32_t number) {
    const auto handle = static_cast<std::int32_t>(call.arguments[0]);
    sim::Vehicle& vehicle = worldVehicle(handle);
    const float game = floatOf(call.result);
    if (std::ranges::find(replay.speedKnown, handle) == replay.speedKnown.end()) {
        replay.speedKnown.push_back(handle);
    } else if (std::fabs(std::fabs(vehicle.speed) - game) > speedTolerance) {
        reportOnce(replay, "GET_ENTITY_SPEED", number, timeMs,
                   callText(call) + ": game " + numberText("%.2f", game) + ", stand-in " +
                       numberText("%.2f", std::fabs(vehicle.speed)));
    }
    vehicle.speed = std::copysign(game, vehicle.speed);
}

// The recorded answers as the world's inputs before the pass: the focus,
// keys, controls, device, phone, menu, the player and their seat, vehicle
// classes and top speeds, and each vehicle's speed as the pass began.
void applyInputs(WorldReplay& replay, const RecordedPass& pass, std::uint32_t number) {
    sim::World& world = replay.world;
    int inVehicle = -1;
    std::int32_t vehicle = 0;
    std::int32_t driver = 0;
    int keyboard = -1;
    std::vector<std::int32_t> speedsTaken;
    for (const RecordedCall& call : pass.calls) {
        if (call.kind == RecordedCall::Kind::Focus) {
            world.gameFocused = call.focused;
        } else if (call.kind == RecordedCall::Kind::Key) {
            sim::setKey(call.key, call.keyState < 0);
        }
        if (call.kind != RecordedCall::Kind::Native) {
            continue;
        }
        const std::string_view name = nameOf(call);
        const auto first = static_cast<std::int32_t>(call.arguments[0]);
        const auto second = static_cast<std::int32_t>(call.arguments[1]);
        const auto result = static_cast<std::int32_t>(call.result);
        if (name == "PLAYER_PED_ID") {
            world.playerHandle = result;
        } else if (name == "IS_PED_IN_ANY_VEHICLE") {
            inVehicle = result != 0;
        } else if (name == "GET_VEHICLE_PED_IS_USING") {
            vehicle = result;
        } else if (name == "GET_PED_IN_VEHICLE_SEAT") {
            driver = result;
        } else if (name == "GET_VEHICLE_CLASS") {
            worldVehicle(first).vehicleClass = result;
        } else if (name == "GET_VEHICLE_ESTIMATED_MAX_SPEED") {
            worldVehicle(first).topSpeed = floatOf(call.result);
        } else if (name == "IS_USING_KEYBOARD_AND_MOUSE") {
            keyboard = result != 0;
        } else if (name == "IS_DISABLED_CONTROL_PRESSED") {
            sim::holdControl(second, result != 0);
        } else if (name == "IS_CONTROL_JUST_PRESSED" && result != 0) {
            sim::fireControlOnce(second);
        } else if (name == "IS_PED_RUNNING_MOBILE_PHONE_TASK") {
            world.phoneOut = result != 0;
        } else if (name == "IS_PAUSE_MENU_ACTIVE") {
            world.pauseMenuActive = result != 0;
        } else if (name == "GET_ENTITY_SPEED" &&
                   std::ranges::find(speedsTaken, first) == speedsTaken.end()) {
            speedsTaken.push_back(first);
            takeSpeed(replay, call, pass.gameTimeMs, number);
        }
    }
    if (keyboard >= 0) {
        world.lastDevice = keyboard ? sim::Device::KeyboardAndMouse : sim::Device::Pad;
    }
    if (inVehicle == 0) {
        sim::leaveVehicle();
    } else if (inVehicle == 1 && vehicle != 0) {
        sim::enterVehicle(vehicleIndex(vehicle),
                          driver == world.playerHandle ? sim::driverSeat : sim::passengerSeat);
    }
}

struct Answers {
    std::string kind;
    bool same = true;
    std::string game;
    std::string world;
};

Answers answers(const RecordedCall& game, const RecordedCall& world) {
    switch (world.kind) {
    case RecordedCall::Kind::Key: {
        const auto state = [](std::int16_t key) { return key < 0 ? "down" : "up"; };
        return {"GetAsyncKeyState", (game.keyState < 0) == (world.keyState < 0),
                state(game.keyState), state(world.keyState)};
    }
    case RecordedCall::Kind::Focus: {
        const auto focus = [](bool focused) { return focused ? "in front" : "behind"; };
        return {"the focus", game.focused == world.focused, focus(game.focused),
                focus(world.focused)};
    }
    default:
        break;
    }
    const std::string_view type = sim::nativeResult(world.hash);
    const bool same =
        type == "float"  ? std::fabs(floatOf(game.result) - floatOf(world.result)) <= speedTolerance
        : type == "BOOL" ? (game.result != 0) == (world.result != 0)
                         : game.result == world.result;
    return {std::string(nameOf(world)), same, typedText(type, game.result),
            typedText(type, world.result)};
}

// Each of the world's answers in the pass against the game's to the same
// question, asked as often before in the pass.
void compareAnswers(WorldReplay& replay, const RecordedPass& recorded, const RecordedPass& replayed,
                    std::uint32_t number) {
    std::vector<bool> used(recorded.calls.size(), false);
    for (const RecordedCall& call : replayed.calls) {
        const char* result = sim::nativeResult(call.hash);
        if (call.kind == RecordedCall::Kind::Native &&
            (!result || std::string_view(result) == "void")) {
            continue;
        }
        for (std::size_t i = 0; i < recorded.calls.size(); ++i) {
            if (used[i] || !sameCall(recorded.calls[i], call)) {
                continue;
            }
            used[i] = true;
            const Answers both = answers(recorded.calls[i], call);
            if (!both.same) {
                reportOnce(replay, both.kind, number, recorded.gameTimeMs,
                           callText(call) + ": game " + both.game + ", stand-in " + both.world);
            }
            break;
        }
    }
}

} // namespace

std::string callText(const RecordedCall& call) {
    switch (call.kind) {
    case RecordedCall::Kind::Key:
        return "GetAsyncKeyState(" + std::to_string(call.key) + ")";
    case RecordedCall::Kind::Focus:
        return "the focus check";
    case RecordedCall::Kind::State:
        return "the plug-in's state";
    case RecordedCall::Kind::Native:
        break;
    }
    const char* name = sim::nativeName(call.hash);
    const char* parameters = sim::nativeParameters(call.hash);
    const std::vector<std::string_view> types = parameterTypes(parameters ? parameters : "");
    std::string text = name ? name : sim::hashText(call.hash);
    for (std::size_t i = 0; i < call.argumentCount; ++i) {
        text += i == 0 ? "(" : ", ";
        if (i == 0 && call.textArgument) {
            text += "\"" + call.text + "\"";
        } else {
            text += i < types.size() ? typedText(types[i], call.arguments[i])
                                     : typedText("Entity", call.arguments[i]);
        }
    }
    return text + (call.argumentCount == 0 ? "()" : ")");
}

ReplayReport replayRecording(const DriveRecording& recording, const PluginControl& plugin) {
    const ReplayFolder folder(recording);
    ReplayReport report;
    report.problem = folder.failure;
    if (!report.problem.empty()) {
        return report;
    }
    sim::world = sim::World{};
    report.problem = plugin.restore(recording);
    if (!report.problem.empty()) {
        return report;
    }
    RecordedPass recorded;
    std::size_t offset = 0;
    while (report.passes < recording.passCount) {
        decodePass(recording, offset, recorded);
        ++report.passes;
        sim::world.calls.clear();
        sim::world.timeMs = recorded.gameTimeMs;
        sim::world.replay = {&recorded, 0};
        plugin.runPass();
        sim::world.replay = {};
        const std::string difference = firstDifference(
            recorded, recordedPass(sim::world.calls, recorded.gameTimeMs), report.passes);
        sim::endFrame();
        sim::world.faults.clear();
        if (!difference.empty()) {
            report.differences.push_back(difference);
            break;
        }
    }
    return report;
}

ReplayReport replayThroughWorld(const DriveRecording& recording, const PluginControl& plugin) {
    const ReplayFolder folder(recording);
    WorldReplay replay;
    replay.report.problem = folder.failure;
    if (!replay.report.problem.empty()) {
        return replay.report;
    }
    sim::world = sim::World{};
    replay.report.problem = plugin.restore(recording);
    if (!replay.report.problem.empty()) {
        return replay.report;
    }
    RecordedPass recorded;
    RecordedPass next;
    std::size_t offset = 0;
    if (recording.passCount > 0) {
        decodePass(recording, offset, next);
    }
    while (replay.report.passes < recording.passCount) {
        std::swap(recorded, next);
        const std::uint32_t number = ++replay.report.passes;
        if (number < recording.passCount) {
            decodePass(recording, offset, next);
            replay.world.frameMs = std::max(1, next.gameTimeMs - recorded.gameTimeMs);
        }
        replay.world.timeMs = recorded.gameTimeMs;
        applyInputs(replay, recorded, number);
        replay.world.calls.clear();
        plugin.runPass();
        compareAnswers(replay, recorded, recordedPass(replay.world.calls, recorded.gameTimeMs),
                       number);
        sim::endFrame();
        replay.world.faults.clear();
    }
    return replay.report;
}
