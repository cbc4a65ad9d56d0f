#include "import/numbered_listing.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "import/typed_line.h"
#include "text/code_page_1250.h"

namespace lintrel {
namespace {

constexpr long kLargestNumber = 999'999'999;  // nine digits: any machine's numbers and then some

// A line of the listing with its number, and where each part of its text
// (more than one when lines without a number continued it) came from.
struct Entry {
    long number = 0;
    std::string text;
    struct Segment {
        std::size_t at = 0;  // in `text`
        int line = 0;        // of the file
        int column = 0;
    };
    std::vector<Segment> segments;
};

struct Parsed {
    std::optional<long> number;  // none: the line has no number
    std::size_t textStart = 0;
    bool tooLarge = false;
};

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Spaces and TABs, the digits, then one space dropped.
Parsed parseLine(std::string_view line) {
    Parsed parsed;
    std::size_t i = line.find_first_not_of(" \t");
    const std::size_t digits = i;
    long number = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        if (!parsed.tooLarge) number = number * 10 + (line[i] - '0');
        parsed.tooLarge = parsed.tooLarge || number > kLargestNumber;
        ++i;
    }
    if (i == digits) return parsed;
    parsed.number = number;
    if (i < line.size() && line[i] == ' ') ++i;
    parsed.textStart = i;
    return parsed;
}

ImportMessage at(int line, int column, std::string text) {
    ImportMessage message;
    message.text = std::move(text);
    message.place.line = line;
    message.place.column = column;
    return message;
}

InputPlace placeIn(const Entry& entry, std::size_t column) {
    const Entry::Segment* segment = &entry.segments.front();
    for (const Entry::Segment& s : entry.segments) {
        if (s.at <= column) segment = &s;
    }
    InputPlace place;
    place.line = segment->line;
    place.column = segment->column + static_cast<int>(column - segment->at);
    return place;
}

std::string lineName(long number) { return "line " + std::to_string(number); }

bool startsDirective(std::string_view text, std::size_t at) {
    return text[at] == '&' && at + 2 < text.size() && text[at + 2] == '=' &&
           std::string_view("PCIE").find(text[at + 1]) != std::string_view::npos;
}

// A typed line in the project's notation, where every character stands for
// itself but the token literals a listing uses for bytes it cannot show: "|"
// starts no comment, a TAB is no indentation, "&P=" is no directive.
// `columns[k]`: the typed column of notation byte k, for error places.
void escapeTyped(std::string_view text, std::string& out, std::vector<std::uint32_t>& columns) {
    out.clear();
    columns.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char* literal = c == '|' ? "{7C}" : c == '\t' ? "{09}" : startsDirective(text, i) ? "{26}" : nullptr;
        const std::size_t width = literal != nullptr ? 4 : 1;
        if (literal != nullptr) {
            out += literal;
        } else {
            out += c;
        }
        columns.insert(columns.end(), width, static_cast<std::uint32_t>(i));
    }
    columns.push_back(static_cast<std::uint32_t>(text.size()));
}

class ListingReader {
public:
    ListingReader(const Platform& platform, bool lenient) : platform_(platform), lenient_(lenient) {}

    ListingReading read(std::string_view text);

private:
    bool take(std::string_view line, int index);
    bool arrange();
    bool store();
    bool fail(ImportMessage message) {
        result_.error = std::move(message);
        return false;
    }
    void warn(ImportMessage message) { result_.warnings.push_back(std::move(message)); }

    const Platform& platform_;
    bool lenient_;
    std::vector<Entry> entries_;
    ListingReading result_;
};

// One line of the file: a new numbered line, or the continuation of the last.
bool ListingReader::take(std::string_view line, int index) {
    if (isBlank(line)) return true;
    const Parsed parsed = parseLine(line);
    if (parsed.tooLarge) return fail(at(index, static_cast<int>(line.find_first_not_of(" \t")),
                                         "The line number is too large."));
    if (!parsed.number) {
        if (!lenient_) return fail(at(index, -1, "This line has no line number."));
        if (entries_.empty())
            return fail(at(index, -1, "This line has no line number, and there is no line before it to continue."));
        Entry& last = entries_.back();
        warn(at(index, -1, "This line has no line number; it continues " + lineName(last.number) + "."));
        last.segments.push_back({last.text.size(), index, 0});
        last.text += line;
        return true;
    }
    Entry entry;
    entry.number = *parsed.number;
    entry.text = line.substr(parsed.textStart);
    entry.segments.push_back({0, index, static_cast<int>(parsed.textStart)});
    entries_.push_back(std::move(entry));
    return true;
}

