// The hook's side of the boundary: the native-call protocol, the key-state
// and focus queries, and the world's record of every call.
#include <algorithm>
#include <string_view>

#include "sim/catalogue.h"
#include "sim/slots.h"

namespace sim {

void fault(const std::string& message) {
    world.faults.push_back(message);
}

void recordCall(Call::Kind kind, std::int64_t value, std::int16_t keyState) {
    if (world.recording) {
        Call call;
        call.kind = kind;
        call.frame = world.frame;
        call.value = value;
        call.keyState = keyState;
        world.calls.push_back(std::move(call));
    }
}

void beginNative(std::uint64_t hash) {
    if (world.callOpen) {
        fault("nativeInit " + hashText(hash) + " while " + hashText(world.openHash) +
              " is still open");
    }
    if (!findNative(hash)) {
        fault("nativeInit " + hashText(hash) + ": a native this world doesn't know");
    }
    world.callOpen = true;
    world.openHash = hash;
    world.lastHash = hash;
    world.pushedCount = 0;
}

void pushArgument(std::uint64_t value) {
    if (!world.callOpen) {
        fault("nativePush64 without nativeInit (the last call began was " +
              hashText(world.lastHash) + ")");
        return;
    }
    if (world.pushedCount == maxArguments) {
        fault("nativePush64: too many arguments for " + hashText(world.openHash));
        return;
    }
    world.pushed[world.pushedCount++] = value;
}

unsigned long long* callNative() {
    world.resultSlots.fill(0);
    if (!world.callOpen) {
        fault("nativeCall without nativeInit (the last call began was " + hashText(world.lastHash) +
              ")");
        return world.resultSlots.data();
    }
    world.callOpen = false;
    const std::uint64_t hash = world.openHash;
    const NativeEntry* entry = findNative(hash);

    Call call;
    call.kind = Call::Kind::Native;
    call.frame = world.frame;
    call.hash = hash;
    call.arguments = world.pushed;
    call.argumentCount = world.pushedCount;

    if (entry && parameterCount(*entry) != world.pushedCount) {
        fault(hashText(hash) + " called with " + std::to_string(world.pushedCount) +
              " arguments, but " + signatureText(*entry) + " reads " +
              std::to_string(parameterCount(*entry)));
    } else if (entry) {
        if (takesText(*entry)) {
            call.textArgument = true;
            call.text = slotText(world.pushed[0]);
        }
        entry->run(world.pushed.data());
    }
    call.result = world.resultSlots[0];
    call.vectorResult = entry && std::string_view(entry->result) == "Vector3";
    std::copy_n(world.resultSlots.begin(), call.vector.size(), call.vector.begin());
    if (world.recording) {
        world.calls.push_back(std::move(call));
    }
    return world.resultSlots.data();
}

std::int16_t keyState(int key) {
    std::int16_t state = 0;
    if (key > 0 && key < keyCount) {
        // Bit 15: down now. Bit 0: pressed since the previous query, as
        // Windows reports it; callers must ignore it.
        state = static_cast<std::int16_t>((world.keys[key] ? 0x8000 : 0) |
                                          (world.pressedSinceQuery[key] ? 1 : 0));
        world.pressedSinceQuery[key] = false;
    }
    recordCall(Call::Kind::KeyQuery, key, state);
    return state;
}

void* foregroundWindow() {
    const std::uintptr_t window = world.gameFocused ? gameWindow : otherWindow;
    recordCall(Call::Kind::ForegroundQuery, static_cast<std::int64_t>(window));
    return reinterpret_cast<void*>(window);
}

std::uint32_t windowThreadProcessId(void* window, std::uint32_t* processId) {
    const auto handle = reinterpret_cast<std::uintptr_t>(window);
    const std::uint32_t process = handle == gameWindow    ? world.processId
                                  : handle == otherWindow ? otherProcessId
                                                          : 0;
    if (processId) {
        *processId = process;
    }
    recordCall(Call::Kind::WindowProcessQuery, static_cast<std::int64_t>(handle));
    // The thread that made the window; 0 for no window.
    return process == 0 ? 0 : process + 4;
}

void recordFileQuestion(FileQuestion question) {
    recordCall(Call::Kind::File, static_cast<std::int64_t>(question));
}

void recordWait(std::uint32_t milliseconds) {
    if (world.callOpen) {
        fault("scriptWait while " + hashText(world.openHash) + " is still open");
    }
    recordCall(Call::Kind::Wait, milliseconds);
}

} // namespace sim
