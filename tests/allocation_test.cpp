// The per-frame path allocates nothing: every heap allocation made while the
// plug-in drives is counted by replacing the global allocator.
#include "gearbox_fixture.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <new>

#include "choosing/input_choosing.h"
#include "host/controller_system.h"
#include "host/force_feedback.h"
#include "host/windows_api.h"
#include "recorder/recorder.h"
#include "sim/controller_steps.h"

namespace {
// Enough for a save of a few slices; 36,000 make a busy ten minutes.
constexpr int recordedPasses = 1200;
std::size_t allocations = 0;
bool counting = false;
// The plug-in's allocation after this many more fails, as it would with the
// game out of memory; none while negative.
int allocationsBeforeFailing = -1;
// The script function never returns: the hook's wait after this many more
// throws this to leave it.
struct LeaveScript {};
int waitsBeforeLeaving = -1;

// Allocations on the world's side of the boundary are not the plug-in's.
struct WorldSide {
    bool wasCounting = counting;
    WorldSide() { counting = false; }
    ~WorldSide() { counting = wasCounting; }
};
} // namespace

// The hook's entry points, as in the native build, with the world's side
// excluded from the count.
extern "C" {
void scriptRegister(HINSTANCE__*, void (*)()) {}
void scriptUnregister(HINSTANCE__*) {}

void scriptWait(HookDword milliseconds) {
    WorldSide world;
    sim::recordWait(milliseconds);
    sim::advanceFrames(sim::framesCovering(milliseconds));
    if (waitsBeforeLeaving >= 0 && waitsBeforeLeaving-- == 0) {
        throw LeaveScript{};
    }
}

void nativeInit(unsigned long long hash) {
    WorldSide world;
    sim::beginNative(hash);
}

void nativePush64(unsigned long long value) {
    WorldSide world;
    sim::pushArgument(value);
}

unsigned long long* nativeCall() {
    WorldSide world;
    return sim::callNative();
}

short GetAsyncKeyState(int key) {
    WorldSide world;
    return sim::keyState(key);
}

HWND GetForegroundWindow() {
    WorldSide world;
    return static_cast<HWND>(sim::foregroundWindow());
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    WorldSide world;
    return sim::windowThreadProcessId(window, processId);
}

DWORD GetCurrentProcessId() {
    return sim::world.processId;
}
}

std::size_t listSystemControllers(GameController* list, std::size_t most, ControllerFault& fault) {
    WorldSide world;
    return sim::listSystemControllers({list, most}, fault);
}

ControllerFault openSystemController(std::size_t index) {
    WorldSide world;
    return sim::openSystemController(index);
}

ControllerFault readSystemController(std::size_t index, ControllerInput& input) {
    WorldSide world;
    return sim::readSystemController(index, input);
}

ControllerFault acquireSystemController(std::size_t index) {
    WorldSide world;
    return sim::acquireSystemController(index);
}

bool systemControllersArrived() {
    WorldSide world;
    return sim::systemControllersArrived();
}

void closeSystemControllers() {
    WorldSide world;
    sim::closeSystemControllers();
}

ForceFeedbackStatus openSystemForces(std::size_t place, std::size_t axis, std::int32_t gain) {
    WorldSide world;
    return sim::openSystemForces(place, axis, gain);
}

void setSystemForce(ForceEffect effect, const ForceParameters& parameters) {
    WorldSide world;
    sim::setEffect(effect, parameters);
}

void stopSystemForces() {
    WorldSide world;
    sim::forceCommand(sim::ForceCommand::StopAll);
}

void closeSystemForces() {
    WorldSide world;
    sim::releaseForces();
}

