// The replay through the world: the recorded answers set up the stand-in's
// world before each pass, the world moves the vehicles itself, and its answers
// are compared with the game's; the first difference of each kind is named.
#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <optional>
#include <unordered_set>
#include <vector>

#include "replay/recording_check.h"
#include "replay/replay.h"
#include "replay/replay_answers.h"
#include "replay/replay_calls.h"
#include "replay/replay_folder.h"
#include "replay/world_answers.h"
#include "replay/world_controllers.h"
#include "runner/recorded_drive.h"
#include "sim/motion.h"
#include "sim/world.h"

namespace {

struct WorldReplay {
    sim::World& world = sim::world;
    // The vehicles whose speed the game told, from which the world moves them.
    std::unordered_set<std::int32_t> speedKnown;
    // The kinds of answer whose first difference is reported.
    std::vector<std::string> kindsReported;
    ReplayReport report;
};

// What a pass's answers tell of the player's seat and device, which the world
// takes once the whole pass is read; -1 where the plug-in didn't ask.
struct PassInputs {
    int inVehicle = -1;
    std::int32_t vehicle = 0;
    bool driverSeatFree = false;
    std::int32_t driver = 0;
    int keyboard = -1;
    // The notifications this pass posts so far.
    std::uint32_t notices = 0;
    // The vehicles whose speed this pass has given already.
    std::unordered_set<std::int32_t> speedsTaken;
};

// The vehicle of this handle, which the world gets when the game first
// names it.
int worldVehicleIndex(std::int32_t handle) {
    const int index = sim::vehicleIndex(handle);
    return index >= 0 ? index : sim::addVehicle(handle);
}

sim::Vehicle& worldVehicle(std::int32_t handle) {
    return sim::world.vehicles[static_cast<std::size_t>(worldVehicleIndex(handle))];
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

// A speed the world moved itself against the game's, which then holds.
void takeSpeed(WorldReplay& replay, const RecordedCall& call, std::int32_t timeMs,
               std::uint32_t number) {
    const auto handle = static_cast<std::int32_t>(call.arguments[0]);
    sim::Vehicle& vehicle = worldVehicle(handle);
    const float game = floatOf(call.result);
    if (!replay.speedKnown.insert(handle).second && !sameFloat(game, std::fabs(vehicle.speed))) {
        reportOnce(replay, "GET_ENTITY_SPEED", number, timeMs,
                   callText(call) + ": game " + numberText("%.2f", game) + ", stand-in " +
                       numberText("%.2f", std::fabs(vehicle.speed)));
    }
    vehicle.speed = std::copysign(game, vehicle.speed);
}

// A native's recorded answer, as what it tells of the world.
void takeAnswer(WorldReplay& replay, PassInputs& inputs, const RecordedCall& call,
                std::int32_t timeMs, std::uint32_t number) {
    sim::World& world = replay.world;
    const auto first = static_cast<std::int32_t>(call.arguments[0]);
    const auto second = static_cast<std::int32_t>(call.arguments[1]);
    const auto result = static_cast<std::int32_t>(call.result);
    switch (sim::nativeFact(call.hash)) {
    case sim::Fact::Nothing:
        break;
    case sim::Fact::PlayerCharacter:
        world.playerHandle = result;
        break;
    case sim::Fact::PlayerInVehicle:
        inputs.inVehicle = result != 0;
        break;
    case sim::Fact::PlayerVehicle:
        inputs.vehicle = result;
        break;
    case sim::Fact::DriverSeatFree:
        inputs.driverSeatFree = result != 0;
        break;
    case sim::Fact::Driver:
        inputs.driver = result;
        break;
    case sim::Fact::VehicleClass:
        worldVehicle(first).vehicleClass = result;
        break;
    case sim::Fact::VehicleTopSpeed:
        worldVehicle(first).topSpeed = floatOf(call.result);
        break;
    case sim::Fact::VehicleSpeed:
        if (inputs.speedsTaken.insert(first).second) {
            takeSpeed(replay, call, timeMs, number);
        }
        break;
    case sim::Fact::KeyboardAndMouse:
        inputs.keyboard = result != 0;
        break;
    case sim::Fact::ControlHeld:
        sim::holdControl(second, result != 0);
        break;
    case sim::Fact::ControlFired:
        if (result != 0) {
            sim::fireControlOnce(second);
        }
        break;
    case sim::Fact::ControlFed:
        // Another script disabled the action for the frame: nothing feeds it,
        // nor does the player's input drive it.
        if (result == 0) {
            world.suppressed[static_cast<std::size_t>(second)] = true;
        }
        break;
    case sim::Fact::PhoneOut:
        world.phoneOut = result != 0;
        break;
    case sim::Fact::PauseMenu:
        world.pauseMenuActive = result != 0;
        break;
    case sim::Fact::SidewaysSpeed:
    case sim::Fact::InAir:
    case sim::Fact::BodyHealth:
        takeRoad(call, worldVehicle(first));
        break;
    case sim::Fact::NotificationId:
        // The world's ids go on from the game's.
        world.notificationsBefore = call.result - 1 - inputs.notices++ -
                                    static_cast<std::uint32_t>(world.notifications.size());
        break;
    }
}

// The recorded answers as the world's inputs before the pass: the focus,
// keys, controls and those disabled, device, phone, menu, the player and
// their seat, vehicle classes and top speeds, and each vehicle's speed as
// the pass began.
void applyInputs(WorldReplay& replay, const RecordedPass& pass, std::uint32_t number) {
    sim::World& world = replay.world;
    PassInputs inputs;
    bool listed = false;
    for (const RecordedCall& call : pass.calls) {
        if (call.kind == RecordedCall::Kind::Focus) {
            world.gameFocused = call.focused;
        } else if (call.kind == RecordedCall::Kind::Key) {
            sim::setKey(call.key, call.keyState < 0);
        } else if (call.kind == RecordedCall::Kind::Native) {
            takeAnswer(replay, inputs, call, pass.gameTimeMs, number);
        } else if (call.kind == RecordedCall::Kind::Controllers ||
                   call.kind == RecordedCall::Kind::ControllersKept) {
            takeControllers(call);
            listed = true;
        } else if (call.kind == RecordedCall::Kind::ControllerRead) {
            takeRead(call, listed);
        } else if (call.kind == RecordedCall::Kind::ForcesOpened) {
            takeForcesOpened(call, listed);
        }
    }
    if (inputs.keyboard >= 0) {
        world.lastDevice = inputs.keyboard ? sim::Device::KeyboardAndMouse : sim::Device::Pad;
    }
    if (inputs.inVehicle == 0) {
        sim::leaveVehicle();
    } else if (inputs.inVehicle == 1 && inputs.vehicle != 0) {
        const bool drives = !inputs.driverSeatFree && inputs.driver == world.playerHandle;
        sim::enterVehicle(worldVehicleIndex(inputs.vehicle),
                          drives ? sim::driverSeat : sim::passengerSeat);
        if (!drives) {
            worldVehicle(inputs.vehicle).driver = inputs.driverSeatFree ? 0 : inputs.driver;
        }
    }
}

// Each of the world's answers in the pass against the game's to the same
// question, asked as often before in the pass.
void compareAnswers(WorldReplay& replay, const RecordedPass& recorded, const RecordedPass& replayed,
                    std::uint32_t number) {
    std::vector<bool> used(recorded.calls.size(), false);
    for (const RecordedCall& call : replayed.calls) {
        const char* result = sim::nativeResult(call.hash);
        if (call.kind == RecordedCall::Kind::File || forceOutput(call) ||
            (call.kind == RecordedCall::Kind::Native &&
             (!result || std::string_view(result) == "void"))) {
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

std::vector<FileQuestion> fileQuestions(const RecordedPass& pass) {
    std::vector<FileQuestion> questions;
    for (const RecordedCall& call : pass.calls) {
        if (call.kind == RecordedCall::Kind::File) {
            questions.push_back(call.question);
        }
    }
    return questions;
}

// The plug-in's file questions in the pass against the recording's, which
// answered them; a pass the recording stopped in counts as far as it goes.
void compareFileQuestions(WorldReplay& replay, const RecordedPass& recorded,
                          const RecordedPass& replayed, std::uint32_t number) {
    const std::vector<FileQuestion> before = fileQuestions(recorded);
    const std::vector<FileQuestion> now = fileQuestions(replayed);
    const std::size_t count = recorded.cut ? before.size() : std::max(before.size(), now.size());
    for (std::size_t i = 0; i < count; ++i) {
        const auto text = [i](const std::vector<FileQuestion>& questions) {
            return i < questions.size() ? fileQuestionText(questions[i]) : "nothing";
        };
        if (i >= before.size() || i >= now.size() || before[i] != now[i]) {
            reportOnce(replay, "files", number, recorded.gameTimeMs,
                       "file question " + std::to_string(i + 1) + ": recorded " + text(before) +
                           ", replayed " + text(now));
            return;
        }
    }
}

// The game's first answer to the speed of this vehicle in the pass, as its
// bits; none when it wasn't asked.
std::optional<std::uint32_t> speedAnswer(const RecordedPass& pass, std::int32_t handle) {
    for (const RecordedCall& call : pass.calls) {
        if (call.kind == RecordedCall::Kind::Native &&
            sim::nativeFact(call.hash) == sim::Fact::VehicleSpeed &&
            static_cast<std::int32_t>(call.arguments[0]) == handle) {
            return call.result;
        }
    }
    return std::nullopt;
}

// Whether the game kept the player's moving vehicle at the very speed it had
// from this pass to the next: its vehicles stood still, as they do while the
// pause menu is open, which the plug-in asks about only now and then.
bool stoodStill(const RecordedPass& pass, const RecordedPass& next) {
    const sim::Vehicle* vehicle = sim::playerVehicle();
    const auto before = vehicle ? speedAnswer(pass, vehicle->handle) : std::nullopt;
    return before && before == speedAnswer(next, vehicle->handle) &&
           std::fabs(floatOf(*before)) > sim::stoppedAtOrBelow;
}

// A frame lasts from one pass's game time to the next's; a time that goes
// back, as the game's timer does when it wraps, makes a frame of 1 ms.
int frameLength(std::int32_t from, std::int32_t to) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{to} - from, 1, INT_MAX));
}

} // namespace

ReplayReport replayThroughWorld(const DriveRecording& recording, const PluginControl& plugin) {
    WorldReplay replay;
    replay.report.problem = recordingProblem(recording, plugin.stateFields());
    if (!replay.report.problem.empty()) {
        return replay.report;
    }
    const ReplayFolder folder(recording);
    replay.report.problem = folder.failure;
    if (!replay.report.problem.empty()) {
        return replay.report;
    }
    sim::world = sim::World{};
    plugin.restore(recording);
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
            replay.world.frameMs = frameLength(recorded.gameTimeMs, next.gameTimeMs);
        }
        replay.world.timeMs = recorded.gameTimeMs;
        applyInputs(replay, recorded, number);
        if (number == 1) {
            restoreKeptControllers(recorded);
        }
        replay.world.calls.clear();
        answerFrom(recording, recorded, Answering::Files);
        plugin.runPass();
        stopAnswering();
        const RecordedPass replayed = recordedPass(replay.world.calls, recorded.gameTimeMs);
        compareAnswers(replay, recorded, replayed, number);
        if (const Answers pulls = pullsSent(recorded, replayed); !pulls.same) {
            reportOnce(replay, pulls.kind, number, recorded.gameTimeMs,
                       pulls.kind + ": game " + pulls.game + ", stand-in " + pulls.world);
        }
        compareFileQuestions(replay, recorded, replayed, number);
        if (const std::string difference = forcesDifference(recorded, replayed);
            !difference.empty()) {
            reportOnce(replay, "force feedback", number, recorded.gameTimeMs, difference);
        }
        for (const std::string& fault : replay.world.faults) {
            reportOnce(replay, "fault", number, recorded.gameTimeMs, faultText(fault));
        }
        replay.world.faults.clear();
        const bool menuOpen = replay.world.pauseMenuActive;
        replay.world.pauseMenuActive =
            menuOpen || (number < recording.passCount && stoodStill(recorded, next));
        sim::endFrame();
        replay.world.pauseMenuActive = menuOpen;
    }
    return replay.report;
}
