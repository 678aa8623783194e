// Reading the passes of a drive recording whose header holds: its checksum,
// then each pass and entry, nothing used before it is checked against what
// is left of the pass or the file.
#include <algorithm>

#include "recording/recording_reader.h"

namespace {

constexpr std::uint8_t shapeBits =
    argumentCountBits | textArgumentBit | resultBit | vectorResultBit;

// Force feedback opened: what it came to is one of the device layer's answers.
void readForcesOpened(RecordingReader& reader, const std::uint8_t* begin, RecordedCall& call) {
    call.kind = RecordedCall::Kind::ForcesOpened;
    call.controller = reader.number<std::uint8_t>("its game controller");
    call.strength = reader.number<std::uint8_t>("its strength");
    call.answer = reader.number<std::uint8_t>("what it came to");
    if (reader.ok() && (call.strength > 100 || call.answer > lastForceAnswer)) {
        reader.fail(begin, "force feedback opened at " + std::to_string(call.strength) +
                               "%, answered " + std::to_string(call.answer) +
                               ", which no opening gives");
    }
}

void readForceSet(RecordingReader& reader, const std::uint8_t* begin, RecordedCall& call) {
    call.kind = RecordedCall::Kind::ForceSet;
    call.effect = reader.number<std::uint8_t>("its effect");
    call.magnitude = reader.number<std::int32_t>("its magnitude");
    call.periodMs = reader.number<std::uint16_t>("its period");
    call.durationMs = reader.number<std::uint16_t>("its duration");
    if (reader.ok() &&
        (call.effect > lastForceEffect || call.magnitude < -10000 || call.magnitude > 10000)) {
        reader.fail(begin, "force effect " + std::to_string(call.effect) + " of magnitude " +
                               std::to_string(call.magnitude) + ", which no effect has");
    }
}

// A file question, its answer, and a read's bytes, which are text of their
// own: at most what a recording keeps, and within the pass.
void readFileEntry(RecordingReader& reader, const std::uint8_t* begin, RecordedCall& call) {
    call.kind = RecordedCall::Kind::File;
    const std::uint8_t question = reader.number<std::uint8_t>("its question");
    call.answer = reader.number<std::uint8_t>("its answer");
    if (reader.ok() && question > lastFileQuestion) {
        reader.fail(begin, "a file question of kind " + std::to_string(question) +
                               ", outside 0 to " + std::to_string(lastFileQuestion));
        return;
    }
    call.question = static_cast<FileQuestion>(question);
    if (reader.ok() && call.answer > fileAnswersAtMost[question]) {
        reader.fail(begin, "a file question of kind " + std::to_string(question) + " answered " +
                               std::to_string(call.answer) + ", outside 0 to " +
                               std::to_string(fileAnswersAtMost[question]));
        return;
    }
    if (!reader.ok() || !readBytesFollow(call.question, call.answer)) {
        return;
    }
    const std::size_t length = reader.number<std::uint32_t>("the length of a file read");
    if (reader.ok() && length > recordedFileBytesAtMost) {
        reader.fail(begin, "a file read of " + std::to_string(length) + " bytes, more than the " +
                               std::to_string(recordedFileBytesAtMost) + " a recording keeps");
    } else if (reader.ok() && length > reader.left()) {
        reader.fail(begin, "a file read of " + std::to_string(length) +
                               " bytes, past the end of the pass");
    }
    if (reader.ok()) {
        call.text.assign(reinterpret_cast<const char*>(reader.at), length);
        reader.at += length;
    }
}

// A fault's step, from 1 to the last, or 0 for none where none may be, and
// DirectInput's answer, any number.
void readFault(RecordingReader& reader, const std::uint8_t* begin, bool none, std::uint8_t& step,
               std::int32_t& answer) {
    step = reader.number<std::uint8_t>("the step of a fault");
    answer = reader.number<std::int32_t>("DirectInput's answer");
    if (reader.ok() && (step > recordedFaultStepsAtMost || (step == 0 && !none))) {
        reader.fail(begin, "a fault at step " + std::to_string(step) + ", outside " +
                               (none ? "0" : "1") + " to " +
                               std::to_string(recordedFaultStepsAtMost));
    }
}

// The game controllers found: their ids, types, whether each was opened, and
// their names, which are text of any bytes; with faults, the look's first,
// and each one's before its name.
void readControllers(RecordingReader& reader, const std::uint8_t* begin, RecordedCall& call,
                     bool faults) {
    call.faultStep = 0;
    call.faultAnswer = 0;
    if (faults) {
        readFault(reader, begin, true, call.faultStep, call.faultAnswer);
    }
    const std::size_t count = reader.number<std::uint8_t>("its count of game controllers");
    const std::size_t faultBytes = faults ? 1 + 4 : 0;
    if (!reader.fits(count, 2 + 2 + 1 + 1 + faultBytes + 1, begin, "the game controllers found")) {
        return;
    }
    call.controllers.resize(count);
    for (RecordedController& controller : call.controllers) {
        controller.vendor = reader.number<std::uint16_t>("a game controller's vendor");
        controller.product = reader.number<std::uint16_t>("a game controller's product");
        controller.type = reader.number<std::uint8_t>("a game controller's type");
        const std::uint8_t opened = reader.number<std::uint8_t>("whether it was opened");
        if (reader.ok() && opened > 1) {
            reader.fail(begin, "whether a game controller was opened is " + std::to_string(opened) +
                                   ", neither 0 nor 1");
        }
        controller.opened = opened == 1;
        controller.faultStep = 0;
        controller.faultAnswer = 0;
        if (faults) {
            readFault(reader, begin, true, controller.faultStep, controller.faultAnswer);
        }
        controller.name = reader.text("a game controller's name");
    }
    const bool none =
        call.faultStep == 0 &&
        std::ranges::none_of(call.controllers, [](const auto& c) { return c.faultStep != 0; });
    if (faults && reader.ok() && none) {
        reader.fail(begin, "the game controllers found with faults, where none came to one");
    }
}

// A controller's read: its axes and the numbers of its buttons down.
void readControllerRead(RecordingReader& reader, const std::uint8_t* begin, RecordedCall& call,
                        bool failed) {
    call.controller = reader.number<std::uint8_t>("its game controller");
    call.axes.fill(0);
    call.faultStep = 0;
    call.faultAnswer = 0;
    if (failed) {
        readFault(reader, begin, false, call.faultStep, call.faultAnswer);
    }
    if (call.released) {
        return;
    }
    for (std::uint16_t& axis : call.axes) {
        axis = reader.number<std::uint16_t>("an axis");
    }
    const std::size_t count = reader.number<std::uint8_t>("its count of buttons down");
    if (reader.fits(count, 1, begin, "the buttons down")) {
        call.buttons.resize(count);
        for (std::uint8_t& button : call.buttons) {
            button = reader.number<std::uint8_t>("a button");
        }
    }
}

void readCall(RecordingReader& reader, const DriveRecording& recording, RecordedCall& call) {
    const std::uint8_t* const begin = reader.at;
    const std::uint8_t tag = reader.number<std::uint8_t>("its kind");
    call.values.clear();
    call.text.clear();
    call.controllers.clear();
    call.buttons.clear();
    switch (tag) {
    case keyTag:
    case wideKeyTag:
        call.kind = RecordedCall::Kind::Key;
        call.key = tag == keyTag ? reader.number<std::uint8_t>("its key code")
                                 : reader.number<std::int32_t>("its key code");
        call.keyState = reader.number<std::int16_t>("its key state");
        return;
    case focusTag:
    case focusLostTag:
        call.kind = RecordedCall::Kind::Focus;
        call.focused = tag == focusTag;
        return;
    case stateTag: {
        call.kind = RecordedCall::Kind::State;
        const std::size_t count = reader.number<std::uint8_t>("its count of values");
        if (reader.fits(count, sizeof(std::int32_t), begin, "the plug-in's state")) {
            call.values.resize(count);
            for (std::int32_t& value : call.values) {
                value = reader.number<std::int32_t>("a state value");
            }
        }
        return;
    }
    case fileTag:
        if (recording.formatVersion != firstRecordingVersion) {
            readFileEntry(reader, begin, call);
            return;
        }
        break;
    case controllersTag:
    case controllersKeptTag:
    case controllersFaultsTag:
    case controllersKeptFaultsTag:
        if (recording.formatVersion >= firstControllersVersion) {
            call.kind = tag == controllersTag || tag == controllersFaultsTag
                            ? RecordedCall::Kind::Controllers
                            : RecordedCall::Kind::ControllersKept;
            readControllers(reader, begin, call,
                            tag == controllersFaultsTag || tag == controllersKeptFaultsTag);
            return;
        }
        break;
    case forcesOpenedTag:
        readForcesOpened(reader, begin, call);
        return;
    case forceSetTag:
        readForceSet(reader, begin, call);
        return;
    case forcesStoppedTag:
        call.kind = RecordedCall::Kind::ForcesStopped;
        return;
    case controllerReadTag:
    case controllerReleasedTag:
    case controllerFailedTag:
        if (recording.formatVersion >= firstControllersVersion) {
            call.kind = RecordedCall::Kind::ControllerRead;
            call.released = tag != controllerReadTag;
            readControllerRead(reader, begin, call, tag == controllerFailedTag);
            return;
        }
        break;
    default:
        break;
    }
    call.kind = RecordedCall::Kind::Native;
    if (tag >= stateTag) {
        reader.fail(begin, "an entry of unknown kind " + hexByte(tag));
        return;
    }
    if (tag >= recording.natives.size()) {
        reader.fail(begin, "native index " + std::to_string(tag) + ", outside its table of " +
                               std::to_string(recording.natives.size()));
        return;
    }
    call.hash = recording.natives[tag];
    const std::uint8_t shape = reader.number<std::uint8_t>("the call's shape");
    call.argumentCount = shape & argumentCountBits;
    call.textArgument = (shape & textArgumentBit) != 0;
    call.vectorResult = (shape & vectorResultBit) != 0;
    if ((shape & ~shapeBits) != 0 || call.argumentCount > recordedArgumentsAtMost ||
        (call.textArgument && call.argumentCount == 0) ||
        (call.vectorResult && (shape & resultBit) != 0)) {
        reader.fail(begin, "a native call of shape " + hexByte(shape) + ", which no call has");
        return;
    }
    call.arguments.fill(0);
    for (std::size_t i = 0; i < call.argumentCount; ++i) {
        if (i == 0 && call.textArgument) {
            call.text = reader.text("its text");
        } else {
            call.arguments[i] = reader.number<std::uint32_t>("an argument");
        }
    }
    call.result = (shape & resultBit) ? reader.number<std::uint32_t>("its result") : 0;
    call.vector.fill(0);
    for (std::size_t i = 0; call.vectorResult && i < call.vector.size(); ++i) {
        call.vector[i] = reader.number<std::uint32_t>("its result");
    }
}

// One pass, whose entries must fill its length exactly.
void readPass(RecordingReader& reader, const DriveRecording& recording, RecordedPass& pass) {
    const std::uint8_t* const begin = reader.at;
    const std::uint32_t word = reader.number<std::uint32_t>("its length");
    pass.gameTimeMs = reader.number<std::int32_t>("its game time");
    pass.cut = (word & passCutBit) != 0;
    const std::size_t length = word & ~passCutBit;
    if (reader.ok() && passHeadBytes + length > passBytesAtMost + passFileBytesAtMost) {
        reader.fail(
            begin, "its length, " + std::to_string(length) + " bytes, more than a pass holds (" +
                       std::to_string(passBytesAtMost + passFileBytesAtMost - passHeadBytes) + ")");
    }
    if (reader.ok() && length > reader.left()) {
        reader.fail(begin, "its length, " + std::to_string(length) +
                               " bytes, runs past the end of its passes");
    }
    if (!reader.ok()) {
        return;
    }
    RecordingReader entries{
        .file = reader.file, .at = reader.at, .end = reader.at + length, .pass = reader.pass};
    reader.at += length;
    // The calls of the pass before are decoded over, not made anew.
    std::size_t count = 0;
    while (entries.ok() && entries.at < entries.end) {
        if (count == pass.calls.size()) {
            pass.calls.emplace_back();
        }
        ++entries.entry;
        readCall(entries, recording, pass.calls[count++]);
    }
    pass.calls.resize(count);
    reader.error = entries.error;
    // Only the bytes of files read may take a pass past its usual size.
    std::size_t fileBytes = 0;
    for (const RecordedCall& call : pass.calls) {
        fileBytes += call.kind == RecordedCall::Kind::File ? call.text.size() : 0;
    }
    if (reader.ok() && fileBytes > passFileBytesAtMost) {
        reader.fail(begin, "files read of " + std::to_string(fileBytes) +
                               " bytes, more than a pass holds (" +
                               std::to_string(passFileBytesAtMost) + ")");
    } else if (reader.ok() && passHeadBytes + length - fileBytes > passBytesAtMost) {
        reader.fail(begin, "its entries but the files read, " + std::to_string(length - fileBytes) +
                               " bytes, more than a pass holds (" +
                               std::to_string(passBytesAtMost - passHeadBytes) + ")");
    }
}

} // namespace

