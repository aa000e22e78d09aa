#pragma once
// The folder of a job's work files, and holding it for one job at a time.
#include <stdexcept>
#include <string>

namespace pelvantz {

// No folder for the work files, or its lock cannot be had; says which and why.
class WorkFolderUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `temp` beside the program, created when missing; when the program's folder
// cannot be written (a system-wide install), or its name is not UTF-8 (which
// the converter's command line cannot carry), a folder of the user's own:
// $XDG_CACHE_HOME/pelvantz, else ~/.cache/pelvantz. Throws WorkFolderUnavailable
// when neither can be used.
std::string WorkFolderOf(const std::string& applicationFolder);

// Holds the work folder for this job against every other job, also of other
// copies of the program (users or sessions sharing one install): the fixed
// file names there belong to one job at a time. Waits while another job holds it.
class WorkFolderLock {
 public:
  // Throws WorkFolderUnavailable when the lock file cannot be opened.
  explicit WorkFolderLock(const std::string& workFolder);
  ~WorkFolderLock();
  WorkFolderLock(const WorkFolderLock&) = delete;
  WorkFolderLock& operator=(const WorkFolderLock&) = delete;

 private:
  int descriptor_;
};

}  // namespace pelvantz
