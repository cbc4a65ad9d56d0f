// Line-number references, one keyword table per platform family. On a stored
// line a keyword is its code, taken from the platform's keyword table; on
// text it is its letters. One scan serves both: it knows where strings,
// remarks and DATA items lie and what follows each keyword.
#include "compiler/line_references.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

#include "text/ascii.h"

namespace lintrel {
namespace {

// Each platform's keywords are bits of a 16-bit mask in the text scan.
static_assert(kHomelabReferences.size() <= 16 && kMicrosoftReferences.size() <= 16 &&
              kTvcReferences.size() <= 16 && kTextReferences.size() <= 16);

// Comparison operators as the keyword tables may hold them.
constexpr std::array<std::string_view, 9> kComparisons = {"=", "<", ">", "<>", "<=", ">=", "=<", "=>", "><"};

std::span<const ReferenceKeyword> keywordsOf(const Platform& platform) { return platform.lineReferences; }

// A family's keywords with what their first two letters may be, so that
// text is passed over fast where no keyword can start: a byte that begins
// none is skipped with one look-up, and most that do are ruled out by the
// byte after them without comparing any keyword.
struct TextKeywords {
    std::span<const ReferenceKeyword> keywords;
    std::array<std::uint16_t, 256> first{};   // bit k: keyword k may start with the byte
    std::array<std::uint16_t, 256> second{};  // bit k: its second letter may be the byte
    std::uint16_t single = 0;                 // keywords of one character
    std::array<std::uint16_t, 256> stop{};    // `first`, and kStopAlways where a listing's string starts
    std::array<std::uint16_t, 256> stopNotation{};  // the same, and a project line's comment, directive or unit
};

// A bit no keyword uses: the scan stops at the byte whatever follows it.
constexpr std::uint16_t kStopAlways = 0x8000;

TextKeywords makeTextKeywords(std::span<const ReferenceKeyword> keywords) {
    TextKeywords text{keywords, {}, {}, 0, {}, {}};
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        const std::string_view letters = keywords[k].text;
        const auto bit = static_cast<std::uint16_t>(1u << k);
        if (letters.size() == 1) text.single |= bit;
        for (unsigned c = 0; c < 256; ++c) {
            const unsigned char upper = upperAscii(static_cast<unsigned char>(c));
            if (upper == static_cast<unsigned char>(letters[0])) text.first[c] |= bit;
            if (letters.size() > 1 && upper == static_cast<unsigned char>(letters[1])) text.second[c] |= bit;
        }
    }
    text.stop = text.first;
    text.stop['"'] |= kStopAlways;
    text.stopNotation = text.stop;
    for (const unsigned char c : {'|', '&', '{'}) text.stopNotation[c] |= kStopAlways;
    return text;
}

// Slots: the accepted platforms in their order, then "no platform".
constexpr std::size_t kSlots = 8;

// The descriptors stand in one array, so a row's place in it is its slot.
std::size_t slotOf(const Platform& platform) {
    const auto platforms = acceptedPlatforms();
    const auto at = static_cast<std::size_t>(&platform - platforms.data());
    return &platform >= platforms.data() && at < platforms.size() ? at : kSlots - 1;
}

// A platform's tables are made on its first use only: a build needs one.
template <typename Tables, typename Make>
const Tables& madeOnce(const Platform& platform, Make make) {
    static std::array<std::once_flag, kSlots> made;
    static std::array<std::optional<Tables>, kSlots> tables;
    const std::size_t slot = slotOf(platform);
    std::call_once(made[slot], [&] { tables[slot].emplace(make(platform)); });
    return *tables[slot];
}

const TextKeywords& textKeywordsOf(const Platform& platform) {
    return madeOnce<TextKeywords>(platform, [](const Platform& p) { return makeTextKeywords(keywordsOf(p)); });
}

bool sameLetters(std::string_view text, std::size_t at, std::string_view keyword) {
    return startsWithLetters(text, at, keyword);
}

// The byte that names a keyword: the last of its code ("{3A}{95}" is ELSE
// behind its colon); -1 when the platform has no row with that text.
int keywordCode(const Platform& platform, std::string_view text) {
    for (const KeywordRow& row : platform.keywords) {
        if (row.text.size() != text.size() || !sameLetters(row.text, 0, text)) continue;
        const std::string_view code = row.code;
        if (code.size() < 4) return -1;
        return tokenLiteralAt(code.substr(code.size() - 4));
    }
    return -1;
}

// What each byte of a stored line means to the scan, per platform.
struct StoredCodes {
    const Platform* platform = nullptr;
    std::array<Takes, 256> keyword{};
    std::array<bool, 256> colon{};
    std::array<bool, 256> comma{};
    std::array<bool, 256> comparison{};
    std::array<bool, 256> plain{};  // neither a keyword nor a quote
};

StoredCodes makeStoredCodes(const Platform& platform) {
    StoredCodes codes;
    codes.platform = &platform;
    for (const ReferenceKeyword& keyword : keywordsOf(platform)) {
        const int code = keywordCode(platform, keyword.text);
        if (code >= 0x80) codes.keyword[static_cast<std::size_t>(code)] = keyword.takes;
    }
    codes.colon[':'] = codes.comma[','] = true;
    if (const int code = keywordCode(platform, ":"); code >= 0)
        codes.colon[static_cast<std::size_t>(code)] = true;
    if (const int code = keywordCode(platform, ","); code >= 0)
        codes.comma[static_cast<std::size_t>(code)] = true;
    codes.comparison['='] = codes.comparison['<'] = codes.comparison['>'] = true;
    for (const std::string_view text : kComparisons) {
        if (const int code = keywordCode(platform, text); code >= 0)
            codes.comparison[static_cast<std::size_t>(code)] = true;
    }
    for (std::size_t c = 0; c < 256; ++c) codes.plain[c] = codes.keyword[c] == Takes::None && c != '"';
    return codes;
}

const StoredCodes& storedCodesOf(const Platform& platform) { return madeOnce<StoredCodes>(platform, makeStoredCodes); }

struct Keyword {
    Takes takes = Takes::None;
    std::size_t length = 0;
};

// Keywords as single codes.
struct StoredLexer {
    const StoredCodes& codes;
    std::string_view bytes;

