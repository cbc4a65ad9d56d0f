// The server over two file descriptors (standard input and output): reads
// framed messages as they come, runs builds once a document has rested, and
// ends at "exit" or at the end of the input.
#pragma once

#include "lsp/server.h"

namespace lintrel::lsp {

// The exit status: 0 after shutdown and exit, 1 when exit came without
// shutdown, when the input ended first, or when the client could not be
// written to.
int runLanguageServer(int input, int output, ServerSetup setup);

}  // namespace lintrel::lsp
