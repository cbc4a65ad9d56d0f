// The descriptor table: every per-platform fact the build passes and the image
// writers need, one row per accepted identifier and one for "no platform".
#include "platforms/platforms.h"

#include <array>
#include <limits>

#include "platforms/character_tables.h"
#include "platforms/keyword_tables.h"
#include "platforms/keyword_tables_primo_ht.h"

namespace lintrel {
namespace {

// Text platforms have no limit of their own; the largest int keeps the line
// numbers inside what every caller can hold.
constexpr int kNoLimit = std::numeric_limits<int>::max();

// clang-format off
// Accepted identifiers first, in the order they are tested; the empty platform last.
constexpr std::array<Platform, 8> kPlatforms{{
    {"ABC80", "ABC 80", {}, {}, LineNumberForm::Decimal,
     true, 65536, 65535, false, ImageFormat::Text, "Compiled_ABC80.bas", 0, 0, 6, false, false},
    {"HL2", "Homelab 2", kHl2Keywords, kHl2Characters, LineNumberForm::HighByteFirst,
     true, 32760, 32759, true, ImageFormat::Homelab, "Compiled_HL2.htp", 419, 0x40A0, 6, true, false},
    {"HL3", "Homelab 3", kHl3Keywords, kHl3Characters, LineNumberForm::HighByteFirst,
     true, 32760, 32759, true, ImageFormat::Homelab, "Compiled_HL3.htp", 419, 0x40A0, 6, true, false},
    {"PRIMO", "Primo", kPrimoKeywords, kPrimoCharacters, LineNumberForm::LowByteFirst,
     true, 65530, 65529, true, ImageFormat::Primo, "Compiled_PRIMO.pri", 6, 0x43EA, 6, false, true},
    {"HT", "HT-1080Z", kHtKeywords, kHtCharacters, LineNumberForm::LowByteFirst,
     true, 65530, 65529, true, ImageFormat::Ht, "Compiled_HT.cas", 260, 0x42E9, 6, false, true},
    // TVC records carry lengths, not addresses, so no start address is needed.
    {"TVC", "TVC", kTvcKeywords, kTvcCharacters, LineNumberForm::LowByteFirst,
     true, 10000, 9999, true, ImageFormat::Tvc, "Compiled_TVC.cas", 143, 0, 6, false, false},
    {"BASIC", "any BASIC", {}, {}, LineNumberForm::DecimalSpace,
     true, kNoLimit, kNoLimit, false, ImageFormat::Text, "Compiled_BASIC.bas", 0, 0, 5, false, false},
    {"", "(no \"&P=\" line)", {}, {}, LineNumberForm::None,
     true, kNoLimit, kNoLimit, false, ImageFormat::Text, "Compiled_BASIC.bas", 0, 0, 4, false, false},
}};
// clang-format on

constexpr std::size_t kAcceptedCount = kPlatforms.size() - 1;

static_assert(kHl2Keywords.size() == 69);
static_assert(kHl3Keywords.size() == 96);
static_assert(kPrimoKeywords.size() == 122);
static_assert(kHtKeywords.size() == 124);
static_assert(kTvcKeywords.size() == 102);

struct LetterForm {
    char cp1250;
    std::string_view utf8;
};

constexpr std::array<LetterForm, 18> kLetterForms{{
    {'\xC1', "\xC3\x81"},  // Á
    {'\xC9', "\xC3\x89"},  // É
    {'\xCD', "\xC3\x8D"},  // Í
    {'\xD3', "\xC3\x93"},  // Ó
    {'\xDA', "\xC3\x9A"},  // Ú
    {'\xD6', "\xC3\x96"},  // Ö
    {'\xD5', "\xC5\x90"},  // Ő
    {'\xDC', "\xC3\x9C"},  // Ü
    {'\xDB', "\xC5\xB0"},  // Ű
    {'\xE1', "\xC3\xA1"},  // á
    {'\xE9', "\xC3\xA9"},  // é
    {'\xED', "\xC3\xAD"},  // í
    {'\xF3', "\xC3\xB3"},  // ó
    {'\xFA', "\xC3\xBA"},  // ú
    {'\xF6', "\xC3\xB6"},  // ö
    {'\xF5', "\xC5\x91"},  // ő
    {'\xFC', "\xC3\xBC"},  // ü
    {'\xFB', "\xC5\xB1"},  // ű
}};

}  // namespace

const Platform* findPlatform(std::string_view id) {
    for (std::size_t i = 0; i < kAcceptedCount; ++i) {
        if (kPlatforms[i].id == id) return &kPlatforms[i];
    }
    return nullptr;
}

const Platform& noPlatform() {
    return kPlatforms.back();
}

std::span<const Platform> acceptedPlatforms() {
    return std::span(kPlatforms).first(kAcceptedCount);
}

std::string_view utf8Letter(char cp1250) {
    for (const LetterForm& form : kLetterForms) {
        if (form.cp1250 == cp1250) return form.utf8;
    }
    return {};
}

}  // namespace lintrel