void* operator new(std::size_t size) {
    if (counting) {
        ++allocations;
        if (allocationsBeforeFailing >= 0 && allocationsBeforeFailing-- == 0) {
            throw std::bad_alloc();
        }
    }
    if (void* memory = std::malloc(size ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

class AllocationTest : public GearboxTest {
  protected:
    static void tap(int key, const std::function<void()>& onePass = pass) {
        press(key);
        onePass();
        release(key);
    }
};

TEST_F(AllocationTest, DrivingThroughEveryGearAndSeatAllocatesNothing) {
    const int other = sim::addVehicle(0x00013C07);
    // Each vehicle's gears fitted to its top speed, as the pass that gets in
    // asks; with the gear feel, its pull, braking and bar.
    bindField(&KeyBindings::fitGears, 1);
    bindField(&KeyBindings::gearFeel, 1);
    bindField(&KeyBindings::revBar, 1);
    sim::world.vehicles[static_cast<std::size_t>(other)].topSpeed = 30.0f;
    // Shifting one gear at a time on the keyboard and on a pad, as well.
    constexpr int keyE = 69, lb = 68, a = 73, x = 99, rt = 71;
    bindField(&KeyBindings::shiftUpKey, keyE);
    bindField(&KeyBindings::bindKey, 119);
    bindField(&KeyBindings::padHoldControl, lb);
    bindField(&KeyBindings::padUpControl, a);
    bindField(&KeyBindings::padDownControl, x);
    const auto hold = [](std::initializer_list<int> controls, bool held) {
        for (const int control : controls) {
            sim::holdControl(control, held);
        }
    };
    const struct {
        int frames;
        std::vector<int> keys;
        // What changes in the world before the stretch.
        std::function<void()> change;
    } drive[] = {
        {150, {keyW}, nullptr},
        {2, {clutch, secondKey}, nullptr},
        {150, {keyW}, nullptr},
        {2, {clutch, thirdKey}, nullptr},
        {150, {keyW}, nullptr},
        {2, {clutch, fourthKey}, nullptr},
        {150, {keyW}, nullptr},
        {2, {clutch, fifthKey}, [] { bindField(&KeyBindings::forwardGears, 5); }},
        {100, {keyW}, nullptr},
        {2, {clutch, sixthKey}, [] { bindField(&KeyBindings::forwardGears, 6); }},
        {100, {keyW}, nullptr},
        {60, {keyS}, nullptr},
        {2, {clutch, reverseKey}, nullptr},
        {30, {keyW, keyS}, nullptr},
        {2, {39}, nullptr},
        {10, {}, nullptr},
        {2, {39}, nullptr},
        {10, {keyW}, nullptr},
        {2, {clutch, keyE}, nullptr},
        {2,
         {},
         [&] {
             hold({lb, x}, true);
         }},
        {40,
         {},
         [&] {
             hold({lb, x}, false);
             hold({rt}, true);
         }},
        {10, {keyW}, [&] { hold({rt}, false); }},
        {10, {keyW}, [] { sim::enterVehicle(0, sim::passengerSeat); }},
        {10, {keyW}, [other] { sim::enterVehicle(other); }},
        {10, {keyW}, [] { sim::world.vehicles[1].vehicleClass = 14; }},
        {10, {clutch, secondKey}, [] { sim::world.gameFocused = false; }},
        {10, {keyW}, [] { sim::leaveVehicle(); }},
    };
    std::size_t frames = 0;
    for (const auto& stretch : drive) {
        if (stretch.change) {
            stretch.change();
        }
        for (const int key : stretch.keys) {
            press(key);
        }
        counting = true;
        passes(stretch.frames);
        counting = false;
        frames += static_cast<std::size_t>(stretch.frames);
        for (const int key : stretch.keys) {
            release(key);
        }
    }
    EXPECT_EQ(allocations, 0u) << "over " << frames << " frames";
    EXPECT_EQ(sim::world.subtitles.size(), 2u);
    EXPECT_EQ(gearboxState().gear, gear1);
    EXPECT_EQ(car().maxSpeed, 9999.0f) << "lifted once the player left the driver's seat";
    EXPECT_EQ(sim::world.vehicles[1].maxSpeed, 9999.0f) << "lifted in a boat";
    EXPECT_EQ(sim::world.frame, static_cast<std::int64_t>(frames)) << "one frame a pass";
}

// Driving with a wheel's clutch pedal, gates and paddles, through neutral and
// a gate refused, its wheel, pedals and handbrake fed and its force feedback
// on, the wheel lost and back, the pedal slipping with the gear feel,
// recorded from the second stretch on: once the wheel is found, no pass
// allocates.
TEST_F(AllocationTest, DrivingWithAWheelAllocatesNothing) {
    constexpr ControllerId g29 = {0x046D, 0xC24F};
    sim::plugController(0, g29, ControllerType::Wheel, "Logitech G29 Driving Force");
    KeyBindings keys = bindingsState().keys;
    keys.clutchPedal = {g29, axisPart(6, true)};
    keys.firstGearGate = {g29, 13};
    keys.paddleUpButton = {g29, 5};
    keys.paddleDownButton = {g29, 6};
    keys.steeringAxis = {g29, axisPart(0, false)};
    keys.throttlePedal = {g29, axisPart(1, true)};
    keys.brakePedal = {g29, axisPart(5, true)};
    keys.handbrakeButton = {g29, 7};
    keys.forceFeedback = 100;
    keys.gearFeel = 1;
    useKeyBindings(keys);
    lookForNamedControllers();
    ASSERT_EQ(forceFeedbackState().status, ForceFeedbackStatus::On);
    DriveRecording header;
    header.state = {{"gear", 0}};
    press(keyW);
    // Each stretch: the pedal (released high), the buttons down, and whether
    // the wheel is attached.
    const struct {
        int pedal;
        std::bitset<128> buttons;
        bool plugged;
    } stretches[] = {{65535, 0, true},    {65535, 0x1040, true},  {0, 1 << 12, true},
                     {0, 1 << 12, false}, {65535, 1 << 12, true}, {0, 0x10, true},
                     {0, 0x20, true},     {32768, 0x20, true}};
    for (const auto& stretch : stretches) {
        sim::world.controllers[0].input.axes[6] = static_cast<std::uint16_t>(stretch.pedal);
        sim::world.controllers[0].input.buttons = stretch.buttons;
        sim::world.controllers[0].plugged = stretch.plugged;
        counting = true;
        passes(20);
        counting = false;
        if (recorderState().mode == RecorderMode::Off) {
            ASSERT_TRUE(startRecording(header));
        }
    }
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(recorderState().passesKept, 140u);
    EXPECT_EQ(gearboxState().engaged, Engaged::InGear)
        << "out of neutral by a paddle, with the clutch";
    EXPECT_TRUE(sim::world.fedForThisFrame.sent.test(59)) << "the wheel steers";
}

// The whole buffer is had when recording starts, and given back when it is
// saved: what the stop and the save need is had then too, so that neither the
// pass that stops it nor those that save it allocate, a save that fails on a
// full disk and the key's next press that saves it again included.
TEST_F(AllocationTest, RecordingStoppingAndSavingAllocateNothingAfterTheStart) {
    constexpr int keyF9 = 120;
    bindField(&KeyBindings::recordKey, keyF9);
    press(keyF9);
    pass();
    release(keyF9);
    ASSERT_TRUE(recording());
    for (const std::vector<int>& keys : std::vector<std::vector<int>>{
             {keyW}, {clutch, secondKey}, {keyW}, {keyS}, {clutch, reverseKey}, {keyW}}) {
        for (const int key : keys) {
            press(key);
        }
        counting = true;
        passes(recordedPasses / 6);
        counting = false;
        for (const int key : keys) {
            release(key);
        }
    }
    EXPECT_EQ(allocations, 0u) << "over the recording's passes, some keeping the plug-in's state";
    EXPECT_EQ(recorderState().passesKept, static_cast<std::uint32_t>(recordedPasses));
    // The allocations of each pass from the key's, until the recording is saved.
    std::vector<std::size_t> perPass;
    const auto countedPass = [&perPass] {
        allocations = 0;
        counting = true;
        pass();
        counting = false;
        perPass.push_back(allocations);
    };
    tap(keyF9, countedPass);
    const std::filesystem::path temporary = pluginFolder / temporaryRecordingName;
    std::filesystem::create_symlink("/dev/full", temporary);
    countedPass();
    EXPECT_EQ(sim::world.notifications.back().text,
              "Manual Gearbox: recording not saved, the disk is full. Press F9 to try again.");
    std::filesystem::remove(temporary);
    tap(keyF9, countedPass);
    while (saving()) {
        countedPass();
    }
    EXPECT_TRUE(sim::world.notifications.back().text.starts_with(
        "Manual Gearbox: drive recorded in ManualGearbox-"));
    EXPECT_GE(perPass.size(), 5u) << "a save of two slices at least";
    EXPECT_EQ(perPass, std::vector<std::size_t>(perPass.size(), 0));
}

TEST_F(AllocationTest, AnExceptionInAPassSwitchesTheGearboxOffAndTheLoopGoesOn) {
    constexpr int keyF5 = 116;
    bindField(&KeyBindings::reloadKey, keyF5);
    putInGear(gear2);
    passes(2);
    EXPECT_EQ(car().maxSpeed, 31.0f);

    // The reload builds its report on the heap.
    press(keyF5);
    counting = true;
    allocationsBeforeFailing = 0;
    pass();
    counting = false;
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(gearboxState().gear, gear1);
    EXPECT_EQ(car().maxSpeed, 9999.0f);
    ASSERT_EQ(sim::world.notifications.size(), 1u);
    EXPECT_EQ(sim::world.notifications[0].text,
              "Manual Gearbox: an error switched the gearbox off. See ManualGearbox.log");
    std::ifstream log(pluginFolder / "ManualGearbox.log");
    const std::string logText{std::istreambuf_iterator<char>(log), {}};
    EXPECT_NE(logText.find("An error switched the gearbox off: std::bad_alloc"), std::string::npos)
        << logText;

    release(keyF5);
    press(39);
    passes(2);
    EXPECT_TRUE(gearboxState().transmissionEnabled);
    EXPECT_EQ(labelTexts(sim::world.shownLabels),
              (std::vector<std::string>{"Clutch", "Shift", "1*"}));
}

// The hook starts the script again while the player records and holds the
// reload key, which the new start counts as pressed: reading the file again
// builds its report on the heap.
TEST_F(AllocationTest, AnExceptionAsTheScriptStartsAgainSwitchesTheGearboxOff) {
    constexpr int keyF9 = 120, keyF5 = 116;
    bindField(&KeyBindings::recordKey, keyF9);
    bindField(&KeyBindings::reloadKey, keyF5);
    press(keyF9);
    passes(2);
    release(keyF9);
    putInGear(gear2);
    press(keyF5);
    passes(3);
    ASSERT_TRUE(recording());

    clearCalls();
    counting = true;
    allocationsBeforeFailing = 0;
    waitsBeforeLeaving = 1;
    EXPECT_THROW(scriptEntry(), LeaveScript);
    counting = false;
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_FALSE(recording());
    ASSERT_GE(sim::world.notifications.size(), 2u);
    EXPECT_TRUE(sim::world.notifications.end()[-2].text.starts_with(
        "Manual Gearbox: drive recorded in ManualGearbox-"))
        << "the restart stopped the recording, and its save needs no allocation";
    EXPECT_EQ(sim::world.notifications.back().text,
              "Manual Gearbox: an error switched the gearbox off. See ManualGearbox.log");
    // The car's handle is from before the start: switching off lifts no cap
    // through it. The loop goes on.
    const std::vector<std::uint64_t> calls = nativeHashes();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), hashOf(Native::CapVehicleSpeed)), 0);
    EXPECT_EQ(waits(), (std::vector<std::int64_t>{0, 0}));
}

