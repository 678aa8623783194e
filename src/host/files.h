// The files the plug-in and its tools open, opened the way every platform must
// open them, and the folders they are looked for in. Paths are UTF-8 text on
// every platform; std::filesystem stays out of the plug-in, since it would
// bring the whole of iostreams and locales into the DLL.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "recording/recording.h"

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using SharedFile = std::unique_ptr<std::FILE, FileCloser>;

// Binary mode: callers apply the text rules themselves, identically everywhere.
// Other programs may read and write the file meanwhile. Empty when the file
// can't be opened.
SharedFile openSharedForReading(const std::string& path);
// Whether the open that just failed was refused because another program holds
// the file: only Windows shares files that way.
bool openRefusedAsHeld();

// A whole file read into memory, up to a bound.
struct FileRead {
    ReadAnswer answer = ReadAnswer::Missing;
    // All of it when read, else nothing.
    std::string bytes;
    // The system's error number when it wasn't opened or read, for a tool's
    // message.
    int error = 0;
};

// Reads the whole file, shared as openSharedForReading shares it, when it is
// a regular file of at most bytesAtMost: a folder, a device or a FIFO is
// NotAFile, a larger file TooLarge, its bytes not kept, and on Windows a file
// another program holds without sharing it for reading InUse.
FileRead readFileUpTo(const std::string& path, std::size_t bytesAtMost);

// Why a file couldn't be written, as far as the player is told.
enum class [[nodiscard]] WriteFault{None, DiskFull, ReadOnlyDisk, AccessDenied, NameTaken, Other};

// Why a file couldn't be written, in a few words.
std::string_view writeFaultText(WriteFault fault);

// Puts the file at from in to's place, replacing it, in one operation; when it
// can't, both stay as they were.
WriteFault replaceFile(const std::string& from, const std::string& to);

// Deletes the file; false when it can't.
[[nodiscard]] bool removeFile(const std::string& path);

// A file written straight through the system's calls, with no C runtime
// buffer or state in between: it can still be written and closed while the
// process exits.
struct OutputFile {
    // The system's handle, or -1 when none is open.
    std::intptr_t handle = -1;
};

// Creates the file, or empties the one there, for writing.
WriteFault createOutput(const std::string& path, OutputFile& file);
// Opens the file, or creates it, for writing at its end.
WriteFault appendOutput(const std::string& path, OutputFile& file);
WriteFault writeOutput(const OutputFile& file, const void* data, std::size_t size);
// Has what was written reach the disk, so that a file put in another's place
// after it is never found empty.
WriteFault flushOutput(const OutputFile& file);
// Closes the file if it is open.
WriteFault closeOutput(OutputFile& file);

// Gives the file at from the name to, which must be free: NameTaken when a
// file has it, and then both stay as they were.
WriteFault renameToFree(const std::string& from, const std::string& to);

// Reading anything but a regular file may never end. Other is what none of
// the rest is, such as a socket.
enum class FileKind { Missing, Regular, Folder, Fifo, Device, Other };

FileKind fileKind(const std::string& path);

// Whether the file is marked read-only, as a player marks a file to keep it
// as it is: Windows won't put another file in its place, and Wine and Linux
// would, so writers ask.
bool readOnlyFile(const std::string& path);

// The folder of the module this code is part of: the plug-in's .asi, or a
// tool's program. Empty when it can't be told.
std::string moduleFolder();

#if defined(_WIN32)
// UTF-8 text as Windows' UTF-16, and back.
std::wstring wide(std::string_view text);
std::string utf8(std::wstring_view text);
#else
// Natively the module is the program; tests point it at a folder of their own.
std::string& nativeModuleFolder();

// What a file question was answered: the answer's number, as FileQuestion
// gives its meaning, and after a read answered ReadAnswer::Read, its bytes.
struct FileAnswer {
    std::uint8_t answer = 0;
    std::string_view bytes;
};
// Natively, a replay may answer the plug-in's file questions with those a
// recording kept, and then no file is read or written; none where there is no
// answer to a question, which is answered as if the file weren't there, or
// the write failed. Null: the disk answers again.
using FileAnswers = std::optional<FileAnswer> (*)(FileQuestion question);
void answerFileQuestionsWith(FileAnswers answers);
#endif

// The process's working folder, or empty.
std::string workingFolder();

// Whether two paths name the same folder.
bool sameFolder(const std::string& a, const std::string& b);

// A file's path in a folder; just the name when the folder is empty.
std::string inFolder(const std::string& folder, const std::string& name);

// The answer to one of the plug-in's file questions (file_questions.h) other
// than a read, as a number (FileQuestion gives its meaning): askDisk's, given
// asked, unless a replay answers it natively, and then the disk isn't asked.
using DiskAnswer = std::uint8_t (*)(const void* asked);
std::uint8_t fileQuestionAnswer(FileQuestion question, DiskAnswer askDisk, const void* asked);
// The same for a whole-file read: readFileUpTo's.
FileRead fileReadAnswer(const std::string& path, std::size_t bytesAtMost);
