#include "import/unnumber.h"

#include <algorithm>

#include "compiler/build.h"
#include "compiler/line_references.h"
#include "export/export.h"
#include "import/label_names.h"
#include "import/listing.h"
#include "import/numbering.h"

namespace lintrel {
namespace {


struct Reference {
    std::size_t textBegin = 0;  // in the listed text
    std::size_t textEnd = 0;
    long number = 0;
    long target = -1;  // index of the line it names, -1 when no line has that number
};

struct Line {
    ListedLine listed;
    std::vector<Reference> references;
    std::string label;  // without its "\"; empty when nothing names the line
};

bool tokenizes(const Platform& platform) { return !platform.characters.empty(); }

bool startsDirective(std::string_view text, std::size_t at) {
    return text[at] == '&' && at + 2 < text.size() && text[at + 2] == '=' &&
           std::string_view("PCIE").find(text[at + 1]) != std::string_view::npos;
}

void appendLiteral(unsigned char b, std::string& text) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    text += '{';
    text += kDigits[b >> 4];
    text += kDigits[b & 0xF];
    text += '}';
}

// A character of a text platform's line as the project writes it: a token
// literal where the notation would read it otherwise ("|" a comment, TAB
// indentation, "{" a brace unit, "\\" a label, "&P=" a directive) or the build
// would change it (a lower-case letter becomes a capital), the character
// itself elsewhere.
void appendNotation(std::string_view text, std::size_t at, std::string& out) {
    const char c = text[at];
    // The lead byte of what reads as a UTF-8 sequence too, or the build warns
    // that the project looks like UTF-8.
    const auto byte = [&text](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    const bool utf8Lead = byte(at) >= 0xC2 && byte(at) <= 0xF4 && (byte(at + 1) & 0xC0) == 0x80;
    const bool special = c == '|' || c == '\t' || c == '{' || c == '\\' || (c >= 'a' && c <= 'z') || utf8Lead;
    if (special || startsDirective(text, at)) {
        appendLiteral(static_cast<unsigned char>(c), out);
    } else {
        out += c;
    }
}

// The text platforms keep the line as typed: one piece per byte.
void listText(std::string_view text, ListedLine& out) {
    out.text.clear();
    out.pieces.resize(text.size());
    out.remark = std::string::npos;
    out.remarkOnly = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out.pieces[i] = {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(out.text.size())};
        appendNotation(text, i, out.text);
    }
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (quoted) continue;
        const bool rem = text.size() - i >= 3 && (text[i] | 0x20) == 'r' && (text[i + 1] | 0x20) == 'e' &&
                         (text[i + 2] | 0x20) == 'm';
        if (!rem && text[i] != '\'') continue;
        const std::size_t after = i + (rem ? 3 : 1);
        out.remark = after < text.size() ? out.pieces[after].text : out.text.size();
        out.remarkOnly = text.substr(0, i).find_first_not_of(" :") == std::string_view::npos;
        return;
    }
}

// The text position where the piece that starts at `byte` starts, or the
// text's end for the byte past the last; nothing when `byte` lies inside a piece.
std::optional<std::size_t> textAt(const ListedLine& listed, std::size_t byte, std::size_t byteCount) {
    if (byte == byteCount) return listed.text.size();
    const auto piece = std::lower_bound(listed.pieces.begin(), listed.pieces.end(), byte,
                                        [](const ListedLine::Piece& p, std::size_t b) { return p.byte < b; });
    if (piece == listed.pieces.end() || piece->byte != byte) return std::nullopt;
    return piece->text;
}

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A remark's text for naming: token literals of letters and digits as those,
// others as spaces.
std::string remarkWords(const ListedLine& listed) {
    std::string words;
    const std::string_view text = std::string_view(listed.text).substr(listed.remark);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 3 < text.size() && text[i + 3] == '}') {
            // A letter or digit written as a token literal still names.
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            const char b = high < 0 || low < 0 ? ' ' : static_cast<char>(high * 16 + low);
            words += isNameCharacter(b) ? b : ' ';
            i += 3;
        } else {
            words += text[i];
        }
    }
    return words;
}

ImportMessage messageAt(const Program& lines, std::size_t line, std::string text) {
    return {std::move(text), placeOf(lines, line)};
}

