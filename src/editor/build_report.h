// What one build leaves for the build panel: when it ran, for which machine,
// the file it wrote with both sizes or the error that stopped it, and its
// warnings.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "compiler/build.h"

namespace lintrel {

struct BuildReport {
    QDateTime finished;
    QString platform;    // "HT"; empty for a project without "&P="
    QString outputPath;  // full path of the file written; empty when none was
    qint64 fileSize = 0;
    std::optional<qint64> programSize;  // byte images: the size of the BASIC code
    std::optional<Diagnostic> error;    // the build or the export stopped here
    QString failure;                    // an error with no place in the text (writing the file)
    std::vector<Diagnostic> warnings;   // in the order the build found them
};

}  // namespace lintrel