    Keyword keywordAt(std::size_t at) const {
        const Takes takes = codes.keyword[static_cast<unsigned char>(bytes[at])];
        return {takes, takes == Takes::None ? 0u : 1u};
    }
    bool isColon(std::size_t at) const { return codes.colon[static_cast<unsigned char>(bytes[at])]; }
    bool isComma(std::size_t at) const { return codes.comma[static_cast<unsigned char>(bytes[at])]; }
    bool isComparison(std::size_t at) const {
        return codes.comparison[static_cast<unsigned char>(bytes[at])];
    }
    bool isBlank(std::size_t at) const { return bytes[at] == ' '; }
    std::size_t skipPlain(std::size_t at) const {
        while (at < bytes.size() && codes.plain[static_cast<unsigned char>(bytes[at])]) ++at;
        return at;
    }
    // Where the text stops being program, from `at` on; never for stored bytes.
    bool endsText(std::size_t) const { return false; }
    std::size_t unitLength(std::size_t) const { return 1; }
    bool notation() const { return false; }
};

// Keywords as letters, letter case ignored.
struct TextLexer {
    const TextKeywords& keywords;
    std::string_view bytes;
    bool isNotation;

    Keyword keywordAt(std::size_t at) const {
        unsigned candidates = keywords.first[static_cast<unsigned char>(bytes[at])];
        if (candidates == 0) return {};
        const unsigned next =
            at + 1 < bytes.size() ? keywords.second[static_cast<unsigned char>(bytes[at + 1])] : 0u;
        candidates &= next | keywords.single;
        // In table order, as no keyword is another's beginning.
        for (; candidates != 0; candidates &= candidates - 1) {
            const ReferenceKeyword& keyword = keywords.keywords[static_cast<std::size_t>(std::countr_zero(candidates))];
            if (sameLetters(bytes, at, keyword.text)) return {keyword.takes, keyword.text.size()};
        }
        return {};
    }
    // Past the bytes that can start nothing: no keyword (judged by its
    // first two letters), string, comment, directive or brace unit.
    std::size_t skipPlain(std::size_t at) const {
        const std::array<std::uint16_t, 256>& stop = isNotation ? keywords.stopNotation : keywords.stop;
        const unsigned always = keywords.single | kStopAlways;
        const auto stopsAt = [&](std::size_t k) {
            return (stop[static_cast<unsigned char>(bytes[k])] &
                    (keywords.second[static_cast<unsigned char>(bytes[k + 1])] | always)) != 0;
        };
        // Eight bytes at a time without a branch per byte: most bytes start nothing.
        // (A brace unit may have taken `at` past the end.)
        while (at < bytes.size() && bytes.size() - at > 8) {
            unsigned stops = 0;
            for (unsigned k = 0; k < 8; ++k) stops |= static_cast<unsigned>(stopsAt(at + k)) << k;
            if (stops != 0) return at + static_cast<std::size_t>(std::countr_zero(stops));
            at += 8;
        }
        for (; at < bytes.size(); ++at) {
            const unsigned candidates = stop[static_cast<unsigned char>(bytes[at])];
            if (candidates == 0) continue;
            const unsigned next =
                at + 1 < bytes.size() ? keywords.second[static_cast<unsigned char>(bytes[at + 1])] : 0u;
            if ((candidates & (next | always)) != 0) return at;
        }
        return at;
    }
    bool isColon(std::size_t at) const { return bytes[at] == ':'; }
    bool isComma(std::size_t at) const { return bytes[at] == ','; }
    bool isComparison(std::size_t at) const {
        return bytes[at] == '=' || bytes[at] == '<' || bytes[at] == '>';
    }
    bool isBlank(std::size_t at) const { return bytes[at] == ' ' || (isNotation && bytes[at] == '\t'); }
    // A comment or a directive ends a project line wherever it stands.
    bool endsText(std::size_t at) const {
        if (!isNotation) return false;
        if (bytes[at] == '|') return true;
        if (bytes[at] != '&' || bytes.size() - at < 3 || bytes[at + 2] != '=') return false;
        const char kind = bytes[at + 1];
        return kind == 'E' || kind == 'P' || kind == 'C' || kind == 'I';
    }
    // A brace unit is never split, so no keyword starts inside it.
    std::size_t unitLength(std::size_t at) const { return isNotation && bytes[at] == '{' ? 4 : 1; }
    bool notation() const { return isNotation; }
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isNameCharacter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0xC0;
}

template <typename Lexer>
class ReferenceScan {
public:
    ReferenceScan(const Lexer& lexer, std::string_view bytes, std::vector<LineReference>& found)
        : lexer_(lexer), bytes_(bytes), found_(found) {}

