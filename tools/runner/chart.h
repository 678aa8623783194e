// The drive as a picture: speed and speed cap over time on bands of the gear
// shown, with clutch presses, shift hints, focus losses and stalls marked,
// and under it the revs and the pull of the gear feel, as an SVG document.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runner/drive.h"

// What the band behind each frame stands for: the gear label shown (a label
// of the gear table, such as "1" or "R"), "off" while driving without labels,
// "passenger", "no gearbox" while driving a vehicle without one, or "on foot".
std::vector<std::string> bandKeys(const std::vector<FrameSample>& samples);

std::string driveChartSvg(const std::vector<FrameSample>& samples, std::string_view title);
