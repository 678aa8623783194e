// The gear feel under the drive's chart: the revs the bar showed and the
// torque multiplier sent, on the chart's time axis.
#pragma once

#include <string>
#include <vector>

#include "runner/drive.h"

// The height the panel takes: none for a drive that never showed a rev bar
// nor sent a pull.
double feelPanelHeight(const std::vector<FrameSample>& samples);

// The panel from `top` down, the drive's time running from `left` to `right`.
std::string feelPanelSvg(const std::vector<FrameSample>& samples, double top, double left,
                         double right);
