// Loading the key-binding file as the plug-in does on its first frame, log
// included: the shipped file, and the largest file it reads, 1 MiB of
// ordinary lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "bindings/key_bindings.h"
#include "host/files.h"

namespace {

constexpr std::size_t mebibyte = bindingFileBytesAtMost;

const std::string_view bindingLines[] = {"Clutch=16",    "FirstGear=49",  "SecondGear=50",
                                         "ThirdGear=51", "FourthGear=52", "Reverse=82"};

// MTconfig.ini in the current folder.
std::uintmax_t writeConfig(const std::string& text) {
    std::ofstream("MTconfig.ini", std::ios::binary | std::ios::trunc) << text;
    return std::filesystem::file_size("MTconfig.ini");
}

void load(benchmark::State& state, std::uintmax_t fileBytes) {
    for (auto _ : state) {
        useKeyBindings(KeyBindings{});
        loadKeyBindings();
        benchmark::DoNotOptimize(bindingsState().keys);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileBytes));
    if (bindingsState().keys.reverseKey != 82) {
        state.SkipWithError("the file did not bind reverse to 82");
    }
}

void sixLineFile(benchmark::State& state) {
    std::string text;
    for (const std::string_view line : bindingLines) {
        text.append(line).append("\n");
    }
    load(state, writeConfig(text));
}

// 64-byte lines, each a binding with a remark after it.
std::string remarkedLines() {
    std::string block;
    for (const std::string_view line : bindingLines) {
        std::string padded(line);
        padded += "    ; a remark about this key and why it sits where it does";
        padded.resize(63, ' ');
        block += padded + "\n";
    }
    return block;
}

// Exactly the largest file the plug-in reads.
void oneMebibyte(benchmark::State& state) {
    const std::string block = remarkedLines();
    std::string text;
    while (text.size() + block.size() <= mebibyte) {
        text += block;
    }
    text.resize(mebibyte, '\n');
    load(state, writeConfig(text));
}

BENCHMARK(sixLineFile);
BENCHMARK(oneMebibyte)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path home = std::filesystem::current_path();
    std::string folder =
        (std::filesystem::temp_directory_path() / "bindings-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    std::filesystem::current_path(folder);
    // The plug-in's folder, where its log goes, is the game folder.
    nativeModuleFolder() = folder;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::filesystem::current_path(home);
    std::filesystem::remove_all(folder);
    return 0;
}
