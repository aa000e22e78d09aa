#include "support/Commands.h"

#include <cstdio>

namespace pelvantz::testing {

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string CommandOutput(const std::string& commandLine) {
  std::string output;
  if (FILE* pipe = popen(commandLine.c_str(), "r")) {
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
    pclose(pipe);
  }
  return output;
}

}  // namespace pelvantz::testing
