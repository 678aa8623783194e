#include "runner/recorded_drive.h"

#include <algorithm>
#include <cstdio>

#include "binding_file/binding_places.h"
#include "binding_file/binding_reader.h"
#include "binding_file/recorded_bindings.h"
#include "host/files.h"
#include "version.h"

bool holdsPass(const std::vector<sim::Call>& calls) {
    return std::ranges::any_of(
        calls, [](const sim::Call& call) { return call.kind == sim::Call::Kind::Wait; });
}

namespace {

// The controllers found last in the pass, which the opens after the list
// mark as opened.
RecordedCall* lastFound(RecordedPass& pass) {
    for (auto call = pass.calls.rbegin(); call != pass.calls.rend(); ++call) {
        if (call->kind == RecordedCall::Kind::Controllers) {
            return &*call;
        }
    }
    return nullptr;
}

void setFault(std::uint8_t& step, std::int32_t& answer, ControllerFault fault) {
    step = static_cast<std::uint8_t>(fault.step);
    answer = fault.result;
}

// An opening's fault, or Acquire's where it went on to one, is the
// controller's in the last list.
void noteOpening(RecordedPass& pass, const sim::Call& call) {
    RecordedCall* found = lastFound(pass);
    if (!found || call.value < 0 ||
        static_cast<std::size_t>(call.value) >= found->controllers.size()) {
        return;
    }
    RecordedController& controller = found->controllers[static_cast<std::size_t>(call.value)];
    if (call.kind == sim::Call::Kind::ControllerOpen) {
        controller.opened = call.result != 0;
    }
    setFault(controller.faultStep, controller.faultAnswer, call.fault);
}

// Acquire's fault after a read that asked for it is the read's.
void noteAcquire(RecordedPass& pass, const sim::Call& call) {
    if (call.fault.step == ControllerStep::None) {
        return;
    }
    if (!pass.calls.empty() && pass.calls.back().kind == RecordedCall::Kind::ControllerRead &&
        pass.calls.back().controller == call.value) {
        setFault(pass.calls.back().faultStep, pass.calls.back().faultAnswer, call.fault);
    } else {
        noteOpening(pass, call);
    }
}

void recordRead(const sim::Call& call, RecordedCall& recorded) {
    recorded.kind = RecordedCall::Kind::ControllerRead;
    recorded.controller = static_cast<std::uint8_t>(call.value);
    recorded.released = call.fault.step != ControllerStep::None;
    setFault(recorded.faultStep, recorded.faultAnswer, call.fault);
    if (!recorded.released) {
        recorded.axes = call.input.axes;
        for (int button = 1; button <= controllerButtonCount; ++button) {
            if (buttonDown(call.input, button)) {
                recorded.buttons.push_back(static_cast<std::uint8_t>(button));
            }
        }
    }
}

void recordForces(const sim::Call& call, RecordedCall& recorded) {
    recorded.kind = call.kind == sim::Call::Kind::ForcesOpened ? RecordedCall::Kind::ForcesOpened
                    : call.kind == sim::Call::Kind::ForceSet   ? RecordedCall::Kind::ForceSet
                                                               : RecordedCall::Kind::ForcesStopped;
    recorded.controller = static_cast<std::uint8_t>(call.value);
    recorded.strength = static_cast<std::uint8_t>(call.arguments[0]);
    recorded.answer = static_cast<std::uint8_t>(call.result);
    recorded.effect = static_cast<std::uint8_t>(call.value);
    recorded.magnitude = call.force.magnitude;
    recorded.periodMs = call.force.periodMs;
    recorded.durationMs = call.force.durationMs;
}

} // namespace

