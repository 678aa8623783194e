#include "host/keyboard.h"

#include "host/recorded_answers.h"
#include "host/tap.h"
#include "host/windows_api.h"

namespace {

KeyboardState state;

// GetAsyncKeyState's answer as the plug-in takes it: natively, an injected
// answer in the stand-in's place (recorded_answers.h).
[[gnu::always_inline]] inline short keyState(VirtualKeyCode key) {
    const short asked = GetAsyncKeyState(key);
#if !defined(_WIN32)
    if (recordedAnswers.keyState) {
        return recordedAnswers.keyState(key);
    }
#endif
    return asked;
}

// The query while a pass is recorded, out of the way of the one that isn't.
[[gnu::cold, gnu::noinline]] bool recordedKeyDown(VirtualKeyCode key) {
    const short answer = keyState(key);
    tapKey(key, answer);
    return answer < 0;
}

#if !defined(_WIN32)
// The query while answers are injected, out of the way too.
[[gnu::cold, gnu::noinline]] bool answeredKeyDown(VirtualKeyCode key) {
    return keyState(key) < 0;
}
#endif

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
#if !defined(_WIN32)
    if (recordedAnswers.focus) [[unlikely]] {
        state.gameHasFocus = recordedAnswers.focus();
    }
#endif
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
#if !defined(_WIN32)
    if (recordedAnswers.keyState) [[unlikely]] {
        return answeredKeyDown(key);
    }
#endif
    return GetAsyncKeyState(key) < 0;
}
