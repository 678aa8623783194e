// What the world does for the natives of what the plug-in puts on the
// screen: a label's style, the commands that draw a label, print a subtitle
// and post a notification, and a rectangle.
#include "sim/native_runs.h"

#include <cmath>
#include <string>

#include "sim/slots.h"

namespace sim {

namespace {

// The style natives in the order a label sets them; a label drawn after all
// seven, in this order, counts as fully styled.
enum StyleStep { Font = 1, Scale, Colour, Wrap, Centred, Shadow, Outline };

void styleCall(int step) {
    world.styleStep = (world.styleStep == step - 1) ? step : -1;
}

void beginCommand(World::Command command) {
    world.command = command;
    world.commandText.clear();
    world.commandComponents = 0;
}

// A text command ended that was never begun.
void unbegunCommand(Native end, Native begin) {
    fault(hashText(world.openHash) + " " + nameOf(end) + " without " + nameOf(begin));
}

// A rectangle on the screen: its centre on it, its size at most the screen's.
bool onScreen(float value) {
    return std::isfinite(value) && value >= 0.0f && value <= 1.0f;
}

} // namespace

void runTextFont(const std::uint64_t* a) {
    world.style.font = slotInt(a[0]);
    styleCall(StyleStep::Font);
}

void runTextScale(const std::uint64_t* a) {
    world.style.scale[0] = slotFloat(a[0]);
    world.style.scale[1] = slotFloat(a[1]);
    styleCall(StyleStep::Scale);
}

void runTextColour(const std::uint64_t* a) {
    world.style.colour = {slotInt(a[0]), slotInt(a[1]), slotInt(a[2]), slotInt(a[3])};
    styleCall(StyleStep::Colour);
}

void runTextWrap(const std::uint64_t* a) {
    world.style.wrap[0] = slotFloat(a[0]);
    world.style.wrap[1] = slotFloat(a[1]);
    styleCall(StyleStep::Wrap);
}

void runTextCentred(const std::uint64_t* a) {
    world.style.centred = slotInt(a[0]);
    styleCall(StyleStep::Centred);
}

void runTextDropShadow(const std::uint64_t* a) {
    for (std::size_t i = 0; i < 5; ++i) {
        world.style.dropShadow[i] = slotInt(a[i]);
    }
    styleCall(StyleStep::Shadow);
}

void runTextOutline(const std::uint64_t*) {
    world.style.outline = true;
    styleCall(StyleStep::Outline);
}

void runBeginScreenText(const std::uint64_t*) {
    beginCommand(World::Command::ScreenText);
}

void runAddTextString(const std::uint64_t* a) {
    if (world.command == World::Command::None) {
        fault(hashText(world.openHash) + " " + nameOf(Native::AddTextString) +
              " outside a text command");
        return;
    }
    // The game takes at most this many characters from one component.
    constexpr std::size_t componentLength = 99;
    const std::string component = slotText(a[0]);
    if (component.size() > componentLength) {
        fault(hashText(world.openHash) + " " + nameOf(Native::AddTextString) + " with " +
              std::to_string(component.size()) + " characters, more than the game's 99");
    }
    // "STRING" holds one placeholder: the game drops any component after it.
    if (world.commandComponents++ == 0) {
        world.commandText = component;
    }
}

void runDrawScreenText(const std::uint64_t* a) {
    if (world.command != World::Command::ScreenText) {
        unbegunCommand(Native::DrawScreenText, Native::BeginScreenText);
        return;
    }
    Label label = world.style;
    label.text = world.commandText;
    label.x = slotFloat(a[0]);
    label.y = slotFloat(a[1]);
    label.fullStyle = world.styleStep == StyleStep::Outline;
    world.labels.push_back(std::move(label));
    // The style applies to one text only.
    world.style = Label{};
    world.styleStep = 0;
    world.command = World::Command::None;
}

void runBeginSubtitle(const std::uint64_t*) {
    beginCommand(World::Command::Subtitle);
}

void runPrintSubtitle(const std::uint64_t* a) {
    if (world.command != World::Command::Subtitle) {
        unbegunCommand(Native::PrintSubtitle, Native::BeginSubtitle);
        return;
    }
    world.subtitles.push_back(
        {world.commandText, slotInt(a[0]), slotInt(a[1]), world.frame, world.timeMs});
    world.command = World::Command::None;
}

void runBeginNotification(const std::uint64_t*) {
    beginCommand(World::Command::Notification);
}

void runPostNotification(const std::uint64_t* a) {
    if (world.command != World::Command::Notification) {
        unbegunCommand(Native::PostNotification, Native::BeginNotification);
        return;
    }
    world.notifications.push_back({world.commandText, slotInt(a[0]), slotInt(a[1]), world.frame});
    world.command = World::Command::None;
    // The feed answers with the notification's id.
    setResult(withHighHalf(world.notificationsBefore +
                           static_cast<std::uint32_t>(world.notifications.size())));
}

void runDrawRect(const std::uint64_t* a) {
    DrawnRect rect{slotFloat(a[0]),
                   slotFloat(a[1]),
                   slotFloat(a[2]),
                   slotFloat(a[3]),
                   {slotInt(a[4]), slotInt(a[5]), slotInt(a[6]), slotInt(a[7])}};
    const auto channel = [](int value) { return value >= 0 && value <= 255; };
    const auto& colour = rect.colour;
    if (!onScreen(rect.x) || !onScreen(rect.y) || !onScreen(rect.width) || !onScreen(rect.height) ||
        !channel(colour.red) || !channel(colour.green) || !channel(colour.blue) ||
        !channel(colour.alpha) || (a[8] != 0 && a[8] != 1)) {
        fault(hashText(world.openHash) + " " + nameOf(Native::DrawRectangle) +
              " off the screen, with a colour outside 0 to 255 or a BOOL other than 0 or 1");
        return;
    }
    world.rects.push_back(rect);
}

} // namespace sim
