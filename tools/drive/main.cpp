// drive.exe: runs the real plug-in inside the stand-in script hook, along drive
// scripts, and shows what a player would have seen.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "drive/drive.h"
#include "drive/drive_output.h"
#include "drive/recorded_drive.h"
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

struct Options {
    std::string svgName;
    fs::path svg;
    std::string recordName;
    fs::path record;
    fs::path plugin;
    // As given, for messages, and absolute, since each drive changes folder.
    std::vector<std::string> scriptNames;
    std::vector<fs::path> scripts;
};

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

bool readFile(const fs::path& path, std::string& contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    contents = text.str();
    return true;
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

bool parseOptions(int argc, char** argv, Options& options) {
    int at = 1;
    for (; at + 1 < argc && argv[at][0] == '-'; at += 2) {
        const bool svg = std::strcmp(argv[at], "--svg") == 0;
        if (!svg && std::strcmp(argv[at], "--record") != 0) {
            return false;
        }
        (svg ? options.svgName : options.recordName) = argv[at + 1];
        (svg ? options.svg : options.record) = fs::absolute(argv[at + 1]);
    }
    if (argc - at < 2 || argv[at][0] == '-') {
        return false;
    }
    options.plugin = fs::absolute(argv[at++]);
    for (; at < argc; ++at) {
        options.scriptNames.push_back(argv[at]);
        options.scripts.push_back(fs::absolute(argv[at]));
    }
    return (options.svg.empty() && options.record.empty()) || options.scripts.size() == 1;
}

fs::path programFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

// One drive with the plug-in loaded afresh; returns the exit status it earns.
int playDrive(const DriveScript& script, const fs::path& folder, const Options& options) {
    std::error_code error;
    fs::current_path(folder, error);
    if (error) {
        return unusable("cannot enter " + folder.string() + ": " + error.message());
    }
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

    DriveRecording recording =
        driveRecordingHeader(utf8Path(options.plugin.parent_path()), utf8Path(folder));
    DriveReport report = runDrive(script, *hook, options.record.empty() ? nullptr : &recording);
    // Unloaded, a plug-in must leave the hook nothing to run: its code is gone.
    FreeLibrary(plugin);
    if (hook->world->registeredScript) {
        report.failures.push_back(
            "the plug-in left its script registered with the hook when it was unloaded");
    }
    hook->reset();

    if (!options.record.empty() && !writeRecordingFile(options.record, recording)) {
        return unusable("cannot write " + options.recordName);
    }
    return showDrive(report, script.name, options.svg, options.svgName);
}

} // namespace

// The stand-in hook calls this while it loads, with the control of its world.
extern "C" __declspec(dllexport) void standInHookLoaded(const sim::HookControl* control) {
    hook = control;
}

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "replay") == 0) {
        return unusable("replay runs in the native build: build/native/tools/drive replay "
                        "[--world] RECORDING");
    }
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(usage, stderr);
        return exitUnusable;
    }

    std::vector<DriveScript> scripts;
    for (std::size_t i = 0; i < options.scripts.size(); ++i) {
        std::string text;
        if (!readFile(options.scripts[i], text)) {
            return unusable("cannot read the drive script " + options.scriptNames[i]);
        }
        ParsedDriveScript parsed = parseDriveScript(options.scriptNames[i], text);
        if (!parsed.error.empty()) {
            return unusable(parsed.error);
        }
        scripts.push_back(std::move(parsed.script));
    }

    const fs::path hookPath = programFolder() / "ScriptHookV.dll";
    if (!LoadLibraryW(hookPath.wstring().c_str())) {
        return unusable("cannot load the stand-in hook " + hookPath.string() + ": " +
                        lastErrorText());
    }
    if (!hook) {
        return unusable(hookPath.string() + " is not the stand-in hook: it handed over no world");
    }

    int status = 0;
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        if (scripts.size() > 1) {
            std::printf("%s== %s\n", i == 0 ? "" : "\n", scripts[i].name.c_str());
        }
        const int result = playDrive(scripts[i], options.scripts[i].parent_path(), options);
        if (result == exitUnusable) {
            return result;
        }
        status = std::max(status, result);
    }
    return status;
}
