// The pieces of an SVG document that the drive's chart is drawn with.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A drive's time, in ms, from left to right.
struct TimeAxis {
    double startMs;
    double endMs;
    double left;
    double right;

    double x(double ms) const {
        return left + (ms - startMs) / std::max(1.0, endMs - startMs) * (right - left);
    }
};

// A number to one decimal, as coordinates are written.
std::string number(double value);
std::string text(double x, double y, std::string_view content, std::string_view attributes);
std::string rect(double x, double y, double w, double h, const char* fill);
std::string line(double x1, double y1, double x2, double y2, std::string_view attributes);

// Runs of equal keys as [first, last] sample indices.
template <typename Key>
std::vector<std::pair<std::size_t, std::size_t>> runs(std::size_t count, Key key) {
    std::vector<std::pair<std::size_t, std::size_t>> result;
    for (std::size_t i = 0; i < count; ++i) {
        if (!result.empty() && key(result.back().first) == key(i)) {
            result.back().second = i;
        } else {
            result.push_back({i, i});
        }
    }
    return result;
}
