#pragma once
#include <string>

namespace pelvantz {

// One queued presentation: one row of the job list.
struct ConversionJob {
  std::string DisplayName;  // the file name: the source path after its last separator
  std::string SourcePath;
  std::string TargetPath;
  std::string Status;  // "", "Converting...", "Completed", "Failed"
  std::string Reason;  // why the job ended so, in plain words; empty until it ends
};

}  // namespace pelvantz
