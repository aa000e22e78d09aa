#pragma once
// Child processes as /proc shows them, and files they write, for the tests of
// starting and ending processes.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace pelvantz::testing {

// A file of the process's folder in /proc ("stat", "cmdline"); empty once the
// process is gone, also when it ends while the file is read.
std::string ProcFileOf(pid_t pid, const char* name);

// The state letter of a process ('R', 'S', 'Z', ...), or 0 once it is gone.
char ProcessState(pid_t pid);

// Whether the process is gone (reaped) within the limit.
bool GoneWithin(pid_t pid, std::chrono::seconds limit);

// Whether the file appears within the limit; children write such files by
// renaming, so a file that exists is whole.
bool AppearsWithin(const std::filesystem::path& path, std::chrono::seconds limit);

// The process id a child wrote into the file, once it has appeared; -1 if it did not.
pid_t PidWrittenTo(const std::filesystem::path& path);

}  // namespace pelvantz::testing
