// Loading the key-binding file as the plug-in does on its first frame, log
// included: the shipped file, 5 MB of ordinary lines, a million of them, and
// one very long line. With --single-line-mb N it instead loads one N MB line
// once, for measuring the process's peak memory from outside.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "bindings/key_bindings.h"
#include "host/files.h"

namespace {

constexpr std::size_t mebibyte = 1024 * 1024;

const std::string_view bindingLines[] = {"Clutch=16",    "FirstGear=49",  "SecondGear=50",
                                         "ThirdGear=51", "FourthGear=52", "Reverse=82"};

// MTconfig.ini in the current folder, written a piece at a time.
std::uintmax_t writeConfig(std::string_view head, std::string_view piece, std::size_t bytes) {
    std::ofstream out("MTconfig.ini", std::ios::binary | std::ios::trunc);
    out << head;
    for (std::size_t written = head.size(); written < bytes; written += piece.size()) {
        out << piece;
    }
    out << '\n';
    out.close();
    return std::filesystem::file_size("MTconfig.ini");
}

void load(benchmark::State& state, std::uintmax_t fileBytes) {
    bindingsPath = findBindingFile();
    for (auto _ : state) {
        keyBindings = KeyBindings{};
        loadKeyBindings();
        benchmark::DoNotOptimize(keyBindings);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileBytes));
    if (keyBindings.reverseKey != 82) {
        state.SkipWithError("the file did not bind reverse to 82");
    }
}

void sixLineFile(benchmark::State& state) {
    std::string text;
    for (const std::string_view line : bindingLines) {
        text.append(line).append("\n");
    }
    load(state, writeConfig(text, "", 0));
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

void fiveMegabytes(benchmark::State& state) {
    load(state, writeConfig("", remarkedLines(), 5 * mebibyte - 1));
}

void millionLines(benchmark::State& state) {
    load(state, writeConfig("", remarkedLines(), 64 * mebibyte - 1));
}

// Text full of near misses of the key texts, after a binding.
const std::string_view filler = "Clutc FirstGea Second Thir Fourth Revers Enable/ = 1 2 ";

void singleLine(benchmark::State& state) {
    load(state, writeConfig("Reverse=82 ; ", filler, 64 * mebibyte));
}

BENCHMARK(sixLineFile);
BENCHMARK(fiveMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(millionLines)->Unit(benchmark::kMillisecond);
BENCHMARK(singleLine)->Unit(benchmark::kMillisecond);

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

    int status = 0;
    if (argc == 3 && std::string_view(argv[1]) == "--single-line-mb") {
        const std::size_t megabytes = std::strtoull(argv[2], nullptr, 10);
        const std::uintmax_t bytes = writeConfig("Reverse=82 ; ", filler, megabytes * mebibyte);
        bindingsPath = findBindingFile();
        loadKeyBindings();
        std::cout << "loaded one line of " << bytes
                  << " bytes: reverseKey = " << keyBindings.reverseKey << "\n";
        status = keyBindings.reverseKey == 82 ? 0 : 1;
    } else {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }

    std::filesystem::current_path(home);
    std::filesystem::remove_all(folder);
    return status;
}
