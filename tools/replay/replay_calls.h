// Recorded calls as replays match them and show them in their reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "recording/recording_file.h"

// Whether two calls ask the same question: the same native with the same
// arguments, the same key, or both the focus.
bool sameCall(const RecordedCall& a, const RecordedCall& b);

// A call as reports show it, e.g. SET_ENTITY_MAX_SPEED(0x00000A01, 21.00).
std::string callText(const RecordedCall& call);

// A file question as reports show it, e.g. "a file read".
std::string fileQuestionText(FileQuestion question);

// A value as the native's documentation types it: a float to two decimals, a
// handle in hexadecimal, a BOOL as TRUE or FALSE, else a signed integer.
std::string typedText(std::string_view type, std::uint32_t value);

// A number in a printf format, e.g. "%.2f".
std::string numberText(const char* format, double value);

// A read of the game controller at this place among those found, as
// reports show it, numbered from 1: "a read of game controller 1".
std::string controllerText(std::uint8_t place);

// Force feedback's entry as reports show it: "the damper set to 2500 for
// 1500 ms".
std::string forcesText(const RecordedCall& call);

// A pass as reports name it, e.g. "pass 41".
std::string passText(std::uint32_t pass);

// A call the stand-in refused, as reports show it.
std::string faultText(const std::string& fault);
