// Everything the plug-in shows the player.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The game's "STRING" label has one text component, of which it takes at most
// this many characters: a notice, a prompt or a subtitle fits in it.
inline constexpr std::size_t textLengthAtMost = 99;

// Draws one label near the top of the screen for the current frame only.
void drawHudLabel(std::string text, float x, bool highlighted);

// Draws the line that asks for keys, for the current frame only; at most 99
// characters.
void drawPromptLine(const char* text);

// Shows a message in the subtitle area for 2.5 seconds.
void showSubtitle(const char* text);

// Posts a notification above the minimap: at most 99 characters, the rest
// cut off.
void showNotification(std::string_view text);
