#pragma once
// Processes as /proc shows them, for tests that start the real office or
// Ghostscript and check that none is left.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pelvantz::testing {

// The command lines (arguments joined by blanks) of the processes other than
// this one that mention the text.
std::vector<std::string> ProcessesMentioning(const std::string& text);

// Office processes whose command line mentions the folder (their profile lies in it).
std::vector<pid_t> OfficeProcessesUsing(const std::filesystem::path& folder);

// The path of the profile URL the office process was started on
// (-env:UserInstallation); empty when the process is gone.
std::string OfficeProfileOf(pid_t pid);

}  // namespace pelvantz::testing