RecordedPass recordedPass(const std::vector<sim::Call>& calls, std::int64_t timeMs) {
    RecordedPass pass;
    pass.gameTimeMs = static_cast<std::int32_t>(timeMs);
    pass.calls.reserve(calls.size());
    for (const sim::Call& call : calls) {
        RecordedCall recorded;
        switch (call.kind) {
        case sim::Call::Kind::Native:
            recorded.hash = call.hash;
            recorded.argumentCount = static_cast<std::uint8_t>(call.argumentCount);
            for (std::size_t i = 0; i < call.argumentCount; ++i) {
                recorded.arguments[i] = static_cast<std::uint32_t>(call.arguments[i]);
            }
            recorded.textArgument = call.textArgument;
            if (call.textArgument) {
                recorded.arguments[0] = 0;
                recorded.text = call.text.substr(0, recordedTextAtMost);
            }
            recorded.result = call.vectorResult ? 0 : static_cast<std::uint32_t>(call.result);
            recorded.vectorResult = call.vectorResult;
            for (std::size_t i = 0; call.vectorResult && i < recorded.vector.size(); ++i) {
                recorded.vector[i] = static_cast<std::uint32_t>(call.vector[i]);
            }
            break;
        case sim::Call::Kind::KeyQuery:
            recorded.kind = RecordedCall::Kind::Key;
            recorded.key = static_cast<std::int32_t>(call.value);
            recorded.keyState = call.keyState;
            break;
        // The plug-in's focus is whether the foreground window is the game's.
        case sim::Call::Kind::ForegroundQuery:
            recorded.kind = RecordedCall::Kind::Focus;
            recorded.focused = static_cast<std::uintptr_t>(call.value) == sim::gameWindow;
            break;
        // The question alone: replays compare which files the plug-in asked
        // about, and the answers are the recording's.
        case sim::Call::Kind::File:
            recorded.kind = RecordedCall::Kind::File;
            recorded.question = static_cast<FileQuestion>(call.value);
            break;
        case sim::Call::Kind::ControllerList:
            recorded.kind = RecordedCall::Kind::Controllers;
            recorded.controllers = call.controllers;
            setFault(recorded.faultStep, recorded.faultAnswer, call.fault);
            break;
        case sim::Call::Kind::ControllerOpen:
            noteOpening(pass, call);
            continue;
        case sim::Call::Kind::ControllerAcquire:
            noteAcquire(pass, call);
            continue;
        case sim::Call::Kind::ControllerRead:
            recordRead(call, recorded);
            break;
        case sim::Call::Kind::ForcesOpened:
        case sim::Call::Kind::ForceSet:
        case sim::Call::Kind::ForcesStopped:
            recordForces(call, recorded);
            break;
        case sim::Call::Kind::WindowProcessQuery:
        case sim::Call::Kind::Wait:
            continue;
        }
        pass.calls.push_back(std::move(recorded));
    }
    return pass;
}

DriveRecording driveRecordingHeader(const std::string& pluginFolder,
                                    const std::string& driveFolder) {
    DriveRecording header;
    header.pluginVersion = productVersion;
    KeyBindings keys{};
    BindingsFile file = BindingsFile::NotFound;
    for (const std::string& folder : {pluginFolder, driveFolder}) {
        const FileRead found =
            readFileUpTo(inFolder(folder, bindingFileName), bindingFileBytesAtMost);
        if (found.answer == ReadAnswer::TooLarge) {
            file = BindingsFile::TooLarge;
            break;
        }
        if (found.answer == ReadAnswer::Read) {
            const ReadSummary summary =
                readBindingText(found.bytes, keys, [](const LineOutcome&) {});
            file = summary.utf16 ? BindingsFile::Utf16 : BindingsFile::Read;
            break;
        }
    }
    header.bindings = recordedBindings(keys, file);
    return header;
}

std::string readWholeFile(const std::string& path, std::string& error) {
    if (fileKind(path) != FileKind::Regular) {
        error = "cannot read " + path + ": no such file";
        return {};
    }
    const SharedFile file = openSharedForReading(path);
    std::string bytes;
    char chunk[65536];
    for (std::size_t got = 1; file && got > 0;) {
        got = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.append(chunk, got);
    }
    if (!file || std::ferror(file.get())) {
        error = "cannot read " + path;
    }
    return bytes;
}
