// Everything the plug-in shows the player.
#pragma once

#include <string_view>

#include "host/natives.h"
#include "screen/screen_layout.h"

// Draws one label near the top of the screen for the current frame only.
void drawHudLabel(const char* text, float x, bool highlighted);
// The same in red: a gear the gearbox refused.
void drawRefusedLabel(const char* text, float x);

// Draws the rev bar for the current frame only, as long as the revs go, from
// 0 to 1 of its length, in a colour of the labels': one rectangle. Inlined,
// as the gear feel draws it on every pass.
[[gnu::always_inline]] inline void drawRevBar(float revs, std::int32_t red, std::int32_t green,
                                              std::int32_t blue) {
    const float length = revBarWidth * revs;
    drawRectangle(revBarLeft + length / 2.0f, revBarY, length, revBarHeight, red, green, blue, 220);
}

// Draws the line that asks for keys, for the current frame only; at most 99
// characters.
void drawPromptLine(const char* text);

// Shows a message in the subtitle area for 2.5 seconds.
void showSubtitle(const char* text);

// Posts a notification above the minimap: at most 99 characters, the rest
// cut off.
void showNotification(std::string_view text);
