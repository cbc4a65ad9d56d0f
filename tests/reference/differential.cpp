#include "reference/differential.h"

#include <sstream>

#include "export/export.h"
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

std::optional<std::string> compareResults(const BuildResult& product, const BuildResult& reference) {
    if (!same(product.error, reference.error)) {
        return "error differs\n  product:   " + show(product.error) + "\n  reference: " + show(reference.error);
    }
    if (product.error) return std::nullopt;  // the rest is what was built so far
    if (product.platform != reference.platform) {
        return "platform differs: product \"" + std::string(product.platform->id) + "\", reference \"" +
               std::string(reference.platform->id) + "\"";
    }
    if (product.emulatorCommand != reference.emulatorCommand) return std::string("emulator command differs");
    if (auto d = compareLists("lines", product.lines, reference.lines)) return d;
    if (product.sourceLines != reference.sourceLines) return std::string("sourceLines differ");
    if (auto d = compareLists("labelNames", product.labelNames, reference.labelNames)) return d;
    if (auto d = compareLists("labelNumbers", product.labelNumbers, reference.labelNumbers)) return d;

    const ExportResult productFile = makeOutputFile(product);
    const ExportResult referenceFile = makeOutputFile(reference);
    if (!same(productFile.error, referenceFile.error)) {
        return "export error differs\n  product:   " + show(productFile.error) + "\n  reference: " +
               show(referenceFile.error);
    }
    if (productFile.file.fileName != referenceFile.file.fileName) return std::string("output file name differs");
    if (productFile.file.bytes != referenceFile.file.bytes) return std::string("output file bytes differ");
    if (productFile.file.isByteImage != referenceFile.file.isByteImage ||
        productFile.file.reportOverhead != referenceFile.file.reportOverhead)
        return std::string("output file kind differs");
    return std::nullopt;
}

}  // namespace

std::optional<std::string> compareWithProduct(const GeneratedProject& project) {
    const BuildResult product = lintrel::build(project.lines, project.options);
    const BuildResult reference = reference::build(project.lines, project.options);
    return compareResults(product, reference);
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
