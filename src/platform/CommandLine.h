#pragma once
// Reading a Windows-style command line (one text, program first) as a program
// to execute and its argument vector.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelvantz {

// The arguments of a command-line text by the Windows C run-time's rules:
// blanks (space, tab) separate arguments outside double quotes; a double quote
// starts or ends a quoted part and is dropped; 2n backslashes before a quote
// give n backslashes and the quote acts as above; 2n+1 backslashes before a
// quote give n backslashes and a literal quote; other backslashes are literal.
// A pair of quotes alone gives an empty argument.
std::vector<std::string> SplitArguments(std::string_view text);

// The executable file a program name stands for: a name with a "/" as a path
// (relative to the current directory), a bare name looked up along PATH.
// Nothing unless it is a regular file we may execute.
std::optional<std::string> FindExecutable(const std::string& name);

struct ResolvedCommandLine {
  std::string executable;              // absolute path of the file to run
  std::vector<std::string> arguments;  // argv, starting with the program as written
};

// Finds the program of a command line as Windows' process creation does when
// it is given no separate program name: a quoted first token is the program
// as it stands; otherwise the shortest blank-separated prefix of the line that
// names an executable file is the program ("/opt/my tools/gs -q" tries
// "/opt/my", then "/opt/my tools/gs"). The rest of the line is split into
// arguments. Nothing when no program can be found.
std::optional<ResolvedCommandLine> ResolveCommandLine(std::string_view commandLine);

}  // namespace pelvantz
