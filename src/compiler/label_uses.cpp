// The line assembler's reading of a line, kept to what places labels: the
// definition in the first column, then program text unit by unit, with the
// modes (strings, remarks, DATA items) in which a "\" names nothing.
#include "compiler/label_uses.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "compiler/line_map.h"
#include "platforms/platforms.h"

namespace lintrel {
namespace {

constexpr char kTab = '\t';

unsigned char upperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }

std::string fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
    return folded;
}

bool startsWithLetters(std::string_view line, std::size_t pos, std::string_view capitals) {
    if (capitals.empty() || line.size() - pos < capitals.size()) return false;
    for (std::size_t k = 0; k < capitals.size(); ++k) {
        if (upperAscii(static_cast<unsigned char>(line[pos + k])) != static_cast<unsigned char>(capitals[k]))
            return false;
    }
    return true;
}

// The letters, digits and "_" that an undefined reference is taken to span,
// as the "is not defined" warning spans them.
bool isNameByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c >= 0xC0;
}

std::size_t definitionEnd(std::string_view line) {
    if (line.empty() || line[0] != '\\') return 0;
    return std::min(line.find_first_of(std::string_view("| \t", 3)), line.size());
}

struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// The defined names, folded, each to the first label that defines it.
class LabelNames {
public:
    explicit LabelNames(const std::vector<LabelInfo>& labels) {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            std::string folded = fold(labels[i].name);
            lengths_.push_back(folded.size());
            byName_.emplace(std::move(folded), static_cast<int>(i));
        }
        std::sort(lengths_.begin(), lengths_.end(), std::greater<>());
        lengths_.erase(std::unique(lengths_.begin(), lengths_.end()), lengths_.end());
    }

    // The longest name that begins `text`: its label and length, or {-1, 0}.
    std::pair<int, std::size_t> longestAt(std::string_view text) {
        const std::size_t reach = lengths_.empty() ? 0 : std::min(text.size(), lengths_.front());
        scratch_ = fold(text.substr(0, reach));
        for (const std::size_t length : lengths_) {
            if (length > reach) continue;
            const auto found = byName_.find(std::string_view(scratch_).substr(0, length));
            if (found != byName_.end()) return {found->second, length};
        }
        return {-1, 0};
    }

private:
    std::unordered_map<std::string, int, FoldedHash, std::equal_to<>> byName_;
    std::vector<std::size_t> lengths_;  // distinct, longest first
    std::string scratch_;
};

// The directives a line's scan ends at, as far as the numbering and the
// platform's remark and DATA rules need them.
struct Numbering {
    const Platform* platform = &noPlatform();
    long long next = 1;
    long long increment = 1;
};

std::optional<long long> parseNumber(std::string_view value) {
    long long number = 0;
    if (!value.empty() && value[0] == '+') value.remove_prefix(1);
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return number;
}

// Whether a directive begins at `pos`; if so it is carried out.
bool runDirective(std::string_view line, std::size_t pos, Numbering& numbering) {
    if (line.size() - pos < 3 || line[pos + 2] != '=') return false;
    const char kind = line[pos + 1];
    if (kind != 'E' && kind != 'P' && kind != 'C' && kind != 'I') return false;
    const std::size_t start = pos + 3;
    const std::size_t end = std::min(line.find_first_of(std::string_view("| \t", 3), start), line.size());
    const std::string_view value = line.substr(start, end - start);
    if (kind == 'P') {
        if (const Platform* platform = findPlatform(value)) numbering.platform = platform;
    } else if (kind == 'C' || kind == 'I') {
        const std::optional<long long> number = parseNumber(value);
        if (number && kind == 'C') numbering.next = *number;
        if (number && kind == 'I' && *number >= 1) numbering.increment = *number;
    }
    return true;
}

// One line's scan after its definition.
class LineScan {
public:
    LineScan(std::string_view line, int index, const Platform& platform, LabelNames& names,
             std::vector<LabelUse>& uses)
        : line_(line), index_(index), platform_(platform), names_(names), uses_(uses) {}

