// How the gears feel: the engine's pull and its braking, by a gear's place in
// its box and by the revs. Pure data beside the gear table. A place runs from
// a box's first gear (0) to its top gear (1), so the one table fits a box of
// any size; the revs run from the engine at rest to 1 at a gear's cap, so it
// fits gears fitted to any top speed as well as the written ones.
#pragma once

#include <cstddef>
#include <iterator>

// The revs of an engine ticking over, with the clutch in or in neutral and
// the throttle released; in a gear that lugs, at its stall speed.
inline constexpr float idleRevs = 0.15f;
// First lugs at no speed: pulling away, its clutch slips at these revs.
inline constexpr float pullAwayRevs = 0.35f;

// The torque multipliers the game's own scripts send: the pull stays within.
inline constexpr float weakestPull = 0.2f;
inline constexpr float strongestPull = 1.8f;

// At a place in the box: the pull and the engine braking (m/s²) at the peak
// of the curve below.
struct FeelAtPlace {
    float place;
    float pull;
    float braking;
};

// At the revs: the share of the place's pull and braking. The pull rises from
// lugging to a peak and eases toward the cap; the braking grows with the revs.
struct FeelAtRevs {
    float revs;
    float pull;
    float braking;
};

// Each from its first row to its last, in order; between rows, a straight
// line.
// clang-format off
inline constexpr FeelAtPlace feelByPlace[] = {
    // place, pull, braking
    {0.0f, 1.55f, 1.6f},
    {0.5f, 1.2f,  1.35f},
    {1.0f, 0.9f,  0.27f},
};
inline constexpr FeelAtRevs feelByRevs[] = {
    // revs, pull, braking
    {idleRevs,     0.55f, 0.25f},
    {pullAwayRevs, 0.85f, 0.5f},
    {0.6f,         1.0f,  0.8f},
    {0.85f,        1.0f,  0.97f},
    {1.0f,         0.85f, 1.0f},
};
// clang-format on

// Each table's first column rises from its first row to its last, over the
// whole range it covers.
template <const auto& rows, auto key>
constexpr bool risesOver(float first, float last) {
    for (std::size_t i = 1; i < std::size(rows); ++i) {
        if (!(rows[i - 1].*key < rows[i].*key)) {
            return false;
        }
    }
    return rows[0].*key == first && rows[std::size(rows) - 1].*key == last;
}
static_assert(risesOver<feelByPlace, &FeelAtPlace::place>(0.0f, 1.0f));
static_assert(risesOver<feelByRevs, &FeelAtRevs::revs>(idleRevs, 1.0f));
