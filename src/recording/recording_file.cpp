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

void appendCall(std::string& out, DriveRecording& recording, const RecordedCall& call) {
    switch (call.kind) {
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
    case RecordedCall::Kind::Native:
        break;
    }
    out += static_cast<char>(nativeIndex(recording, call.hash));
    out += static_cast<char>(call.argumentCount | (call.textArgument ? textArgumentBit : 0) |
                             (call.result != 0 ? resultBit : 0));
    for (std::size_t i = 0; i < call.argumentCount; ++i) {
        if (i == 0 && call.textArgument) {
            appendText(out, call.text);
        } else {
            appendNumber(out, call.arguments[i]);
        }
    }
    if (call.result != 0) {
        appendNumber(out, call.result);
    }
}

// Reads what readRecording checks; once a read runs past the end, every
// later one reads zeros and ok stays false.
struct Reader {
    const std::uint8_t* at;
    const std::uint8_t* end;
    bool ok = true;

    bool has(std::size_t size) {
        ok = ok && static_cast<std::size_t>(end - at) >= size;
        return ok;
    }

    template <typename Number>
    Number number() {
        Number value{};
        if (has(sizeof value)) {
            std::memcpy(&value, at, sizeof value);
            at += sizeof value;
        }
        return value;
    }

    std::string text() {
        const std::size_t length = number<std::uint8_t>();
        if (!has(length)) {
            return {};
        }
        std::string result(reinterpret_cast<const char*>(at), length);
        at += length;
        return result;
    }

    std::vector<NamedValue> values() {
        std::vector<NamedValue> result(number<std::uint8_t>());
        for (NamedValue& value : result) {
            value.name = text();
            value.value = number<std::int32_t>();
        }
        return result;
    }
};

void readCall(Reader& reader, const DriveRecording& recording, RecordedCall& call) {
    const std::uint8_t tag = reader.number<std::uint8_t>();
    call.values.clear();
    call.text.clear();
    switch (tag) {
    case keyTag:
    case wideKeyTag:
        call.kind = RecordedCall::Kind::Key;
        call.key = tag == keyTag ? reader.number<std::uint8_t>() : reader.number<std::int32_t>();
        call.keyState = reader.number<std::int16_t>();
        return;
    case focusTag:
    case focusLostTag:
        call.kind = RecordedCall::Kind::Focus;
        call.focused = tag == focusTag;
        return;
    case stateTag:
        call.kind = RecordedCall::Kind::State;
        call.values.resize(reader.number<std::uint8_t>());
        for (std::int32_t& value : call.values) {
            value = reader.number<std::int32_t>();
        }
        return;
    default:
        break;
    }
    call.kind = RecordedCall::Kind::Native;
    reader.ok = reader.ok && tag < recording.natives.size();
    call.hash = reader.ok ? recording.natives[tag] : 0;
    const std::uint8_t shape = reader.number<std::uint8_t>();
    call.argumentCount = shape & argumentCountBits;
    call.textArgument = (shape & textArgumentBit) != 0;
    reader.ok = reader.ok && call.argumentCount <= recordedArgumentsAtMost &&
                (call.argumentCount > 0 || !call.textArgument);
    call.arguments.fill(0);
    for (std::size_t i = 0; i < call.argumentCount && reader.ok; ++i) {
        if (i == 0 && call.textArgument) {
            call.text = reader.text();
        } else {
            call.arguments[i] = reader.number<std::uint32_t>();
        }
    }
    call.result = (shape & resultBit) ? reader.number<std::uint32_t>() : 0;
}

// Decodes one pass; false when it doesn't fit what is left or its entries
// don't fill it exactly.
bool readPass(Reader& reader, const DriveRecording& recording, RecordedPass& pass) {
    const std::uint32_t word = reader.number<std::uint32_t>();
    pass.gameTimeMs = reader.number<std::int32_t>();
    pass.cut = (word & passCutBit) != 0;
    const std::size_t length = word & ~passCutBit;
    if (!reader.has(length)) {
        return false;
    }
    Reader entries{reader.at, reader.at + length};
    reader.at += length;
    pass.calls.clear();
    while (entries.ok && entries.at < entries.end) {
        readCall(entries, recording, pass.calls.emplace_back());
    }
    return entries.ok;
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
    std::string bytes = recordingHead(recording, recording.passBytes.size()) + recording.passBytes;
    appendNumber(bytes, crc32(0, bytes.data(), bytes.size()));
    return bytes;
}

RecordingRead readRecording(std::string_view bytes) {
    RecordingRead read;
    const auto* const start = reinterpret_cast<const std::uint8_t*>(bytes.data());
    Reader reader{start, start + bytes.size()};
    if (!bytes.starts_with(recordingMagic)) {
        read.error = "not a Manual Gearbox drive recording: it doesn't begin with " +
                     std::string(recordingMagic);
        return read;
    }
    reader.at += recordingMagic.size();
    const std::uint16_t version = reader.number<std::uint16_t>();
    const std::uint32_t bodyBytes = reader.number<std::uint32_t>();
    if (!reader.ok) {
        read.error = "truncated: " + std::to_string(bytes.size()) + " bytes, too few for a header";
        return read;
    }
    if (version != recordingVersion) {
        read.error = "format version " + std::to_string(version) +
                     ", which this drive doesn't know; it reads version " +
                     std::to_string(recordingVersion);
        return read;
    }
    const std::size_t fileBytes = recordingLeadBytes + bodyBytes + recordingChecksumBytes;
    if (bytes.size() < fileBytes) {
        read.error = "truncated: " + std::to_string(bytes.size()) + " bytes of the " +
                     std::to_string(fileBytes) + " its header announces";
        return read;
    }
    std::uint32_t checksum = 0;
    std::memcpy(&checksum, start + fileBytes - recordingChecksumBytes, sizeof checksum);
    if (bytes.size() > fileBytes ||
        crc32(0, start, fileBytes - recordingChecksumBytes) != checksum) {
        read.error = "damaged: its checksum doesn't match its contents";
        return read;
    }

    reader.end = start + fileBytes - recordingChecksumBytes;
    DriveRecording& recording = read.recording;
    recording.pluginVersion = reader.text();
    recording.bindings = reader.values();
    recording.state = reader.values();
    recording.natives.resize(reader.number<std::uint8_t>());
    for (std::uint64_t& hash : recording.natives) {
        hash = reader.number<std::uint64_t>();
    }
    recording.passCount = reader.number<std::uint32_t>();
    const std::uint8_t* const passes = reader.at;
    RecordedPass pass;
    for (std::uint32_t i = 0; i < recording.passCount && reader.ok; ++i) {
        reader.ok = readPass(reader, recording, pass);
    }
    if (!reader.ok || reader.at != reader.end) {
        read.error = "damaged: its passes don't add up to its length";
        return read;
    }
    recording.passBytes.assign(reinterpret_cast<const char*>(passes),
                               static_cast<std::size_t>(reader.end - passes));
    return read;
}

void decodePass(const DriveRecording& recording, std::size_t& offset, RecordedPass& pass) {
    const auto* const start = reinterpret_cast<const std::uint8_t*>(recording.passBytes.data());
    Reader reader{start + offset, start + recording.passBytes.size()};
    readPass(reader, recording, pass);
    offset = static_cast<std::size_t>(reader.at - start);
}
