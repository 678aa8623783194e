// The drive as text: one line for each frame that changed what a player sees.
#pragma once

#include <string>
#include <vector>

#include "runner/drive.h"

std::string timelineHeader();
std::string timelineLine(const FrameSample& sample);

// Whether a frame is worth a line after the one last printed: it had events,
// or the engine, the vehicle or seat, the focus, a label, the subtitle, the
// rev bar's colour or whether it or a pull shows changed, or the cap moved by
// half a unit or more (a cap that follows the speed moves in every frame).
bool changedSince(const FrameSample& printed, const FrameSample& sample);

// The header, the first frame, every frame worth a line and the last frame.
std::string timelineText(const std::vector<FrameSample>& samples);
