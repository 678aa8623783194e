// The game controllers as a recording tells of them, for the replay through
// the world (world_replay.cpp).
#pragma once

#include <vector>

#include "recording/recording_file.h"

// The controllers found as the world's, plugged in the order found, with the
// faults of the look and of their opening; those kept with the plug-in's
// state are listed and opened already. The reads before the pass's list name
// controllers by their place in the list before, which keeps them.
void takeControllers(const RecordedCall& call);

// A read as the world's controller, by its place in the list before the
// pass's or, once listed, in the pass's: plugged and acquired with that
// input, or failing as it did, still listed. A read released without its
// fault, as recordings made before faults keep them, found it not acquired,
// nor could Acquire.
void takeRead(const RecordedCall& call, bool listed);

// The same controllers, opened alike; their faults the world took from the
// recording, which may not keep them.
bool sameFound(const std::vector<RecordedController>& game,
               const std::vector<RecordedController>& world);
