#include "bindings/key_bindings.h"

KeyBindings keyBindings{};

SharedFile bindingsFile = openSharedForReading("MTconfig.ini");

void loadKeyBindings() {
    const SharedFile file = openSharedForReading("MTconfig.ini");
    if (!file) {
        return;
    }
    readBindingFile(file.get(), [](const LineOutcome& line) { applyLine(keyBindings, line); });
}
