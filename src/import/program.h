// A numbered program on its way into a project: its lines as the machine
// stores them (read from an image, or typed lines stored as the machine's
// editor stores them), and what the import has to say about it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platforms/platforms.h"

namespace lintrel {

struct ProgramLine {
    long number = 0;
    // The bytes after the line number; on "BASIC" and "ABC80", which store
    // text, the text as typed.
    std::string bytes;
    int sourceLine = -1;     // a listing's line (from 0) the line came from; -1 for an image
    std::size_t offset = 0;  // an image's file offset of the line
};

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

struct Program {
    const Platform* platform = nullptr;
    std::vector<ProgramLine> lines;  // in ascending order of their numbers
};

// The place of a program line in its input: its listing line or its offset.
inline InputPlace placeOf(const ProgramLine& line) {
    InputPlace place;
    if (line.sourceLine >= 0) {
        place.line = line.sourceLine;
    } else {
        place.offset = line.offset;
        place.basicLine = line.number;
    }
    return place;
}

}  // namespace lintrel
