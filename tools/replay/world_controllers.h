// Game controllers and force feedback in the replay through the world: the
// controllers found and read, with their faults, the road as the game told it
// and what opening force feedback came to set the world up, and what the
// plug-in put out through force feedback is compared with what it put out in
// the game.
#pragma once

#include <string>
#include <vector>

#include "recording/recording_file.h"
#include "sim/world.h"

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

// A vehicle's speed sideways and along its heading, whether it is in the
// air, or its body's health, as the game told it.
void takeRoad(const RecordedCall& call, sim::Vehicle& vehicle);

// With force feedback or not, held by another program or not: the
// controller by its place as a read names it.
void takeForcesOpened(const RecordedCall& call, bool listed);

// The first effect set or stop of the pass that differs, both sides shown;
// empty when none does. A pass the recording stopped in counts as far as it
// goes.
std::string forcesDifference(const RecordedPass& recorded, const RecordedPass& replayed);
