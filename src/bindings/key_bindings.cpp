#include "bindings/key_bindings.h"

KeyBindings keyBindings{};

SharedFile bindingsFile = openSharedForReading("MTconfig.ini");

namespace {

struct StoreBindings {
    KeyBindings& bindings;
    void lineByte(unsigned char) {}
    void lineEnd(const LineOutcome& line) { applyLine(bindings, line); }
};

} // namespace

void loadKeyBindings() {
    const SharedFile file = openSharedForReading("MTconfig.ini");
    if (!file) {
        return;
    }
    StoreBindings store{keyBindings};
    readBindingFile(file.get(), store);
}