void readRecordingBody(std::string file, RecordingRead& read) {
    const auto* const start = reinterpret_cast<const std::uint8_t*>(file.data());
    const std::size_t passesEnd = file.size() - recordingChecksumBytes;
    std::uint32_t checksum = 0;
    std::memcpy(&checksum, start + passesEnd, sizeof checksum);
    if (crc32(0, start, passesEnd) != checksum) {
        read.error = "damaged: its checksum doesn't match its contents";
        return;
    }
    RecordingReader reader{.file = start, .at = start + read.passesAt, .end = start + passesEnd};
    RecordedPass pass;
    for (std::uint32_t i = 1; i <= read.recording.passCount && reader.ok(); ++i) {
        reader.pass = i;
        readPass(reader, read.recording, pass);
    }
    reader.pass = 0;
    if (reader.ok() && reader.at != reader.end) {
        reader.fail(reader.at, std::to_string(reader.left()) + " bytes after its last pass");
    }
    read.error = reader.error;
    if (read.error.empty()) {
        file.resize(passesEnd);
        file.erase(0, read.passesAt);
        read.recording.passBytes = std::move(file);
    }
}

void decodePass(const DriveRecording& recording, std::size_t& offset, RecordedPass& pass) {
    const auto* const start = reinterpret_cast<const std::uint8_t*>(recording.passBytes.data());
    RecordingReader reader{
        .file = start, .at = start + offset, .end = start + recording.passBytes.size()};
    readPass(reader, recording, pass);
    offset = static_cast<std::size_t>(reader.at - start);
}
