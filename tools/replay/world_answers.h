// The replay through the world's comparisons: what the stand-in's world
// answered, or what the plug-in sent on its answers, against what the game
// did, each as a report shows it.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

#include "recording/recording_file.h"

// A kind of answer, whether both agree, and each as a report shows it.
struct Answers {
    std::string kind;
    bool same = true;
    std::string game;
    std::string world;
};

inline float floatOf(std::uint32_t result) {
    return std::bit_cast<float>(result);
}

// Within the speeds' tolerance, or the same infinity, or both not a number; a
// number and one that isn't always differ.
bool sameFloat(float game, float world);

// The world's answer to a question against the game's to the same question.
Answers answers(const RecordedCall& game, const RecordedCall& world);

// The torque multipliers the plug-in sent in a pass, one by one, as far as a
// pass the recording stopped in goes: within a tenth, as a speed within its
// tolerance moves the revs a little.
Answers pullsSent(const RecordedPass& game, const RecordedPass& world);
