#include "startup/Program.h"

int main(int argc, char* argv[]) { return pelvantz::RunProgram(argc, argv); }
