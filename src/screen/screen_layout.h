// Where the plug-in's texts sit on the screen: what it draws by, and what the
// drive tools read a drive by.
#pragma once

// The labels' centres along the top of the screen, left to right.
inline constexpr float gearLabelX = 0.015f;
inline constexpr float clutchLabelX = 0.08f;
inline constexpr float shiftLabelX = 0.155f;
// The rev bar, beside the labels: its left end, its length at the cap, its
// centre's height and its thickness. It runs from the left, as long as the
// revs are high.
inline constexpr float revBarLeft = 0.19f;
inline constexpr float revBarWidth = 0.1f;
inline constexpr float revBarY = 0.031f;
inline constexpr float revBarHeight = 0.012f;
// The line that asks for keys while the player chooses them, centred above
// the subtitles.
inline constexpr float promptX = 0.5f;
inline constexpr float promptY = 0.75f;
