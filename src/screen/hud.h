// Everything the plug-in shows the player.
#pragma once

#include <string_view>

#include "host/natives.h"

// Draws one label near the top of the screen for the current frame only.
void drawHudLabel(const char* text, float x, bool highlighted);
// The same in red: a gear the gearbox refused.
void drawRefusedLabel(const char* text, float x);

// How the rev bar's fill looks: white, green in the band where "Shift"
// lights, red at the cap.
enum class RevLook { Plain, Shift, Cap };
// Draws the rev bar for the current frame only, filled as far as the revs
// go, from 0 to 1: two rectangles.
void drawRevBar(float revs, RevLook look);

// Draws the line that asks for keys, for the current frame only; at most 99
// characters.
void drawPromptLine(const char* text);

// Shows a message in the subtitle area for 2.5 seconds.
void showSubtitle(const char* text);

// Posts a notification above the minimap: at most 99 characters, the rest
// cut off.
void showNotification(std::string_view text);