class Unnumberer {
public:
    Unnumberer(const NumberedProgram& program, const UnnumberOptions& options)
        : numbered_(program), program_(program.lines), platform_(*program.platform), options_(options) {}

    ImportedProject run();

private:
    bool checkLines();
    bool convert(bool checked);
    void listLines(bool checked);
    void findReferences();
    void nameLabels();
    bool separateNames();
    std::vector<NumberingStep> numbering() const;
    std::string lineText(const Line& line) const;
    std::string projectText() const;
    bool verify(const std::string& text);
    // The line with that number, or size() when the program has none.
    std::size_t lineNumbered(long long number) const {
        std::size_t low = 0, high = program_.size();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (program_.number(middle) < number) low = middle + 1; else high = middle;
        }
        return low < program_.size() && program_.number(low) == number ? low : program_.size();
    }
    bool fail(std::size_t line, std::string text) {
        result_.error = messageAt(program_, line, std::move(text));
        return false;
    }

    const NumberedProgram& numbered_;
    const Program& program_;
    const Platform& platform_;
    const UnnumberOptions& options_;
    std::vector<Line> lines_;
    LabelNames names_;
    ImportedProject result_;
};

bool Unnumberer::checkLines() {
    const Program& lines = program_;
    const long largest = platform_.reportedMaximum;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const long number = lines.number(i);
        if (lines.bytes(i).empty()) {
            return fail(i, "Line " + std::to_string(number) +
                               " is empty (the machine deletes a line typed as its number alone).");
        }
        if (i > 0 && number <= lines.number(i - 1)) {
            return fail(i, "Line " + std::to_string(number) + " comes after line " +
                               std::to_string(lines.number(i - 1)) + ".");
        }
        if (!options_.renumber && (number < 1 || number > largest)) {
            return fail(i, "Line " + std::to_string(number) + " cannot be built: line numbers on " +
                                      std::string(platform_.id) + " run from 1 to " + std::to_string(largest) +
                                      " (--renumber gives new ones).");
        }
    }
    if (!options_.renumber || lines.empty()) return true;
    const Renumbering& renumber = *options_.renumber;
    const long long after = renumber.start + static_cast<long long>(lines.size()) * renumber.step;
    if (renumber.start < 1 || renumber.step < 1 || after > platform_.lineNumberLimit) {
        return fail(lines.size() - 1, "Renumbering from " + std::to_string(renumber.start) + " in steps of " +
                                      std::to_string(renumber.step) + " passes the largest line number of " +
                                      std::string(platform_.id) + " (" + std::to_string(largest) + ").");
    }
    return true;
}

void Unnumberer::listLines(bool checked) {
    lines_.resize(program_.size());
    if (!tokenizes(platform_)) {
        for (std::size_t i = 0; i < lines_.size(); ++i) listText(program_.text(i), lines_[i].listed);
        return;
    }
    LineLister lister(platform_);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::span<const unsigned char> stored = program_.bytes(i);
        if (checked) {
            lister.list(stored, lines_[i].listed);
        } else {
            lister.listUnchecked(stored, lines_[i].listed);
        }
        result_.keepsSpaces = result_.keepsSpaces || lines_[i].listed.spacesOutsideStrings;
    }
}

// Each reference with its place in the text and the line it names; one that
// names no line of the program stays a number and is reported.
void Unnumberer::findReferences() {
    std::vector<LineReference> found;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view bytes = program_.text(i);
        findLineReferences(platform_, bytes, found);
        for (const LineReference& reference : found) {
            if (reference.isLabel) continue;
            const std::size_t at = lineNumbered(reference.number);
            if (at == program_.size()) {
                result_.warnings.push_back(messageAt(
                    program_, i, "Line " + std::to_string(reference.number) + " does not exist in this program."));
                continue;
            }
            // Leading zeros stay digits in front of the label, which stands
            // for the number without them: "GOTO 010" builds back as typed.
            std::size_t first = reference.offset;
            while (first + 1 < reference.offset + reference.length && bytes[first] == '0') ++first;
            const auto begin = textAt(lines_[i].listed, first, bytes.size());
            const auto end = textAt(lines_[i].listed, reference.offset + reference.length, bytes.size());
            if (!begin || !end) continue;  // the digits are not text of their own: they stay digits
            lines_[i].references.push_back(
                {*begin, *end, static_cast<long>(reference.number), static_cast<std::ptrdiff_t>(at)});
        }
    }
}

