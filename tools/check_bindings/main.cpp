// check-bindings [FILE]: tells a player what their key-binding file binds and
// why a line binds nothing, without the game; --controllers shows which
// axis and button of a game controller is which.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#if defined(_WIN32)
#include <windows.h>

#include "check_bindings/live_controllers.h"
#include "host/direct_input.h"
#include "host/game_controllers.h"
#endif

#include "binding_file/binding_places.h"
#include "binding_file/gear_access.h"
#include "explain/binding_report.h"
#include "host/files.h"
#include "version.h"

namespace {

constexpr std::string_view help = R"(Usage: check-bindings [FILE]
       check-bindings --controllers

Reads a Manual Gearbox key-binding file exactly as the plug-in reads it when the
game starts, and tells you:
  - for every line (the first 200 of a longer file, the rest counted): what it
    binds, with the key's or button's name, or why it binds nothing (no name
    it knows, with the one nearest by spelling, a name in the wrong letter
    case, a value without digits or out of range, another name on the same
    line tested first, a later line that overrides it);
  - the bindings that result: clutchKey and a key for each gear (firstGearKey
    and so on, and reverseKey), and the optional toggleKey ("Enable/Disable=N"),
    reloadKey ("Reload=N", reads the file again in the game), shiftUpKey and
    shiftDownKey ("ShiftUp=N", "ShiftDown=N", one gear at a time), recordKey
    ("Record=N", records a drive to send with a report), bindKey ("Bind=N",
    chooses the clutch and gear keys in the game by pressing them, and writes
    them into the file), the pad's padHoldControl, padUpControl and
    padDownControl ("PadHold=N", "PadUp=N", "PadDown=N", by the game's control
    number), fitGears ("FitGears=1" fits each gear's speeds to the top speed
    of the vehicle you drive; "FitGears=0", or no line, keeps them as
    written, for a top speed of 50 m/s; any other value changes nothing) and
    forwardGears ("ForwardGears=N" picks the gearbox of N forward gears;
    without the line it has four; a number no gearbox has changes nothing);
    and a wheel's, each naming a game controller by its id and a part:
    clutchPedal ("LeftPedal=046D:C24F Slider0-", an axis and the way it is
    pressed, or a button), bitePoint ("BitePoint=N", the percent of the
    pedal's travel past which it is the clutch; 50 without the line), a
    gate for each gear, firstGearGate to sixthGearGate and reverseGate
    ("Gate1=046D:C24F Button13" ... "Gate6=...", "GateR=..."),
    paddleUpButton and paddleDownButton ("PaddleUp=...", "PaddleDown=..."),
    and for driving, steeringAxis ("Steering=046D:C24F X+", an axis and the
    way that turns it right), throttlePedal and brakePedal
    ("ThrottlePedal=...", "BrakePedal=...", pedals as the clutch's),
    handbrakeButton ("Handbrake=..."), deadZone ("DeadZone=N", the percent
    of each pedal's travel and of the wheel's turn from its centre that does
    nothing; 2 without the line) and fullLock ("FullLock=N", the percent of
    the wheel's turn that reaches full lock; 100 without the line) and
    forceFeedback ("ForceFeedback=N", the strength in percent with which the
    steering's controller pushes back; 0, or no line, is off); and the gear
    feel: gearFeel ("GearFeel=1": lower gears pull harder, the engine brakes
    when you lift off, and a clutch pedal slips around its bite point;
    "GearFeel=0", or no line, leaves the vehicle's own engine), pull and
    engineBraking ("Pull=N", "EngineBraking=N", each a percent of the feel's
    own, 1 to 200; 100 without the line), revBar ("RevBar=1" draws a rev bar
    beside the labels) and biteBand ("BiteBand=N", the percent of the pedal's
    travel each way from bitePoint over which the clutch slips; 10 without
    the line);
  - warnings: a UTF-16 file, a line naming several fields, no clutch, a gear
    left unbound or that the stick can't reach, a line that begins like a
    comment (";", "#", "//") but binds, a game controller named but not
    attached (on Windows), two bindings on one key or button, a key or button
    the plug-in uses itself (W, S, the right arrow; accelerate, brake, the
    toggle), a code that is no virtual key, a line of the gear feel while
    gearFeel is off.

FILE defaults to MTconfig.ini beside check-bindings, or else in the current
folder, where the plug-in looks for it too: keep it in the game folder.
Double-clicked, it explains that file and waits for Enter before its window
closes.
Lines are shown as written, with control characters as \t, \r, \0 or \xNN.

Options:
  --controllers  lists the game controllers attached (wheels, pedals,
                 shifters, pads), each with its id, name and whether
                 it has force feedback, then shows
                 which axis moves and which button goes down as you use
                 them, with the line that binds it, until Ctrl+C; on
                 Windows only
  --help, -h     shows this text
  --version      shows the version of check-bindings

Exit status:
  0  every gear can be reached: the clutch and every gear's key are bound,
     or a clutch (the key or the pedal) with every gate, with ShiftUp and
     ShiftDown or with PaddleUp and PaddleDown, or PadHold with PadUp and
     PadDown; with --controllers, ended by Ctrl+C
  1  the file was read, but not every gear can be reached, or it is larger
     than 1 MiB and not read; with --controllers, none is attached
  2  the file can't be read, or the arguments are wrong
)";

// The text is UTF-8. A Windows console shows it right only when given UTF-16
// through WriteConsoleW, whatever its code page. Redirected to a file or a
// pipe, it gets the UTF-8 bytes themselves, as the native build writes them,
// so that what a script or a test reads doesn't hang on the code pages.
void print(std::FILE* stream, const std::string& text) {
#if defined(_WIN32)
    const HANDLE console = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(console, &mode) != 0) {
        const std::wstring wideText = wide(text);
        DWORD written = 0;
        if (WriteConsoleW(console, wideText.data(), static_cast<DWORD>(wideText.size()), &written,
                          nullptr) != 0) {
            return;
        }
    }
#endif
    std::fwrite(text.data(), 1, text.size(), stream);
}

#if defined(_WIN32)
// Opens none of them: their ids and names are all a wheel's lines are
// checked against.
std::vector<AttachedController> attachedControllers() {
    findControllers({});
    std::vector<AttachedController> attached;
    for (const GameController& controller : foundControllers()) {
        attached.push_back({controller.id, controller.name});
    }
    closeControllers();
    return attached;
}

// Started by a double-click, the program has a console of its own, which
// closes as it ends: the player would see the explanation only flash by.
void waitWhenItsConsoleCloses() {
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) != 1) {
        return;
    }
    print(stdout, "\nPress Enter to close this window.\n");
    for (int c = 0; c != '\n' && c != EOF; c = std::fgetc(stdin)) {
    }
}
#endif

int usageError(const std::string& message) {
    print(stderr, "check-bindings: " + message + " (see check-bindings --help)\n");
    return 2;
}

// The arguments after the program's name, in UTF-8.
int run(const std::vector<std::string>& arguments) {
    std::string path;
    bool pathGiven = false;
    bool controllers = false;
    for (const std::string_view argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            print(stdout, std::string(help));
            return 0;
        }
        if (argument == "--version") {
            print(stdout, std::string("check-bindings ") + productVersion + "\n");
            return 0;
        }
        if (argument == "--controllers") {
            controllers = true;
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            return usageError("unknown option " + std::string(argument));
        }
        if (pathGiven) {
            return usageError("more than one file given");
        }
        path = argument;
        pathGiven = true;
    }

    if (controllers && pathGiven) {
        return usageError("--controllers reads no file");
    }
    if (controllers) {
#if defined(_WIN32)
        return showControllersLive(print);
#else
        print(stderr, "check-bindings: --controllers reads game controllers through DirectInput, "
                      "on Windows only: run check-bindings.exe\n");
        return 2;
#endif
    }

    std::string name = path;
    if (!pathGiven) {
        const std::vector<std::string> places = bindingFilePlaces();
        path = places.back();
        name = bindingFileName;
        if (places.size() > 1 && fileKind(places.front()) != FileKind::Missing) {
            path = places.front();
            name = path;
        }
    }

    // Opening a FIFO waits for a writer, and a device may never end: only a
    // regular file is read. A path that isn't there is left to the open.
    if (const FileKind kind = fileKind(path);
        kind != FileKind::Missing && kind != FileKind::Regular) {
        print(stderr, "check-bindings: cannot read " + name + ": not a regular file\n");
        return 2;
    }
    const FileRead file = readFileUpTo(path, bindingFileBytesAtMost);
    if (file.answer == ReadAnswer::Missing || file.answer == ReadAnswer::Denied ||
        file.answer == ReadAnswer::InUse) {
        print(stderr, "check-bindings: cannot open " + name + ": " +
                          (file.answer == ReadAnswer::InUse ? "another program has it open"
                                                            : std::strerror(file.error)) +
                          "\n");
        return 2;
    }
    if (file.answer == ReadAnswer::Failed || file.answer == ReadAnswer::NotAFile) {
        print(stderr,
              "check-bindings: cannot read " + name + ": " + std::strerror(file.error) + "\n");
        return 2;
    }
    BindingReading reading = readBindings(file.bytes);
    reading.summary.tooLarge = file.answer == ReadAnswer::TooLarge;
#if defined(_WIN32)
    if (wheelBound(reading.bindings)) {
        reading.attached = attachedControllers();
    }
#endif
    print(stdout, bindingFileReport(reading, name));
    return gearAccess(reading.bindings) == GearAccess::None ? 1 : 0;
}

} // namespace

#if defined(_WIN32)
// Windows keeps the command line in UTF-16. main would get it in the ANSI code
// page, and the rest of the program, which reads UTF-8, would misread any
// letter outside ASCII.
int wmain(int argc, wchar_t** argv) {
    // DirectInput is created for the program itself, which is no DLL.
    useModuleForDirectInput(GetModuleHandleW(nullptr));
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(utf8(argv[i]));
    }
    const int status = run(arguments);
    waitWhenItsConsoleCloses();
    return status;
}
#else
int main(int argc, char** argv) {
    return run({argv + 1, argv + argc});
}
#endif
