// A small stand-in for the game on the far side of the script hook: the
// player, vehicles and their seats, keyboard, window focus, controls, the
// device used last, the phone, the pause menu, screen text and time, plus a
// recording of every call the plug-in makes into it.
// Portable C++ with no test framework, so that the native tests and the
// Windows stand-in hook share it.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/controller_faults.h"
#include "host/game_controllers.h"
#include "host/native_table.h"
#include "recording/recording.h"
#include "sim/forces.h"
#include "sim/plugged_controllers.h"

namespace sim {

constexpr std::size_t maxArguments = 9;
constexpr int keyCount = 256;
constexpr int controlCount = 512;

constexpr int keyW = 87;
constexpr int keyS = 83;
constexpr int controlAccelerate = 71;
constexpr int controlBrake = 72;
constexpr int controlAccelerateAlt = 208;
constexpr int controlSteer = 59;
constexpr int controlHandbrake = 76;

// Seat indices as the game numbers them.
constexpr int driverSeat = -1;
constexpr int passengerSeat = 0;
// Who drives while the player sits beside the driver: a taxi driver, say.
constexpr std::int32_t chauffeurHandle = 0x0002F00D;
// Whom the game seats at the wheel of an ambient vehicle when asked who sits
// in its empty driver's seat.
constexpr std::int32_t strangerHandle = 0x0003D1CE;

// The game's window, and another program's that can take the focus from it.
constexpr std::uintptr_t gameWindow = 0x000A0B2C;
constexpr std::uintptr_t otherWindow = 0x000C0D3E;
constexpr std::uint32_t otherProcessId = 0x00002A2A;

// Everything the plug-in does across the boundary, in the order it did it.
struct Call {
    enum class Kind {
        Native,
        Wait,
        KeyQuery,
        ForegroundQuery,
        WindowProcessQuery,
        File,
        // DirectInput's questions about the game controllers.
        ControllerList,
        ControllerOpen,
        ControllerAcquire,
        ControllerRead,
        // Force feedback opened (its place, the strength in arguments, the
        // status in result), an effect set (in value, with force), a stop.
        ForcesOpened,
        ForceSet,
        ForcesStopped
    };
    Kind kind = Kind::Native;
    std::int64_t frame = 0;
    // Native: the hash, the raw argument slots as pushed and the result slot,
    // or a vector's three.
    std::uint64_t hash = 0;
    std::array<std::uint64_t, maxArguments> arguments{};
    std::size_t argumentCount = 0;
    std::uint64_t result = 0;
    bool vectorResult = false;
    std::array<std::uint64_t, 3> vector{};
    // Native with a string argument: the characters as they were during the call.
    bool textArgument = false;
    std::string text;
    // Wait: milliseconds. KeyQuery: the key code and the value returned.
    // ForegroundQuery: the window returned; WindowProcessQuery: the window asked about.
    // File: the question, which reaches no world (recordFileQuestion).
    // ControllerOpen, ControllerAcquire, ControllerRead: the controller's
    // place in the last list.
    std::int64_t value = 0;
    std::int16_t keyState = 0;
    // ControllerList: the controllers listed, none opened yet.
    std::vector<RecordedController> controllers;
    // ControllerOpen: 1 in result when opened. ControllerRead: the input read.
    ControllerInput input;
    // ControllerList: the look's fault; the others: the step's.
    ControllerFault fault;
    ForceParameters force{};
};

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
    bool operator==(const Colour&) const = default;
};

// One screen text as the game would draw it.
struct Label {
    std::string text;
    float x = 0;
    float y = 0;
    Colour colour;
    int font = -1;
    float scale[2] = {0, 0};
    float wrap[2] = {0, 0};
    int centred = 0;
    std::array<int, 5> dropShadow{};
    bool outline = false;
    // The seven style natives were made, in their usual order, since the
    // previous label was drawn.
    bool fullStyle = false;
};

struct Subtitle {
    std::string text;
    int durationMs = 0;
    int immediately = 0;
    std::int64_t frame = 0;
    std::int64_t timeMs = 0;
};

// A filled rectangle as the game would draw it for one frame: its centre and
// size as fractions of the screen.
struct DrawnRect {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
    Colour colour;
};

// A notification posted above the minimap.
struct Notification {
    std::string text;
    int blink = 0;
    int showInBrief = 0;
    std::int64_t frame = 0;
};

