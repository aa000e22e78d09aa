#pragma once
#include <string>

namespace pelvantz::testing {

// The text as one single-quoted word of a shell command line.
std::string ShellQuoted(const std::string& text);
// What the command line writes to its standard output; empty when it cannot run.
std::string CommandOutput(const std::string& commandLine);

}  // namespace pelvantz::testing
