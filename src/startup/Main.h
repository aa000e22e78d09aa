#pragma once

namespace pelvantz {

// The program: wires the real services and runs the start procedure. The
// command line goes to Qt only; the program itself takes no arguments.
int RunProgram(int argc, char* argv[]);

}  // namespace pelvantz
