#include "host/keyboard.h"

#include "host/tap.h"
#include "host/windows_api.h"

namespace {

KeyboardState state;

// The query while a pass is recorded, out of the way of the one that isn't.
[[gnu::cold, gnu::noinline]] bool recordedKeyDown(VirtualKeyCode key) {
    const short answer = GetAsyncKeyState(key);
    tapKey(key, answer);
    return answer < 0;
}

} // namespace

const KeyboardState& keyboardState() {
    return state;
}

std::span<const StateField> keyboardStateFields() {
    static constexpr auto fields =
        std::to_array({flagField<state, &KeyboardState::gameHasFocus>("gameHasFocus")});
    return fields;
}

// Only a window of our own process counts: the game's, or one it opened.
void checkGameFocus() {
    DWORD process = 0;
    if (const HWND window = GetForegroundWindow()) {
        GetWindowThreadProcessId(window, &process);
    }
    state.gameHasFocus = process != 0 && process == GetCurrentProcessId();
    if (tapOpen()) [[unlikely]] {
        tapFocus(state.gameHasFocus);
    }
}

void resetKeyboard() {
    state = KeyboardState{};
}

// Bit 15 of the result is the key's current state; the other bits are ignored.
// Code 0 is an unbound key, which Windows is never asked about.
bool keyDown(VirtualKeyCode key) {
    if (key == 0 || !state.gameHasFocus) {
        return false;
    }
    if (tapOpen()) [[unlikely]] {
        return recordedKeyDown(key);
    }
    return GetAsyncKeyState(key) < 0;
}
