#include "binding_file/binding_save.h"

#include "host/file_questions.h"

namespace {

// A file written beside the key-binding file, removed again unless it took
// its place, whatever ends the write.
struct TemporaryFile {
    std::string path;
    bool created = false;
    bool placed = false;

    ~TemporaryFile() {
        if (created && !placed) {
            try {
                removeFileAsked(path);
            } catch (...) {
            }
        }
    }
};

// The bytes as a new file, through to the disk.
WriteFault writeWhole(TemporaryFile& file, std::string_view bytes) {
    OutputFile output;
    WriteFault fault = createOutputAsked(file.path, output);
    file.created = fault == WriteFault::None;
    if (fault == WriteFault::None) {
        fault = writeOutputAsked(output, bytes.data(), bytes.size());
    }
    if (fault == WriteFault::None) {
        fault = flushOutputAsked(output);
    }
    const WriteFault closed = closeOutputAsked(output);
    return fault != WriteFault::None ? fault : closed;
}

WriteFault putInPlace(TemporaryFile& file, const std::string& path) {
    const WriteFault fault = replaceFileAsked(file.path, path);
    file.placed = fault == WriteFault::None;
    return fault;
}

} // namespace

ChosenKeysWrite writeChosenKeys(const std::string& path, const ChosenKeys& keys) {
    using Outcome = ChosenKeysWrite::Outcome;
    const FileKind kind = fileKindAsked(path);
    if (kind == FileKind::Other) {
        return {Outcome::NotSaved, fileIsFolder};
    }
    if (kind == FileKind::Regular && readOnlyAsked(path)) {
        return {Outcome::NotSaved, fileIsReadOnly};
    }
    std::string old;
    if (kind == FileKind::Regular) {
        FileRead file = readFileAsked(path, bindingFileBytesAtMost);
        if (file.answer == ReadAnswer::TooLarge) {
            return {Outcome::TooLarge, {}};
        }
        if (file.answer != ReadAnswer::Read) {
            return {Outcome::NotSaved, fileUnreadable};
        }
        old = std::move(file.bytes);
    }
    const std::string text = rewrittenBindingText(old, keys);
    if (!readsAsChosen(old, text, keys)) {
        return {Outcome::NotSaved, textReadsOtherwise};
    }

    TemporaryFile written{path + ".tmp"};
    TemporaryFile backup{path + ".bak.tmp"};
    WriteFault fault = writeWhole(written, text);
    // The backup first: once the file is replaced, nothing may fail.
    if (fault == WriteFault::None && kind == FileKind::Regular) {
        fault = writeWhole(backup, old);
        if (fault == WriteFault::None) {
            fault = putInPlace(backup, path + ".bak");
        }
    }
    if (fault == WriteFault::None) {
        fault = putInPlace(written, path);
    }
    if (fault != WriteFault::None) {
        return {Outcome::NotSaved, writeFaultText(fault)};
    }
    return {Outcome::Saved, {}};
}
