// Fuzz target: product against reference on arbitrary project bytes. The
// reference is slow, so long inputs are left to the build target.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "reference/differential.h"
#include "text/code_page_1250.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) return 0;
    lintrel::reference::GeneratedProject project;
    project.options.removeSpaces = (data[0] & 1) != 0;
    project.lines = lintrel::splitProjectLines(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    if (const auto difference = lintrel::reference::compareWithProduct(project)) {
        std::fprintf(stderr, "product and reference differ: %s\n%s", difference->c_str(),
                     lintrel::reference::describeProject(project).c_str());
        std::abort();
    }
    return 0;
}
