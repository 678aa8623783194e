// The files the plug-in and its tools open, opened the way every platform must
// open them, and the folder they are looked for in.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using SharedFile = std::unique_ptr<std::FILE, FileCloser>;

// Binary mode: callers apply the text rules themselves, identically everywhere.
// Other programs may read and write the file meanwhile. Empty when the file
// can't be opened.
SharedFile openSharedForReading(const std::filesystem::path& path);

// Creates or replaces the file. Empty when it can't be written.
SharedFile openForWriting(const std::filesystem::path& path);

// The folder of the module this code is part of: the plug-in's .asi, or a
// tool's program. Empty when it can't be told.
std::filesystem::path moduleFolder();

#if !defined(_WIN32)
// Natively the module is the program; tests point it at a folder of their own.
std::filesystem::path& nativeModuleFolder();
#endif

// A path as UTF-8 text, for messages and the log.
std::string pathText(const std::filesystem::path& path);
