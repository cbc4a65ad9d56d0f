#include "lifecycle/startup.h"

int main(int argc, char** argv) { return lintrel::runProgram(argc, argv); }
