// A recording's bytes, edited, given back a length and a checksum that hold,
// so that a reader gets past them to the edit: for the fuzz target's
// mutations and the seeds made by editing real recordings alike.
#pragma once

#include <cstdint>
#include <cstring>

#include "recording/recording.h"

// size is at least recordingLeadBytes + recordingChecksumBytes.
inline void repairLengthAndChecksum(std::uint8_t* data, std::size_t size) {
    const auto bodyBytes =
        static_cast<std::uint32_t>(size - recordingLeadBytes - recordingChecksumBytes);
    std::memcpy(data + recordingLeadBytes - sizeof bodyBytes, &bodyBytes, sizeof bodyBytes);
    const std::uint32_t checksum = crc32(0, data, size - recordingChecksumBytes);
    std::memcpy(data + size - recordingChecksumBytes, &checksum, sizeof checksum);
}
