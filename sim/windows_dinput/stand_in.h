// What the stand-in dinput8.dll's parts share: the world whose game
// controllers it answers for, and the three interfaces' objects, each in a
// file of its own (input_device.cpp, direct_input.cpp, effects.cpp).
#pragma once

#define CINTERFACE
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>

#include <dinput.h>

#include <algorithm>
#include <optional>

#include "sim/hook_control.h"

namespace stand_in {

// The questions about the world's controllers: the drive's, or this
// library's own world's.
const sim::ControllerQuestions& questions();

// Moves the drive script that MG_STAND_IN_DRIVE names on by a frame, when
// this library's own world plays one.
void playScriptFrame();

template <typename... Arguments>
HRESULT STDMETHODCALLTYPE notImplemented(Arguments...) {
    return E_NOTIMPL;
}

inline bool sameGuid(const GUID& a, const GUID& b) {
    return IsEqualGUID(a, b) != 0;
}

// The faults a drive injects (injected_faults.cpp): the thread of the
// world, noted by the first DirectInput8Create; an HRESULT for a step's
// fault, S_OK where it gives no object; and a product name, with no NUL to
// end it where a drive says so.
void noteWorldThread();
bool onWorldThread();
HRESULT answerOf(const ControllerFault& fault);
void describeName(const sim::Controller& controller, WCHAR (&name)[MAX_PATH]);

// A device of the controller at this index in the world, with one reference.
IDirectInputDevice8W* newDevice(int index);
// DirectInput's object, with one reference.
IDirectInput8W* newDirectInput();
// An effect of this kind created on the device of the controller at this
// index, with one reference (effects.cpp), and the kind a GUID names.
IDirectInputEffect* newEffect(ForceEffect kind, int index);
std::optional<ForceEffect> effectKind(const GUID& kind);

} // namespace stand_in
