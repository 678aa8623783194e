// The stand-in's IDirectInputEffect: one of the three effects the plug-in
// creates on a device it holds exclusively, played by the world, and
// refusing what DirectInput documents it refuses.
#include "sim/windows_dinput/stand_in.h"

namespace stand_in {

namespace {

struct Effect {
    IDirectInputEffect face;
    LONG references;
    ForceEffect kind;
    int index;
    bool loaded = true;
};

Effect* effectOf(IDirectInputEffect* face) {
    return reinterpret_cast<Effect*>(face);
}

HRESULT STDMETHODCALLTYPE effectQueryInterface(IDirectInputEffect* face, REFIID id, void** object) {
    if (!sameGuid(id, IID_IUnknown) && !sameGuid(id, IID_IDirectInputEffect)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ++effectOf(face)->references;
    *object = face;
    return S_OK;
}

ULONG STDMETHODCALLTYPE effectAddRef(IDirectInputEffect* face) {
    return static_cast<ULONG>(++effectOf(face)->references);
}

HRESULT STDMETHODCALLTYPE unload(IDirectInputEffect* face) {
    Effect* effect = effectOf(face);
    if (effect->loaded) {
        questions().forces.unload(effect->kind);
        effect->loaded = false;
    }
    return DI_OK;
}

ULONG STDMETHODCALLTYPE effectRelease(IDirectInputEffect* face) {
    Effect* effect = effectOf(face);
    const LONG left = --effect->references;
    if (left == 0) {
        unload(face);
        delete effect;
    }
    return static_cast<ULONG>(left);
}

// The type-specific parameters' size of each kind, as DirectInput checks it.
DWORD parametersSize(ForceEffect kind) {
    switch (kind) {
    case ForceEffect::Constant:
        return sizeof(DICONSTANTFORCE);
    case ForceEffect::Damper:
        return sizeof(DICONDITION);
    case ForceEffect::Jolt:
        break;
    }
    return sizeof(DIPERIODIC);
}

LONG magnitudeOf(ForceEffect kind, const void* parameters) {
    switch (kind) {
    case ForceEffect::Constant:
        return static_cast<const DICONSTANTFORCE*>(parameters)->lMagnitude;
    case ForceEffect::Damper:
        return static_cast<const DICONDITION*>(parameters)->lPositiveCoefficient;
    case ForceEffect::Jolt:
        break;
    }
    return static_cast<LONG>(static_cast<const DIPERIODIC*>(parameters)->dwMagnitude);
}

// Only a set that starts the effect, as the plug-in sends, on the device
// held exclusively: DirectInput refuses the others' downloads.
HRESULT STDMETHODCALLTYPE setParameters(IDirectInputEffect* face, const DIEFFECT* parameters,
                                        DWORD flags) {
    const Effect* effect = effectOf(face);
    if (questions().world->forces.controller != effect->index || !effect->loaded) {
        return DIERR_NOTEXCLUSIVEACQUIRED;
    }
    if (parameters == nullptr || parameters->dwSize != sizeof(DIEFFECT) ||
        (flags & DIEP_START) == 0 || (flags & DIEP_TYPESPECIFICPARAMS) == 0 ||
        parameters->cbTypeSpecificParams != parametersSize(effect->kind) ||
        parameters->lpvTypeSpecificParams == nullptr) {
        return DIERR_INVALIDPARAM;
    }
    const DWORD periodUs =
        effect->kind == ForceEffect::Jolt
            ? static_cast<const DIPERIODIC*>(parameters->lpvTypeSpecificParams)->dwPeriod
            : 0;
    questions().forces.set(
        effect->kind,
        {magnitudeOf(effect->kind, parameters->lpvTypeSpecificParams),
         static_cast<std::uint16_t>(periodUs / 1000),
         static_cast<std::uint16_t>(std::min<DWORD>(parameters->dwDuration / 1000, 0xFFFF))});
    return DI_OK;
}

IDirectInputEffectVtbl effectFunctions = {
    .QueryInterface = effectQueryInterface,
    .AddRef = effectAddRef,
    .Release = effectRelease,
    .Initialize = notImplemented,
    .GetEffectGuid = notImplemented,
    .GetParameters = notImplemented,
    .SetParameters = setParameters,
    .Start = notImplemented,
    .Stop = notImplemented,
    .GetEffectStatus = notImplemented,
    .Download = notImplemented,
    .Unload = unload,
    .Escape = notImplemented,
};

} // namespace

std::optional<ForceEffect> effectKind(const GUID& kind) {
    if (sameGuid(kind, GUID_ConstantForce)) {
        return ForceEffect::Constant;
    }
    if (sameGuid(kind, GUID_Damper)) {
        return ForceEffect::Damper;
    }
    if (sameGuid(kind, GUID_Sine)) {
        return ForceEffect::Jolt;
    }
    return std::nullopt;
}

IDirectInputEffect* newEffect(ForceEffect kind, int index) {
    questions().forces.create(kind);
    return &(new Effect{{&effectFunctions}, 1, kind, index})->face;
}

} // namespace stand_in
