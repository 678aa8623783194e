#include "host/files.h"

#include <system_error>

#if defined(_WIN32)
#include <share.h>
#include <windows.h>

// The image base of whichever module this is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;
#endif

SharedFile openSharedForReading(const std::filesystem::path& path) {
#if defined(_WIN32)
    // Denies other openers neither reading nor writing.
    return SharedFile(_wfsopen(path.c_str(), L"rb", _SH_DENYNO));
#else
    return SharedFile(std::fopen(path.c_str(), "rb"));
#endif
}

SharedFile openForWriting(const std::filesystem::path& path) {
#if defined(_WIN32)
    return SharedFile(_wfsopen(path.c_str(), L"wb", _SH_DENYWR));
#else
    return SharedFile(std::fopen(path.c_str(), "wb"));
#endif
}

#if defined(_WIN32)
std::filesystem::path moduleFolder() {
    const auto module = reinterpret_cast<HMODULE>(&__ImageBase);
    std::wstring name(MAX_PATH, L'\0');
    // Paths may be longer than MAX_PATH; the name is cut when the buffer is full.
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        if (name.size() >= 32768) {
            return {};
        }
        name.resize(name.size() * 2);
    }
}
#else
std::filesystem::path& nativeModuleFolder() {
    static std::filesystem::path folder = [] {
        std::error_code error;
        const std::filesystem::path program =
            std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? std::filesystem::path() : program.parent_path();
    }();
    return folder;
}

std::filesystem::path moduleFolder() {
    return nativeModuleFolder();
}
#endif

std::string pathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
