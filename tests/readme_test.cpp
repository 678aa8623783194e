// The player's guide, ReadMe.txt, and the README against the code: the
// guide's key table against the shared table of virtual-key names, its sample
// of check-bindings' output against the expected output kept for the same
// file, its speeds in km/h and mph against the m/s beside them, its fitted
// speeds against the gear table, and the README's floors of src/ against the
// includes there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gears/gears.h"
#include "keys/virtual_keys.h"

namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;) {
        parts.push_back(trimmed(text.substr(start, at - start)));
        start = at + separator.size();
    }
    parts.push_back(trimmed(text.substr(start)));
    return parts;
}

// Every Key/Code pair of the table under the "Common virtual-key codes" line:
// cells apart by two spaces or more; a single key, "A to B" for a run of
// codes, or "A / B" for two keys.
TEST(PlayerGuideTest, TheKeyTableAgreesWithTheSharedTableOfKeyNames) {
    std::istringstream guide(fileText(MG_PLAYER_GUIDE));
    std::string line;
    while (std::getline(guide, line) && !line.starts_with("Common virtual-key codes")) {
    }
    ASSERT_TRUE(guide) << "no key table in the player's guide";
    while (std::getline(guide, line) && line.empty()) {
    }

    int pairs = 0;
    for (; guide && !line.empty(); std::getline(guide, line)) {
        std::vector<std::string> cells;
        for (const std::string& cell :
             split(std::regex_replace(line, std::regex(" {2,}"), "|"), "|")) {
            if (!cell.empty()) {
                cells.push_back(cell);
            }
        }
        ASSERT_EQ(cells.size() % 2, 0u) << line;
        for (std::size_t i = 0; i < cells.size(); i += 2) {
            if (cells[i] == "Key") {
                continue;
            }
            SCOPED_TRACE(cells[i] + " | " + cells[i + 1]);
            const std::string separator = cells[i].find(" to ") != std::string::npos  ? " to "
                                          : cells[i].find(" / ") != std::string::npos ? " / "
                                                                                      : "|";
            const std::vector<std::string> names = split(cells[i], separator);
            const std::vector<std::string> codes = split(cells[i + 1], separator);
            ASSERT_EQ(names.size(), codes.size());
            for (std::size_t k = 0; k < names.size(); ++k) {
                EXPECT_EQ(virtualKeyCode(names[k]), std::stoi(codes[k]));
            }
            if (separator == " to ") {
                for (int code = std::stoi(codes.front()); code <= std::stoi(codes.back()); ++code) {
                    EXPECT_NE(virtualKeyName(code), nullptr) << code;
                }
            }
            ++pairs;
        }
    }
    EXPECT_GE(pairs, 15);
}

// The sample is indented by two spaces and ends where the text goes on
// unindented. A line of "...", indented as the lines around it, stands for
// one or more lines of the output left out; every other line is the
// output's, in its order.
TEST(PlayerGuideTest, TheSampleOfCheckBindingsIsItsOutput) {
    std::istringstream guide(fileText(MG_PLAYER_GUIDE));
    std::string line;
    while (std::getline(guide, line) && line != "  > check-bindings.exe") {
    }
    ASSERT_TRUE(guide) << "no sample of check-bindings in the player's guide";
    std::vector<std::string> sample;
    while (std::getline(guide, line) && (line.empty() || line.starts_with("  "))) {
        sample.push_back(line.empty() ? line : line.substr(2));
    }
    while (!sample.empty() && sample.back().empty()) {
        sample.pop_back();
    }
    std::istringstream output(fileText(MG_README_SAMPLE_OUTPUT));
    std::vector<std::string> lines;
    while (std::getline(output, line)) {
        lines.push_back(line);
    }
    std::size_t at = 0;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        const std::size_t text = sample[i].find_first_not_of(' ');
        if (text != std::string::npos && sample[i].substr(text) == "...") {
            ASSERT_LT(i + 1, sample.size()) << "the sample ends in \"...\"";
            const auto next = std::find(lines.begin() + static_cast<std::ptrdiff_t>(at + 1),
                                        lines.end(), sample[i + 1]);
            ASSERT_NE(next, lines.end()) << "after \"...\", no output line " << sample[i + 1];
            at = static_cast<std::size_t>(next - lines.begin());
            continue;
        }
        ASSERT_LT(at, lines.size()) << "the sample goes on past the output: " << sample[i];
        EXPECT_EQ(sample[i], lines[at]) << "sample line " << i + 1;
        ++at;
    }
    EXPECT_EQ(at, lines.size()) << "the sample stops before the output's end";
}

// Every "75.6 km/h (47.0 mph, 21 m/s)": both conversions to one decimal, a
// mile being 1609.344 m. A speed may break across lines.
TEST(PlayerGuideTest, EverySpeedInKmhAndMphIsItsMetresPerSecond) {
    const std::string guide =
        std::regex_replace(fileText(MG_PLAYER_GUIDE), std::regex("\\s+"), " ");
    const std::regex speed(R"(([0-9.]+) km/h \(([0-9.]+) mph, ([0-9.]+) m/s\))");
    int speeds = 0;
    for (auto match = std::sregex_iterator(guide.begin(), guide.end(), speed);
         match != std::sregex_iterator(); ++match, ++speeds) {
        const double metresPerSecond = std::stod((*match)[3]);
        SCOPED_TRACE(match->str());
        EXPECT_NEAR(std::stod((*match)[1]), metresPerSecond * 3.6, 0.05);
        EXPECT_NEAR(std::stod((*match)[2]), metresPerSecond * 3600 / 1609.344, 0.05);
    }
    EXPECT_GE(speeds, 8);
}

