// Warnings: mistakes the build does not stop for, since the output is what
// the project says, but that the machine would only show at run time. Each
// check is one pass over what the build reads anyway.
#include <algorithm>
#include <cstring>

#include "compiler/warnings.h"
#include "text/ascii.h"

namespace lintrel::passes {
namespace {

bool before(const Diagnostic& a, const Diagnostic& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
}

std::string quotedName(std::string_view name) {
    std::string text = "\"";
    text += name;
    text += '"';
    return text;
}

// The length of the UTF-8 sequence at `at`, or 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;  // the second byte's range, narrower after some leads
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
    }
    return length;
}

// The digits as written, leading zeros dropped as the machine drops them.
std::string lineMissingWarning(std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    const std::string_view shown =
        first == std::string_view::npos ? std::string_view("0") : digits.substr(first);
    return "Line " + std::string(shown) + " does not exist in this program.";
}

// As many characters as std::to_string gives, without making the string.

struct DefinitionWarning {
    int line;
    std::uint32_t row;    // of the sorted table
    std::uint32_t first;  // the row of the name's first definition
    bool repeated;        // false: the name is only "\"
};

}  // namespace

void WarningList::append(const WarningList& later) {
    for (const Diagnostic& warning : later.kept_) {
        if (kept_.size() == kKeptWarnings) break;
        kept_.push_back(warning);
    }
    count_ += later.count_;
}

void WarningList::appendLine(const WarningList& first, const WarningList& second) {
    std::size_t a = 0;
    std::size_t b = 0;
    while (kept_.size() < kKeptWarnings && (a < first.kept_.size() || b < second.kept_.size())) {
        const bool takeFirst =
            b == second.kept_.size() || (a < first.kept_.size() && !before(second.kept_[b], first.kept_[a]));
        kept_.push_back(takeFirst ? first.kept_[a++] : second.kept_[b++]);
    }
    count_ += first.count_ + second.count_;
}

std::string undefinedLabelWarning(std::string_view reference) {
    return "Label " + quotedName(reference) + " is not defined.";
}

std::string gluedLabelWarning(std::string_view name, std::string_view rest) {
    std::string whole(name);
    whole += rest;
    return "Label " + quotedName(whole) + " is not defined; " + quotedName(name) + " is used and " +
           quotedName(rest) + " follows it.";
}

bool isReferenceNameByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0xC0;
}

