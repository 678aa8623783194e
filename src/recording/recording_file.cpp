#include <algorithm>

#include "recording/recording_file.h"

namespace {

std::uint8_t nativeIndex(DriveRecording& recording, std::uint64_t hash) {
    const auto found = std::ranges::find(recording.natives, hash);
    if (found == recording.natives.end()) {
        recording.natives.push_back(hash);
        return static_cast<std::uint8_t>(recording.natives.size() - 1);
    }
    return static_cast<std::uint8_t>(found - recording.natives.begin());
}

void appendFault(std::string& out, std::uint8_t step, std::int32_t answer) {
    out += static_cast<char>(step);
    appendNumber(out, answer);
}

// With the tag of faults only when the look, or an opening, came to one.
void appendControllers(std::string& out, const RecordedCall& call) {
    const bool kept = call.kind == RecordedCall::Kind::ControllersKept;
    const bool faults =
        call.faultStep != 0 || std::ranges::any_of(call.controllers, [](const auto& controller) {
            return controller.faultStep != 0;
        });
    out += static_cast<char>(faults ? (kept ? controllersKeptFaultsTag : controllersFaultsTag)
                                    : (kept ? controllersKeptTag : controllersTag));
    if (faults) {
        appendFault(out, call.faultStep, call.faultAnswer);
    }
    out += static_cast<char>(call.controllers.size());
    for (const RecordedController& controller : call.controllers) {
        appendNumber(out, controller.vendor);
        appendNumber(out, controller.product);
        out += static_cast<char>(controller.type);
        out += static_cast<char>(controller.opened ? 1 : 0);
        if (faults) {
            appendFault(out, controller.faultStep, controller.faultAnswer);
        }
        appendText(out, controller.name);
    }
}

void appendCall(std::string& out, DriveRecording& recording, const RecordedCall& call) {
    switch (call.kind) {
    case RecordedCall::Kind::Controllers:
    case RecordedCall::Kind::ControllersKept:
        appendControllers(out, call);
        return;
    case RecordedCall::Kind::ControllerRead:
        out += static_cast<char>(!call.released        ? controllerReadTag
                                 : call.faultStep != 0 ? controllerFailedTag
                                                       : controllerReleasedTag);
        out += static_cast<char>(call.controller);
        if (call.released && call.faultStep != 0) {
            appendFault(out, call.faultStep, call.faultAnswer);
        }
        if (!call.released) {
            for (const std::uint16_t axis : call.axes) {
                appendNumber(out, axis);
            }
            out += static_cast<char>(call.buttons.size());
            out.append(call.buttons.begin(), call.buttons.end());
        }
        return;
    case RecordedCall::Kind::Key:
        if (call.key >= 0 && call.key <= 0xFF) {
            out += static_cast<char>(keyTag);
            out += static_cast<char>(call.key);
        } else {
            out += static_cast<char>(wideKeyTag);
            appendNumber(out, call.key);
        }
        appendNumber(out, call.keyState);
        return;
    case RecordedCall::Kind::Focus:
        out += static_cast<char>(call.focused ? focusTag : focusLostTag);
        return;
    case RecordedCall::Kind::State:
        out += static_cast<char>(stateTag);
        out += static_cast<char>(call.values.size());
        for (const std::int32_t value : call.values) {
            appendNumber(out, value);
        }
        return;
    case RecordedCall::Kind::File:
        out += static_cast<char>(fileTag);
        out += static_cast<char>(call.question);
        out += static_cast<char>(call.answer);
        if (readBytesFollow(call.question, call.answer)) {
            appendNumber(out, static_cast<std::uint32_t>(call.text.size()));
            out += call.text;
        }
        return;
    case RecordedCall::Kind::ForcesOpened:
        out += static_cast<char>(forcesOpenedTag);
        out += static_cast<char>(call.controller);
        out += static_cast<char>(call.strength);
        out += static_cast<char>(call.answer);
        return;
    case RecordedCall::Kind::ForceSet:
        out += static_cast<char>(forceSetTag);
        out += static_cast<char>(call.effect);
        appendNumber(out, call.magnitude);
        appendNumber(out, call.periodMs);
        appendNumber(out, call.durationMs);
        return;
    case RecordedCall::Kind::ForcesStopped:
        out += static_cast<char>(forcesStoppedTag);
        return;
    case RecordedCall::Kind::Native:
        break;
    }
    out += static_cast<char>(nativeIndex(recording, call.hash));
    out += static_cast<char>(call.argumentCount | (call.textArgument ? textArgumentBit : 0) |
                             (call.vectorResult  ? vectorResultBit
                              : call.result != 0 ? resultBit
                                                 : 0));
    for (std::size_t i = 0; i < call.argumentCount; ++i) {
        if (i == 0 && call.textArgument) {
            appendText(out, call.text);
        } else {
            appendNumber(out, call.arguments[i]);
        }
    }
    if (call.vectorResult) {
        for (const std::uint32_t component : call.vector) {
            appendNumber(out, component);
        }
    } else if (call.result != 0) {
        appendNumber(out, call.result);
    }
}

} // namespace

void appendPass(DriveRecording& recording, const RecordedPass& pass) {
    std::string entries;
    for (const RecordedCall& call : pass.calls) {
        appendCall(entries, recording, call);
    }
    appendNumber(recording.passBytes,
                 static_cast<std::uint32_t>(entries.size()) | (pass.cut ? passCutBit : 0u));
    appendNumber(recording.passBytes, pass.gameTimeMs);
    recording.passBytes += entries;
    ++recording.passCount;
}

std::string encodeRecording(const DriveRecording& recording) {
    std::string bytes;
    recordingHead(bytes, recording, recording.passBytes.size());
    bytes += recording.passBytes;
    appendNumber(bytes, crc32(0, bytes.data(), bytes.size()));
    return bytes;
}
