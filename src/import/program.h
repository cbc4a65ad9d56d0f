// A numbered program on its way into a project: its lines as the machine
// stores them (read from an image, or typed lines stored as the machine's
// editor stores them), and what the import has to say about it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "images/program.h"
#include "platforms/platforms.h"

namespace lintrel {

// Where in the input file a message belongs: a listing's line and column
// (from 0), or an image's offset.
struct InputPlace {
    int line = -1;
    int column = -1;
    std::optional<std::size_t> offset;
    long basicLine = -1;  // with an offset: the program line there
};

struct ImportMessage {
    std::string text;
    InputPlace place;
};

struct NumberedProgram {
    const Platform* platform = nullptr;
    // In ascending order of their numbers; on "BASIC" and "ABC80", which store
    // text, each line's text as typed. A line's origin is the listing's line
    // (from 0) it came from, or an image's file offset of the line.
    Program lines;
};

// The place of a program line in its input: its listing line or its offset.
inline InputPlace placeOf(const Program& lines, std::size_t line) {
    InputPlace place;
    if (lines.originKind() == Program::Origin::Line) {
        place.line = static_cast<int>(lines.origin(line));
    } else {
        place.offset = lines.origin(line);
        place.basicLine = lines.number(line);
    }
    return place;
}

}  // namespace lintrel
