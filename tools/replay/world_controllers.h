// Game controllers and force feedback in the replay through the world: the
// controllers found and read, the road as the game told it and what opening
// force feedback came to set the world up, and what the plug-in put out
// through force feedback is compared with what it put out in the game.
#pragma once

#include <string>

#include "recording/recording_file.h"
#include "sim/world.h"

// The controllers found as the world's, plugged in the order found; those
// kept with the plug-in's state are listed and opened already.
void takeControllers(const RecordedCall& call);
// A read as the world's controller: plugged and acquired with that input, or
// unplugged.
void takeRead(const RecordedCall& call);

// A vehicle's speed sideways and along its heading, whether it is in the
// air, or its body's health, as the game told it.
void takeRoad(const RecordedCall& call, sim::Vehicle& vehicle);

// With force feedback or not, held by another program or not.
void takeForcesOpened(const RecordedCall& call);

// The first effect set or stop of the pass that differs, both sides shown;
// empty when none does. A pass the recording stopped in counts as far as it
// goes.
std::string forcesDifference(const RecordedPass& recorded, const RecordedPass& replayed);
