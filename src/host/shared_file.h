// Opening a file for reading the way the key-binding file must be opened on
// every platform: read and write sharing with other openers, no deletion.
#pragma once

#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using SharedFile = std::unique_ptr<std::FILE, FileCloser>;

// Binary mode: callers apply the text rules themselves, identically everywhere.
// Empty when the file can't be opened.
SharedFile openSharedForReading(const char* path);
