#include "binding_file/binding_save.h"

#include "host/file_questions.h"

namespace {

// A file written beside the key-binding file, removed again unless it took
// its place or must be kept, whatever ends the write.
struct TemporaryFile {
    std::string path;
    bool created = false;
    bool placed = false;

    ~TemporaryFile() {
        if (created && !placed) {
            // Nothing is left to tell of a temporary file that stays.
            try {
                (void)removeFileAsked(path);
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

ChosenKeysWrite writeChosenKeys(const std::string& path, const ChosenKeys& keys,
                                const ChosenInputs& inputs, const KeyBindings& inUse) {
    using Outcome = ChosenKeysWrite::Outcome;
    const FileKind kind = fileKindAsked(path);
    switch (kind) {
    case FileKind::Missing:
    case FileKind::Regular:
        break;
    case FileKind::Folder:
        return {Outcome::NotSaved, fileIsFolder};
    case FileKind::Fifo:
        return {Outcome::NotSaved, fileIsFifo};
    case FileKind::Device:
        return {Outcome::NotSaved, fileIsDevice};
    case FileKind::Other:
        return {Outcome::NotSaved, fileIsNoFile};
    }
    // Every name is had first: once the file is replaced, nothing may fail
    // before the file as it was is kept.
    TemporaryFile written{path + ".tmp"};
    TemporaryFile backup{path + std::string(backupAsideSuffix)};
    const std::string backupPath = path + ".bak";
    const bool fileThere = kind == FileKind::Regular;
    if (fileThere && readOnlyAsked(path)) {
        return {Outcome::NotSaved, fileIsReadOnly};
    }
    if (fileThere && fileKindAsked(backup.path) != FileKind::Missing) {
        return {Outcome::NotSaved, oldFileAside};
    }
    std::string old;
    if (fileThere) {
        FileRead file = readFileAsked(path, bindingFileBytesAtMost);
        if (file.answer == ReadAnswer::TooLarge) {
            return {Outcome::TooLarge, fileTooLarge};
        }
        if (file.answer != ReadAnswer::Read) {
            return {Outcome::NotSaved, fileUnreadable};
        }
        old = std::move(file.bytes);
    }
    const ChosenText chosen = chosenBindingText(
        fileThere ? std::optional<std::string_view>(old) : std::nullopt, inUse, keys, inputs);
    if (chosen.text.size() > bindingFileBytesAtMost) {
        return {Outcome::TooLarge, textTooLarge};
    }
    if (!readsAs(chosen.text, chosen.bindings)) {
        return {Outcome::NotSaved, textReadsOtherwise};
    }

    WriteFault fault = writeWhole(written, chosen.text);
    if (fault == WriteFault::None && fileThere) {
        fault = writeWhole(backup, old);
    }
    if (fault == WriteFault::None) {
        fault = putInPlace(written, path);
    }
    if (fault != WriteFault::None) {
        return {Outcome::NotSaved, writeFaultText(fault)};
    }
    if (!fileThere) {
        return {Outcome::Saved, {}};
    }
    // The file is replaced: from here on, the file as it was is kept whatever
    // happens.
    backup.placed = true;
    fault = replaceFileAsked(backup.path, backupPath);
    return fault == WriteFault::None
               ? ChosenKeysWrite{Outcome::Saved, {}}
               : ChosenKeysWrite{Outcome::SavedBackupAside, writeFaultText(fault)};
}