    // Reads the program text from `pos`; whether it holds anything but TABs.
    bool run(std::size_t pos, Numbering& numbering) {
        pos_ = pos;
        while (pos_ < line_.size()) {
            const unsigned char c = static_cast<unsigned char>(line_[pos_]);
            if (c == '|') break;
            if (c == kTab) {
                ++pos_;
                continue;
            }
            hasText_ = true;
            if (c == '{') {  // one unit, never split
                pos_ += 4;
                continue;
            }
            if (c == '&' && runDirective(line_, pos_, numbering)) break;
            if (c == '\\' && !string_ && !data_) {
                noteReference();
                continue;
            }
            if (!string_ && !data_ && startRemarkOrData(c)) continue;
            switchModes(c);
            ++pos_;
        }
        return hasText_;
    }

private:
    void noteReference() {
        const auto [label, length] = names_.longestAt(line_.substr(pos_));
        if (label >= 0) {
            uses_.push_back({index_, static_cast<int>(pos_), static_cast<int>(length), false, label});
            pos_ += length;
            return;
        }
        std::size_t end = pos_ + 1;
        while (end < line_.size() && isNameByte(static_cast<unsigned char>(line_[end]))) ++end;
        if (end > pos_ + 1)
            uses_.push_back({index_, static_cast<int>(pos_), static_cast<int>(end - pos_), false, -1});
        ++pos_;
    }

    bool startRemarkOrData(unsigned char c) {
        if (startsWithLetters(line_, pos_, "REM")) {
            string_ = remark_ = true;
            pos_ += 3;
            return true;
        }
        if (c == '\'' && !platform_.apostropheRemark.empty()) {
            string_ = remark_ = true;
            ++pos_;
            return true;
        }
        // Every platform's DATA items are data, whether or not its own
        // tokenizer keeps them as typed.
        const std::string_view keyword = platform_.dataKeyword.empty() ? "DATA" : platform_.dataKeyword;
        if (startsWithLetters(line_, pos_, keyword)) {
            data_ = true;
            pos_ += keyword.size();
            return true;
        }
        return false;
    }

    void switchModes(unsigned char c) {
        if (c == '"' && !remark_) {
            if (data_) {
                quotedItem_ = !quotedItem_;
            } else {
                string_ = !string_;
            }
        }
        if (data_ && !quotedItem_ && c == ':') data_ = false;
    }

    std::string_view line_;
    int index_;
    const Platform& platform_;
    LabelNames& names_;
    std::vector<LabelUse>& uses_;
    std::size_t pos_ = 0;
    bool hasText_ = false;
    bool string_ = false;      // strings and remarks
    bool remark_ = false;      // to the line's end
    bool data_ = false;        // the items after DATA
    bool quotedItem_ = false;  // inside a quoted DATA item
};

std::vector<LabelInfo> collectDefinitions(const std::vector<std::string>& lines) {
    std::vector<LabelInfo> labels;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const std::size_t end = definitionEnd(lines[i]); end > 0)
            labels.push_back({lines[i].substr(0, end), static_cast<int>(i), kNoBasicLine, 0});
    }
    return labels;
}

// A label takes the number of the next line that makes program text, or,
// where none follows, the number due when it was defined. The gutter's map
// gives the numbered lines; the scan gives the directives and the lines
// before the first "&P=", which make text but carry no number.
void numberLine(Numbering& numbering, const BasicLineMap& map, std::size_t line, bool hasText,
                std::vector<LabelInfo>& labels, std::vector<std::size_t>& awaiting) {
    if (line >= static_cast<std::size_t>(map.mappedLines)) return;
    long long number = map.numbers[line];
    if (number == kNoBasicLine && hasText && numbering.platform->lineNumberForm == LineNumberForm::None)
        number = numbering.next;
    if (number == kNoBasicLine) return;
    for (const std::size_t label : awaiting) labels[label].basicLine = number;
    awaiting.clear();
    numbering.next = number + numbering.increment;
}

}  // namespace

LabelUses findLabelUses(const std::vector<std::string>& projectLines, const BuildOptions& options) {
    return findLabelUses(projectLines, mapBasicLines(projectLines, options));
}

