// The line highlighter: a small state machine over the characters of one
// line, with no widget, so its colouring can be checked run by run.
#pragma once

#include <QStringView>
#include <array>
#include <vector>

namespace lintrel {

enum class HighlightColour { Black, Blue, Purple, Green, LightGrey, Orange, Red };

struct Rgb {
    int red, green, blue;
};

// Indexed by HighlightColour.
inline constexpr std::array<Rgb, 7> kHighlightRgb = {{
    {0, 0, 0},        // Black: plain text
    {0, 0, 255},      // Blue: label
    {200, 0, 200},    // Purple: directive
    {0, 160, 0},      // Green: number
    {192, 192, 192},  // LightGrey: comment
    {255, 156, 0},    // Orange: string
    {255, 0, 0},      // Red: brace
}};

struct ColourRun {
    int start = 0;
    int length = 0;
    HighlightColour colour = HighlightColour::Black;
    bool operator==(const ColourRun&) const = default;
};

// Colours one line. Runs are in order, never empty, and neighbours differ in
// colour. The last run reaches two characters past the line's end, over the
// line break; callers that colour only the line clip it.
std::vector<ColourRun> highlightLine(QStringView line);

}  // namespace lintrel
