#include "recording/recording.h"

namespace {

// Eight tables, so that the checksum takes eight bytes a step: a ten-minute
// recording must be written while the game waits.
constexpr auto crcTables = [] {
    std::array<std::array<std::uint32_t, 256>, 8> tables{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1u) ? 0xEDB88320u : 0u);
        }
        tables[0][byte] = crc;
    }
    for (std::size_t table = 1; table < tables.size(); ++table) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const std::uint32_t previous = tables[table - 1][byte];
            tables[table][byte] = (previous >> 8) ^ tables[0][previous & 0xFFu];
        }
    }
    return tables;
}();

void appendValues(std::string& out, const std::vector<NamedValue>& values) {
    out += static_cast<char>(values.size());
    for (const NamedValue& value : values) {
        appendText(out, value.name);
        appendNumber(out, value.value);
    }
}

} // namespace

void recordingHead(std::string& head, const DriveRecording& header, std::size_t passBytes) {
    head.assign(recordingMagic);
    appendNumber(head, header.formatVersion);
    // The body's length, once its head is written.
    appendNumber(head, std::uint32_t{0});
    appendText(head, header.pluginVersion);
    if (header.formatVersion != firstRecordingVersion) {
        head += static_cast<char>(header.filesKept ? 1 : 0);
    }
    appendValues(head, header.bindings);
    appendValues(head, header.state);
    head += static_cast<char>(header.natives.size());
    for (const std::uint64_t hash : header.natives) {
        appendNumber(head, hash);
    }
    appendNumber(head, header.passCount);
    const auto length = static_cast<std::uint32_t>(head.size() - recordingLeadBytes + passBytes);
    std::memcpy(head.data() + recordingLeadBytes - sizeof length, &length, sizeof length);
}

std::uint32_t crc32(std::uint32_t crc, const void* data, std::size_t size) {
    const auto* at = static_cast<const std::uint8_t*>(data);
    const auto& t = crcTables;
    crc = ~crc;
    for (; size >= 8; size -= 8, at += 8) {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        std::memcpy(&low, at, 4);
        std::memcpy(&high, at + 4, 4);
        low ^= crc;
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^
              t[4][low >> 24] ^ t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^
              t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; size > 0; --size, ++at) {
        crc = (crc >> 8) ^ t[0][(crc ^ *at) & 0xFF];
    }
    return ~crc;
}
