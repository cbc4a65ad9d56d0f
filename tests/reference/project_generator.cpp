#include "reference/project_generator.h"

#include <array>
#include <string_view>

namespace lintrel::reference {

std::uint64_t Random::next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int Random::below(int bound) { return bound <= 1 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

namespace {

template <typename T, std::size_t N>
const T& pick(Random& random, const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(random.below(static_cast<int>(N)))];
}

constexpr std::array<std::string_view, 7> kPlatforms = {"HL2", "HL3", "PRIMO", "HT", "TVC", "BASIC", "ABC80"};

constexpr std::array<std::string_view, 9> kBadPlatforms = {"hl2", "HL4", "", "Primo", "HT ", "TVC|", "BASIC1",
                                                           "ht", "\xC1"};

constexpr std::array<std::string_view, 9> kBadIntegers = {"1O", "", "+", "-", "2147483648", "99999999999",
                                                          "0x10", "1e3", "\xB9"};

// Values that read as integers only by the exact rule: a sign, leading zeros,
// the ends of the 32-bit range and one step past them.
constexpr std::array<std::string_view, 10> kEdgeIntegers = {
    "+5", "007", "-0", "2147483647", "-2147483648", "-2147483649", "00000000002147483648", "000000000000000000012",
    "+-1", "0"};

// Names that are prefixes of each other, hold digits, a backslash, REM or a
// keyword, and names holding what would begin a remark, DATA items, a
// string, a brace unit or a directive outside a name.
constexpr std::array<std::string_view, 24> kLabels = {
    "\\a",       "\\ab",     "\\a1",   "\\loop", "\\loop1", "\\loop10", "\\x1",    "\\long",
    "\\a\\b",    "\\Start2", "\\rem1", "\\DATA", "\\to",    "\\",       "\\\xE9",  "\\x",
    "\\premium", "\\updata", "\\it's", "\\q\"",  "\\b{41}", "\\x&E=a",  "\\c&C=9", "\\p|",
};

// Program text that exercises keywords, names and the HT/PRIMO rules.
constexpr std::array<std::string_view, 44> kStatements = {
    "FOR I=1 TO N",      "NEXT I",         "PRINT TAB(5);\"X\"", "A=USR(0)",        "DATA ORANGE, -1, NEW YORK",
    "READ A$:DATA \"A:B\",C", "IF A THEN 20 ELSE 30", "IF A THEN PRINT:ELSE PRINT", "' note it",  "REM hi \"x\" rem",
    "PRINT \"rem in string\"", "TOTAL=FORD+1",   "PRINTAB$",          "DIMA(10)",         "X=AB(3)",
    "DEF FN A(X)=X*2",   "DEFFN B(X)=1",   "A$=CHAR(39)",       "A$=INKEY$",        "Y=EXP((X)",
    "Z=FSW((1)",         "IF A<>B THEN 1", "IF A><B OR C<=D THEN 2", "GOSUB 100:RETURN", "POKE 16384,PEEK(1)",
    "print chr$(65);",   "x=abc$+d$",      "ON X GOTO 10,20",   "INPUT \"NAME\";N$", "LPRINT USING \"##\";A",
    "A=VARPTR(B)",       "DELETE 10-20",   "LLIST",             "AUTO",             "A=B:C=D",
    "PRINT \"A|B\"",     "PRINT \"&\"",    "A$=B$&C$",          "CLS:END",          "RESTORE:STOP",
    "10 ' old number",   "A%=1:B#=2",      "PRINT\"\"",         "?\"Q\";",
};

// Token literals, well-formed in both letter cases, and broken ones.
constexpr std::array<std::string_view, 14> kBraces = {"{41}", "{a8}", "{A8}", "{4a}", "{FF}", "{00}", "{4",
                                                      "{G1}", "{{41}}", "{7C}", "{}", "{  }", "{0D}", "{"};

// Code page 1250 letters: the eighteen Hungarian ones and a few others.
constexpr std::array<char, 24> kAccented = {
    '\xC1', '\xC9', '\xCD', '\xD3', '\xDA', '\xD6', '\xD5', '\xDC', '\xDB', '\xE1', '\xE9', '\xED',
    '\xF3', '\xFA', '\xF6', '\xF5', '\xFC', '\xFB', '\xE4', '\x9A', '\xC8', '\xA0', '\x8A', '\xB9',
};

struct Context {
    Random& random;
    bool dirty;   // may hold bytes that no table encodes
    int labelUse; // how many of kLabels this project draws from
    std::string_view platform;  // most "&P=" name it, so that most projects build
};

std::string platformDirective(Context& context) {
    return "&P=" +
           std::string(context.random.chance(75) ? context.platform : pick(context.random, kPlatforms));
}

std::string anyByte(Random& random) {
    char c;
    do {
        c = static_cast<char>(random.below(256));
    } while (c == '\r' || c == '\n');
    return std::string(1, c);
}

std::string label(Context& context) {
    return std::string(kLabels[static_cast<std::size_t>(context.random.below(context.labelUse))]);
}

std::string caseMixed(Random& random, std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z' && random.chance(30)) c = static_cast<char>(c + 32);
        else if (c >= 'a' && c <= 'z' && random.chance(30)) c = static_cast<char>(c - 32);
    }
    return text;
}

std::string directive(Context& context) {
    Random& random = context.random;
    switch (random.below(10)) {
        case 0:
        case 1:
        case 2:
            return platformDirective(context);
        case 3:
            return random.chance(80) ? platformDirective(context)
                                     : "&P=" + std::string(pick(random, kBadPlatforms));
        case 4: return "&C=" + std::to_string(random.below(3) * 100 + random.below(40));
        case 5: return "&I=" + std::to_string(1 + random.below(20));
        case 6: return "&I=" + (random.chance(50)   ? std::string(pick(random, kBadIntegers))
                                : random.chance(40) ? std::string(pick(random, kEdgeIntegers))
                                                    : std::to_string(-random.below(3)));
        case 7: return "&C=" + (random.chance(40)   ? std::string(pick(random, kBadIntegers))
                                : random.chance(20) ? std::string(pick(random, kEdgeIntegers))
                                                    : std::to_string(random.below(20)));
        case 8: return "&E=emu.exe -run \"x y\"" + std::string(random.chance(50) ? "|c" : "");
        default: return std::string("&") + "PCIEX"[random.below(5)] + (random.chance(50) ? "" : "=");
    }
}

std::string stringText(Context& context) {
    Random& random = context.random;
    std::string text;
    const int count = random.below(8);
    for (int i = 0; i < count; ++i) {
        switch (random.below(12)) {
            case 0: text += "rem"; break;
            case 1: text += "DATA"; break;
            case 2: text += "'"; break;
            case 3: text += pick(random, kBraces); break;
            case 4: text += kAccented[static_cast<std::size_t>(random.below(18))]; break;
            case 5: text += label(context); break;
            case 6: text += " "; break;
            case 7: text += "\t"; break;
            case 8: text += context.dirty ? anyByte(random) : std::string(1, "abcXYZ019:,;$(^_@"[random.below(17)]); break;
            case 9: if (random.chance(15)) text += directive(context) + (random.chance(70) ? " " : ""); break;
            default: text += static_cast<char>('A' + random.below(26)); break;
        }
    }
    return text;
}

// One piece of program text.
std::string fragment(Context& context) {
    Random& random = context.random;
    switch (random.below(16)) {
        case 0:
        case 1:
        case 2: return caseMixed(random, std::string(pick(random, kStatements)));
        case 3: return "GOTO " + label(context);
        case 4: return caseMixed(random, "GOSUB ") + label(context);
        case 5: {
            std::string text = "\"";
            text += stringText(context);
            if (random.chance(80)) text += '"';
            return text;
        }
        case 6: return caseMixed(random, "REM ") + stringText(context);
        case 7: return std::string(pick(random, kBraces));
        case 8: return std::string(1, kAccented[static_cast<std::size_t>(random.below(context.dirty ? 24 : 18))]);
        case 9: return random.chance(50) ? " " : "\t";
        case 10: return ":";
        case 11: return "| comment " + stringText(context);
        case 12: return random.chance(20) ? directive(context) + (random.chance(70) ? " " : "") : "X";
        case 13: return context.dirty ? anyByte(random) : std::string(1, "0123456789+-*/=<>(),;."[random.below(22)]);
        case 14: {
            std::string name(1, static_cast<char>('a' + random.below(26)));
            name += std::to_string(random.below(10));
            return name;
        }
        default: return caseMixed(random, std::string(pick(random, kStatements)).substr(0, 4));
    }
}

std::string programLine(Context& context, int fragments) {
    Random& random = context.random;
    std::string line;
    if (random.chance(15)) line += label(context) + std::string(random.chance(70) ? " " : (random.chance(50) ? "\t" : "|x"));
    else if (random.chance(20)) line += "\t";
    for (int i = 0; i < fragments; ++i) {
        line += fragment(context);
        if (random.chance(30)) line += ' ';
    }
    return line;
}

// A start that drives the line number towards a platform's limit.
void addLimitRun(Context& context, std::vector<std::string>& lines) {
    Random& random = context.random;
    struct Near {
        std::string_view platform;
        std::string_view start;
    };
    constexpr std::array<Near, 6> kNear = {{{"HL2", "32750"}, {"TVC", "9990"}, {"ABC80", "65530"},
                                            {"PRIMO", "65520"}, {"BASIC", "2147483640"}, {"", "2147483645"}}};
    const Near& near = pick(random, kNear);
    context.platform = near.platform;
    if (!near.platform.empty()) lines.push_back("&P=" + std::string(near.platform));
    lines.push_back("&C=" + std::string(near.start));
    lines.push_back("&I=" + std::to_string(1 + random.below(10)));
    for (int i = random.below(6); i > 0; --i) lines.push_back("PRINT " + std::to_string(i));
}

std::string escaped(const std::string& line) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "\"";
    for (char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            text += "\\x";
            text += kDigits[byte >> 4];
            text += kDigits[byte & 15];
            text += "\"\"";  // keep a following hex digit out of the escape
        } else {
            text += c;
        }
    }
    return text + "\"";
}

}  // namespace

