// The registered script: one frame loop that never returns.
#pragma once

// Set on the first pass once the key bindings had their one chance to load.
extern bool bindingsLoaded;

// The right-arrow key and the bound toggle key as the previous pass saw them:
// the keyboard toggle fires on a press, not while the key is held.
extern bool toggleArrowWasDown;
extern bool toggleKeyWasDown;
extern bool reloadKeyWasDown;

// One game frame of the loop, everything but the final yield. Nothing it
// throws leaves it.
void runFramePass();

// The hook may start the script again on a fresh fiber, when a save loads:
// what the plug-in read and was told stays, what it knew of the game goes.
void startScript();

void scriptEntry();
