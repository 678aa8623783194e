// Reading the start of a drive recording as the tools take it from players:
// the lead, then the header, nothing used before it is checked against what
// is left of the file.
#include "recording/recording_reader.h"

std::string recordingLeadProblem(std::string_view lead, std::uint64_t fileBytes) {
    if (!lead.starts_with(recordingMagic)) {
        return "not a Manual Gearbox drive recording: it doesn't begin with " +
               std::string(recordingMagic);
    }
    if (lead.size() < recordingLeadBytes) {
        return "truncated: " + std::to_string(fileBytes) + " bytes, too few for a header";
    }
    std::uint16_t version = 0;
    std::uint32_t bodyBytes = 0;
    std::memcpy(&version, lead.data() + recordingMagic.size(), sizeof version);
    std::memcpy(&bodyBytes, lead.data() + recordingMagic.size() + sizeof version, sizeof bodyBytes);
    if (version < firstRecordingVersion || version > recordingVersion) {
        return "format version " + std::to_string(version) +
               ", which this drive doesn't know; it reads versions " +
               std::to_string(firstRecordingVersion) + " to " + std::to_string(recordingVersion);
    }
    const std::uint64_t announced =
        recordingLeadBytes + std::uint64_t{bodyBytes} + recordingChecksumBytes;
    if (fileBytes < announced) {
        return "truncated: " + std::to_string(fileBytes) + " bytes of the " +
               std::to_string(announced) + " its header announces";
    }
    if (fileBytes > announced) {
        return "damaged: " + std::to_string(fileBytes) + " bytes, more than the " +
               std::to_string(announced) + " its header announces";
    }
    return {};
}

RecordingRead readRecordingHeader(std::string_view start) {
    const auto* const file = reinterpret_cast<const std::uint8_t*>(start.data());
    std::uint32_t bodyBytes = 0;
    std::memcpy(&bodyBytes, file + recordingLeadBytes - sizeof bodyBytes, sizeof bodyBytes);
    // The header lies within start, the passes after it up to bodyEnd.
    const std::size_t bodyEnd = recordingLeadBytes + std::size_t{bodyBytes};
    RecordingReader reader{.file = file,
                           .at = file + recordingLeadBytes,
                           .end = file + std::min(start.size(), bodyEnd)};
    RecordingRead read;
    DriveRecording& recording = read.recording;
    std::memcpy(&recording.formatVersion, file + recordingMagic.size(),
                sizeof recording.formatVersion);
    recording.pluginVersion = reader.name("the plug-in's version");
    if (recording.formatVersion != firstRecordingVersion) {
        const std::uint8_t* const where = reader.at;
        const std::uint8_t kept = reader.number<std::uint8_t>("whether files are kept");
        if (kept > 1) {
            reader.fail(where,
                        "whether files are kept is " + std::to_string(kept) + ", neither 0 nor 1");
        }
        recording.filesKept = kept == 1;
    }
    recording.bindings = reader.values("the bindings", "a binding's name", "a binding's value");
    recording.state = reader.values("the state", "a state value's name", "a state value");
    const std::uint8_t* where = reader.at;
    const std::size_t natives = reader.number<std::uint8_t>("the table of natives");
    if (natives > recordedNativesAtMost) {
        reader.fail(where, "the table of natives claims " + std::to_string(natives) +
                               ", more than " + std::to_string(recordedNativesAtMost));
    }
    if (reader.fits(natives, sizeof(std::uint64_t), where, "the table of natives")) {
        recording.natives.resize(natives);
        for (std::uint64_t& hash : recording.natives) {
            hash = reader.number<std::uint64_t>("a native's hash");
        }
    }
    where = reader.at;
    recording.passCount = reader.number<std::uint32_t>("the count of passes");
    read.passesAt = static_cast<std::size_t>(reader.at - file);
    if (reader.ok() &&
        std::uint64_t{recording.passCount} * passHeadBytes > bodyEnd - read.passesAt) {
        reader.fail(where, "the count of passes claims " + std::to_string(recording.passCount) +
                               ", more than the rest of the file holds");
    }
    read.error = reader.error;
    return read;
}

RecordingRead readRecording(std::string file) {
    RecordingRead read;
    read.error =
        recordingLeadProblem(std::string_view(file).substr(0, recordingLeadBytes), file.size());
    if (read.error.empty()) {
        read = readRecordingHeader(file);
    }
    if (read.error.empty()) {
        readRecordingBody(std::move(file), read);
    }
    return read;
}
