// Reads a file's version resource the way Windows' Properties dialog does and
// checks it: the file and product version numbers, then each string of the
// block that the file's first translation names.
// Usage: version_probe FILE VERSION NAME=VALUE...
//   VERSION is the four numbers both version numbers must hold, as 1.2.3.4.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring wide(const std::string& text) {
    std::wstring result(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           result.data(), static_cast<int>(result.size()));
    result.resize(length);
    return result;
}

std::string utf8(const std::wstring& text) {
    std::string result(text.size() * 3, '\0');
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                            static_cast<int>(result.size()), nullptr, nullptr);
    result.resize(length);
    return result;
}

std::string dotted(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
           std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

int failures = 0;

void check(const std::string& what, const std::string& seen, const std::string& expected) {
    if (seen == expected) {
        std::printf("ok  : %s is \"%s\"\n", what.c_str(), seen.c_str());
        return;
    }
    std::printf("FAIL: %s is \"%s\", expected \"%s\"\n", what.c_str(), seen.c_str(),
                expected.c_str());
    ++failures;
}

} // namespace

int main(int argumentCount, char** arguments) {
    if (argumentCount < 3) {
        std::fprintf(stderr, "usage: version_probe FILE VERSION NAME=VALUE...\n");
        return 2;
    }
    const std::wstring path = wide(arguments[1]);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) {
        std::fprintf(stderr, "version_probe: %s has no version resource (error %lu)\n",
                     arguments[1], GetLastError());
        return 2;
    }

    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
        std::fprintf(stderr, "version_probe: %s has no fixed file information\n", arguments[1]);
        return 2;
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    check("the file version", dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS), arguments[2]);
    check("the product version", dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS),
          arguments[2]);

    struct Translation {
        WORD language;
        WORD codePage;
    };
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < sizeof(Translation)) {
        std::fprintf(stderr, "version_probe: %s names no translation\n", arguments[1]);
        return 2;
    }
    const auto* translation = static_cast<const Translation*>(value);
    wchar_t block[64];
    std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language,
                  translation->codePage);

    for (int i = 3; i < argumentCount; ++i) {
        const std::string argument = arguments[i];
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const std::string expected = equals == std::string::npos ? "" : argument.substr(equals + 1);
        const std::wstring query = block + wide(name);
        std::string seen = "(none)";
        if (VerQueryValueW(info.data(), query.c_str(), &value, &length) && length > 0) {
            seen = utf8(static_cast<const wchar_t*>(value));
        }
        check(name, seen, expected);
    }
    return failures == 0 ? 0 : 1;
}