std::string withoutBackquotes(std::string text) {
    std::erase(text, '`');
    return text;
}

// The floor of each folder of src/, by its name, from the layout table.
std::map<std::string, int> floorsOfTheLayout() {
    std::istringstream readme(fileText(MG_README));
    std::string line;
    while (std::getline(readme, line) && line != "### Layout") {
    }
    std::map<std::string, int> floors;
    while (std::getline(readme, line) && !line.starts_with("#")) {
        const std::vector<std::string> cells = line.starts_with("| ")
                                                   ? split(line.substr(1, line.size() - 2), "|")
                                                   : std::vector<std::string>{};
        if (cells.size() == 3 && std::isdigit(static_cast<unsigned char>(cells[0][0]))) {
            const std::string folder = withoutBackquotes(cells[1]);
            floors[folder.substr(4, folder.size() - 5)] = std::stoi(cells[0]);
        }
    }
    return floors;
}

// An include names a folder on a lower floor, or its own; a file's unit is its
// path without the extension, and no two units include each other.
TEST(ReadmeTest, NoIncludeInSrcRunsUpAFloorOfTheLayoutTable) {
    const std::map<std::string, int> floors = floorsOfTheLayout();
    ASSERT_EQ(floors.size(), 14u) << "the layout table's folders";
    EXPECT_EQ(floors.at("recording"), 0) << "the bottom floor";
    const std::regex include(R"(^\s*#\s*include\s*"(([^/"]+)/[^"]+)\.h")");
    std::map<std::string, std::set<std::string>> unitIncludes;
    int includes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(MG_SOURCES)) {
        const std::filesystem::path path = entry.path().lexically_relative(MG_SOURCES);
        const std::string folder = path.begin()->string();
        if (!entry.is_regular_file() || path.extension() == ".txt") {
            continue;
        }
        ASSERT_TRUE(floors.contains(folder)) << path << ": no floor for " << folder;
        std::istringstream text(fileText(entry.path().string()));
        const std::string unit = (path.parent_path() / path.stem()).generic_string();
        for (std::string line; std::getline(text, line);) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) {
                continue;
            }
            ++includes;
            const auto to = floors.find(match[2]);
            EXPECT_TRUE(to != floors.end() &&
                        (to->first == folder || to->second < floors.at(folder)))
                << path << " includes " << match[1] << ".h";
            unitIncludes[unit].insert(match[1]);
        }
    }
    EXPECT_GT(includes, 50);
    for (const auto& [unit, included] : unitIncludes) {
        for (const std::string& other : included) {
            EXPECT_FALSE(other != unit && unitIncludes[other].contains(unit))
                << unit << " and " << other << " include each other";
        }
    }
}

// The tables of fitted speeds, a box's each, row by row: each forward gear's
// speeds in the order of shifting up, fitted to 30, 50 and 65 m/s (108, 180
// and 234 km/h), in km/h and mph to one decimal, and in m/s to the two shown.
TEST(PlayerGuideTest, TheFittedSpeedsAreEachBoxsFittedToEachTopSpeed) {
    std::vector<BoxGear> forward;
    for (const auto& box : gearBoxes) {
        for (int rank = 1; rank <= box.forwardGears; ++rank) {
            forward.push_back(box.gears[static_cast<std::size_t>(
                std::ranges::find(gearTable, rank, &GearSpec::shiftRank) - gearTable)]);
        }
    }
    std::vector<double> expected;
    for (const BoxGear& gear : forward) {
        for (const auto& [has, speed] : {std::pair(gear.cap != openCap, gear.cap),
                                         {gear.hints, gear.hintAbove},
                                         {gear.lugs, gear.lugAtOrBelow}}) {
            for (const float top : {30.0f, 50.0f, 65.0f}) {
                const double fitted = speed * (top / tableTopSpeed);
                if (has) {
                    expected.insert(expected.end(), {fitted * 3.6, fitted / 0.44704, fitted});
                }
            }
        }
    }
    const std::string guide = fileText(MG_PLAYER_GUIDE);
    const std::string heading = "108 km/h top         180 km/h top         234 km/h top";
    const std::regex number("[0-9]+\\.[0-9]+");
    std::vector<double> shown;
    for (std::size_t header = guide.find(heading); header != std::string::npos;
         header = guide.find(heading, header + 1)) {
        const std::size_t rows = guide.find('\n', guide.find('\n', header) + 1);
        const std::string table = guide.substr(rows, guide.find("\n\n", rows) - rows);
        for (auto match = std::sregex_iterator(table.begin(), table.end(), number);
             match != std::sregex_iterator(); ++match) {
            shown.push_back(std::stod(match->str()));
        }
    }
    ASSERT_EQ(shown.size(), expected.size()) << "the tables of fitted speeds in the guide";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_NEAR(shown[i], expected[i], i % 3 == 2 ? 0.005 : 0.05) << "number " << i + 1;
    }
}

} // namespace