struct Vehicle {
    std::int32_t handle = 0;
    // Signed speed along the heading; the speed query reports its magnitude.
    float speed = 0;
    // In degrees from 0 to 360, as the game's: steering left raises it.
    float heading = 0;
    float maxSpeed = 9999.0f;
    // The game's estimate of its top speed, where the engine stops
    // accelerating it.
    float topSpeed = 50.0f;
    bool engineOn = true;
    // Switched off with auto-start left on, the engine starts again when the
    // throttle is released and then pressed again; the press that stalled it
    // doesn't count.
    bool autoStart = true;
    bool restartArmed = false;
    // A slide (m/s, right positive), the air, the body's health from 1000.
    float sidewaysSpeed = 0;
    bool inAir = false;
    float bodyHealth = 1000.0f;
    // The game's vehicle class: 13 cycles, 14 boats, 15 helicopters, 16 planes,
    // 21 trains; 0 is a compact car.
    int vehicleClass = 0;
    // Who sits at the wheel unless the player does; 0 for nobody.
    std::int32_t driver = 0;
    // Part of the game's ambient population: GET_PED_IN_VEHICLE_SEAT of its
    // empty driver's seat seats a stranger there, as documented.
    bool ambient = false;
    // The torque multiplier sent last, and the frame it was sent in: it lasts
    // that frame only.
    float torque = 1.0f;
    std::int64_t torqueFrame = -1;
};

// Where the game's last input came from.
enum class Device { KeyboardAndMouse, Pad };

// Values fed to the player's controls, as SET_CONTROL_VALUE_NEXT_FRAME took
// them; a value holds only where sent is set.
struct FedControls {
    std::bitset<controlCount> sent;
    std::array<float, controlCount> values{};
};

struct World {
    // Setup.
    int frameMs = 16;
    std::int32_t playerHandle = 0x0001B2C4;
    // Added by addVehicle only, which also keeps each one's index by its
    // handle: a replay may meet a new vehicle in every frame.
    std::vector<Vehicle> vehicles;
    std::unordered_map<std::int32_t, int> vehicleIndexes;
    // Raw result slots the boolean natives answer with.
    std::uint64_t trueResult = 1;
    std::uint64_t falseResult = 0;
    // High half of integer, handle and float results, which callers must ignore.
    std::uint32_t resultHighHalf = 0;
    bool recording = true;

    // The script the plug-in registered.
    void (*registeredScript)() = nullptr;

    // State.
    std::int64_t frame = 0;
    std::int64_t timeMs = 0;
    int occupied = -1; // index into vehicles, or -1 on foot
    int seat = driverSeat;
    bool gameFocused = true;
    Device lastDevice = Device::KeyboardAndMouse;
    // The player's character has the phone out.
    bool phoneOut = false;
    // While the pause menu is open the vehicles stand still; the clock, the
    // script and the controls go on.
    bool pauseMenuActive = false;
    // The game's process, which owns the game's window.
    std::uint32_t processId = 0x00001F40;
    std::bitset<keyCount> keys;
    std::bitset<keyCount> pressedSinceQuery;
    std::bitset<controlCount> controlsHeld;
    // Held at the end of the previous frame: a held control is just pressed
    // only on the first frame it is held.
    std::bitset<controlCount> controlsHeldBefore;
    // Pressed and released within the current frame.
    std::bitset<controlCount> controlsOnce;
    std::bitset<controlCount> suppressed;      // for the current frame
    FedControls fedForNextFrame;               // sent in the current frame
    FedControls fedForThisFrame;               // sent in the previous frame
    std::bitset<controlCount> shownSuppressed; // in the last completed frame
    std::vector<Label> labels;                 // drawn in the current frame
    std::vector<Label> shownLabels;            // drawn in the last completed frame
    std::vector<DrawnRect> rects;              // drawn in the current frame
    std::vector<DrawnRect> shownRects;         // drawn in the last completed frame
    std::vector<Subtitle> subtitles;
    std::vector<Notification> notifications;
    // Posted before the world began, as a replay learns from the game's ids.
    std::uint32_t notificationsBefore = 0;
    // By their number in a drive, less one.
    std::vector<Controller> controllers;
    // The plugged controllers as DirectInput listed them last, by their index
    // in controllers: the list the plug-in names them by.
    std::vector<int> controllersListed;
    InjectedFaults systemFaults;
    // The native system's look for controllers attached (controller_steps):
    // the passes it was asked on, and those plugged at its last look.
    std::uint32_t lookPasses = 0;
    std::vector<int> controllersLooked;

