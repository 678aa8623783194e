// Force feedback through DirectInput 8: a second device object for the
// steering's controller, beside the shared one that reads it, held
// exclusively in the background as force feedback needs. Nothing here waits:
// each call hands its command to the driver and returns.
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include <array>
#include <memory>

#include "host/direct_input.h"
#include "host/force_system.h"

namespace {

struct EffectRelease {
    void operator()(IDirectInputEffect* effect) const {
        effect->Unload();
        effect->Release();
    }
};
struct DeviceRelease {
    void operator()(IDirectInputDevice8W* device) const {
        device->Unacquire();
        device->Release();
    }
};
using EffectReference = std::unique_ptr<IDirectInputEffect, EffectRelease>;

struct ForceObjects {
    // Declared first, released last: its effects go before it.
    std::unique_ptr<IDirectInputDevice8W, DeviceRelease> device;
    std::array<EffectReference, forceEffectCount> effects;
    DWORD axis = DIJOFS_X;
};

// Never destroyed, as DirectInput's other objects: see direct_input.cpp.
ForceObjects& objects() {
    static ForceObjects* const held = new ForceObjects;
    return *held;
}

constexpr std::array<DWORD, 8> axisOffsets = {DIJOFS_X,         DIJOFS_Y,        DIJOFS_Z,
                                              DIJOFS_RX,        DIJOFS_RY,       DIJOFS_RZ,
                                              DIJOFS_SLIDER(0), DIJOFS_SLIDER(1)};

bool setNumber(IDirectInputDevice8W& device, REFGUID property, DWORD value) {
    DIPROPDWORD number{};
    number.diph.dwSize = sizeof number;
    number.diph.dwHeaderSize = sizeof number.diph;
    number.diph.dwHow = DIPH_DEVICE;
    number.dwData = value;
    return SUCCEEDED(device.SetProperty(property, &number.diph));
}

// An effect on the steering's axis, one axis, whose sign gives the way;
// with its type's parameters, for this long (0: as created, none).
struct EffectParameters {
    DIEFFECT effect{};
    DWORD axis = 0;
    LONG direction = 0;
    DICONSTANTFORCE constant{};
    DICONDITION condition{};
    DIPERIODIC periodic{};
};

void describe(EffectParameters& all, ForceEffect kind, const ForceParameters& parameters) {
    DIEFFECT& effect = all.effect;
    effect.dwSize = sizeof effect;
    effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
    effect.dwDuration = DWORD{parameters.durationMs} * 1000;
    effect.dwGain = DI_FFNOMINALMAX;
    effect.dwTriggerButton = DIEB_NOTRIGGER;
    effect.cAxes = 1;
    all.axis = objects().axis;
    effect.rgdwAxes = &all.axis;
    effect.rglDirection = &all.direction;
    switch (kind) {
    case ForceEffect::Constant:
        all.constant.lMagnitude = parameters.magnitude;
        effect.cbTypeSpecificParams = sizeof all.constant;
        effect.lpvTypeSpecificParams = &all.constant;
        break;
    case ForceEffect::Damper:
        all.condition.lPositiveCoefficient = parameters.magnitude;
        all.condition.lNegativeCoefficient = parameters.magnitude;
        all.condition.dwPositiveSaturation = DI_FFNOMINALMAX;
        all.condition.dwNegativeSaturation = DI_FFNOMINALMAX;
        effect.cbTypeSpecificParams = sizeof all.condition;
        effect.lpvTypeSpecificParams = &all.condition;
        break;
    case ForceEffect::Jolt:
        all.periodic.dwMagnitude = static_cast<DWORD>(parameters.magnitude);
        all.periodic.dwPeriod = DWORD{parameters.periodMs} * 1000;
        effect.cbTypeSpecificParams = sizeof all.periodic;
        effect.lpvTypeSpecificParams = &all.periodic;
        break;
    }
}

bool createEffects(IDirectInputDevice8W& device) {
    static const std::array<const GUID*, forceEffectCount> kinds = {&GUID_ConstantForce,
                                                                    &GUID_Damper, &GUID_Sine};
    ForceObjects& held = objects();
    for (std::size_t i = 0; i < forceEffectCount; ++i) {
        EffectParameters parameters;
        describe(parameters, static_cast<ForceEffect>(i), {});
        IDirectInputEffect* created = nullptr;
        if (FAILED(device.CreateEffect(*kinds[i], &parameters.effect, &created, nullptr)) ||
            created == nullptr) {
            return false;
        }
        held.effects[i].reset(created);
    }
    return true;
}

// The cooperative level first, so that every call after it is the
// exclusive device's; its capabilities once its gain is set.
ForceFeedbackStatus open(IDirectInputDevice8W& device, std::int32_t gain) {
    if (FAILED(
            device.SetCooperativeLevel(cooperativeWindow(), DISCL_EXCLUSIVE | DISCL_BACKGROUND)) ||
        FAILED(device.SetDataFormat(&c_dfDIJoystick2))) {
        return ForceFeedbackStatus::Failed;
    }
    setNumber(device, DIPROP_AUTOCENTER, DIPROPAUTOCENTER_OFF);
    setNumber(device, DIPROP_FFGAIN, static_cast<DWORD>(gain));
    DIDEVCAPS capabilities{};
    capabilities.dwSize = sizeof capabilities;
    if (FAILED(device.GetCapabilities(&capabilities)) ||
        (capabilities.dwFlags & DIDC_FORCEFEEDBACK) == 0) {
        return ForceFeedbackStatus::NoForceFeedback;
    }
    const HRESULT acquired = device.Acquire();
    if (acquired == DIERR_OTHERAPPHASPRIO) {
        return ForceFeedbackStatus::Taken;
    }
    if (FAILED(acquired) || FAILED(device.SendForceFeedbackCommand(DISFFC_RESET)) ||
        FAILED(device.SendForceFeedbackCommand(DISFFC_SETACTUATORSON)) || !createEffects(device)) {
        return ForceFeedbackStatus::Failed;
    }
    return ForceFeedbackStatus::On;
}

} // namespace

ForceFeedbackStatus openSystemForces(std::size_t place, std::size_t axis, std::int32_t gain) {
    closeSystemForces();
    IDirectInput8W* const input = directInputObject();
    IDirectInputDevice8W* created = nullptr;
    if (input == nullptr || FAILED(input->CreateDevice(listedInstance(place), &created, nullptr)) ||
        created == nullptr) {
        return ForceFeedbackStatus::Failed;
    }
    ForceObjects& held = objects();
    held.device.reset(created);
    held.axis = axisOffsets[axis < axisOffsets.size() ? axis : 0];
    const ForceFeedbackStatus status = open(*created, gain);
    if (status != ForceFeedbackStatus::On) {
        closeSystemForces();
    }
    return status;
}

void setSystemForce(ForceEffect effect, const ForceParameters& parameters) {
    IDirectInputEffect* const held = objects().effects[static_cast<std::size_t>(effect)].get();
    if (held == nullptr) {
        return;
    }
    EffectParameters all;
    describe(all, effect, parameters);
    held->SetParameters(&all.effect, DIEP_TYPESPECIFICPARAMS | DIEP_DURATION | DIEP_START);
}

void stopSystemForces() {
    if (objects().device) {
        objects().device->SendForceFeedbackCommand(DISFFC_STOPALL);
    }
}

void closeSystemForces() {
    ForceObjects& held = objects();
    for (EffectReference& effect : held.effects) {
        effect.reset();
    }
    held.device.reset();
}