    void run() {
        std::size_t trapEnd = std::string_view::npos;  // just after an ERROR keyword
        while ((at_ = lexer_.skipPlain(at_)) < bytes_.size()) {
            if (lexer_.endsText(at_)) return;
            if (bytes_[at_] == '"') {
                skipString();
                continue;
            }
            const Keyword keyword = lexer_.keywordAt(at_);
            if (keyword.takes == Takes::None) {
                at_ += lexer_.unitLength(at_);
                continue;
            }
            const bool trapped = trapEnd != std::string_view::npos && onlyBlanks(trapEnd, at_);
            at_ += keyword.length;
            switch (keyword.takes) {
                case Takes::Remark:
                    return;
                case Takes::DataItems:
                    skipDataItems();
                    break;
                case Takes::ErrorTrap:
                    trapEnd = at_;
                    break;
                case Takes::NumberList:
                    readNumbers(!trapped);
                    break;
                case Takes::Number:
                    readNumber(true);
                    break;
                case Takes::ResumeNumber:
                    readNumber(false);
                    break;
                case Takes::Comparison:
                    readCompared();
                    break;
                case Takes::None:
                    break;
            }
        }
    }

private:
    void skipBlanks() {
        while (at_ < bytes_.size() && lexer_.isBlank(at_)) ++at_;
    }
    bool onlyBlanks(std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i < to; ++i) {
            if (!lexer_.isBlank(i)) return false;
        }
        return true;
    }
    // To the closing quote, or to where the text ends.
    void skipString() {
        ++at_;
        if (!lexer_.notation()) {
            // Nothing but the quote ends a listing's string.
            const std::size_t quote = bytes_.find('"', at_);
            at_ = quote == std::string_view::npos ? bytes_.size() : quote;
        }
        while (at_ < bytes_.size() && bytes_[at_] != '"' && !lexer_.endsText(at_)) ++at_;
        if (at_ < bytes_.size() && bytes_[at_] == '"') ++at_;
    }
    void skipDataItems() {
        while (at_ < bytes_.size() && !lexer_.isColon(at_) && !lexer_.endsText(at_)) {
            if (bytes_[at_] == '"') {
                skipString();
            } else {
                ++at_;
            }
        }
    }
    // One number (or, in a project line, a label) after blanks; false when
    // none stands there. A 0 that names no line is passed over.
    bool readNumber(bool zeroIsLine) {
        skipBlanks();
        if (at_ == bytes_.size()) return false;
        const std::size_t start = at_;
        if (lexer_.notation() && bytes_[at_] == '\\') {
            ++at_;
            while (at_ < bytes_.size() && isNameCharacter(static_cast<unsigned char>(bytes_[at_]))) ++at_;
            found_.push_back({start, at_ - start, 0, true});
            return true;
        }
        if (!isDigit(bytes_[at_])) return false;
        long long number = 0;
        while (at_ < bytes_.size() && isDigit(bytes_[at_])) {
            number = number > kHugeLineNumber / 10 ? kHugeLineNumber : number * 10 + (bytes_[at_] - '0');
            ++at_;
        }
        if (number != 0 || zeroIsLine)
            found_.push_back({start, at_ - start, std::min(number, kHugeLineNumber), false});
        return true;
    }
    void readNumbers(bool zeroIsLine) {
        while (readNumber(zeroIsLine)) {
            skipBlanks();
            if (at_ == bytes_.size() || !lexer_.isComma(at_)) return;
            ++at_;
        }
    }
    void readCompared() {
        skipBlanks();
        if (at_ == bytes_.size() || !lexer_.isComparison(at_)) return;
        while (at_ < bytes_.size() && (lexer_.isComparison(at_) || lexer_.isBlank(at_))) ++at_;
        readNumber(true);
    }

