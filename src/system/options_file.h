// Options.ini beside the executable: the common INI layout, read once at
// start-up and written once at close. Writing a key keeps every other
// section, key and comment of the file as it was.
#pragma once

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

// The "[Parameters]" keys the program uses.
struct Options {
    std::string storedVersion;   // SWVer; empty when missing
    bool spaceRemoval = true;    // Space_Remove; any integer but 0, a non-number or a missing key is on
    // Site settings that override the build's defaults; read only, never
    // written back. nullopt when the key is missing; an empty value switches
    // the feature off.
    std::optional<std::string> updateServer;   // Update_Server: "http://host:port" of the update server
    std::optional<std::string> manualAddress;  // Manual_Address: web address of the user manual
};

Options readOptions(const IniFile& file);
// Writes SWVer and Space_Remove only.
void storeOptions(IniFile& file, const Options& options);

// Writes the file so that a failed write leaves the old one in place; the
// error names the path.
std::optional<std::string> saveIniFile(const IniFile& file, const std::filesystem::path& path);

}  // namespace lintrel
