// Options.ini beside the executable: the common INI layout, read once at
// start-up and written once at close. Writing a key keeps every other
// section, key and comment of the file as it was.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

class IniFile {
public:
    static IniFile parse(std::string_view text);
    // A missing or unreadable file reads as an empty one.
    static IniFile load(const std::filesystem::path& path);
    // For rewriting a file: a missing file reads as an empty one, but one
    // that exists and cannot be read is nullopt, so that its other sections
    // are not replaced by nothing.
    static std::optional<IniFile> loadForUpdate(const std::filesystem::path& path);

    // Section and key names are compared without regard to ASCII letter case.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;  // CR LF line ends

private:
    std::vector<std::string> lines_;
};

// The colour schemes of View > Colour scheme, by their names in Options.ini.
enum class ColourSchemeId { Classic, Readable, Dark };
inline constexpr std::array<std::string_view, 3> kColourSchemeNames = {"Classic", "Readable", "Dark"};

// The "[Parameters]" keys the program uses, with their defaults. A value that
// is missing, not a number or out of range reads as its default.
struct Options {
    std::string storedVersion;   // SWVer; empty when missing
    bool spaceRemoval = true;    // Space_Remove; any integer but 0, a non-number or a missing key is on
    // Site settings that override the build's defaults; read only, never
    // written back. nullopt when the key is missing; an empty value switches
    // the feature off.
    std::optional<std::string> updateServer;   // Update_Server: "http://host:port" of the update server
    std::optional<std::string> manualAddress;  // Manual_Address: web address of the user manual
    // Approved_Emulator_Command_1, _2, ...: "&E=" commands this user let run
    // without asking, each its exact text in double quotes. Only ever added to.
    std::vector<std::string> approvedEmulatorCommands;

    // The window's view, "1" on and "0" off.
    bool lineNumbers = true;          // Line_Numbers: source line numbers in the gutter
    bool basicLineNumbers = true;     // BASIC_Line_Numbers: the numbers on the machine
    bool currentLine = false;         // Current_Line: the caret's line highlighted
    bool buildDialogs = true;         // Build_Dialogs: build errors and sizes also in message boxes
    bool unusedLabelWarnings = false; // Unused_Label_Warnings: also warn about labels nothing references
    int zoomPercent = kDefaultZoom;   // Zoom: kMinimumZoom to kMaximumZoom
    ColourSchemeId colourScheme = ColourSchemeId::Classic;  // Colour_Scheme: a name of kColourSchemeNames
    // Recent1 to Recent8, newest first: project paths (UTF-8); folders,
    // empty values and repeats are left out.
    std::vector<std::string> recentProjects;
    // Window_Geometry, Window_State: the window's size and place and its
    // panels' places and sizes, as the window toolkit writes them (base64);
    // empty: the start size, panels where they first go.
    std::string windowGeometry;
    std::string windowState;

    static constexpr int kDefaultZoom = 100;
    static constexpr int kMinimumZoom = 50;
    static constexpr int kMaximumZoom = 300;
    static constexpr std::size_t kRecentProjects = 8;
};

Options readOptions(const IniFile& file);
// Space_Remove alone, for lintrelc, which needs no other key.
bool readSpaceRemoval(const IniFile& file);
// Writes every key but the two site settings (the keys of approved
// commands not in the list stay as they are).
void storeOptions(IniFile& file, const Options& options);

// Writes the file so that a failed write leaves the old one in place; the
// error names the path.
std::optional<std::string> saveIniFile(const IniFile& file, const std::filesystem::path& path);

}  // namespace lintrel
