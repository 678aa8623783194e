// What a runner needs to drive the world behind the stand-in hook. The Windows
// stand-in hook hands it to the program that loaded it; native tests fill it in
// with the world's own functions.
#pragma once

#include <cstdint>

#include "sim/controller_steps.h"

namespace sim {

// DirectInput's force feedback on the world's controllers, as the stand-in
// dinput8.dll plays it (forces.h): a set and a stop are recorded as the
// plug-in's calls, and so is what opening came to.
struct ForceQuestions {
    ForceFeedbackStatus (*hold)(int index);
    void (*gain)(std::int32_t gain);
    void (*autoCentre)(bool on);
    void (*command)(ForceCommand command);
    void (*create)(ForceEffect effect);
    void (*set)(ForceEffect effect, const ForceParameters& parameters);
    void (*unload)(ForceEffect effect);
    void (*release)();
    void (*opened)(std::size_t place, std::int32_t strength, ForceFeedbackStatus status);
};

// DirectInput's steps with the world's game controllers, as the stand-in
// dinput8.dll asks them: by a controller's index in World::controllers.
struct ControllerQuestions {
    World* world;
    ControllerFault (*start)();
    ControllerFault (*list)();
    ControllerFault (*create)(int index);
    ControllerFault (*format)(int index);
    ControllerFault (*share)(int index);
    ControllerFault (*acquire)(int index);
    ControllerFault (*poll)(int index);
    ControllerFault (*read)(int index, ControllerInput& input);
    void (*close)(int index);
    std::vector<std::pair<int, Controller>> (*plugged)();
    ForceQuestions forces;
};

inline ControllerQuestions worldControllers() {
    return {&world,
            startControllers,
            listControllers,
            createController,
            formatController,
            shareController,
            acquireController,
            pollController,
            readController,
            closeController,
            pluggedControllers,
            {holdForces, setForceGain, setAutoCentre,
             [](ForceCommand command) {
                 if (command == ForceCommand::StopAll) {
                     recordForcesStopped();
                 }
                 forceCommand(command);
             },
             createEffect,
             [](ForceEffect effect, const ForceParameters& parameters) {
                 recordForceSet(effect, parameters);
                 setEffect(effect, parameters);
             },
             unloadEffect, releaseForces, recordForcesOpened}};
}

// The program that loads the stand-in dinput8.dll exports a function of this
// name, which gives the questions' answers from the world behind the hook.
constexpr const char* controllersExport = "standInControllers";
using ControllersFunction = const ControllerQuestions* (*)();

struct HookControl {
    World* world;
    int (*addVehicle)(std::int32_t handle);
    void (*enterVehicle)(int index, int seat);
    void (*leaveVehicle)();
    void (*setKey)(int key, bool down);
    void (*holdControl)(int control, bool held);
    void (*fireControlOnce)(int control);
    // One game frame: the registered script runs if its wait is over, then the
    // frame ends.
    void (*runFrame)();
    // The simulated key-state and focus queries, with the signatures of user32's.
    std::int16_t (*keyState)(int key);
    void* (*foregroundWindow)();
    std::uint32_t (*windowThreadProcessId)(void* window, std::uint32_t* processId);
    // A fresh world; the registered script and its fiber are dropped.
    void (*reset)();
    // The hook starts the registered script again from its beginning, as it
    // does when the game loads a save.
    void (*restartScript)();
    // Game controllers, plugged in the world's own memory, and asked about.
    void (*plugController)(int index, ControllerId id, ControllerType type, const char* name);
    void (*unplugController)(int index);
    ControllerQuestions controllers;
};

// The control of this process's world, with the runner's own frame, reset and
// restart.
inline HookControl worldControl(void (*runFrame)(), void (*reset)(), void (*restartScript)()) {
    return {&world,
            addVehicle,
            enterVehicle,
            leaveVehicle,
            setKey,
            holdControl,
            fireControlOnce,
            runFrame,
            keyState,
            foregroundWindow,
            windowThreadProcessId,
            reset,
            restartScript,
            [](int index, ControllerId id, ControllerType type, const char* name) {
                sim::plugController(index, id, type, name);
            },
            unplugController,
            worldControllers()};
}

// The program that loads the stand-in hook exports a function of this name,
// which the hook calls with its control while it loads.
constexpr const char* hookLoadedExport = "standInHookLoaded";
using HookLoadedFunction = void (*)(const HookControl* control);

} // namespace sim