// A remark on the line, or on a remark line just before it, names the label.
void Unnumberer::nameLabels() {
    std::vector<char> targeted(lines_.size(), 0);
    for (const Line& line : lines_) {
        for (const Reference& reference : line.references) targeted[static_cast<std::size_t>(reference.target)] = 1;
    }
    for (std::size_t t = 0; t < lines_.size(); ++t) {
        if (!targeted[t]) continue;
        std::string name;
        if (lines_[t].listed.remark != std::string::npos) name = nameFromRemark(remarkWords(lines_[t].listed));
        if (name.empty() && t > 0 && lines_[t - 1].listed.remarkOnly)
            name = nameFromRemark(remarkWords(lines_[t - 1].listed));
        if (name.empty()) name = nameFromNumber(program_.number(t));
        lines_[t].label = names_.claim(name);
        ++result_.labels;
    }
}

// A reference followed by letters or digits must still read as its own name
// once the build replaces labels: no longer label may begin with it and what
// follows. A name that fails gives way to the line's number, which never
// does; true when nothing changed.
bool Unnumberer::separateNames() {
    bool separated = true;
    for (Line& line : lines_) {
        for (const Reference& reference : line.references) {
            Line& target = lines_[static_cast<std::size_t>(reference.target)];
            const std::string_view following = std::string_view(line.listed.text).substr(reference.textEnd);
            if (following.empty() || !isNameCharacter(following[0])) continue;
            const std::string joined = target.label + std::string(following.substr(0, kLongestLabelName));
            bool clashes = false;
            for (std::size_t k = target.label.size() + 1; k <= joined.size() && !clashes; ++k) {
                clashes = isNameCharacter(joined[k - 1]) && names_.taken(std::string_view(joined).substr(0, k));
                if (!isNameCharacter(joined[k - 1])) break;
            }
            const std::string mechanical = nameFromNumber(program_.number(static_cast<std::size_t>(reference.target)));
            if (!clashes || target.label.starts_with(mechanical)) continue;
            target.label = names_.claim(mechanical);
            separated = false;
        }
    }
    return separated;
}

std::vector<NumberingStep> Unnumberer::numbering() const {
    if (options_.renumber) {
        std::vector<NumberingStep> steps(lines_.size());
        if (!steps.empty()) steps[0] = {options_.renumber->start, options_.renumber->step};
        return steps;
    }
    std::vector<long> numbers;
    for (std::size_t i = 0; i < program_.size(); ++i) numbers.push_back(program_.number(i));
    return planNumbering(numbers, platform_.lineNumberLimit);
}

std::string Unnumberer::lineText(const Line& line) const {
    std::string text = line.label.empty() ? "\t" : "\\" + line.label + "\t";
    std::size_t copied = 0;
    for (const Reference& reference : line.references) {
        text.append(line.listed.text, copied, reference.textBegin - copied);
        text += "\\" + lines_[static_cast<std::size_t>(reference.target)].label;
        copied = reference.textEnd;
        // Where letters or digits follow (THEN 100ELSE), a TAB shows where the
        // name ends: the build drops it, so the bytes stay, and does not warn
        // of a glued number (no longer label begins there: separateNames).
        if (copied < line.listed.text.size() && isNameCharacter(line.listed.text[copied])) text += '\t';
    }
    text.append(line.listed.text, copied);
    return text;
}

std::string Unnumberer::projectText() const {
    std::string text;
    auto add = [&text](const std::string& line) { text += line + "\r\n"; };
    std::string source;
    for (const char c : options_.sourceName) source += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    add(source.empty() ? "| Imported by Lintrel." : "| Imported by Lintrel from " + source + ".");
    if (result_.keepsSpaces)
        add("| Spaces outside strings are as the machine stored them: build with space removal off.");
    add("&P=" + std::string(platform_.id));
    const std::vector<NumberingStep> steps = numbering();
    for (std::size_t j = 0; j < lines_.size(); ++j) {
        if (steps[j].line) add("&C=" + std::to_string(*steps[j].line));
        if (steps[j].increment) add("&I=" + std::to_string(*steps[j].increment));
        add(lineText(lines_[j]));
    }
    return text;
}

