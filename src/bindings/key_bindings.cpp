#include "bindings/key_bindings.h"

KeyBindings keyBindings{};

SharedFile bindingsFile = openSharedForReading("MTconfig.ini");

void loadKeyBindings() {}
