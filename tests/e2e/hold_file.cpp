// Another program holding a file open, as an editor or a backup tool may:
// sharing it for reading only, or not at all. It holds it until the marker
// file it makes once the file is open is deleted, or for a minute at most.
// Usage: hold_file FILE read|none MARKER
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argumentCount, char** arguments) {
    if (argumentCount != 4) {
        std::fprintf(stderr, "usage: hold_file FILE read|none MARKER\n");
        return 2;
    }
    const DWORD sharing = std::strcmp(arguments[2], "read") == 0 ? FILE_SHARE_READ : 0;
    const HANDLE file = CreateFileA(arguments[1], GENERIC_READ | GENERIC_WRITE, sharing, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "hold_file: cannot open %s (error %lu)\n", arguments[1],
                     GetLastError());
        return 2;
    }
    CloseHandle(CreateFileA(arguments[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    for (int wait = 0; wait < 600 && GetFileAttributesA(arguments[3]) != INVALID_FILE_ATTRIBUTES;
         ++wait) {
        Sleep(100);
    }
    CloseHandle(file);
    return 0;
}
