#include "import/unnumber.h"

#include <algorithm>

#include "compiler/build.h"
#include "compiler/line_references.h"
#include "import/label_names.h"
#include "import/listing.h"
#include "import/numbering.h"

namespace lintrel {
namespace {

constexpr std::size_t kFollowingText = kLongestLabelName + 4;  // enough to hold a longer name and a REM

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

// The text platforms keep the line as typed: one piece per byte.
void listText(std::string_view text, ListedLine& out) {
    out.text = text;
    out.pieces.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) out.pieces[i] = {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i)};
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (quoted) continue;
        const bool rem = text.size() - i >= 3 && (text[i] | 0x20) == 'r' && (text[i + 1] | 0x20) == 'e' &&
                         (text[i + 2] | 0x20) == 'm';
        if (!rem && text[i] != '\'') continue;
        out.remark = i + (rem ? 3 : 1);
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

// A remark's text without its token literals, for naming.
std::string remarkWords(const ListedLine& listed) {
    std::string words;
    const std::string_view text = std::string_view(listed.text).substr(listed.remark);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 3 < text.size() && text[i + 3] == '}') {
            words += ' ';
            i += 3;
        } else {
            words += text[i];
        }
    }
    return words;
}

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

ImportMessage messageAt(const Program& lines, std::size_t line, std::string text) {
    return {std::move(text), placeOf(lines, line)};
}

class Unnumberer {
public:
    Unnumberer(const NumberedProgram& program, const UnnumberOptions& options)
        : program_(program.lines), platform_(*program.platform), options_(options) {}

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
            const auto begin = textAt(lines_[i].listed, reference.offset, bytes.size());
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
        if (lines_[t].listed.remark != std::string::npos) name = nameFromRemark(remarkWords(lines_[t].listed), platform_);
        if (name.empty() && t > 0 && lines_[t - 1].listed.remarkOnly)
            name = nameFromRemark(remarkWords(lines_[t - 1].listed), platform_);
        if (name.empty()) name = nameFromNumber(program_.number(t));
        lines_[t].label = names_.claim(name);
        ++result_.labels;
    }
}

// A reference followed by letters or digits must still read as its own name:
// no longer label may begin with it and what follows, and no REM or DATA may
// form across the join. A name that fails gives way to the line's number,
// which never does; true when nothing changed.
bool Unnumberer::separateNames() {
    bool separated = true;
    for (Line& line : lines_) {
        for (const Reference& reference : line.references) {
            Line& target = lines_[static_cast<std::size_t>(reference.target)];
            const std::string_view following = std::string_view(line.listed.text).substr(reference.textEnd);
            if (following.empty() || !isNameCharacter(following[0])) continue;
            const std::string joined = target.label + std::string(following.substr(0, kFollowingText));
            bool clashes = holdsModeWord(joined, target.label.size(), platform_);
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

// The project is built as the user will build it (spaces kept); it must give
// the program's numbers and, line for line, its bytes (where renumbering
// changed no reference).
bool Unnumberer::verify(const std::string& text) {
    auto internal = [this](const std::string& what) {
        result_.error = ImportMessage{"Internal error: the imported project does not build back to the program (" +
                                          what + "); please report it.",
                                      {}};
        return false;
    };
    BuildOptions options;
    options.removeSpaces = false;
    const BuildResult built = buildText(text, options);
    if (built.error) return internal(built.error->message);
    const Program& lines = built.program;
    if (lines.size() != program_.size()) return internal(std::to_string(lines.size()) + " lines");
    for (std::size_t j = 0; j < lines.size(); ++j) {
        const long expected = options_.renumber ? options_.renumber->start + static_cast<long>(j) * options_.renumber->step
                                                : program_.number(j);
        if (lines.number(j) != expected)
            return internal("line " + std::to_string(expected) + " is numbered otherwise");
        if (!tokenizes(platform_) || (options_.renumber && !lines_[j].references.empty())) continue;
        const auto made = lines.bytes(j);
        const auto stored = program_.bytes(j);
        if (!std::equal(made.begin(), made.end(), stored.begin(), stored.end()))
            return internal("line " + std::to_string(program_.number(j)) + " differs");
    }
    return true;
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
