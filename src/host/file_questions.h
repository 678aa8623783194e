// What the plug-in asks of the file system where what it does depends on the
// answer: whether a file is there, its bytes, and whether each write went
// through. While a pass is recorded, each answer is written through the tap,
// as a key query's is. Natively, a replay may answer them instead
// (answerFileQuestionsWith, files.h), and then the disk is neither read nor
// written.
#pragma once

#include <string>

#include "host/files.h"

FileRead readFileAsked(const std::string& path, std::size_t bytesAtMost);
FileKind fileKindAsked(const std::string& path);
bool readOnlyAsked(const std::string& path);
bool sameFolderAsked(const std::string& a, const std::string& b);

WriteFault createOutputAsked(const std::string& path, OutputFile& file);
WriteFault appendOutputAsked(const std::string& path, OutputFile& file);
WriteFault writeOutputAsked(const OutputFile& file, const void* data, std::size_t size);
WriteFault flushOutputAsked(const OutputFile& file);
WriteFault closeOutputAsked(OutputFile& file);
WriteFault replaceFileAsked(const std::string& from, const std::string& to);
[[nodiscard]] bool removeFileAsked(const std::string& path);
