// One line of a drive script as its parts read it: the words shared by every
// action, and each family of actions, which reads its arguments into the
// line's event or says what it expected.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/drive_script.h"

struct ScriptLine {
    // Without its comment and outer blanks.
    std::string_view text;
    // Views into the text: the time, the action, then its arguments.
    std::vector<std::string_view> words;
    DriveEvent event;
    // What was expected, when a part returned false.
    std::string error;
};

// --- Words, for every family ---------------------------------------------------

// Without blanks (spaces, tabs, a CR) at either end.
std::string_view trimmed(std::string_view text);
std::vector<std::string_view> wordsOf(std::string_view text);
bool fail(ScriptLine& line, std::string message);
// Fails unless there is a word at index, saying what it should have been.
bool argument(ScriptLine& line, std::size_t index, std::string_view expected);
// Fails when there are words past count.
bool noMoreThan(ScriptLine& line, std::size_t count);
// The word as a message shows it: quoted, control bytes escaped, a long word
// cut short.
std::string quoted(std::string_view text);
// "a, b or c".
std::string listOf(const std::vector<const char*>& values);
bool allDigits(std::string_view text);
// A decimal number, never infinite or NaN.
std::optional<double> parseNumber(std::string_view text);

// --- Times ---------------------------------------------------------------------

// The line's time, absolute or after the previous line's; at most an hour.
bool parseTime(ScriptLine& line, std::int64_t previousMs);

// --- Keys, controls and the rest of the player's world --------------------------

bool parseKeyAction(ScriptLine& line);
bool parseControlAction(ScriptLine& line);
// The game control number at index, into number.
bool controlAt(ScriptLine& line, std::size_t index, int& number);
bool parseOnOff(ScriptLine& line);
bool parseDevice(ScriptLine& line);
bool parseCopy(ScriptLine& line);
bool parseDelete(ScriptLine& line);

// --- Game controllers -----------------------------------------------------------

// plug N ID TYPE NAME..., unplug N, axis N AXIS TRAVEL, button N B down|up
bool parsePlug(ScriptLine& line);
bool parseUnplug(ScriptLine& line);
bool parseAxis(ScriptLine& line);
bool parseButton(ScriptLine& line);
// fault STEP [N] ANSWER: DirectInput's step, of game controller N or of the
// system, answers ANSWER from now on (a name such as E_FAIL, a number such
// as 0x80004005, null, none, or for EnumDevices N, unterminated).
bool parseFault(ScriptLine& line);
// "fault Acquire 1 DIERR_OTHERAPPHASPRIO".
std::string faultText(const DriveEvent& event);
// exclusive N taken|free
bool parseExclusive(ScriptLine& line);

// --- Vehicles -------------------------------------------------------------------

bool parseEnter(ScriptLine& line);
bool parseVehicleClassAction(ScriptLine& line);
bool parseSpeed(ScriptLine& line);
// top [1|2] SPEED: a vehicle's top speed, of the one the player is in or was
// last in when no vehicle is named.
bool parseTopSpeed(ScriptLine& line);
// An action without arguments: leave, restart.
bool parseBare(ScriptLine& line);
std::optional<int> parseVehicle(std::string_view text);
// A vehicle class as a script writes it: its name, or its number.
std::string vehicleClassWord(int vehicleClass);

// --- Expectations -----------------------------------------------------------------

bool parseExpectation(ScriptLine& line);
