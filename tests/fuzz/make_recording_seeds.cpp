// The recordings' fuzz seeds, made from two real recordings of this build:
// the demo drive's first passes, and a short drive that the plug-in's own
// recorder wrote. Each seed is one of them as it is, or edited the way an
// attack or a damaged file would: a value out of range, a header field
// renamed, a count or a length that claims more than the file holds. Beside
// the seeds goes the table that recording_seeds.sh checks them by: how each
// replay must end, worked out here from where the edit was made.
// Usage: make_recording_seeds DEMO.drec OWN.drec WHEEL.drec DRIVING.drec SEED_FOLDER TABLE
#include <algorithm>
#include <bit>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "binding_file/binding_reader.h"
#include "gears/gear_feel.h"
#include "gears/gears.h"
#include "host/controller_faults.h"
#include "host/native_table.h"
#include "recording/recording_file.h"
#include "recording_repair.h"
#include "runner/recorded_drive.h"
#include "version.h"

namespace {

// The demo drive's seed: half a second, so that the fuzz target runs fast.
constexpr std::uint32_t demoPasses = 32;

struct Recording {
    DriveRecording header;
    std::vector<RecordedPass> passes;
};

Recording decoded(const std::string& path) {
    std::string error;
    std::string bytes = readWholeFile(path, error);
    RecordingRead read = readRecording(std::move(bytes));
    if (error.empty()) {
        error = read.error;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "make_recording_seeds: %s: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
    Recording recording{read.recording, {}};
    std::size_t offset = 0;
    recording.passes.resize(read.recording.passCount);
    for (RecordedPass& pass : recording.passes) {
        decodePass(read.recording, offset, pass);
    }
    recording.header.passBytes.clear();
    recording.header.passCount = 0;
    return recording;
}

DriveRecording encoded(const Recording& recording) {
    DriveRecording out = recording.header;
    for (const RecordedPass& pass : recording.passes) {
        appendPass(out, pass);
    }
    return out;
}

// Where the passes begin: after the lead, the header and the count of passes.
std::size_t passesAt(const Recording& recording) {
    return encodeRecording(recording.header).size() - recordingChecksumBytes;
}

// Where pass `pass` (from 0) begins, and where its entry `entry` (from 0).
std::size_t passAt(const Recording& recording, std::size_t pass) {
    Recording before{recording.header, {recording.passes.begin(), recording.passes.begin() + pass}};
    return passesAt(recording) + encoded(before).passBytes.size();
}

std::size_t entryAt(const Recording& recording, std::size_t pass, std::size_t entry) {
    RecordedPass head = recording.passes[pass];
    head.calls.resize(entry);
    Recording one{recording.header, {head}};
    return passAt(recording, pass) + encoded(one).passBytes.size();
}

// The first call of a native, as the pass and entry from 0.
struct Found {
    std::size_t pass = 0;
    std::size_t entry = 0;
};

Found first(const Recording& recording, const std::function<bool(const RecordedCall&)>& is) {
    for (std::size_t p = 0; p < recording.passes.size(); ++p) {
        for (std::size_t e = 0; e < recording.passes[p].calls.size(); ++e) {
            if (is(recording.passes[p].calls[e])) {
                return {p, e};
            }
        }
    }
    std::fprintf(stderr, "make_recording_seeds: a recording lacks a call that a seed edits\n");
    std::exit(1);
}

std::function<bool(const RecordedCall&)> callOf(Native native) {
    return [native](const RecordedCall& call) {
        return call.kind == RecordedCall::Kind::Native && call.hash == hashOf(native);
    };
}

RecordedCall& at(Recording& recording, Found found) {
    return recording.passes[found.pass].calls[found.entry];
}

template <typename Number>
std::string patched(std::string bytes, std::size_t at, Number value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
    repairLengthAndChecksum(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    return bytes;
}

std::string fieldsRenamed(Recording recording, std::vector<NamedValue> DriveRecording::*fields,
                          const std::string& from, const std::string& to) {
    for (NamedValue& value : recording.header.*fields) {
        if (value.name == from) {
            value.name = to;
        }
    }
    return encodeRecording(encoded(recording));
}

std::string fieldSet(Recording recording, std::vector<NamedValue> DriveRecording::*fields,
                     const std::string& name, std::int32_t to) {
    for (NamedValue& value : recording.header.*fields) {
        if (value.name == name) {
            value.value = to;
        }
    }
    return encodeRecording(encoded(recording));
}

std::string fieldDropped(Recording recording, std::vector<NamedValue> DriveRecording::*fields,
                         const std::string& name) {
    std::erase_if(recording.header.*fields,
                  [&name](const NamedValue& value) { return value.name == name; });
    return encodeRecording(encoded(recording));
}

std::size_t stateIndex(const Recording& recording, const std::string& name);

// As a plug-in made before the state field was added records: without it in
// the header, and without its value in each pass.
std::string stateFieldDropped(Recording recording, const std::string& name) {
    const auto index = static_cast<std::ptrdiff_t>(stateIndex(recording, name));
    recording.header.state.erase(recording.header.state.begin() + index);
    for (RecordedPass& pass : recording.passes) {
        for (RecordedCall& call : pass.calls) {
            if (call.kind == RecordedCall::Kind::State) {
                call.values.erase(call.values.begin() + index);
            }
        }
    }
    return encodeRecording(encoded(recording));
}

std::size_t stateIndex(const Recording& recording, const std::string& name) {
    for (std::size_t i = 0; i < recording.header.state.size(); ++i) {
        if (recording.header.state[i].name == name) {
            return i;
        }
    }
    std::fprintf(stderr, "make_recording_seeds: the recorder's state names no %s\n", name.c_str());
    std::exit(1);
}

std::string hex(std::uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

// How an exact replay numbers a call: its state entry isn't one.
std::string callPlace(const Recording& recording, const Found& found) {
    const auto& calls = recording.passes[found.pass].calls;
    const auto number =
        std::count_if(calls.begin(), calls.begin() + found.entry + 1, [](const RecordedCall& call) {
            return call.kind != RecordedCall::Kind::State;
        });
    return "pass " + std::to_string(found.pass + 1) + ", call " + std::to_string(number);
}

std::string place(const Found& found) {
    return "pass " + std::to_string(found.pass + 1) + ", entry " + std::to_string(found.entry + 1);
}

struct Seeds {
    std::filesystem::path folder;
    std::ofstream table;

    // A seed, and the lines that each way of replaying it must end with.
    void add(const std::string& name, const std::string& bytes,
             const std::vector<std::tuple<std::string, int, std::string>>& ways) {
        std::ofstream(folder / (name + ".drec"), std::ios::binary) << bytes;
        for (const auto& [way, status, line] : ways) {
            table << name << ".drec " << way << ' ' << status << ' ' << line << '\n';
        }
    }

    // A seed that both replays refuse with the same words.
    void refused(const std::string& name, const std::string& bytes, const std::string& why) {
        const std::string line = "drive: " + name + ".drec: " + why;
        add(name, bytes, {{"exact", 2, line}, {"world", 2, line}});
    }
};

// A wheel opened and a pad not, as the device layer finds them.
const std::vector<RecordedController> twoControllers = {
    {0x046D, 0xC24F, 1, true, "Logitech G29 Driving Force"},
    {0x045E, 0x028E, 4, false, "Controller (Xbox One For Windows)"}};

RecordedCall controllersCall(RecordedCall::Kind kind) {
    RecordedCall call;
    call.kind = kind;
    call.controllers = twoControllers;
    return call;
}

// The wheel's read on pass `pass`: its clutch pedal on Slider0 pressed a
// little more each pass, a gate's button down on every other, and lost on
// the tenth.
RecordedCall wheelRead(std::size_t pass) {
    RecordedCall call;
    call.kind = RecordedCall::Kind::ControllerRead;
    call.released = pass == 10;
    call.axes[6] = static_cast<std::uint16_t>(65535 - 2000 * pass);
    if (pass % 2 == 0) {
        call.buttons = {13, 19};
    }
    return call;
}

std::string identical(std::uint32_t passes) {
    return std::to_string(passes) + " passes replayed, identical";
}

std::string asTheGameDid(std::uint32_t passes) {
    return std::to_string(passes) +
           " passes replayed through the stand-in's world: it answered as the game did";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        std::fprintf(stderr, "usage: make_recording_seeds DEMO.drec OWN.drec WHEEL.drec "
                             "DRIVING.drec FORCES.drec SEED_FOLDER TABLE\n");
        return 2;
    }
    Recording demo = decoded(argv[1]);
    demo.passes.resize(std::min<std::size_t>(demo.passes.size(), demoPasses));
    const Recording own = decoded(argv[2]);
    const Recording wheelDrive = decoded(argv[3]);
    const Recording drivingDrive = decoded(argv[4]);
    const Recording forcesDrive = decoded(argv[5]);
    Seeds seeds{argv[6], std::ofstream(argv[7])};
    const auto demoCount = static_cast<std::uint32_t>(demo.passes.size());
    const auto ownCount = static_cast<std::uint32_t>(own.passes.size());
    const std::string demoBytes = encodeRecording(encoded(demo));
    const std::string ownBytes = encodeRecording(encoded(own));

    seeds.add("demo_start", demoBytes,
              {{"exact", 0, identical(demoCount)}, {"world", 0, asTheGameDid(demoCount)}});
    // Its passes hold a reload: the file's bytes, and whether the log was written.
    seeds.add("own_recorder", ownBytes,
              {{"exact", 0, identical(ownCount)}, {"world", 0, asTheGameDid(ownCount)}});

    // The engine switched off with three arguments, as drive_faulty does: a
    // difference for this plug-in, a call the stand-in refuses for that one.
    {
        Recording faulty = own;
        const Found stall = first(faulty, callOf(Native::StallEngine));
        RecordedCall& call = at(faulty, stall);
        call.argumentCount = 3;
        const std::string vehicle = hex(call.arguments[0], 8);
        const std::string pass = "pass " + std::to_string(stall.pass + 1);
        const std::string refused =
            "a call the stand-in refuses: " + hex(hashOf(Native::StallEngine), 16) +
            " called with 3 arguments, but void SET_VEHICLE_ENGINE_ON(Vehicle vehicle, BOOL "
            "value, BOOL instantly, BOOL disableAutoStart) reads 4";
        char seconds[32];
        std::snprintf(seconds, sizeof seconds,
                      " at %.3f s: ", faulty.passes[stall.pass].gameTimeMs / 1000.0);
        seeds.add("fault_three_arguments", encodeRecording(encoded(faulty)),
                  {{"exact", 1,
                    callPlace(faulty, stall) + ": recorded SET_VEHICLE_ENGINE_ON(" + vehicle +
                        ", FALSE, FALSE), replayed SET_VEHICLE_ENGINE_ON(" + vehicle +
                        ", FALSE, FALSE, FALSE)"},
                   {"world", 0, asTheGameDid(ownCount)},
                   {"faulty", 1, pass + ": " + refused},
                   {"faulty-world", 1, pass + seconds + refused}});
    }

    // Values that the stand-in indexes with or the plug-in acts on.
    for (const std::int32_t control : {512, 718848}) {
        Recording edited = demo;
        const Found found = first(edited, callOf(Native::ControlFired));
        at(edited, found).arguments[1] = static_cast<std::uint32_t>(control);
        seeds.refused("control_" + std::to_string(control), encodeRecording(encoded(edited)),
                      place(found) + ": IS_CONTROL_JUST_PRESSED asks about control " +
                          std::to_string(control) + ", outside 0 to 360");
    }
    // Half throttle fed at the end of the first pass, which this plug-in
    // doesn't do, and refused, as if another script disabled it; then to pad
    // 3, which tells that "int control" is the pad, "int action" the control.
    Recording fed = demo;
    RecordedCall& fedCall = fed.passes[0].calls.emplace_back();
    fedCall.hash = hashOf(Native::FeedControl);
    fedCall.argumentCount = 3;
    fedCall.arguments = {0, 71, std::bit_cast<std::uint32_t>(0.5f)};
    const Found feed = {0, fed.passes[0].calls.size() - 1};
    seeds.add("fed_values", encodeRecording(encoded(fed)),
              {{"exact", 1,
                callPlace(fed, feed) +
                    ": recorded SET_CONTROL_VALUE_NEXT_FRAME(0, 71, 0.50), replayed nothing"},
               {"world", 0, asTheGameDid(demoCount)}});
    {
        // The gear feel's first multiplier as the game took it, not as this
        // plug-in sends it: both replays name it.
        Recording edited = demo;
        const Found found = first(edited, callOf(Native::ScaleEngineTorque));
        RecordedCall& call = at(edited, found);
        const std::string vehicle = hex(call.arguments[0], 8);
        const float sent = std::bit_cast<float>(call.arguments[1]);
        call.arguments[1] = std::bit_cast<std::uint32_t>(strongestPull);
        char text[96];
        std::snprintf(text, sizeof text, "(%s, %.2f)", vehicle.c_str(), static_cast<double>(sent));
        char world[96];
        std::snprintf(world, sizeof world,
                      " at %.3f s: SET_VEHICLE_CHEAT_POWER_INCREASE: game 1.80, "
                      "stand-in %.2f",
                      edited.passes[found.pass].gameTimeMs / 1000.0, static_cast<double>(sent));
        seeds.add("pull_sent", encodeRecording(encoded(edited)),
                  {{"exact", 1,
                    callPlace(edited, found) + ": recorded SET_VEHICLE_CHEAT_POWER_INCREASE(" +
                        vehicle + ", 1.80), replayed SET_VEHICLE_CHEAT_POWER_INCREASE" + text},
                   {"world", 1, "pass " + std::to_string(found.pass + 1) + world}});
    }
    fedCall.arguments[0] = 3;
    seeds.refused("fed_pad_3", encodeRecording(encoded(fed)),
                  place(feed) + ": SET_CONTROL_VALUE_NEXT_FRAME asks about pad 3, outside 0 to 2");
    {
        Recording edited = demo;
        const Found found = first(
            edited, [](const RecordedCall& call) { return call.kind == RecordedCall::Kind::Key; });
        at(edited, found).key = 300;
        seeds.refused("key_code_300", encodeRecording(encoded(edited)),
                      place(found) + ": key code 300, outside 0 to 255");
    }
    {
        Recording edited = demo;
        const Found found = first(edited, callOf(Native::VehicleClass));
        at(edited, found).result = 40;
        seeds.refused("vehicle_class_40", encodeRecording(encoded(edited)),
                      place(found) + ": vehicle class 40, outside 0 to 22");
    }

    // Game times at the ends of an int, by turns: frames as long as an int
    // allows, and frames that go back, which last 1 ms.
    {
        Recording edited = demo;
        for (std::size_t i = 0; i < edited.passes.size(); ++i) {
            edited.passes[i].gameTimeMs = i % 2 == 0 ? INT_MIN : INT_MAX;
        }
        seeds.add("game_times_at_int_ends", encodeRecording(encoded(edited)),
                  {{"exact", 0, identical(demoCount)}, {"world", 0, asTheGameDid(demoCount)}});
    }

    // Headers: another version replays and says so first, and so does one
    // made before a field was added, which replays with the field's default;
    // unknown, twice named or out of range fields refuse the file.
    {
        Recording edited = demo;
        edited.header.pluginVersion = "1.0.0";
        const std::string first = std::string("other_plugin_version.drec: recorded by version "
                                              "1.0.0 of the plug-in, replayed by version ") +
                                  productVersion;
        seeds.add("other_plugin_version", encodeRecording(encoded(edited)),
                  {{"exact", 0, first},
                   {"exact", 0, identical(demoCount)},
                   {"world", 0, first},
                   {"world", 0, asTheGameDid(demoCount)}});
    }
    const auto bindings = &DriveRecording::bindings;
    const auto state = &DriveRecording::state;
    // A gear no gear table reaches, and this one's last.
    constexpr int noGear = 255;
    const std::string lastGear = std::to_string(gearCount - 1);
    seeds.refused("binding_unknown", fieldsRenamed(demo, bindings, "clutchKey", "clutchKez"),
                  "its bindings name clutchKez, which this plug-in doesn't know");
    const auto defaulted = [](const std::string& seed, const std::string& field) {
        return seed + ".drec: recorded without " + field + ", replayed with its default";
    };
    seeds.add("binding_missing", fieldDropped(demo, bindings, "padDownControl"),
              {{"exact", 0, defaulted("binding_missing", "padDownControl")},
               {"exact", 0, identical(demoCount)},
               {"world", 0, defaulted("binding_missing", "padDownControl")},
               {"world", 0, asTheGameDid(demoCount)}});
    {
        // As a plug-in made before the wheel's lines records: none of their
        // fields, nor their devices.
        Recording edited = demo;
        std::erase_if(edited.header.bindings, [](const NamedValue& value) {
            return std::ranges::any_of(bindingFields, [&value](const BindingField& field) {
                return (field.input != nullptr || percentKind(field.kind)) &&
                       (value.name == field.fieldName || value.name == field.deviceName);
            });
        });
        const std::size_t dropped = demo.header.bindings.size() - edited.header.bindings.size();
        const std::string first = "before_wheels.drec: recorded without clutchPedal, bitePoint, "
                                  "firstGearGate and " +
                                  std::to_string(dropped - 3) +
                                  " more, replayed with their defaults";
        seeds.add("before_wheels", encodeRecording(encoded(edited)),
                  {{"exact", 0, first},
                   {"exact", 0, identical(demoCount)},
                   {"world", 0, first},
                   {"world", 0, asTheGameDid(demoCount)}});
    }
    seeds.refused("binding_twice", fieldsRenamed(demo, bindings, "firstGearKey", "clutchKey"),
                  "its bindings name clutchKey twice");
    seeds.refused("clutch_key_minus_1", fieldSet(demo, bindings, "clutchKey", -1),
                  "its bindings hold clutchKey = -1, outside 0 to 255");
    seeds.refused("pad_hold_100000", fieldSet(demo, bindings, "padHoldControl", 100000),
                  "its bindings hold padHoldControl = 100000, outside 0 to 360");
    // In range, but no key-binding file holds it.
    seeds.refused("steering_on_a_button", fieldSet(demo, bindings, "steeringAxis", 5),
                  "its bindings hold steeringAxis = 5, which the key-binding file refuses: "
                  "Steering=0000:0000 Button5");
    seeds.refused("box_of_one", fieldSet(demo, bindings, "forwardGears", 1),
                  "its bindings hold forwardGears = 1, which the key-binding file refuses: "
                  "ForwardGears=1");
    seeds.refused("device_of_no_part", fieldSet(demo, bindings, "clutchPedalDevice", 0x046DC24F),
                  "its bindings hold clutchPedalDevice = 046D:C24F for clutchPedal, which binds "
                  "nothing");
    seeds.refused("state_gear_255_in_header", fieldSet(own, state, "gear", noGear),
                  "its state holds gear = 255, outside 0 to " + lastGear);
    seeds.add("state_missing", stateFieldDropped(own, "chosenKey5"),
              {{"exact", 0, defaulted("state_missing", "chosenKey5")},
               {"exact", 0, identical(ownCount)},
               {"world", 0, defaulted("state_missing", "chosenKey5")},
               {"world", 0, asTheGameDid(ownCount)}});
    {
        Recording edited = own;
        const Found found = first(edited, [](const RecordedCall& call) {
            return call.kind == RecordedCall::Kind::State;
        });
        at(edited, found).values[stateIndex(edited, "gear")] = noGear;
        seeds.refused("state_gear_255_in_pass", encodeRecording(encoded(edited)),
                      place(found) + ": its state holds gear = 255, outside 0 to " + lastGear);
        edited = own;
        at(edited, found).values.pop_back();
        const std::size_t named = own.header.state.size();
        seeds.refused("state_short_in_pass", encodeRecording(encoded(edited)),
                      place(found) + ": the plug-in's state with " + std::to_string(named - 1) +
                          " values, where its header names " + std::to_string(named));
    }

    // Counts, lengths and indexes past what the file holds.
    {
        // The version's text runs on into the bindings' count.
        const std::size_t versionAt = recordingLeadBytes;
        const auto runsInto =
            static_cast<std::uint8_t>(demoBytes[versionAt + 1 + demo.header.pluginVersion.size()]);
        seeds.refused("version_claims_255", patched(demoBytes, versionAt, std::uint8_t{255}),
                      "damaged at byte " + std::to_string(versionAt) +
                          ": the plug-in's version holds the byte " + hex(runsInto, 2) +
                          ", which no name holds");
        const std::size_t nativesAt = passesAt(demo) - 4 - 8 * demo.header.natives.size() - 1;
        seeds.refused("natives_claim_255", patched(demoBytes, nativesAt, std::uint8_t{255}),
                      "damaged at byte " + std::to_string(nativesAt) +
                          ": the table of natives claims 255, more than 240");
        const Found found = first(demo, callOf(Native::VehicleClass));
        const std::size_t entry = entryAt(demo, found.pass, found.entry);
        const std::size_t outside = demo.header.natives.size() + 3;
        seeds.refused("native_index_outside",
                      patched(demoBytes, entry, static_cast<std::uint8_t>(outside)),
                      "damaged at byte " + std::to_string(entry) + ": " + place(found) +
                          ": native index " + std::to_string(outside) + ", outside its table of " +
                          std::to_string(demo.header.natives.size()));
        // The lead's length, and no more than 200 bytes of the file.
        std::string cut = demoBytes.substr(0, 200);
        const std::uint32_t claimed = 0xFFFFFFFFu;
        std::memcpy(cut.data() + recordingLeadBytes - 4, &claimed, 4);
        seeds.refused("length_claims_4_gib", cut,
                      "truncated: 200 bytes of the " +
                          std::to_string(claimed + std::uint64_t{recordingLeadBytes} +
                                         recordingChecksumBytes) +
                          " its header announces");
        const std::size_t countAt = passesAt(demo) - 4;
        seeds.refused("passes_claim_4294967295", patched(demoBytes, countAt, claimed),
                      "damaged at byte " + std::to_string(countAt) +
                          ": the count of passes claims 4294967295, more than the rest of the "
                          "file holds");
        const std::size_t seventh = passAt(demo, 6);
        const std::uint32_t holds = passBytesAtMost + passFileBytesAtMost - passHeadBytes;
        seeds.refused("pass_too_long", patched(demoBytes, seventh, holds + 1),
                      "damaged at byte " + std::to_string(seventh) + ": pass 7: its length, " +
                          std::to_string(holds + 1) + " bytes, more than a pass holds (" +
                          std::to_string(holds) + ")");
    }

    // A file read's length past what a recording keeps, and past its pass.
    {
        const Found found = first(own, [](const RecordedCall& call) {
            return call.kind == RecordedCall::Kind::File && call.question == FileQuestion::Read &&
                   call.answer == static_cast<std::uint8_t>(ReadAnswer::Read);
        });
        const std::size_t entry = entryAt(own, found.pass, found.entry);
        const auto claimed = static_cast<std::uint32_t>(recordedFileBytesAtMost);
        seeds.refused("file_read_past_1_mib", patched(ownBytes, entry + 3, claimed + 1),
                      "damaged at byte " + std::to_string(entry) + ": " + place(found) +
                          ": a file read of " + std::to_string(claimed + 1) +
                          " bytes, more than the " + std::to_string(claimed) +
                          " a recording keeps");
        seeds.refused("file_read_past_its_pass", patched(ownBytes, entry + 3, claimed),
                      "damaged at byte " + std::to_string(entry) + ": " + place(found) +
                          ": a file read of " + std::to_string(claimed) +
                          " bytes, past the end of the pass");
    }

    // A text that a terminal would act on is shown by its codes.
    {
        Recording edited = own;
        const Found found = first(edited, [](const RecordedCall& call) {
            return call.kind == RecordedCall::Kind::Native && call.textArgument &&
                   call.text == "Clutch";
        });
        at(edited, found).text = "\x1B[2Jch";
        seeds.add("escape_in_text", encodeRecording(encoded(edited)),
                  {{"exact", 1,
                    callPlace(edited, found) +
                        ": recorded ADD_TEXT_COMPONENT_SUBSTRING_PLAYER_NAME(\"\\x1B[2Jch\"), "
                        "replayed ADD_TEXT_COMPONENT_SUBSTRING_PLAYER_NAME(\"Clutch\")"},
                   {"world", 0, asTheGameDid(ownCount)}});
    }
    // Game controllers: the demo drive's plug-in finding a wheel and a pad
    // and reading the wheel after everything else in each pass, which this
    // plug-in doesn't; the recorder's with them kept after each state, as a
    // plug-in that found them before recording keeps them.
    Recording wheel = demo;
    wheel.passes[0].calls.push_back(controllersCall(RecordedCall::Kind::Controllers));
    const Found found = {0, wheel.passes[0].calls.size() - 1};
    for (std::size_t p = 0; p < wheel.passes.size(); ++p) {
        wheel.passes[p].calls.push_back(wheelRead(p));
    }
    const Found read = {3, wheel.passes[3].calls.size() - 1};
    const std::string wheelBytes = encodeRecording(encoded(wheel));
    seeds.add(
        "controllers_read", wheelBytes,
        {{"exact", 1,
          callPlace(wheel, found) + ": recorded the game controllers found, replayed nothing"},
         {"world", 0, asTheGameDid(demoCount)}});
    {
        // Kept unopened: opened, this plug-in would read them.
        RecordedCall keptCall = controllersCall(RecordedCall::Kind::ControllersKept);
        keptCall.controllers[0].opened = false;
        Recording kept = own;
        for (RecordedPass& pass : kept.passes) {
            if (!pass.calls.empty() && pass.calls[0].kind == RecordedCall::Kind::State) {
                pass.calls.insert(pass.calls.begin() + 1, keptCall);
            }
        }
        seeds.add("controllers_kept", encodeRecording(encoded(kept)),
                  {{"exact", 0, identical(ownCount)}, {"world", 0, asTheGameDid(ownCount)}});
    }
    {
        // A wheel's drive, the plug-in reading its clutch pedal and gates, and
        // the wheel alone driving, its values fed.
        const auto count = static_cast<std::uint32_t>(wheelDrive.passes.size());
        seeds.add("wheel_drive", encodeRecording(encoded(wheelDrive)),
                  {{"exact", 0, identical(count)}, {"world", 0, asTheGameDid(count)}});
        const auto drivingCount = static_cast<std::uint32_t>(drivingDrive.passes.size());
        seeds.add(
            "wheel_driving", encodeRecording(encoded(drivingDrive)),
            {{"exact", 0, identical(drivingCount)}, {"world", 0, asTheGameDid(drivingCount)}});
        // As a plug-in made before the gear feel records: it replays with the
        // feel off, as it drove.
        Recording beforeFeel = drivingDrive;
        std::erase_if(beforeFeel.header.bindings, [](const NamedValue& value) {
            return value.name == "gearFeel" || value.name == "pull" ||
                   value.name == "engineBraking" || value.name == "revBar" ||
                   value.name == "biteBand";
        });
        const std::string first = "before_feel.drec: recorded without gearFeel, pull, "
                                  "engineBraking and 2 more, replayed with their defaults";
        seeds.add("before_feel", encodeRecording(encoded(beforeFeel)),
                  {{"exact", 0, first},
                   {"exact", 0, identical(drivingCount)},
                   {"world", 0, first},
                   {"world", 0, asTheGameDid(drivingCount)}});
    }
    {
        // The pad failing to open, and the wheel's reads failing in passes 10
        // to 12, the last once Acquire did: through the world, as the game did.
        Recording faulted = wheel;
        at(faulted, found).controllers[1].faultStep =
            static_cast<std::uint8_t>(ControllerStep::Format);
        at(faulted, found).controllers[1].faultAnswer = directInputAnswer::invalidArgument;
        for (std::size_t p = 10; p <= 12; ++p) {
            RecordedCall& failed = faulted.passes[p].calls.back();
            failed.released = true;
            failed.buttons.clear();
            failed.faultStep =
                static_cast<std::uint8_t>(p == 12 ? ControllerStep::Acquire : ControllerStep::Read);
            failed.faultAnswer =
                p == 12 ? directInputAnswer::otherAppHasPriority : directInputAnswer::notAcquired;
        }
        const std::string faultedBytes = encodeRecording(encoded(faulted));
        seeds.add("controllers_faulted", faultedBytes,
                  {{"exact", 1,
                    callPlace(faulted, found) +
                        ": recorded the game controllers found, replayed nothing"},
                   {"world", 0, asTheGameDid(demoCount)}});
        const std::size_t entry = entryAt(faulted, found.pass, found.entry);
        seeds.refused("controller_fault_step_9", patched(faultedBytes, entry + 1, std::uint8_t{9}),
                      "damaged at byte " + std::to_string(entry) + ": " + place(found) +
                          ": a fault at step 9, outside 0 to 8");
        // The pad's step, after the look's fault, the count and the wheel.
        const std::size_t padStep =
            entry + 1 + 5 + 1 + 6 + 5 + 1 + twoControllers[0].name.size() + 6;
        seeds.refused("controllers_faults_none", patched(faultedBytes, padStep, std::uint8_t{0}),
                      "damaged at byte " + std::to_string(entry) + ": " + place(found) +
                          ": the game controllers found with faults, where none came to one");
    }
    {
        const std::size_t entry = entryAt(wheel, found.pass, found.entry);
        seeds.refused("controllers_claim_200", patched(wheelBytes, entry + 1, std::uint8_t{200}),
                      "damaged at byte " + std::to_string(entry) + ": " + place(found) +
                          ": the game controllers found claims 200, more than the rest of the "
                          "pass holds");
        seeds.refused("controller_opened_2", patched(wheelBytes, entry + 2 + 5, std::uint8_t{2}),
                      "damaged at byte " + std::to_string(entry) + ": " + place(found) +
                          ": whether a game controller was opened is 2, neither 0 nor 1");
        const std::size_t readAt = entryAt(wheel, read.pass, read.entry);
        seeds.refused("buttons_claim_200", patched(wheelBytes, readAt + 2 + 16, std::uint8_t{200}),
                      "damaged at byte " + std::to_string(readAt) + ": " + place(read) +
                          ": the buttons down claims 200, more than the rest of the pass holds");
        seeds.refused("controllers_in_version_2",
                      patched(wheelBytes, recordingMagic.size(), std::uint16_t{2}),
                      "damaged at byte " + std::to_string(entry) + ": " + place(found) +
                          ": an entry of unknown kind 0xF6");
    }
    {
        // A wheel's force feedback: opened, its effects set and stopped, and
        // its road's natives, a vector among them; then damaged.
        const std::string bytes = encodeRecording(encoded(forcesDrive));
        const auto count = static_cast<std::uint32_t>(forcesDrive.passes.size());
        seeds.add("wheel_forces", bytes,
                  {{"exact", 0, identical(count)}, {"world", 0, asTheGameDid(count)}});
        const Found opened = first(forcesDrive, [](const RecordedCall& call) {
            return call.kind == RecordedCall::Kind::ForcesOpened;
        });
        const std::size_t openedAt = entryAt(forcesDrive, opened.pass, opened.entry);
        seeds.refused("forces_at_101", patched(bytes, openedAt + 2, std::uint8_t{101}),
                      "damaged at byte " + std::to_string(openedAt) + ": " + place(opened) +
                          ": force feedback opened at 101%, answered 0, which no opening gives");
        const Found set = first(forcesDrive, [](const RecordedCall& call) {
            return call.kind == RecordedCall::Kind::ForceSet;
        });
        const std::size_t setAt = entryAt(forcesDrive, set.pass, set.entry);
        seeds.refused("force_effect_3", patched(bytes, setAt + 1, std::uint8_t{3}),
                      "damaged at byte " + std::to_string(setAt) + ": " + place(set) +
                          ": force effect 3 of magnitude " +
                          std::to_string(forcesDrive.passes[set.pass].calls[set.entry].magnitude) +
                          ", which no effect has");
        const Found vector = first(forcesDrive, callOf(Native::VehicleRelativeSpeed));
        const std::size_t vectorAt = entryAt(forcesDrive, vector.pass, vector.entry);
        seeds.refused("vector_and_result", patched(bytes, vectorAt + 1, std::uint8_t{0x62}),
                      "damaged at byte " + std::to_string(vectorAt) + ": " + place(vector) +
                          ": a native call of shape 0x62, which no call has");
    }
    const struct {
        const char* name;
        Found where;
        std::function<void(RecordedCall&)> edit;
        std::string why;
    } values[] = {
        {"controller_type_9", found, [](RecordedCall& call) { call.controllers[1].type = 9; },
         "game controller 2 found of type 9, outside 0 to 5"},
        {"controllers_17", found,
         [](RecordedCall& call) { call.controllers.resize(17, call.controllers[0]); },
         "17 game controllers found, more than 16"},
        {"controller_3_of_2", read, [](RecordedCall& call) { call.controller = 2; },
         "a read of game controller 3, of 2 found"},
        {"button_129", read,
         [](RecordedCall& call) {
             call.buttons = {13, 129};
         },
         "a read of game controller 1 with button 129 down, outside 1 to 128"},
        {"buttons_out_of_order", read,
         [](RecordedCall& call) {
             call.buttons = {19, 13};
         },
         "a read of game controller 1 with button 13 down after button 19"},
        {"controllers_kept_alone", found,
         [](RecordedCall& call) { call.kind = RecordedCall::Kind::ControllersKept; },
         "the game controllers kept, which only follow the plug-in's state"},
    };
    for (const auto& value : values) {
        Recording edited = wheel;
        value.edit(at(edited, value.where));
        seeds.refused(value.name, encodeRecording(encoded(edited)),
                      place(value.where) + ": " + value.why);
    }
    {
        Recording early = wheel;
        early.passes[0].calls.erase(early.passes[0].calls.begin() +
                                    static_cast<std::ptrdiff_t>(found.entry));
        const Found first = {0, early.passes[0].calls.size() - 1};
        seeds.refused("read_before_found", encodeRecording(encoded(early)),
                      place(first) + ": a read of game controller 1, before any game controllers "
                                     "were found");
    }
    return seeds.table ? 0 : 1;
}
