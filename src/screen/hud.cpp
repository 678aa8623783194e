#include "screen/hud.h"

#include "host/natives.h"
#include "screen/screen_layout.h"

namespace {

constexpr float labelY = 0.015f;
constexpr std::int32_t subtitleDurationMs = 2500;

enum class Look { Plain, Highlighted, Refused };

// Screen text is immediate-mode and the style applies to the next text only,
// so the whole style is set again for every text on every frame.
[[gnu::always_inline]] inline void drawText(const char* text, float x, float y, float size,
                                            Look look) {
    textFont(4);
    textScale(0.3f, size);
    switch (look) {
    case Look::Plain:
        textColour(250, 250, 250);
        break;
    case Look::Highlighted:
        textColour(50, 255, 50);
        break;
    case Look::Refused:
        textColour(240, 50, 50);
        break;
    }
    textWrapToScreen();
    textCentred();
    textNoDropShadow();
    textOutline();
    beginScreenText("STRING");
    addTextString(text);
    drawScreenText(x, y);
}

} // namespace

void drawHudLabel(const char* text, float x, bool highlighted) {
    drawText(text, x, labelY, 0.54f, highlighted ? Look::Highlighted : Look::Plain);
}

void drawRefusedLabel(const char* text, float x) {
    drawText(text, x, labelY, 0.54f, Look::Refused);
}

void drawPromptLine(const char* text) {
    drawText(text, promptX, promptY, 0.6f, Look::Plain);
}

void showSubtitle(const char* text) {
    beginSubtitle("STRING");
    addTextString(text);
    printSubtitle(subtitleDurationMs);
}

void showNotification(std::string_view text) {
    char component[textLengthAtMost + 1] = {};
    text.copy(component, textLengthAtMost);
    beginNotification("STRING");
    addTextString(component);
    postNotification();
}
