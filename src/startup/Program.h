#pragma once

namespace pelvantz {

// The program: wires the real services and runs the start procedure. Every
// argument after the program's name is ignored, by the program and by Qt.
int RunProgram(int argc, char* argv[]);

}  // namespace pelvantz
