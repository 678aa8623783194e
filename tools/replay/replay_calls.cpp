#include "replay/replay_calls.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <vector>

#include "sim/world.h"

namespace {

// The parameter types, in order, of a documented parameter list.
std::vector<std::string_view> parameterTypes(std::string_view parameters) {
    std::vector<std::string_view> types;
    while (!parameters.empty()) {
        const std::size_t comma = std::min(parameters.find(", "), parameters.size());
        const std::string_view parameter = parameters.substr(0, comma);
        types.push_back(parameter.substr(0, parameter.rfind(' ')));
        parameters.remove_prefix(std::min(comma + 2, parameters.size()));
    }
    return types;
}

// A text as reports show it, in quotes: a byte that a terminal would act
// on, a quote or a backslash is shown by its code.
std::string shownText(std::string_view text) {
    std::string shown = "\"";
    for (const char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            shown += c;
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(c));
            shown += code;
        }
    }
    return shown + "\"";
}

} // namespace

bool sameCall(const RecordedCall& a, const RecordedCall& b) {
    if (a.kind != b.kind) {
        return false;
    }
    switch (a.kind) {
    case RecordedCall::Kind::Native:
        return a.hash == b.hash && a.argumentCount == b.argumentCount &&
               a.textArgument == b.textArgument && a.text == b.text && a.arguments == b.arguments;
    case RecordedCall::Kind::Key:
        return a.key == b.key;
    case RecordedCall::Kind::File:
        return a.question == b.question;
    case RecordedCall::Kind::ControllerRead:
        return a.controller == b.controller;
    case RecordedCall::Kind::ForcesOpened:
        return a.controller == b.controller && a.strength == b.strength;
    case RecordedCall::Kind::ForceSet:
        return a.effect == b.effect && a.magnitude == b.magnitude && a.periodMs == b.periodMs &&
               a.durationMs == b.durationMs;
    default:
        return true;
    }
}

std::string fileQuestionText(FileQuestion question) {
    constexpr std::array<const char*, lastFileQuestion + 1> texts = {
        "a file read",
        "what kind of file a path names",
        "whether a file is read-only",
        "whether two folders are one",
        "a file created",
        "a file opened to add to",
        "a write to a file",
        "a file flushed to the disk",
        "a file closed",
        "a file put in another's place",
        "a file deleted"};
    return texts[static_cast<std::size_t>(question)];
}

std::string numberText(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string typedText(std::string_view type, std::uint32_t value) {
    if (type == "float") {
        return numberText("%.2f", static_cast<double>(std::bit_cast<float>(value)));
    }
    if (type == "Ped" || type == "Vehicle" || type == "Entity") {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", value);
        return text;
    }
    if (type == "BOOL") {
        return value != 0 ? "TRUE" : "FALSE";
    }
    return std::to_string(static_cast<std::int32_t>(value));
}

std::string callText(const RecordedCall& call) {
    switch (call.kind) {
    case RecordedCall::Kind::Key:
        return "GetAsyncKeyState(" + std::to_string(call.key) + ")";
    case RecordedCall::Kind::Focus:
        return "the focus check";
    case RecordedCall::Kind::State:
        return "the plug-in's state";
    case RecordedCall::Kind::File:
        return fileQuestionText(call.question);
    case RecordedCall::Kind::Controllers:
        return "the game controllers found";
    case RecordedCall::Kind::ControllersKept:
        return "the game controllers kept";
    case RecordedCall::Kind::ControllerRead:
        return controllerText(call.controller);
    case RecordedCall::Kind::ForcesOpened:
    case RecordedCall::Kind::ForceSet:
    case RecordedCall::Kind::ForcesStopped:
        return forcesText(call);
    case RecordedCall::Kind::Native:
        break;
    }
    const NativeId* id = findNativeId(call.hash);
    const char* parameters = sim::nativeParameters(call.hash);
    const std::vector<std::string_view> types = parameterTypes(parameters ? parameters : "");
    std::string text = id ? id->name : sim::hashText(call.hash);
    for (std::size_t i = 0; i < call.argumentCount; ++i) {
        text += i == 0 ? "(" : ", ";
        if (i == 0 && call.textArgument) {
            text += shownText(call.text);
        } else {
            text += i < types.size() ? typedText(types[i], call.arguments[i])
                                     : typedText("Entity", call.arguments[i]);
        }
    }
    return text + (call.argumentCount == 0 ? "()" : ")");
}

std::string forcesText(const RecordedCall& call) {
    static constexpr std::array<const char*, lastForceEffect + 1> effects = {
        "the constant force", "the damper", "the jolt"};
    switch (call.kind) {
    case RecordedCall::Kind::ForcesOpened:
        return "force feedback opened on game controller " + std::to_string(call.controller + 1) +
               " at " + std::to_string(call.strength) + "%";
    case RecordedCall::Kind::ForceSet:
        return std::string(call.effect <= lastForceEffect ? effects[call.effect] : "an effect") +
               " set to " + std::to_string(call.magnitude) +
               (call.periodMs != 0 ? " every " + std::to_string(call.periodMs) + " ms" : "") +
               " for " + std::to_string(call.durationMs) + " ms";
    default:
        return "every effect stopped";
    }
}

std::string controllerText(std::uint8_t place) {
    return "a read of game controller " + std::to_string(place + 1);
}

std::string passText(std::uint32_t pass) {
    return "pass " + std::to_string(pass);
}

std::string faultText(const std::string& fault) {
    return "a call the stand-in refuses: " + fault;
}
