// The editor's colour schemes: Classic (the original colours), Readable
// (every token colour at least 4.5:1 against the background and the current
// line) and Dark (the same on a dark background). Pure data; the editor and
// the highlighter take their colours from the chosen row.
#pragma once

#include <array>

#include "editor/line_highlighter.h"
#include "system/options_file.h"

namespace lintrel {

struct ColourScheme {
    Rgb background;
    Rgb currentLine;    // behind the caret's line when that is switched on
    bool ownSelection;  // false: the selection keeps the desktop's colours
    Rgb selection{};
    Rgb selectedText{};
    Rgb gutterBackground;
    Rgb gutterText;             // source line numbers
    Rgb gutterBasic;            // BASIC line numbers
    Rgb error;                  // build panel entries and gutter marks of errors
    Rgb warning;                // ... of warnings; also references to no label
    std::array<Rgb, 7> tokens;  // indexed by HighlightColour; Black is the plain text
};

// Indexed by ColourSchemeId.
inline constexpr std::array<ColourScheme, 3> kColourSchemes = {{
    // Classic
    {
        .background = {255, 255, 255},
        .currentLine = {232, 240, 254},
        .ownSelection = false,
        .gutterBackground = {240, 240, 240},
        .gutterText = {128, 128, 128},
        .gutterBasic = {0, 100, 160},
        .error = {210, 0, 0},
        .warning = {230, 130, 0},
        .tokens = kHighlightRgb,
    },
    // Readable
    {
        .background = {255, 255, 255},
        .currentLine = {232, 240, 254},
        .ownSelection = false,
        .gutterBackground = {238, 238, 238},
        .gutterText = {85, 85, 85},
        .gutterBasic = {0, 90, 150},
        .error = {190, 0, 0},
        .warning = {170, 85, 0},
        .tokens = {{
            {0, 0, 0},        // plain text
            {0, 0, 220},      // label
            {150, 0, 150},    // directive
            {0, 120, 0},      // number
            {100, 100, 100},  // comment
            {160, 80, 0},     // string
            {200, 0, 0},      // brace
        }},
    },
    // Dark
    {
        .background = {30, 30, 30},
        .currentLine = {50, 52, 60},
        .ownSelection = true,
        .selection = {38, 79, 120},
        .selectedText = {255, 255, 255},
        .gutterBackground = {40, 40, 40},
        .gutterText = {160, 160, 160},
        .gutterBasic = {120, 190, 255},
        .error = {255, 100, 100},
        .warning = {255, 180, 60},
        .tokens = {{
            {220, 220, 220},  // plain text
            {120, 170, 255},  // label
            {230, 130, 230},  // directive
            {120, 210, 120},  // number
            {160, 160, 160},  // comment
            {240, 170, 80},   // string
            {255, 120, 120},  // brace
        }},
    },
}};

inline const ColourScheme& colourScheme(ColourSchemeId id) {
    return kColourSchemes[static_cast<std::size_t>(id)];
}

}  // namespace lintrel