GeneratedProject generateProject(std::uint64_t seed) {
    Random random(seed);
    Context context{random, random.chance(25), 1 + random.below(static_cast<int>(kLabels.size())), {}};
    context.platform = pick(random, kPlatforms);
    GeneratedProject project;
    project.options.removeSpaces = random.chance(60);
    auto& lines = project.lines;
    if (random.chance(85)) lines.push_back("&P=" + std::string(context.platform));
    if (random.chance(50)) lines.push_back("&C=10");
    if (random.chance(50)) lines.push_back("&I=10");
    if (random.chance(8)) addLimitRun(context, lines);
    const int count = random.below(14);
    for (int i = 0; i < count; ++i) {
        const int kind = random.below(20);
        if (kind == 0) lines.push_back(directive(context));
        else if (kind == 1) lines.push_back(programLine(context, 1) + directive(context) + " tail");
        else if (kind == 2) lines.push_back("");
        else if (kind == 3) lines.push_back(label(context));
        else if (kind == 5 && random.chance(30)) {
            // A label, then a number moved before the line it stands for.
            lines.push_back(label(context) + (random.chance(50) ? "" : " | waits"));
            lines.push_back("&C=" + std::to_string(500 + random.below(400)));
        } else if (kind == 4 && random.chance(20))
            lines.push_back(programLine(context, 60 + random.below(200)));
        else lines.push_back(programLine(context, 1 + random.below(5)));
    }
    if (random.chance(40)) lines.push_back(platformDirective(context));
    return project;
}

std::string describeProject(const GeneratedProject& project) {
    std::string text = std::string("removeSpaces=") + (project.options.removeSpaces ? "on" : "off") + "\n";
    for (const auto& line : project.lines) text += "  " + escaped(line) + ",\n";
    return text;
}

}  // namespace lintrel::reference
