// The reference build: the passes as plain whole-text operations, one step at
// a time, slow on purpose. The differential test holds the product against it,
// so it is written from the documented algorithms, never from the product.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/build.h"

namespace lintrel::reference {

// What the reference makes of a project. Its own shape, so that the product's
// result can change without the reference following it; only `Diagnostic`
// and `BuildOptions` are shared.
struct Result {
    std::optional<Diagnostic> error;  // the build stopped, or the program does not fit its image
    std::string platform;             // identifier in force after the last line ("" for none)
    std::string emulatorCommand;
    std::vector<std::string> lines;   // finished lines (complete also when the image did not fit)
    std::vector<int> sourceLines;     // editor line of each finished line
    std::vector<std::string> labelNames;    // after the resolver's sort
    std::vector<std::string> labelNumbers;
    std::string fileName;             // "Compiled_HL2.htp"; empty on an error
    std::vector<unsigned char> image; // the whole output file
};

// Runs the line assembler, the label resolver, the nibble encoding, the
// tokenizer, the unencodable-character check and the image writer, in that
// order.
Result build(const std::vector<std::string>& projectLines, const BuildOptions& options);

// The output file of `platform` from its finished lines (text lines for the
// listings), or the transfer line at which the program stopped fitting.
struct Image {
    std::string fileName;
    std::vector<unsigned char> bytes;
    std::optional<std::size_t> stoppedAt;
    std::string message;
};
Image writeImage(std::string_view platform, const std::vector<std::string>& lines);

// Pairs of characters, the low four bits of each; an unpaired last one dropped.
std::vector<unsigned char> decodeFinished(const std::string& line);

// ---- pieces, exposed for the reference's own tests ----

// Leftmost, non-overlapping, ASCII letters compared without case, inserted
// text never rescanned; an empty pattern replaces nothing.
std::string replaceAll(std::string_view text, std::string_view pattern, std::string_view replacement);

// Every line followed by CR LF, and back.
std::string joinLines(const std::vector<std::string>& lines);
std::vector<std::string> splitLines(const std::string& text);

// "{XX}" with upper-case digits, and the nibble pair of the same byte.
std::string tokenLiteral(int value);
std::string nibblePair(int value);

// The 256 replace-alls over the whole buffer.
void hexEnCoding(std::vector<std::string>& buffer);

// Stable sort by descending name length, then one replace-all per row over
// the whole buffer.
void labelEnCoding(std::vector<std::string>& buffer, std::vector<std::string>& names,
                   std::vector<std::string>& numbers);

// Keyword pass, nibble encoding, line pass (upper case, Homelab names,
// character pass), nibble encoding; `platform` is the identifier in force.
void tokenizer(std::vector<std::string>& buffer, std::string_view platform);

// Where a source line's program text lies, for the unencodable check.
struct ScannedLine {
    int begin = 0;  // first index after a label definition name
    int end = 0;    // index of the "|" or "&" that ended the scan, or the length
    std::vector<int> nibbleBytes;  // indices of 0x80-0x8F bytes passed on as program text
};

struct Assembly {
    std::optional<Diagnostic> error;
    std::string platform;
    std::string emulatorCommand;
    long long lineNumber = 1;
    long long increment = 1;
    std::vector<std::string> buffer;
    std::vector<int> sourceLines;
    std::vector<std::string> labelNames;
    std::vector<std::string> labelNumbers;
    std::vector<std::size_t> awaitingLine;  // labels defined since the last program line
    std::vector<ScannedLine> scanned;       // one per editor line read
    // Per buffer line: the platform when its reading began and when it was numbered.
    std::vector<std::string> readUnder;
    std::vector<std::string> numberedUnder;
};

Assembly assembleLines(const std::vector<std::string>& projectLines, const BuildOptions& options);

// The first program line made under a platform other than the last one.
std::optional<Diagnostic> findLineOfAnotherPlatform(const Assembly& assembly);

// The first unencodable character in source order, for the five byte-image
// platforms; nothing for the others.
std::optional<Diagnostic> findUnencodable(const Assembly& assembly,
                                          const std::vector<std::string>& finishedLines,
                                          const std::vector<std::string>& projectLines);

// Character-table lookup with the HT accented letters taken by their UTF-8
// form; a unit without a row comes back unchanged.
std::string lookUpCharacter(std::string_view platform, const std::string& unit);

}  // namespace lintrel::reference