void Utf8Check::read(std::string_view line, int lineIndex) {
    if (invalid_) return;
    std::size_t at = 0;
    while (at < line.size()) {
        // Eight ASCII bytes at a time: nearly every line of a project.
        if (line.size() - at >= 8) {
            std::uint64_t word;
            std::memcpy(&word, line.data() + at, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                at += 8;
                continue;
            }
        }
        if (static_cast<unsigned char>(line[at]) < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = utf8SequenceLength(line, at);
        if (length == 0) {
            invalid_ = true;
            return;
        }
        if (!first_) {
            first_ =
                Diagnostic{"This project looks like UTF-8 text; Lintrel reads projects as code page 1250.",
                           lineIndex, static_cast<int>(at), static_cast<int>(length), true};
        }
        at += length;
    }
}

void Utf8Check::add(WarningList& warnings) const {
    if (!invalid_ && first_) warnings.add([&] { return *first_; });
}

void warnAboutDefinitions(const LabelTable& sorted, const LabelIndex& index, WarningList& warnings) {
    std::vector<DefinitionWarning> found;
    for (const LabelIndex::Name& name : index.names) {
        // Rows of one name stay in definition order when sorted: the first is the first.
        const std::uint32_t first = index.rowsOfName[name.rowsBegin];
        for (std::uint32_t r = name.rowsBegin; r < name.rowsEnd; ++r) {
            const std::uint32_t row = index.rowsOfName[r];
            if (name.length == 1) found.push_back({sorted.lines[row], row, first, false});
            if (r > name.rowsBegin) found.push_back({sorted.lines[row], row, first, true});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const DefinitionWarning& a, const DefinitionWarning& b) { return a.line < b.line; });
    for (const DefinitionWarning& definition : found) {
        const std::string& name = sorted.names[definition.row];
        warnings.add([&] {
            std::string message = "A label named only \"\\\" replaces every backslash in the program.";
            if (definition.repeated) {
                message = "Label " + quotedName(name) + " is already defined on line " +
                          std::to_string(sorted.lines[definition.first] + 1) + ".";
            }
            return Diagnostic{std::move(message), definition.line, 0, static_cast<int>(name.size()), true};
        });
    }
}

void warnAboutUnusedLabels(const LabelTable& sorted, const LabelIndex& index, const std::vector<char>& used,
                           WarningList& warnings) {
    std::vector<std::pair<int, std::uint32_t>> unused;  // line, row
    for (std::size_t n = 0; n < index.names.size(); ++n) {
        if (used[n]) continue;
        const std::uint32_t row = index.rowsOfName[index.names[n].rowsBegin];
        unused.emplace_back(sorted.lines[row], row);
    }
    std::sort(unused.begin(), unused.end());
    for (const auto& entry : unused) {  // clang 14 cannot capture structured bindings
        const int line = entry.first;
        const std::string& name = sorted.names[entry.second];
        warnings.add([&] {
            return Diagnostic{"Label " + quotedName(name) + " is never used.", line, 0,
                              static_cast<int>(name.size()), true};
        });
    }
}

LineReferenceCheck::LineReferenceCheck(const Platform& platform, std::vector<long long> lineNumbers)
    : platform_(platform),
      numbers_(std::move(lineNumbers)),
      typedNumbers_(platform.lineNumberForm == LineNumberForm::None) {
    if (!std::is_sorted(numbers_.begin(), numbers_.end())) std::sort(numbers_.begin(), numbers_.end());
    if (!typedNumbers_) indexNumbers();
}

// A bit per number from the first to the last when they lie close enough
// that the bits take no more room than the numbers: one look-up per
// reference instead of a search that misses the cache at every step.
void LineReferenceCheck::indexNumbers() {
    present_.clear();
    if (numbers_.empty() || numbers_.front() < 0) return;
    const auto span = static_cast<unsigned long long>(numbers_.back() - numbers_.front());
    if (span / 64 >= numbers_.size() + 1024) return;
    present_.assign(span / 64 + 1, 0);
    for (const long long number : numbers_) {
        const auto bit = static_cast<unsigned long long>(number - numbers_.front());
        present_[bit / 64] |= 1ULL << (bit % 64);
    }
}

bool LineReferenceCheck::exists(long long number) const {
    if (present_.empty()) return std::binary_search(numbers_.begin(), numbers_.end(), number);
    if (number < numbers_.front() || number > numbers_.back()) return false;
    const auto bit = static_cast<unsigned long long>(number - numbers_.front());
    return (present_[bit / 64] >> (bit % 64)) & 1;
}

// With no platform a line is numbered only by the digits typed at its start.
void LineReferenceCheck::readTypedNumber(std::string_view stored) {
    std::size_t digits = 0;
    while (digits < stored.size() && stored[digits] >= '0' && stored[digits] <= '9') ++digits;
    if (digits > 0 && digits <= 18) numbers_.push_back(std::stoll(std::string(stored.substr(0, digits))));
}

// The warning at the reference's place in the source line: the nth of the
// references that line's text holds, when it holds as many as the finished
// line; else where the digits stand; else the line alone.
Diagnostic LineReferenceCheck::placed(std::string_view digits, std::size_t nth, std::string_view source,
                                      const AssembledLine& assembled, int lineIndex) {
    Diagnostic warning{lineMissingWarning(digits), lineIndex, 0, 0, false};
    const std::size_t begin = std::min(assembled.scanBegin, std::min(assembled.scanEnd, source.size()));
    const std::string_view scanned = source.substr(begin, std::min(assembled.scanEnd, source.size()) - begin);
    if (!slotsRead_) {
        findLineReferencesInText(platform_, scanned, TextForm::Notation, slots_);
        slotsRead_ = true;
    }
    if (slots_.size() == found_.size()) {
        warning.column = static_cast<int>(begin + slots_[nth].offset);
        warning.length = static_cast<int>(slots_[nth].length);
        warning.selects = true;
        return warning;
    }
    for (std::size_t at = scanned.find(digits); at != std::string_view::npos;
         at = scanned.find(digits, at + 1)) {
        const auto isDigitAt = [&](std::size_t k) {
            return k < scanned.size() && scanned[k] >= '0' && scanned[k] <= '9';
        };
        if ((at > 0 && isDigitAt(at - 1)) || isDigitAt(at + digits.size())) continue;
        warning.column = static_cast<int>(begin + at);
        warning.length = static_cast<int>(digits.size());
        warning.selects = true;
        break;
    }
    return warning;
}

void LineReferenceCheck::check(std::string_view line, std::size_t, std::string_view source,
                               const AssembledLine& assembled, int lineIndex, WarningList& warnings) {
    std::string_view stored = line;
    if (typedNumbers_) {
        readTypedNumber(line);
        std::size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
        stored = line.substr(digits);
    }
    findLineReferences(platform_, stored, found_);
    slotsRead_ = false;
    for (std::size_t k = 0; k < found_.size(); ++k) {
        const LineReference& reference = found_[k];
        if (!typedNumbers_ && exists(reference.number)) continue;
        const std::string_view digits = stored.substr(reference.offset, reference.length);
        if (typedNumbers_) {
            // The place now, while the source line is at hand; the text only if it is missing.
            Pending pending{reference.number, placed(digits, k, source, assembled, lineIndex),
                            std::string(digits)};
            pending.warning.message.clear();
            pending_.push_back(std::move(pending));
        } else {
            warnings.add([&] { return placed(digits, k, source, assembled, lineIndex); });
        }
    }
}

void LineReferenceCheck::finish(WarningList& warnings) {
    if (!typedNumbers_) return;
    std::sort(numbers_.begin(), numbers_.end());
    indexNumbers();
    for (Pending& pending : pending_) {
        if (exists(pending.number)) continue;
        warnings.add([&] {
            pending.warning.message = lineMissingWarning(pending.digits);
            return std::move(pending.warning);
        });
    }
    pending_.clear();
}

}  // namespace lintrel::passes
