// From a build to the one output file of its platform, and from a project to
// that file on disk: the compile command that the window's F12 and lintrelc
// share.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/build.h"

namespace lintrel {

struct OutputFile {
    std::string fileName;              // "Compiled_HL2.htp", "Compiled_BASIC.bas", ...
    std::vector<unsigned char> bytes;  // the whole file
    bool isByteImage = false;          // byte images get the size report
    int reportOverhead = 0;
};

struct ExportResult {
    std::optional<Diagnostic> error;  // program does not fit the format
    OutputFile file;
    bool ok() const { return !error.has_value(); }
};

// Pure: calls the writer of the build's platform and assembles the file bytes.
ExportResult makeOutputFile(const BuildResult& build);

// "The size of the created file is: N bytes." CR LF "The size of the BASIC code is: M bytes."
std::string sizeReport(long long fileSize, int reportOverhead);

// What compiling a project came to; with neither error set, the file is written.
struct CompiledProject {
    std::optional<Diagnostic> error;       // the build stopped or the program does not fit: nothing written
    std::optional<std::string> fileError;  // the file could not be written (the text names it)
    std::filesystem::path file;            // the output file: the exports folder and the platform's file name
    std::optional<std::string> sizeReport;  // byte images: the size report of the written file
    long long fileSize = 0;                 // of the written file
    std::optional<long long> programSize;   // byte images: the size of the BASIC code in it
    const Platform* platform = nullptr;     // in force after the last line
    std::string emulatorCommand;            // the last "&E=" value; empty when the project has none
    std::vector<Diagnostic> warnings;       // sorted by place; the first kKeptWarnings
    std::size_t warningCount = 0;           // all of them
    bool stoppedByWarnings = false;         // warnings taken as errors: nothing written
    bool ok() const { return !error && !fileError && !stoppedByWarnings; }
};

// Builds the project, makes the output file of its platform and writes it
// into `exportsFolder`, which is never created, replacing an earlier file of
// the same name. Starting the emulator command is left to the caller, after
// it has shown the size report.
CompiledProject compileProject(const std::vector<std::string>& projectLines, const BuildOptions& options,
                               const std::filesystem::path& exportsFolder,
                               const BuildProgress& progress = {});

// The same from the project file's bytes, split into lines as they are read.
CompiledProject compileProjectText(std::string_view projectText, const BuildOptions& options,
                                   const std::filesystem::path& exportsFolder,
                                   const BuildProgress& progress = {});

// Where the output file goes: into the exports folder under the platform's
// file name, in place of a file the user named (replaced as in the folder),
// or down an open stream such as standard output, whole once it is built.
struct OutputPlace {
    enum class Kind { ExportsFolder, File, Stream };
    Kind kind = Kind::ExportsFolder;
    std::filesystem::path path;  // the folder or the file
    int stream = -1;
};

// compileProjectText with the file put at `place`; `file` of the result is
// empty for a stream.
CompiledProject compileProjectText(std::string_view projectText, const BuildOptions& options,
                                   const OutputPlace& place, const BuildProgress& progress = {});

// Why the file could not be put at `place`, for the user: the folder that is
// missing or not a folder, the file name taken by a folder, else `error`.
std::string outputProblem(const OutputPlace& place, const std::string& error);

}  // namespace lintrel
