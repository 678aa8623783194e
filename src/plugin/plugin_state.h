// What the frame loop keeps between passes of its own, beside the state of
// the folders below.
#pragma once

#include <cstdint>
#include <span>

#include "recording/state_field.h"

struct PluginState {
    // The key bindings had their one chance to load, on the first pass.
    bool bindingsLoaded = false;
    // The player was told, on the first pass the gearbox drove, why the gears
    // can't be changed (or there was nothing to tell).
    bool noticeGiven = false;
    // The gearbox drove a vehicle in the previous pass.
    bool wasDriving = false;
    // The right-arrow key, the bound toggle key and the reload, record and
    // bind keys as the previous pass saw them: each counts once per press.
    bool toggleArrowWasDown = false;
    bool toggleKeyWasDown = false;
    bool reloadKeyWasDown = false;
    bool recordKeyWasDown = false;
    bool bindKeyWasDown = false;
    // While a wheel's clutch pedal has read pressed, and as it read on getting
    // in, on every pass since the player got in: those passes; else 0.
    std::int32_t clutchStillPasses = 0;
    float clutchTravelOnEntry = 0.0f;
};

// Only the frame loop and its resets change it.
const PluginState& pluginState();

// The frame loop's part of the plug-in's state as a recording keeps it.
std::span<const StateField> pluginStateFields();
