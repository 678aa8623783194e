// How the gears feel: the engine's pull and its braking, by a gear's place in
// its box and by the revs. Pure data beside the gear table. A place runs from
// a box's first gear (0) to its top gear (1), so the one table fits a box of
// any size; the revs run from the engine at rest to 1 at a gear's cap, so it
// fits gears fitted to any top speed as well as the written ones.
#pragma once

#include <algorithm>
#include <array>
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

// A straight line between the rows around `at`; beyond the ends, the end's.
template <const auto& rows, auto key, auto value>
constexpr float along(float at) {
    const auto* row = std::begin(rows);
    if (!(at > row->*key)) {
        return row->*value;
    }
    for (const auto* next = row + 1; next != std::end(rows); row = next++) {
        if (at <= next->*key) {
            return row->*value +
                   (at - row->*key) / (next->*key - row->*key) * (next->*value - row->*value);
        }
    }
    return row->*value;
}

// The revs curve every twentieth of the revs, where each of its rows falls,
// so that a pass looks it up by index: the same lines, without a search.
inline constexpr int revsSteps = 20;
inline constexpr auto feelByRevsStep = [] {
    std::array<FeelAtRevs, revsSteps + 1> steps{};
    for (int step = 0; step <= revsSteps; ++step) {
        const float revs = static_cast<float>(step) / revsSteps;
        steps[static_cast<std::size_t>(step)] = {
            revs, along<feelByRevs, &FeelAtRevs::revs, &FeelAtRevs::pull>(revs),
            along<feelByRevs, &FeelAtRevs::revs, &FeelAtRevs::braking>(revs)};
    }
    return steps;
}();
static_assert(std::ranges::all_of(
                  feelByRevs,
                  [](const FeelAtRevs& row) {
                      const float steps = row.revs * revsSteps;
                      return steps - static_cast<float>(static_cast<int>(steps + 0.5f)) < 1e-4f &&
                             static_cast<float>(static_cast<int>(steps + 0.5f)) - steps < 1e-4f;
                  }),
              "each row of the revs curve falls on a step");