constexpr int keyF8 = 119, keyQ = 81, enterKey = 13;

// Refusals, the focus lost and a key kept included: only the pass that writes
// the file allocates.
TEST_F(AllocationTest, ChoosingKeysAllocatesNothingUntilTheFileIsWritten) {
    bindField(&KeyBindings::bindKey, keyF8);
    bindField(&KeyBindings::forwardGears, 6);
    allocations = 0;
    counting = true;
    for (const int key : {keyF8, keyW, keyQ}) {
        tap(key);
    }
    sim::world.gameFocused = false;
    tap(enterKey);
    sim::world.gameFocused = true;
    for (const int key : {0, enterKey, 98, 99, 100, reverseKey, 101}) {
        tap(key);
    }
    counting = false;
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(choosingState().chosen,
              (ChosenKeys{keyQ, firstKey, 98, 99, 100, reverseKey, 101, 0}));
    tap(102);
    EXPECT_FALSE(choosingState().choosing) << "after the sixth gear's key, in a six-speed box";
    EXPECT_EQ(bindingsState().keys.sixthGearKey, 102);
}

// A wheel's steps, a refusal and keeps by a pedal included: only the pass
// that writes the file allocates. Each move: an axis and where it goes, the
// next passes back at rest; or, for axis -1, a button pressed and let go.
TEST_F(AllocationTest, ChoosingAWheelAllocatesNothingUntilTheFileIsWritten) {
    constexpr ControllerId g29 = {0x046D, 0xC24F};
    sim::plugController(0, g29, ControllerType::Wheel, "Logitech G29 Driving Force");
    ControllerInput& wheel = sim::world.controllers[0].input;
    wheel.axes = {32767, 65535, 65535, 0, 0, 0, 0, 0};
    bindField(&KeyBindings::bindKey, keyF8);
    tap(keyF8);
    const struct {
        int axis;
        std::uint16_t to;
    } moves[] = {{-1, 1},  {0, 60000}, {1, 0},   {2, 0},   {6, 65535}, {-1, 13}, {-1, 13},
                 {-1, 14}, {1, 0},     {-1, 15}, {-1, 16}, {-1, 7},    {1, 0}};
    counting = true;
    for (const auto& move : moves) {
        const auto axis = static_cast<std::size_t>(std::max(move.axis, 0));
        const std::uint16_t rest = wheel.axes[axis];
        move.axis < 0 ? void(wheel.buttons.set(move.to - 1u)) : void(wheel.axes[axis] = move.to);
        passes(2);
        move.axis < 0 ? void(wheel.buttons.reset()) : void(wheel.axes[axis] = rest);
        passes(2);
    }
    counting = false;
    EXPECT_EQ(allocations, 0u);
    wheel.buttons.set(5);
    passes(2);
    EXPECT_FALSE(choosingState().choosing) << "after the shift-down paddle";
    const KeyBindings& keys = bindingsState().keys;
    EXPECT_EQ(keys.steeringAxis, (ControllerBinding{g29, axisPart(0, false)}));
    EXPECT_EQ(keys.secondGearGate, (ControllerBinding{g29, 14})) << "13 refused, first's";
    EXPECT_EQ(keys.thirdGearGate, ControllerBinding{}) << "kept by the throttle";
    EXPECT_EQ(keys.paddleDownButton, (ControllerBinding{g29, 6}));
}

