// Fuzz target: reading Options.ini. Whatever the file holds, the options read
// from it are in range, storing them and reading the result again gives the
// same options, and storing a second time changes nothing more.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "require.h"
#include "system/options_file.h"
#include "text/code_page_1250.h"

using lintrel::IniFile;
using lintrel::Options;
using lintrel::fuzz::require;

namespace {

void requireInRange(const Options& options) {
    require(options.zoomPercent >= Options::kMinimumZoom && options.zoomPercent <= Options::kMaximumZoom,
            "a zoom out of range");
    require(static_cast<std::size_t>(options.colourScheme) < lintrel::kColourSchemeNames.size(),
            "a colour scheme without a name");
    const auto& approved = options.approvedEmulatorCommands;
    for (std::size_t i = 0; i < approved.size(); ++i)
        require(std::find(approved.begin(), approved.begin() + static_cast<std::ptrdiff_t>(i), approved[i]) ==
                    approved.begin() + static_cast<std::ptrdiff_t>(i),
                "an approved emulator command twice");
    const auto& recent = options.recentProjects;
    require(recent.size() <= Options::kRecentProjects, "more recent projects than the menu holds");
    for (std::size_t i = 0; i < recent.size(); ++i) {
        require(!recent[i].empty(), "an empty recent project");
        require(std::find(recent.begin(), recent.begin() + static_cast<std::ptrdiff_t>(i), recent[i]) ==
                    recent.begin() + static_cast<std::ptrdiff_t>(i),
                "a recent project twice");
    }
}

// The keys storeOptions writes, compared after a trip through the file.
void requireSameStored(const Options& before, const Options& after) {
    require(after.storedVersion == before.storedVersion, "SWVer changed by storing");
    require(after.spaceRemoval == before.spaceRemoval, "Space_Remove changed by storing");
    require(after.lineNumbers == before.lineNumbers && after.basicLineNumbers == before.basicLineNumbers &&
                after.currentLine == before.currentLine && after.buildDialogs == before.buildDialogs,
            "a view switch changed by storing");
    require(after.zoomPercent == before.zoomPercent, "Zoom changed by storing");
    require(after.colourScheme == before.colourScheme, "Colour_Scheme changed by storing");
    require(after.recentProjects == before.recentProjects, "the recent projects changed by storing");
    // A gap in the numbering is closed when stored, and keys past the list
    // stay as they were: the commands read first come back first.
    const auto& approved = before.approvedEmulatorCommands;
    require(after.approvedEmulatorCommands.size() >= approved.size() &&
                std::equal(approved.begin(), approved.end(), after.approvedEmulatorCommands.begin()),
            "an approved emulator command lost by storing");
}

// The "[name]" lines, in order: storing adds keys, never a section or its loss.
std::vector<std::string> sectionLines(std::string_view text) {
    std::vector<std::string> sections;
    for (const auto& line : lintrel::splitProjectLines(text)) {
        const auto first = line.find_first_not_of(" \t"), last = line.find_last_not_of(" \t");
        if (first != std::string::npos && line[first] == '[' && line[last] == ']') sections.push_back(line);
    }
    return sections;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniFile file = IniFile::parse(text);
    const Options options = lintrel::readOptions(file);
    requireInRange(options);

    const std::string before = file.text();
    lintrel::storeOptions(file, options);
    const std::string stored = file.text();
    const auto sectionsBefore = sectionLines(before), sectionsAfter = sectionLines(stored);
    require(sectionsAfter.size() >= sectionsBefore.size() && sectionsAfter.size() <= sectionsBefore.size() + 1 &&
                std::equal(sectionsBefore.begin(), sectionsBefore.end(), sectionsAfter.begin()),
            "a section lost or changed by storing");
    IniFile again = IniFile::parse(stored);
    require(again.text() == stored, "the stored file does not read back as written");
    const Options reread = lintrel::readOptions(again);
    requireInRange(reread);
    requireSameStored(options, reread);

    lintrel::storeOptions(again, reread);
    require(again.text() == stored, "storing the same options twice changed the file");
    return 0;
}
