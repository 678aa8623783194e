#include "runner/drive_output.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "runner/chart.h"
#include "runner/timeline.h"

int showDrive(const DriveReport& report, const std::string& scriptName,
              const std::filesystem::path& svgPath, const std::string& svgName) {
    std::fputs(timelineText(report.samples).c_str(), stdout);
    if (!svgPath.empty()) {
        std::ofstream svg(svgPath, std::ios::binary);
        svg << driveChartSvg(report.samples,
                             "Drive " + std::filesystem::path(scriptName).filename().string());
        if (!svg.flush()) {
            return unusable("cannot write " + svgName);
        }
        std::printf("chart: %s\n", svgName.c_str());
    }
    for (const std::string& failure : report.failures) {
        std::fprintf(stderr, "%s\n", failure.c_str());
    }
    std::printf("%s: %d expectations met, %zu failed\n", scriptName.c_str(), report.expectationsMet,
                report.failures.size());
    std::fflush(stdout);
    return report.failures.empty() ? 0 : exitExpectationFailed;
}

int unusable(const std::string& message) {
    std::fprintf(stderr, "drive: %s\n", message.c_str());
    return exitUnusable;
}

bool writeRecordingFile(const std::filesystem::path& path, const DriveRecording& recording) {
    std::ofstream file(path, std::ios::binary);
    file << encodeRecording(recording);
    return static_cast<bool>(file.flush());
}

std::string utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}
