// Bringing programs in: an image (the platform read from it) or a numbered
// text listing (the platform given) becomes a project, and an image can be
// listed. What lintrelc's "list" and "import" and the window's File > Import
// share.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/unnumber.h"

namespace lintrel {

struct ImportRequest {
    std::string_view bytes;               // the whole file
    std::string fileName;                 // its name: the extension tells an image from a listing
    const Platform* platform = nullptr;   // required for a listing; for an image, only where it cannot tell
    bool lenient = false;                 // for listings
    std::optional<Renumbering> renumber;
};

// The project, or the error that stopped the import (with its place in the
// file); warnings either way.
ImportedProject importProgram(const ImportRequest& request);

struct ImageListing {
    const Platform* platform = nullptr;
    std::vector<std::string> lines;  // "10 PRINT 1", code page 1250
    std::vector<ImportMessage> warnings;
    std::optional<ImportMessage> error;
};

// The numbered listing of an image, in Lintrel's notation: importing it as a
// listing gives the same project as importing the image.
ImageListing listImage(std::string_view bytes, std::string_view fileName, const Platform* platform);

// "FILE:LINE:COLUMN: KIND: MESSAGE" for a listing's place (from 1), "FILE:
// offset N (HEX): KIND: MESSAGE" for an image's, "FILE: KIND: MESSAGE" for none.
std::string describeImportMessage(std::string_view fileName, const ImportMessage& message, std::string_view kind);

}  // namespace lintrel
