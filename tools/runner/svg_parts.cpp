#include "runner/svg_parts.h"

#include <cstdio>

namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string text(double x, double y, std::string_view content, std::string_view attributes) {
    return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" " + std::string(attributes) +
           ">" + escaped(content) + "</text>\n";
}

std::string rect(double x, double y, double w, double h, const char* fill) {
    return "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(w) +
           "\" height=\"" + number(h) + "\" fill=\"" + fill + "\"/>\n";
}

std::string line(double x1, double y1, double x2, double y2, std::string_view attributes) {
    return "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
           "\" y2=\"" + number(y2) + "\" " + std::string(attributes) + "/>\n";
}