// Each allocation of the pass that writes the file fails in turn: the barrier
// holds, and the file is the old one or the new one, whole, alone.
TEST_F(AllocationTest, AnExceptionWhileTheKeysAreWrittenLeavesTheFileWhole) {
    const std::filesystem::path file = pluginFolder / "MTconfig.ini";
    const std::string old = "Clutch=16\nBind=119\n";
    const std::string chosen = "Clutch=81\nBind=119\nFirstGear=49\nSecondGear=50\nThirdGear=51\n"
                               "FourthGear=52\nReverse=82\n";
    bindField(&KeyBindings::bindKey, keyF8);
    int failures = 0;
    for (bool failed = true; failed; ++failures) {
        std::ofstream(file, std::ios::binary) << old;
        switchGearboxOn();
        for (const int key : {keyF8, keyQ, firstKey, secondKey, thirdKey, fourthKey}) {
            tap(key);
        }
        press(reverseKey);
        counting = true;
        allocationsBeforeFailing = failures;
        pass();
        counting = false;
        allocationsBeforeFailing = -1;
        release(reverseKey);
        failed = !gearboxState().transmissionEnabled;
        std::ifstream in(file, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        EXPECT_TRUE(text == old || (text == chosen && !choosingState().choosing)) << text;
        for (const auto& entry : std::filesystem::directory_iterator(pluginFolder)) {
            EXPECT_NE(entry.path().extension(), ".tmp") << "allocation " << failures;
        }
    }
    EXPECT_GT(failures, 10);
}

} // namespace
