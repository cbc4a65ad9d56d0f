#include "system/options_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

#include "system/file_system.h"
#include "text/ascii.h"
#include "text/code_page_1250.h"

namespace lintrel {

namespace {

constexpr std::string_view kSection = "Parameters";
constexpr std::string_view kApprovedCommand = "Approved_Emulator_Command_";
constexpr std::size_t kMostApprovedCommands = 1000;

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The section a "[name]" line opens, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return trim(line.substr(1, line.size() - 2));
}

// The key of a "key=value" line, or nullopt.
std::optional<std::string_view> keyName(std::string_view line) {
    const auto t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') return std::nullopt;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return trim(line.substr(0, equals));
}

std::string approvedCommandKey(std::size_t index) { return std::string(kApprovedCommand) + std::to_string(index + 1); }

// The quotes keep blanks at either end, which the value's trimming would drop.
std::string inQuotes(std::string_view text) {
    std::string result = "\"";
    result += text;
    result += '"';
    return result;
}

std::string withoutQuotes(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return std::string(text);
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile file;
    file.lines_ = splitProjectLines(text);
    return file;
}

// Read as a project is: a FIFO or a device in its place would block or never end.
IniFile IniFile::load(const std::filesystem::path& path) {
    std::string bytes;
    if (readFileBytes(path, bytes)) return {};
    return parse(bytes);
}

std::optional<IniFile> IniFile::loadForUpdate(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return IniFile{};
    if (error || !std::filesystem::is_regular_file(status)) return std::nullopt;
    std::string bytes;
    if (readFileBytes(path, bytes)) return std::nullopt;
    return parse(bytes);
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const auto& line : lines_) {
        if (const auto name = sectionName(line)) {
            inSection = equalsIgnoringCase(*name, section);
        } else if (inSection) {
            if (const auto k = keyName(line); k && equalsIgnoringCase(*k, key)) {
                return std::string(trim(std::string_view(line).substr(line.find('=') + 1)));
            }
        }
    }
    return std::nullopt;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::string newLine = std::string(key) + "=" + std::string(value);
    bool inSection = false;
    std::optional<std::size_t> sectionEnd;  // where a missing key goes
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = sectionName(lines_[i])) {
            if (inSection) break;
            inSection = equalsIgnoringCase(*name, section);
            if (inSection) sectionEnd = i + 1;
        } else if (inSection) {
            if (const auto k = keyName(lines_[i]); k && equalsIgnoringCase(*k, key)) {
                lines_[i] = newLine;
                return;
            }
            if (!trim(lines_[i]).empty()) sectionEnd = i + 1;
        }
    }
    if (sectionEnd) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), newLine);
        return;
    }
    if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.emplace_back();
    std::string header = "[";  // built by appends: GCC 12 warns wrongly on "[" + string
    header += section;
    header += ']';
    lines_.push_back(std::move(header));
    lines_.push_back(newLine);
}

std::string IniFile::text() const { return joinProjectLines(lines_); }

namespace {

std::optional<long long> parseNumber(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

// "1" on, "0" off, anything else the default.
bool readSwitch(const IniFile& file, std::string_view key, bool fallback) {
    const auto number = parseNumber(file.value(kSection, key).value_or(""));
    return number == 1 ? true : number == 0 ? false : fallback;
}

int readZoom(const IniFile& file) {
    const auto number = parseNumber(file.value(kSection, "Zoom").value_or(""));
    if (!number || *number < Options::kMinimumZoom || *number > Options::kMaximumZoom) return Options::kDefaultZoom;
    return static_cast<int>(*number);
}

ColourSchemeId readColourScheme(const IniFile& file) {
    const std::string name = file.value(kSection, "Colour_Scheme").value_or("");
    for (std::size_t i = 0; i < kColourSchemeNames.size(); ++i) {
        if (equalsIgnoringCase(name, kColourSchemeNames[i])) return static_cast<ColourSchemeId>(i);
    }
    return ColourSchemeId::Classic;
}

std::string recentKey(std::size_t index) { return "Recent" + std::to_string(index + 1); }

// A folder is never a project; a vanished file stays until the user picks it.
std::vector<std::string> readRecentProjects(const IniFile& file) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < Options::kRecentProjects; ++i) {
        const std::string path = file.value(kSection, recentKey(i)).value_or("");
        std::error_code error;
        if (path.empty() || std::filesystem::is_directory(std::filesystem::path(path), error)) continue;
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
    }
    return paths;
}

}  // namespace

