// drive.exe: runs the real plug-in inside the stand-in script hook, along drive
// scripts, and shows what a player would have seen.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "runner/drive_command.h"
#include "runner/drive_output.h"
#include "runner/recorded_drive.h"
#include "sim/hook_control.h"

namespace fs = std::filesystem;

namespace {

const char* const usage =
    "usage: drive [--svg FILE] [--record FILE] PLUGIN SCRIPT...\n"
    "Loads the stand-in ScriptHookV.dll beside this program, then the plug-in PLUGIN, and\n"
    "plays each drive SCRIPT in a fresh world with the plug-in loaded afresh, in the\n"
    "folder that holds the script (where the plug-in looks for MTconfig.ini). Prints a\n"
    "timeline of each drive; --svg writes a chart of the drive and --record a drive\n"
    "recording of it (one script only). Replaying a recording, drive replay, runs in\n"
    "the native build.\n"
    "Exit status: 0 when every expectation held, 1 when one failed or the plug-in made\n"
    "a faulty call, 2 when the plug-in, the hook or a script can't be used.\n";

const sim::HookControl* hook = nullptr;

std::string lastErrorText() {
    const DWORD error = GetLastError();
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message + " (error " + std::to_string(error) + ")";
}

// Points the module's import of a function by name at a replacement. False
// when the module doesn't import it by name from that library.
bool patchImport(HMODULE module, const char* library, const char* function,
                 const void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.Size == 0) {
        return false;
    }
    for (auto* descriptor =
             reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), library) != 0 ||
            descriptor->OriginalFirstThunk == 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) {
                continue;
            }
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

fs::path programFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

// One drive with the plug-in loaded afresh.
int playDrive(const ScriptToPlay& toPlay, const DriveOptions& options, DriveRecording* recording,
              DriveReport& report) {
    const HMODULE plugin = LoadLibraryW(options.plugin.wstring().c_str());
    if (!plugin) {
        return unusable("cannot load the plug-in " + options.plugin.string() + ": " +
                        lastErrorText());
    }
    if (!hook->world->registeredScript) {
        return unusable(options.plugin.string() + " registered no script with the hook");
    }
    if (!patchImport(plugin, "user32.dll", "GetAsyncKeyState",
                     reinterpret_cast<const void*>(hook->keyState))) {
        return unusable(options.plugin.string() +
                        " does not import GetAsyncKeyState from user32.dll, so the drive "
                        "can't press its keys");
    }
    // The focus queries go to the world too, where the plug-in imports them:
    // Wine without a display has no foreground window.
    patchImport(plugin, "user32.dll", "GetForegroundWindow",
                reinterpret_cast<const void*>(hook->foregroundWindow));
    patchImport(plugin, "user32.dll", "GetWindowThreadProcessId",
                reinterpret_cast<const void*>(hook->windowThreadProcessId));

    if (recording) {
        *recording =
            driveRecordingHeader(utf8Path(options.plugin.parent_path()), utf8Path(toPlay.folder));
    }
    report = runDrive(toPlay.script, *hook, recording);
    // Unloaded, a plug-in must leave the hook nothing to run: its code is gone.
    // A thread of its own may hold it a moment longer, as a look for game
    // controllers does: it goes once that ends.
    FreeLibrary(plugin);
    for (int waitedMs = 0; waitedMs < 5000 && GetModuleHandleW(options.plugin.wstring().c_str());
         ++waitedMs) {
        Sleep(1);
    }
    if (hook->world->registeredScript) {
        report.failures.push_back(
            "the plug-in left its script registered with the hook when it was unloaded");
    }
    hook->reset();
    return 0;
}

} // namespace

// The stand-in hook calls this while it loads, with the control of its world.
extern "C" __declspec(dllexport) void standInHookLoaded(const sim::HookControl* control) {
    hook = control;
}

// The stand-in dinput8.dll asks this for the world's game controllers.
extern "C" __declspec(dllexport) const sim::ControllerQuestions* standInControllers() {
    return hook ? &hook->controllers : nullptr;
}

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "replay") == 0) {
        return unusable("replay runs in the native build: build/native/tools/drive replay "
                        "[--world] RECORDING");
    }
    DriveOptions options;
    if (!parseDriveOptions(argc, argv, true, options)) {
        std::fputs(usage, stderr);
        return exitUnusable;
    }
    std::vector<ScriptToPlay> scripts;
    if (const int status = readDriveScripts(options, scripts)) {
        return status;
    }

    const fs::path hookPath = programFolder() / "ScriptHookV.dll";
    if (!LoadLibraryW(hookPath.wstring().c_str())) {
        return unusable("cannot load the stand-in hook " + hookPath.string() + ": " +
                        lastErrorText());
    }
    if (!hook) {
        return unusable(hookPath.string() + " is not the stand-in hook: it handed over no world");
    }
    return playDriveScripts(options, scripts, playDrive);
}
