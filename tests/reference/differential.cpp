#include "reference/differential.h"

#include <sstream>

#include "golden/compile_project.h"
#include "reference/reference_build.h"

namespace lintrel::reference {

namespace {

std::string visible(const std::string& text) {
    std::ostringstream out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) out << c;
        else out << "<" << std::hex << std::uppercase << static_cast<int>(byte) << std::dec << ">";
    }
    return out.str();
}

std::string show(const std::optional<Diagnostic>& diagnostic) {
    if (!diagnostic) return "(no error)";
    std::ostringstream out;
    out << "\"" << visible(diagnostic->message) << "\" line " << diagnostic->line << " column " << diagnostic->column
        << " length " << diagnostic->length << (diagnostic->selects ? " selects" : " no selection");
    return out.str();
}

bool same(const std::optional<Diagnostic>& a, const std::optional<Diagnostic>& b) {
    if (a.has_value() != b.has_value()) return false;
    if (!a) return true;
    return a->message == b->message && a->line == b->line && a->column == b->column && a->length == b->length &&
           a->selects == b->selects;
}

std::optional<std::string> compareLists(const char* what, const std::vector<std::string>& product,
                                        const std::vector<std::string>& reference) {
    for (std::size_t i = 0; i < product.size() || i < reference.size(); ++i) {
        if (i >= product.size() || i >= reference.size() || product[i] != reference[i]) {
            std::ostringstream out;
            out << what << "[" << i << "] differ\n  product:   "
                << (i < product.size() ? visible(product[i]) : "(missing)") << "\n  reference: "
                << (i < reference.size() ? visible(reference[i]) : "(missing)");
            return out.str();
        }
    }
    return std::nullopt;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

// The adapter from the product's program to the reference's finished lines:
// the number in the platform's layout, then the bytes, each byte of a byte
// image as its nibble pair; text lines as text.
std::vector<std::string> finishedLines(const BuildResult& product) {
    std::vector<std::string> lines;
    const Program& program = product.program;
    const LineNumberForm form = product.platform->lineNumberForm;
    const bool bytes = form == LineNumberForm::HighByteFirst || form == LineNumberForm::LowByteFirst;
    for (std::size_t i = 0; i < program.size(); ++i) {
        const long n = program.number(i);
        std::string line;
        if (bytes) {
            const int high = static_cast<int>((n >> 8) & 0xFF), low = static_cast<int>(n & 0xFF);
            line = form == LineNumberForm::HighByteFirst ? nibblePair(high) + nibblePair(low)
                                                         : nibblePair(low) + nibblePair(high);
            for (const unsigned char b : program.bytes(i)) line += nibblePair(b);
        } else {
            if (form != LineNumberForm::None) line = std::to_string(n);
            if (form == LineNumberForm::DecimalSpace) line += ' ';
            line += program.text(i);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<int> origins(const Program& program) {
    std::vector<int> lines;
    for (std::size_t i = 0; i < program.size(); ++i) lines.push_back(static_cast<int>(program.origin(i)));
    return lines;
}

// The product's finished lines and label table, and its output file, against
// the reference's own. The output file comes from the product's writers and
// the reference's writers, so a fault in either shows up here.
std::optional<std::string> compareResults(const BuildResult& product, const testing::CompiledProject& productFile,
                                          const Result& reference) {
    if (!same(productFile.error, reference.error)) {
        return "error differs\n  product:   " + show(productFile.error) + "\n  reference: " + show(reference.error);
    }
    if (product.error) return std::nullopt;  // the rest is what was built so far
    if (product.platform->id != reference.platform) {
        return "platform differs: product \"" + std::string(product.platform->id) + "\", reference \"" +
               reference.platform + "\"";
    }
    if (product.emulatorCommand != reference.emulatorCommand) return std::string("emulator command differs");
    if (auto d = compareLists("lines", finishedLines(product), reference.lines)) return d;
    if (origins(product.program) != reference.sourceLines) return std::string("sourceLines differ");
    if (auto d = compareLists("labelNames", product.labelNames, reference.labelNames)) return d;
    if (auto d = compareLists("labelNumbers", product.labelNumbers, reference.labelNumbers)) return d;
    if (productFile.fileName != reference.fileName) {
        return "output file name differs: product \"" + productFile.fileName + "\", reference \"" +
               reference.fileName + "\"";
    }
    const auto& a = productFile.bytes;
    const auto& b = reference.image;
    for (std::size_t i = 0; i < a.size() || i < b.size(); ++i) {
        if (i < a.size() && i < b.size() && a[i] == b[i]) continue;
        return "output file bytes differ at offset " + std::to_string(i) + " (product " + std::to_string(a.size()) +
               " bytes, reference " + std::to_string(b.size()) + ")";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> compareWithProduct(const GeneratedProject& project) {
    const BuildResult product = lintrel::build(project.lines, project.options);
    const testing::CompiledProject productFile =
        testing::compileProject(joined(project.lines), project.options.removeSpaces);
    const Result reference = reference::build(project.lines, project.options);
    return compareResults(product, productFile, reference);
}

GeneratedProject shrinkMismatch(GeneratedProject project) {
    bool smaller = true;
    while (smaller) {
        smaller = false;
        for (std::size_t i = 0; i < project.lines.size(); ++i) {
            GeneratedProject trial = project;
            trial.lines.erase(trial.lines.begin() + static_cast<std::ptrdiff_t>(i));
            if (compareWithProduct(trial)) {
                project = trial;
                smaller = true;
                --i;
            }
        }
        for (auto& line : project.lines) {
            for (std::size_t at = 0; at < line.size();) {
                GeneratedProject trial = project;
                std::string& trialLine = trial.lines[static_cast<std::size_t>(&line - project.lines.data())];
                trialLine.erase(at, 1);
                if (compareWithProduct(trial)) {
                    line.erase(at, 1);
                    smaller = true;
                } else {
                    ++at;
                }
            }
        }
    }
    return project;
}

std::string describeMismatch(std::uint64_t seed, const GeneratedProject& project, const std::string& difference) {
    const GeneratedProject small = shrinkMismatch(project);
    const auto smallDifference = compareWithProduct(small);
    return "seed " + std::to_string(seed) + ": " + difference + "\nshrunk project (" +
           smallDifference.value_or(difference) + "):\n" + describeProject(small);
}

}  // namespace lintrel::reference
