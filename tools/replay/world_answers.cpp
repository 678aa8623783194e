#include "replay/world_answers.h"

#include <cmath>
#include <vector>

#include "replay/replay.h"
#include "replay/replay_calls.h"
#include "replay/world_controllers.h"
#include "sim/world.h"

namespace {

std::string controllersText(const std::vector<RecordedController>& controllers) {
    std::string text = std::to_string(controllers.size()) + " found";
    for (const RecordedController& controller : controllers) {
        text += ", " + controllerIdText({controller.vendor, controller.product}) +
                (controller.opened ? " opened" : "");
    }
    return text;
}

std::string readText(const RecordedCall& read) {
    if (read.released) {
        return "released";
    }
    std::string text = "axes";
    for (const std::uint16_t axis : read.axes) {
        text += " " + std::to_string(axis);
    }
    text += read.buttons.empty() ? ", no button down" : ", buttons down";
    for (const std::uint8_t button : read.buttons) {
        text += " " + std::to_string(button);
    }
    return text;
}

constexpr float pullTolerance = 0.1f;

std::vector<float> pullsOf(const RecordedPass& pass) {
    std::vector<float> pulls;
    for (const RecordedCall& call : pass.calls) {
        if (call.kind == RecordedCall::Kind::Native &&
            call.hash == hashOf(Native::ScaleEngineTorque)) {
            pulls.push_back(floatOf(call.arguments[1]));
        }
    }
    return pulls;
}

std::string pullsText(const std::vector<float>& pulls) {
    std::string text;
    for (const float pull : pulls) {
        text += (text.empty() ? "" : ", ") + numberText("%.2f", pull);
    }
    return text.empty() ? "none" : text;
}

} // namespace

bool sameFloat(float game, float world) {
    return game == world || (std::isnan(game) && std::isnan(world)) ||
           std::fabs(game - world) <= speedTolerance;
}

Answers answers(const RecordedCall& game, const RecordedCall& world) {
    switch (world.kind) {
    case RecordedCall::Kind::Controllers:
        return {"the game controllers found", sameFound(game.controllers, world.controllers),
                controllersText(game.controllers), controllersText(world.controllers)};
    case RecordedCall::Kind::ControllerRead:
        return {"a game controller's read",
                game.released == world.released &&
                    (game.released || (game.axes == world.axes && game.buttons == world.buttons)),
                readText(game), readText(world)};
    case RecordedCall::Kind::Key: {
        const auto state = [](std::int16_t key) { return key < 0 ? "down" : "up"; };
        return {"GetAsyncKeyState", (game.keyState < 0) == (world.keyState < 0),
                state(game.keyState), state(world.keyState)};
    }
    case RecordedCall::Kind::Focus: {
        const auto focus = [](bool focused) { return focused ? "in front" : "behind"; };
        return {"the focus", game.focused == world.focused, focus(game.focused),
                focus(world.focused)};
    }
    case RecordedCall::Kind::ForcesOpened:
        return {"force feedback opened", game.answer == world.answer, std::to_string(game.answer),
                std::to_string(world.answer)};
    default:
        break;
    }
    const std::string_view type = sim::nativeResult(world.hash);
    const bool same = type == "float"  ? sameFloat(floatOf(game.result), floatOf(world.result))
                      : type == "BOOL" ? (game.result != 0) == (world.result != 0)
                                       : game.result == world.result;
    const NativeId* id = findNativeId(world.hash);
    return {id ? id->name : "", same, typedText(type, game.result), typedText(type, world.result)};
}

Answers pullsSent(const RecordedPass& game, const RecordedPass& world) {
    const std::vector<float> sent = pullsOf(game);
    std::vector<float> resent = pullsOf(world);
    if (game.cut && resent.size() > sent.size()) {
        resent.resize(sent.size());
    }
    bool same = sent.size() == resent.size();
    for (std::size_t i = 0; same && i < sent.size(); ++i) {
        same = std::fabs(sent[i] - resent[i]) <= pullTolerance;
    }
    return {nameOf(Native::ScaleEngineTorque), same, pullsText(sent), pullsText(resent)};
}