LabelUses findLabelUses(const std::vector<std::string>& projectLines, const BasicLineMap& map) {
    LabelUses result;
    result.labels = collectDefinitions(projectLines);
    LabelNames names(result.labels);
    Numbering numbering;
    std::size_t nextLabel = 0;
    std::vector<std::size_t> awaiting;
    for (std::size_t i = 0; i < projectLines.size(); ++i) {
        const std::string_view line = projectLines[i];
        std::size_t pos = 0;
        if (const std::size_t end = definitionEnd(line); end > 0) {
            LabelInfo& label = result.labels[nextLabel];
            if (i < static_cast<std::size_t>(map.mappedLines)) {
                label.basicLine = numbering.next;
                awaiting.push_back(nextLabel);
            }
            result.uses.push_back({static_cast<int>(i), 0, static_cast<int>(end), true,
                                   static_cast<int>(nextLabel++)});
            pos = end < line.size() && line[end] == '|' ? line.size() : end + 1;
        }
        const Platform& platform = *numbering.platform;
        const bool hasText = LineScan(line, static_cast<int>(i), platform, names, result.uses).run(pos, numbering);
        numberLine(numbering, map, i, hasText, result.labels, awaiting);
    }
    // Without a platform the references stay as written: no number stands for them.
    if (numbering.platform->lineNumberForm == LineNumberForm::None || !numbering.platform->resolvesLabels) {
        for (LabelInfo& label : result.labels) label.basicLine = kNoBasicLine;
    }
    for (const LabelUse& use : result.uses) {
        if (!use.definition && use.label >= 0) ++result.labels[static_cast<std::size_t>(use.label)].references;
    }
    return result;
}

const LabelUse* findLabelUseAt(const LabelUses& uses, int line, int column) {
    auto it = std::lower_bound(uses.uses.begin(), uses.uses.end(), line,
                               [](const LabelUse& use, int wanted) { return use.line < wanted; });
    for (; it != uses.uses.end() && it->line == line; ++it) {
        if (column >= it->column && column <= it->column + it->length) return &*it;
    }
    return nullptr;
}

namespace {

std::optional<std::string> checkName(std::string_view name) {
    if (name.size() <= 1) return "A label needs a name after its \"\\\".";
    for (const char c : name.substr(1)) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view(" |\\{&\"").find(c) != std::string_view::npos)
            return "\"" + std::string(name) +
                   "\" is not a label name: a name holds no space, TAB, \"|\", \"\\\", \"{\", \"&\" or "
                   "double quote.";
    }
    return std::nullopt;
}

// One name begins the other, so the longer one takes a reference to the
// shorter wherever the text after it goes on with the rest.
bool beginAlike(std::string_view a, std::string_view b) { return a.starts_with(b) || b.starts_with(a); }

// Names that begin alike are refused only where the old name did not begin
// alike with that label already: renaming within a family such as "\loop"
// and "\loop2" reads every reference as before.
std::optional<std::string> checkOtherLabels(const LabelUses& uses, int label, std::string_view name) {
    const std::string folded = fold(name);
    const std::string old = fold(uses.labels[static_cast<std::size_t>(label)].name);
    auto where = [](const LabelInfo& other) { return " (line " + std::to_string(other.line + 1) + ")"; };
    for (const LabelInfo& other : uses.labels) {
        if (fold(other.name) == folded && folded != old)
            return "The label \"" + other.name + "\" is already defined" + where(other) + ".";
    }
    for (const LabelInfo& other : uses.labels) {
        const std::string otherFolded = fold(other.name);
        if (otherFolded == old) continue;  // the label itself, or a second definition of it
        if (beginAlike(otherFolded, folded) && !beginAlike(otherFolded, old))
            return "\"" + std::string(name) + "\" and the label \"" + other.name + "\"" + where(other) +
                   " begin alike: a reference to the one could be read as the other.";
    }
    return std::nullopt;
}

}  // namespace

LabelRename planLabelRename(const LabelUses& uses, int label, std::string_view newName) {
    LabelRename rename;
    rename.newName = newName.starts_with('\\') ? std::string(newName) : "\\" + std::string(newName);
    if (label < 0 || static_cast<std::size_t>(label) >= uses.labels.size()) {
        rename.refusal = "There is no label here to rename.";
        return rename;
    }
    rename.refusal = checkName(rename.newName);
    if (!rename.refusal) rename.refusal = checkOtherLabels(uses, label, rename.newName);
    if (rename.refusal) return rename;
    for (const LabelUse& use : uses.uses) {
        if (use.label == label) rename.sites.push_back(use);
    }
    return rename;
}

}  // namespace lintrel