std::string describeByte(unsigned char b) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;  // built by appends: GCC 12 at -O3 warns wrongly on "(" + string
    if (b >= 0x20 && b < 0x7F) {
        text += '"';
        text += static_cast<char>(b);
        text += "\" ";
    }
    text += '(';
    text += kDigits[b >> 4];
    text += kDigits[b & 0xF];
    text += ')';
    return text;
}

// Where the built bytes first differ from the program's, or nothing.
std::optional<std::string> firstDifference(std::span<const unsigned char> built, std::span<const unsigned char> stored) {
    const auto [b, s] = std::mismatch(built.begin(), built.end(), stored.begin(), stored.end());
    if (b == built.end() && s == stored.end()) return std::nullopt;
    const std::string at = "character " + std::to_string(s - stored.begin() + 1) + ": ";
    const std::string program = s == stored.end() ? "nothing" : describeByte(*s);
    const std::string project = b == built.end() ? "nothing" : describeByte(*b);
    return at + "the program has " + program + ", the project's build " + project;
}

ImportMessage internalError(InputPlace place, const std::string& what) {
    return {"Internal error: the imported project does not build back to the program (" + what +
                "); please report it.",
            std::move(place)};
}

}  // namespace

std::optional<ImportMessage> checkBuildsBack(const NumberedProgram& program, std::string_view projectText,
                                             const std::optional<Renumbering>& renumber,
                                             const std::vector<char>& renumberedReferences) {
    const Program& stored = program.lines;
    BuildOptions options;
    options.removeSpaces = false;
    const BuildResult built = buildText(projectText, options);
    if (built.error) return internalError({}, built.error->message);
    const Program& lines = built.program;
    if (lines.size() != stored.size()) return internalError({}, std::to_string(lines.size()) + " lines");
    for (std::size_t j = 0; j < lines.size(); ++j) {
        const long expected = renumber ? renumber->start + static_cast<long>(j) * renumber->step : stored.number(j);
        if (lines.number(j) != expected)
            return internalError(placeOf(stored, j), "line " + std::to_string(expected) + " is numbered otherwise");
        if (j < renumberedReferences.size() && renumberedReferences[j]) continue;
        if (const auto difference = firstDifference(lines.bytes(j), stored.bytes(j)))
            return internalError(placeOf(stored, j), "line " + std::to_string(stored.number(j)) + ", " + *difference);
    }
    const ExportResult exported = makeOutputFile(built);
    if (exported.error) {
        // The message names the project line; the program line built from it is the place.
        std::size_t at = 0;
        while (at < lines.size() && static_cast<int>(lines.origin(at)) < exported.error->line) ++at;
        return ImportMessage{exported.error->message, at < stored.size() ? placeOf(stored, at) : InputPlace{}};
    }
    return std::nullopt;
}

namespace {

// The project is built as the user will build it (spaces kept); it must give
// the program's numbers and, line for line, its bytes (where renumbering
// changed no reference), and fit the machine's image.
bool Unnumberer::verify(const std::string& text) {
    std::vector<char> renumbered;
    if (options_.renumber) {
        for (const Line& line : lines_) renumbered.push_back(line.references.empty() ? 0 : 1);
    }
    result_.error = checkBuildsBack(numbered_, text, options_.renumber, renumbered);
    return !result_.error;
}

// Listing, labels, numbering and the build that proves them; false when the
// project does not build back to the program.
bool Unnumberer::convert(bool checked) {
    lines_.clear();
    names_ = LabelNames{};
    result_ = ImportedProject{};
    listLines(checked);
    findReferences();
    nameLabels();
    for (std::size_t round = 0; round <= lines_.size() && !separateNames(); ++round) {
    }
    std::string text = projectText();
    if (!verify(text)) return false;
    result_.text = std::move(text);
    return true;
}

// The project's build compares every line's bytes (unless renumbering changes
// references), so the lines are first listed without building each on its
// own; where that build differs they are listed again, each line checked.
ImportedProject Unnumberer::run() {
    if (!checkLines()) return std::move(result_);
    if (options_.renumber || !convert(false)) convert(true);
    return std::move(result_);
}

}  // namespace

ImportedProject unnumber(const NumberedProgram& program, const UnnumberOptions& options) {
    return Unnumberer(program, options).run();
}

}  // namespace lintrel
