// The descriptor table: every per-platform fact the build passes and the export
// need, one row per accepted identifier and one for "no platform".
#include "platforms/platforms.h"

#include <array>

#include "images/homelab_htp.h"
#include "images/ht_cas.h"
#include "images/primo_pri.h"
#include "images/text_export.h"
#include "images/tvc_cas.h"
#include "platforms/character_tables.h"
#include "platforms/keyword_tables.h"
#include "platforms/keyword_tables_primo_ht.h"

namespace lintrel {
namespace {

// Both machines store an apostrophe remark as ":REM'", so that the line
// still reads as a remark when the apostrophe follows a statement.
constexpr std::string_view kMicrosoftRemark = "{3A}{93}{FB}";
constexpr std::string_view kMicrosoftData = "DATA";

// clang-format off
// Accepted identifiers first, in the order they are tested; the empty platform last.
constexpr std::array<Platform, 8> kPlatforms{{
    {.id = "ABC80", .machine = "ABC 80",
     .lineNumberForm = LineNumberForm::Decimal, .lineNumberLimit = 65536, .reportedMaximum = 65535,
     .writer = writeListing, .fileName = "Compiled_ABC80.bas"},
    {.id = "HL2", .machine = "Homelab 2", .keywords = kHl2Keywords, .characters = kHl2Characters,
     .lineNumberForm = LineNumberForm::HighByteFirst, .lineNumberLimit = 32760, .reportedMaximum = 32759,
     .spaceRemoval = true, .packsVariableNames = true, .lineReferences = kHomelabReferences,
     .writer = writeHomelab2Image, .reader = readHomelabImage,
     .fileName = "Compiled_HL2.htp", .reportOverhead = 419},
    {.id = "HL3", .machine = "Homelab 3", .keywords = kHl3Keywords, .characters = kHl3Characters,
     .lineNumberForm = LineNumberForm::HighByteFirst, .lineNumberLimit = 32760, .reportedMaximum = 32759,
     .spaceRemoval = true, .packsVariableNames = true, .lineReferences = kHomelabReferences,
     .writer = writeHomelab3Image, .reader = readHomelabImage,
     .fileName = "Compiled_HL3.htp", .reportOverhead = 419},
    {.id = "PRIMO", .machine = "Primo", .keywords = kPrimoKeywords, .characters = kPrimoCharacters,
     .lineNumberForm = LineNumberForm::LowByteFirst, .lineNumberLimit = 65530, .reportedMaximum = 65529,
     .spaceRemoval = true, .apostropheRemark = kMicrosoftRemark, .dataKeyword = kMicrosoftData,
     .lineReferences = kMicrosoftReferences,
     .writer = writePrimoImage, .reader = readPrimoImage,
     .fileName = "Compiled_PRIMO.pri", .reportOverhead = 6},
    {.id = "HT", .machine = "HT-1080Z", .keywords = kHtKeywords, .characters = kHtCharacters,
     .lineNumberForm = LineNumberForm::LowByteFirst, .lineNumberLimit = 65530, .reportedMaximum = 65529,
     .spaceRemoval = true, .apostropheRemark = kMicrosoftRemark, .dataKeyword = kMicrosoftData,
     .lineReferences = kMicrosoftReferences,
     .writer = writeHtImage, .reader = readHtImage,
     .fileName = "Compiled_HT.cas", .reportOverhead = 260},
    {.id = "TVC", .machine = "TVC", .keywords = kTvcKeywords, .characters = kTvcCharacters,
     .lineNumberForm = LineNumberForm::LowByteFirst, .lineNumberLimit = 10000, .reportedMaximum = 9999,
     .spaceRemoval = true, .lineReferences = kTvcReferences,
     .writer = writeTvcImage, .reader = readTvcImage,
     .fileName = "Compiled_TVC.cas", .reportOverhead = 143},
    {.id = "BASIC", .machine = "any BASIC",
     .lineNumberForm = LineNumberForm::DecimalSpace, .literalStage = false,
     .writer = writeSpacedListing, .fileName = "Compiled_BASIC.bas"},
    {.id = "", .machine = "(no \"&P=\" line)",
     .lineNumberForm = LineNumberForm::None, .resolvesLabels = false, .literalStage = false,
     .writer = writeUnnumberedText, .fileName = "Compiled_BASIC.bas"},
}};
// clang-format on

constexpr std::size_t kAcceptedCount = kPlatforms.size() - 1;

// Rules of the table that the compiler can hold it to.
constexpr bool hasExtension(std::string_view fileName, std::string_view stem) {
    for (const std::string_view extension : {".bas", ".htp", ".pri", ".cas"}) {
        if (fileName.size() == 9 + stem.size() + 4 && fileName.starts_with("Compiled_") &&
            fileName.substr(9, stem.size()) == stem && fileName.ends_with(extension))
            return true;
    }
    return false;
}

constexpr bool rowsAreConsistent() {
    for (std::size_t i = 0; i < kPlatforms.size(); ++i) {
        const Platform& row = kPlatforms[i];
        if ((i == kAcceptedCount) != row.id.empty()) return false;  // only the last row has no identifier
        for (std::size_t j = 0; j < i; ++j) {
            if (kPlatforms[j].id == row.id) return false;  // no identifier twice
        }
        if (!hasExtension(row.fileName, row.id.empty() ? "BASIC" : row.id)) return false;
        // Byte images have tables and a size report; the text listings neither.
        // (Writers and readers are not compared here: with the undefined-behaviour
        // sanitizer GCC does not compare function addresses at compile time.)
        const bool byteImage = row.reportOverhead.has_value();
        if (row.keywords.empty() == byteImage || row.characters.empty() == byteImage) return false;
        if (row.spaceRemoval != byteImage) return false;
        // The shown maximum is the last number a line may carry.
        if (row.lineNumberLimit - row.reportedMaximum > 1 || row.lineNumberLimit < row.reportedMaximum)
            return false;
        if (row.resolvesLabels == row.id.empty() || (!row.resolvesLabels && row.literalStage)) return false;
        // The assembler appends the remark code as it stands and matches the
        // DATA keyword by its capitals.
        if (!row.apostropheRemark.empty() && !table_checks::isTokenCode(row.apostropheRemark)) return false;
        for (const char c : row.dataKeyword) {
            if (c < 'A' || c > 'Z') return false;
        }
    }
    return true;
}
static_assert(rowsAreConsistent());

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
