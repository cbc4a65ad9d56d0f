#include "import/label_names.h"

#include <array>

namespace lintrel {
namespace {

// Code page 1250 letters with their unaccented lower-case letter: the
// Hungarian ones and the other Central European letters of the code page.
struct Fold {
    unsigned char letter;
    char plain;
};

constexpr std::array<Fold, 44> kFolds{{
    {0xC1, 'a'}, {0xE1, 'a'}, {0xC4, 'a'}, {0xE4, 'a'}, {0xC9, 'e'}, {0xE9, 'e'}, {0xCB, 'e'}, {0xEB, 'e'},
    {0xCC, 'e'}, {0xEC, 'e'}, {0xCD, 'i'}, {0xED, 'i'}, {0xD3, 'o'}, {0xF3, 'o'}, {0xD6, 'o'}, {0xF6, 'o'},
    {0xD5, 'o'}, {0xF5, 'o'}, {0xD4, 'o'}, {0xF4, 'o'}, {0xDA, 'u'}, {0xFA, 'u'}, {0xDC, 'u'}, {0xFC, 'u'},
    {0xDB, 'u'}, {0xFB, 'u'}, {0xD9, 'u'}, {0xF9, 'u'}, {0xC8, 'c'}, {0xE8, 'c'}, {0xD8, 'r'}, {0xF8, 'r'},
    {0x8A, 's'}, {0x9A, 's'}, {0x8E, 'z'}, {0x9E, 'z'}, {0xDD, 'y'}, {0xFD, 'y'}, {0xCF, 'd'}, {0xEF, 'd'},
    {0xD2, 'n'}, {0xF2, 'n'}, {0x8D, 't'}, {0x9D, 't'},
}};

char nameCharacter(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 0x20);
    if (c >= '0' && c <= '9') return static_cast<char>(c);
    for (const Fold& fold : kFolds) {
        if (fold.letter == c) return fold.plain;
    }
    return '_';
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

std::string trimmed(std::string name) {
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name;
}

}  // namespace

std::string nameFromRemark(std::string_view remark) {
    std::string name;
    for (const char c : remark) {
        const char n = nameCharacter(static_cast<unsigned char>(c));
        if (n == '_' && (name.empty() || name.back() == '_')) continue;
        name += n;
    }
    name = trimmed(std::move(name));
    if (name.size() > kLongestLabelName) name = trimmed(name.substr(0, kLongestLabelName));
    return name;
}

std::string nameFromNumber(long number) {
    std::string name = "l";  // built by appends: GCC 12 at -O3 warns wrongly on "l" + string
    name += std::to_string(number);
    return name;
}

bool LabelNames::taken(std::string_view name) const {
    std::string folded(name);
    for (char& c : folded) c = lower(c);
    return names_.count(folded) != 0;
}

std::string LabelNames::claim(const std::string& wanted) {
    std::string name = wanted;
    std::string key = wanted;
    for (char& c : key) c = lower(c);
    int& next = nextSuffix_.try_emplace(key, 2).first->second;
    if (taken(name)) {
        do {
            std::string suffix = "_";  // built by appends: GCC 12 at -O3 warns wrongly on "_" + string
            suffix += std::to_string(next++);
            name = trimmed(wanted.substr(0, kLongestLabelName - suffix.size())) + suffix;
        } while (taken(name));
    }
    std::string folded = name;
    for (char& c : folded) c = lower(c);
    names_.insert(folded);
    return name;
}

}  // namespace lintrel
