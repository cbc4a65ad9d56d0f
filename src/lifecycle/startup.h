// Program entry: application title, the start-up sequence, the event loop.
#pragma once

namespace lintrel {

int runProgram(int argc, char** argv);

}  // namespace lintrel