// Numbers in order, each once, each with text; leniently made so. While the
// numbers rise, no line can repeat an earlier one and none is looked up; the
// first that does not rise indexes the lines kept so far.
bool ListingReader::arrange() {
    std::unordered_map<long, std::size_t> kept;  // number -> index into `arranged`
    bool indexed = false;
    std::vector<Entry> arranged;
    arranged.reserve(entries_.size());
    long previous = -1;
    for (Entry& entry : entries_) {
        const int line = entry.segments.front().line;
        if (!indexed && entry.number <= previous) {
            for (std::size_t k = 0; k < arranged.size(); ++k) kept[arranged[k].number] = k;
            indexed = true;
        }
        const auto earlier = indexed ? kept.find(entry.number) : kept.end();
        if (entry.text.empty() || isBlank(entry.text)) {
            if (!lenient_) return fail(at(line, -1, "Line " + std::to_string(entry.number) + " has no text."));
            warn(at(line, -1, "Line " + std::to_string(entry.number) + " has no text: " +
                                 (earlier != kept.end() ? "it deletes the earlier " + lineName(entry.number) + "."
                                                        : "skipped.")));
            if (earlier != kept.end()) arranged[earlier->second].text.clear();
            continue;
        }
        if (earlier != kept.end()) {
            const int first = arranged[earlier->second].segments.front().line + 1;
            if (!lenient_) {
                return fail(at(line, -1, "Line " + std::to_string(entry.number) + " is given twice (first on line " +
                                            std::to_string(first) + ")."));
            }
            warn(at(line, -1, "Line " + std::to_string(entry.number) + " is given again; this one replaces the one on line " +
                                 std::to_string(first) + "."));
            arranged[earlier->second] = std::move(entry);
            continue;
        }
        if (entry.number < previous) {
            if (!lenient_) return fail(at(line, -1, "Line " + std::to_string(entry.number) + " comes after " +
                                                       lineName(previous) + "."));
            warn(at(line, -1, "Line " + std::to_string(entry.number) + " comes after " + lineName(previous) +
                                 "; the lines are put in order."));
        }
        previous = std::max(previous, entry.number);
        if (indexed) kept[entry.number] = arranged.size();
        arranged.push_back(std::move(entry));
    }
    std::erase_if(arranged, [](const Entry& entry) { return entry.text.empty(); });
    std::stable_sort(arranged.begin(), arranged.end(),
                     [](const Entry& a, const Entry& b) { return a.number < b.number; });
    entries_ = std::move(arranged);
    return true;
}

// Each line stored as the machine stores a typed line; the platforms that
// store text keep it as typed.
bool ListingReader::store() {
    const bool tokenizes = !platform_.characters.empty();
    std::optional<TypedLineReader> reader;
    if (tokenizes) reader.emplace(platform_);
    std::vector<unsigned char> bytes;
    std::string notation;
    std::vector<std::uint32_t> columns;
    for (Entry& entry : entries_) {
        const int sourceLine = entry.segments.front().line;
        if (!tokenizes) {
            // Where the number and the text meet without a space, a text
            // that begins with a digit keeps the space that parts them.
            const bool glued = platform_.lineNumberForm == LineNumberForm::Decimal &&
                               entry.text[0] >= '0' && entry.text[0] <= '9';
            if (glued) entry.text.insert(0, 1, ' ');
            result_.program.lines.addLine(entry.number, std::string_view(entry.text), static_cast<std::size_t>(sourceLine));
            continue;
        }
        escapeTyped(entry.text, notation, columns);
        if (auto error = reader->read(notation, bytes)) {
            const std::size_t column = columns[std::min(static_cast<std::size_t>(std::max(error->column, 0)),
                                                        columns.size() - 1)];
            const InputPlace place = placeIn(entry, column);
            return fail(at(place.line, place.column, error->message));
        } else if (bytes.empty()) {
            return fail(at(sourceLine, -1, "Line " + std::to_string(entry.number) + " has no program text."));
        }
        result_.program.lines.addLine(entry.number, bytes, static_cast<std::size_t>(sourceLine));
    }
    return true;
}

ListingReading ListingReader::read(std::string_view text) {
    result_.program.platform = &platform_;
    int index = 0;
    bool ok = true;
    forEachLine(text, [&](std::string_view line) { return ok = take(line, index++); });
    if (ok && arrange()) store();
    if (result_.error) result_.program.lines.clear();
    return std::move(result_);
}

}  // namespace

ListingReading readNumberedListing(std::string_view text, const Platform& platform, bool lenient) {
    return ListingReader(platform, lenient).read(text);
}

}  // namespace lintrel
