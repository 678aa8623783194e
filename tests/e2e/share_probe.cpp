// While the plug-in is loaded, other programs may open its key-binding file
// for reading and writing, and an editor may save it the way many do: write a
// new file, then rename it over the old one. Run in a folder holding
// MTconfig.ini.
// Usage: share_probe HOOK_FOLDER PLUGIN
#include <windows.h>

#include <cstdio>

namespace {

const char* const fileName = "MTconfig.ini";

bool openForWriting() {
    const HANDLE file =
        CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

int failures = 0;

void check(bool holds, const char* what) {
    std::printf("%s: %s\n", holds ? "ok  " : "FAIL", what);
    failures += holds ? 0 : 1;
}

} // namespace

int main(int argumentCount, char** arguments) {
    if (argumentCount != 3) {
        std::fprintf(stderr, "usage: share_probe HOOK_FOLDER PLUGIN\n");
        return 2;
    }
    SetDllDirectoryA(arguments[1]);
    const HMODULE plugin = LoadLibraryA(arguments[2]);
    if (!plugin) {
        std::fprintf(stderr, "share_probe: cannot load %s (error %lu)\n", arguments[2],
                     GetLastError());
        return 2;
    }

    check(openForWriting(), "another program opens the file for reading and writing");
    const HANDLE saved = CreateFileA("MTconfig.ini.new", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(saved, "Clutch=17\r\n", 11, &written, nullptr);
    CloseHandle(saved);
    check(MoveFileExA("MTconfig.ini.new", fileName, MOVEFILE_REPLACE_EXISTING) != 0,
          "an editor saves it by renaming a new file over it");
    check(DeleteFileA(fileName) != 0, "it can be deleted while the plug-in is loaded");

    FreeLibrary(plugin);
    return failures == 0 ? 0 : 1;
}
