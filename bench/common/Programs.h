#pragma once
// Other programs as the benches run them (soffice, stress-ng, poppler-utils):
// through the program's child-process primitive, never through a shell.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ChildProcess.h"

namespace pelvantz::bench {

// Starts a program found on the PATH, its standard output on the given
// descriptor (-1: thrown away); nothing when it cannot start.
std::unique_ptr<ChildProcess> StartProgram(const std::vector<std::string>& arguments, int standardOutput = -1);

// Runs it to its end; its exit code, -1 when it cannot start.
int RunProgram(const std::vector<std::string>& arguments);

// What the program writes on its standard output; nothing when it cannot
// start or does not exit with 0.
std::optional<std::string> ProgramOutput(const std::vector<std::string>& arguments);

// The PDF's page count by pdfinfo; 0 when it has none or cannot be read.
int PdfPages(const std::filesystem::path& pdf);

}  // namespace pelvantz::bench