    // Force feedback's device; its effects' calls in the current frame and
    // the last completed one, with what each put out at its end.
    ForceDevice forces;
    EffectCounts effectCounts;
    EffectCounts shownEffectCounts;
    ForceOutput shownForces;

    // Recording.
    std::vector<Call> calls;
    std::vector<std::string> faults;

    // Called at the end of every frame, before the frame's screen is cleared.
    std::function<void(const World&)> frameObserver;

    // The open native call and the text command being composed.
    bool callOpen = false;
    std::uint64_t openHash = 0;
    std::uint64_t lastHash = 0;
    std::array<std::uint64_t, maxArguments> pushed{};
    std::size_t pushedCount = 0;
    std::array<unsigned long long, 4> resultSlots{};
    enum class Command { None, ScreenText, Subtitle, Notification };
    Command command = Command::None;
    std::string commandText;
    int commandComponents = 0;
    Label style;
    int styleStep = 0;
};

extern World world;

// --- Setting up and driving the world ---------------------------------------

// Adds a vehicle standing still, engine running, and returns its index.
int addVehicle(std::int32_t handle);
// Seats the player, straight from wherever they were: on foot, another seat or
// another vehicle. Beside the driver's seat, the chauffeur drives; at the
// wheel, nobody else sits there.
void enterVehicle(int index, int seat = driverSeat);
void leaveVehicle();
Vehicle* playerVehicle();
// The vehicle the world knows by this handle, or its index; nullptr or -1
// when it knows none. No vehicle has the handle 0.
Vehicle* findVehicle(std::int32_t handle);
int vehicleIndex(std::int32_t handle);

// A key going down while the game has the focus is keyboard-and-mouse input;
// a control held or fired is the pad's, in the background too.
void setKey(int key, bool down);
void holdControl(int control, bool held);
void fireControlOnce(int control);
// A control as the game sees it: held or fired on a pad, or, for accelerate and
// brake, W and S on the keyboard while the game has the focus.
bool controlActive(int control);
// The vehicle's torque multiplier in that frame: 1 unless one was sent in it.
float torqueIn(const Vehicle& vehicle, std::int64_t frame);
// The value fed to a control for the current frame: 0 when none was, or
// while the action is disabled in it.
float fedValue(int control);

// Ends the current frame: motion, observer, then a fresh screen and controls.
void endFrame();
void advanceFrames(std::int64_t count);
// The whole frames that cover a wait of this length, at least one.
std::int64_t framesCovering(std::uint32_t milliseconds);

// --- The hook's side of the boundary ----------------------------------------

void beginNative(std::uint64_t hash);
void pushArgument(std::uint64_t value);
unsigned long long* callNative();
std::int16_t keyState(int key);
// user32's focus queries, with their signatures.
void* foregroundWindow();
std::uint32_t windowThreadProcessId(void* window, std::uint32_t* processId);
void recordWait(std::uint32_t milliseconds);
// Records a call that is not a native's, made in the current frame.
void recordCall(Call::Kind kind, std::int64_t value, std::int16_t keyState = 0);

// A question the plug-in asks of the file system, which crosses to no world:
// whoever answers it in the system's place records it here, in its order
// among the calls.
void recordFileQuestion(FileQuestion question);

// A native's documented parameters, such as "Entity entity, float speed", and
// result, such as "float"; nullptr for a native the world doesn't know.
const char* nativeParameters(std::uint64_t hash);
const char* nativeResult(std::uint64_t hash);

// What the game's answer to a native tells of the world, from which a replay
// sets the world up as the game was.
enum class Fact {
    Nothing,
    PlayerCharacter,
    PlayerInVehicle,
    PlayerVehicle,
    // Whether the driver's seat of the vehicle asked about is free, and who
    // drives it.
    DriverSeatFree,
    Driver,
    VehicleClass,
    VehicleSpeed,
    VehicleTopSpeed,
    KeyboardAndMouse,
    ControlHeld,
    ControlFired,
    PhoneOut,
    PauseMenu,
    // The feed's id of a notification: how many came before it.
    NotificationId,
    // Whether a value fed to a control was taken: refused, the action was
    // disabled in that frame before the call, by the plug-in or another script.
    ControlFed,
    // Of the vehicle asked about: its speed, sideways too, the air, its body.
    SidewaysSpeed,
    InAir,
    BodyHealth,
};
Fact nativeFact(std::uint64_t hash);

// Formats a hash the way the catalogue writes it, 0x and sixteen digits.
std::string hashText(std::uint64_t hash);

} // namespace sim