bool readSpaceRemoval(const IniFile& file) {
    const auto raw = file.value(kSection, "Space_Remove");
    if (!raw) return Options{}.spaceRemoval;
    const auto number = parseNumber(*raw);
    return !number || *number != 0;
}

Options readOptions(const IniFile& file) {
    Options options;
    options.storedVersion = file.value(kSection, "SWVer").value_or("");
    options.spaceRemoval = readSpaceRemoval(file);
    options.updateServer = file.value(kSection, "Update_Server");
    options.manualAddress = file.value(kSection, "Manual_Address");
    // A line the user deleted leaves a gap; the ones after it still count.
    // Storing closes the gap and leaves the last key as it was: a repeat is
    // read once, so the list does not grow by one at every close.
    auto& approved = options.approvedEmulatorCommands;
    for (std::size_t i = 0; i < kMostApprovedCommands; ++i) {
        const auto command = file.value(kSection, approvedCommandKey(i));
        if (!command) continue;
        std::string text = withoutQuotes(*command);
        if (std::find(approved.begin(), approved.end(), text) == approved.end()) approved.push_back(std::move(text));
    }
    options.lineNumbers = readSwitch(file, "Line_Numbers", options.lineNumbers);
    options.basicLineNumbers = readSwitch(file, "BASIC_Line_Numbers", options.basicLineNumbers);
    options.currentLine = readSwitch(file, "Current_Line", options.currentLine);
    options.buildDialogs = readSwitch(file, "Build_Dialogs", options.buildDialogs);
    options.unusedLabelWarnings = readSwitch(file, "Unused_Label_Warnings", options.unusedLabelWarnings);
    options.zoomPercent = readZoom(file);
    options.colourScheme = readColourScheme(file);
    options.recentProjects = readRecentProjects(file);
    options.windowGeometry = file.value(kSection, "Window_Geometry").value_or("");
    options.windowState = file.value(kSection, "Window_State").value_or("");
    return options;
}

void storeOptions(IniFile& file, const Options& options) {
    auto storeSwitch = [&](std::string_view key, bool on) { file.setValue(kSection, key, on ? "1" : "0"); };
    file.setValue(kSection, "SWVer", options.storedVersion);
    storeSwitch("Space_Remove", options.spaceRemoval);
    storeSwitch("Line_Numbers", options.lineNumbers);
    storeSwitch("BASIC_Line_Numbers", options.basicLineNumbers);
    storeSwitch("Current_Line", options.currentLine);
    storeSwitch("Build_Dialogs", options.buildDialogs);
    storeSwitch("Unused_Label_Warnings", options.unusedLabelWarnings);
    file.setValue(kSection, "Zoom", std::to_string(options.zoomPercent));
    file.setValue(kSection, "Colour_Scheme", kColourSchemeNames[static_cast<std::size_t>(options.colourScheme)]);
    if (!options.windowGeometry.empty()) file.setValue(kSection, "Window_Geometry", options.windowGeometry);
    if (!options.windowState.empty()) file.setValue(kSection, "Window_State", options.windowState);
    // Keys of a longer list written earlier are emptied, never left behind.
    for (std::size_t i = 0; i < Options::kRecentProjects; ++i) {
        if (i < options.recentProjects.size()) file.setValue(kSection, recentKey(i), options.recentProjects[i]);
        else if (file.value(kSection, recentKey(i))) file.setValue(kSection, recentKey(i), "");
    }
    for (std::size_t i = 0; i < options.approvedEmulatorCommands.size() && i < kMostApprovedCommands; ++i)
        file.setValue(kSection, approvedCommandKey(i), inQuotes(options.approvedEmulatorCommands[i]));
}

std::optional<std::string> saveIniFile(const IniFile& file, const std::filesystem::path& path) {
    const std::string text = file.text();
    return writeFileReplacing(path, std::vector<unsigned char>(text.begin(), text.end()));
}

}  // namespace lintrel