    const Lexer& lexer_;
    std::string_view bytes_;
    std::vector<LineReference>& found_;
    std::size_t at_ = 0;
};

}  // namespace

void findLineReferences(const Platform& platform, std::string_view stored,
                        std::vector<LineReference>& found) {
    if (platform.keywords.empty()) {
        findLineReferencesInText(platform, stored, TextForm::Listing, found);
        return;
    }
    found.clear();
    const StoredLexer lexer{storedCodesOf(platform), stored};
    ReferenceScan<StoredLexer>(lexer, stored, found).run();
}

std::vector<LineReference> findLineReferences(const Platform& platform, std::string_view stored) {
    std::vector<LineReference> found;
    findLineReferences(platform, stored, found);
    return found;
}

void findLineReferencesInText(const Platform& platform, std::string_view text, TextForm form,
                              std::vector<LineReference>& found) {
    found.clear();
    const TextLexer lexer{textKeywordsOf(platform), text, form == TextForm::Notation};
    ReferenceScan<TextLexer>(lexer, text, found).run();
}

std::vector<LineReference> findLineReferencesInText(const Platform& platform, std::string_view text,
                                                    TextForm form) {
    std::vector<LineReference> found;
    findLineReferencesInText(platform, text, form, found);
    return found;
}

}  // namespace lintrel
