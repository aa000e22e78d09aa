#include "startup/Main.h"

int main(int argc, char* argv[]) { return pelvantz::RunProgram(argc, argv); }
