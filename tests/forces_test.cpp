// Force feedback: the table of forces, and the native drive of a wheel with
// force feedback, counting the stand-in's effect calls in every frame.
#include <filesystem>
#include <fstream>
#include <utility>

#include "plugin_fixture.h"
#include "runner/drive.h"
#include "sim/hook_control.h"
#include "wheel/wheel_forces.h"

namespace {

TEST(ForceTableTest, ForcesAgainstSpeedSidewaysSpeedAirAndCollision) {
    struct Case {
        float position, forward, sideways;
        bool inAir, collided;
        std::int32_t constant, damper, jolt;
    };
    const float notANumber = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {0.2f, 0.0f, 0.0f, false, false, -300, 1000, 0},       // a light hold
        {0.0f, 30.0f, 0.0f, false, false, 0, 4000, 0},         // centred, nothing
        {0.2f, 10.0f, 0.0f, false, false, -733, 2000, 0},      // heavier with speed
        {0.2f, 30.0f, 0.0f, false, false, -1600, 4000, 0},     // against the turn
        {-0.5f, 30.0f, 0.0f, false, false, 4000, 4000, 0},     // either way
        {0.2f, 60.0f, 0.0f, false, false, -1600, 4000, 0},     // no stronger past 30
        {0.2f, 30.0f, 7.5f, false, false, -1303, 4000, 0},     // starting to slide
        {0.2f, 30.0f, 15.0f, false, false, -560, 4000, 0},     // sliding: light
        {0.2f, 30.0f, 0.0f, true, false, -300, 4000, 0},       // in the air
        {0.2f, 30.0f, 0.0f, false, true, -1600, 4000, 7000},   // a collision
        {0.2f, notANumber, 0.0f, false, false, -300, 1000, 0}, // no speed to trust
        {2.0f, 30.0f, 0.0f, false, false, -10000, 4000, 0},    // never past full
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.position << " at " << c.forward << " m/s, " << c.sideways << " sideways");
        const ForceEffects effects = wheelForces(forceTable, c.position,
                                                 {.forwardSpeed = c.forward,
                                                  .sidewaysSpeed = c.sideways,
                                                  .inAir = c.inAir,
                                                  .collided = c.collided});
        EXPECT_EQ(effects.constant, c.constant);
        EXPECT_EQ(effects.damper, c.damper);
        EXPECT_EQ(effects.jolt.magnitude, c.jolt);
    }
}

struct ForcesDrive {
    DriveReport report;
    sim::EffectCounts total;
    int mostUpdatesInAFrame = 0;
    int jolts = 0;
};

// The drive of the wheel with force feedback, played natively by a freshly
// loaded plug-in.
ForcesDrive playForcesDrive() {
    const std::filesystem::path folder = std::filesystem::path(MG_E2E_DRIVES) / "wheel/forces";
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    driveHook.reset();
    restorePlugin(DriveRecording{});
    ForcesDrive drive;
    sim::world.frameObserver = [&drive](const sim::World& world) {
        const sim::EffectCounts& counts = world.shownEffectCounts;
        drive.total.created += counts.created;
        drive.total.started += counts.started;
        drive.total.updated += counts.updated;
        drive.total.stopped += counts.stopped;
        drive.total.unloaded += counts.unloaded;
        drive.mostUpdatesInAFrame = std::max(drive.mostUpdatesInAFrame, counts.updated);
        for (const sim::Call& call : world.calls) {
            drive.jolts += call.kind == sim::Call::Kind::ForceSet &&
                           call.value == static_cast<int>(ForceEffect::Jolt);
        }
    };
    std::ifstream in(folder / "forces.drive");
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const ParsedDriveScript parsed = parseDriveScript("forces.drive", text);
    EXPECT_EQ(parsed.error, "");
    drive.report = runDrive(parsed.script, driveHook);
    sim::world.frameObserver = nullptr;
    std::filesystem::current_path(saved);
    return drive;
}

TEST(ForcesDriveTest, AtMostOneSetParametersAPassAndOneJoltForACrashOfTwoHits) {
    const ForcesDrive drive = playForcesDrive();
    EXPECT_EQ(drive.report.failures, std::vector<std::string>{});
    EXPECT_EQ(drive.mostUpdatesInAFrame, 1);
    EXPECT_EQ(drive.jolts, 1);
    // The three effects created on the first pass and again once the
    // unplugged wheel is back; the frames that stop them: the pause menu and
    // getting out; the unplugged wheel unloads them.
    EXPECT_EQ(drive.total.created, 6);
    EXPECT_EQ(drive.total.unloaded, 3);
    EXPECT_GE(drive.total.stopped, 2);
    EXPECT_EQ(drive.total.started, drive.total.updated);
}

// A drive of the wheel with force feedback, turned a fifth right at 20 m/s,
// then the script's own lines.
DriveReport playTurned(const std::string& lines) {
    const std::string script =
        "0 plug 1 046D:C24F wheel G29\n0 axis 1 X 0.6\n0 enter\n1 speed 20\n" + lines;
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(MG_E2E_DRIVES) / "wheel/forces");
    driveHook.reset();
    restorePlugin(DriveRecording{});
    const DriveReport report = runDrive(parseDriveScript("turned", script).script, driveHook);
    std::filesystem::current_path(saved);
    return report;
}

TEST(ForcesDriveTest, ARestartOfTheScriptStopsEveryEffectWithinItsPass) {
    const DriveReport report = playTurned("1 expect effects playing\n"
                                          "1.2 restart\n1.2 expect effects stopped\n"
                                          "1.5 expect effects playing\n");
    EXPECT_EQ(report.failures, std::vector<std::string>{});
}

TEST(ForcesDriveTest, OncePassesStopTheLeaseEndsEveryEffect) {
    const DriveReport report = playTurned("");
    ASSERT_TRUE(sim::forceOutput().playing);
    ASSERT_NE(sim::forceOutput().constant, 0);
    EXPECT_EQ(report.failures, std::vector<std::string>{});
    // As on unload: no pass runs again, and nothing calls DirectInput.
    sim::advanceFrames(forceLeaseMs / sim::world.frameMs + 1);
    EXPECT_EQ(sim::forceOutput(), sim::ForceOutput{});
}

} // namespace
