#include "system/options_file.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>

#include "system/file_system.h"
#include "text/code_page_1250.h"

namespace lintrel {

namespace {

constexpr std::string_view kSection = "Parameters";

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
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

}  // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile file;
    file.lines_ = splitProjectLines(text);
    return file;
}

IniFile IniFile::load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return parse(bytes.str());
}

std::optional<IniFile> IniFile::loadForUpdate(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return IniFile{};
    if (error || !std::filesystem::is_regular_file(status)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return parse(bytes.str());
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

Options readOptions(const IniFile& file) {
    Options options;
    options.storedVersion = file.value(kSection, "SWVer").value_or("");
    if (const auto raw = file.value(kSection, "Space_Remove")) {
        std::string_view digits = trim(*raw);
        if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
        long long number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        const bool isNumber = !digits.empty() && error == std::errc() && end == digits.data() + digits.size();
        options.spaceRemoval = !isNumber || number != 0;
    }
    options.updateServer = file.value(kSection, "Update_Server");
    options.manualAddress = file.value(kSection, "Manual_Address");
    return options;
}

void storeOptions(IniFile& file, const Options& options) {
    file.setValue(kSection, "SWVer", options.storedVersion);
    file.setValue(kSection, "Space_Remove", options.spaceRemoval ? "1" : "0");
}

std::optional<std::string> saveIniFile(const IniFile& file, const std::filesystem::path& path) {
    const std::string text = file.text();
    return writeFileReplacing(path, std::vector<unsigned char>(text.begin(), text.end()));
}

}  // namespace lintrel
