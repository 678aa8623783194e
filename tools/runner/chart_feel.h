// The gear feel under the drive's chart: the revs the bar showed and the
// torque multiplier sent, on the chart's time axis.
#pragma once

#include <string>
#include <vector>

#include "runner/drive.h"
#include "runner/svg_parts.h"

// The height the panel takes: none for a drive that never showed a rev bar
// nor sent a pull.
double feelPanelHeight(const std::vector<FrameSample>& samples);

// The panel from `top` down, on the chart's time axis.
std::string feelPanelSvg(const std::vector<FrameSample>& samples, double top, const TimeAxis& time);
