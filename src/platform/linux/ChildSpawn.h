#pragma once
// Starting child processes (the office, Ghostscript) that never outlive the
// program, however it ends: each child asks the kernel to kill it when its
// parent dies, and that parent is a thread which lives as long as the program
// (the kernel counts a thread's end as its parent's death).
#include <sys/types.h>

#include <string>
#include <vector>

namespace pelvantz {

struct ChildSpec {
  std::string program;                    // the file to execute
  std::vector<std::string> arguments;     // argv, starting with the program's name
  std::vector<std::string> environment;   // the whole environment, "NAME=value"
  std::string directory;                  // its current directory; empty: ours
  std::vector<int> inheritedDescriptors;  // passed on as descriptors 3, 4, ... in this order (at most 7)
  int standardOutput = -1;                // becomes its standard output; -1: /dev/null
  bool ownProcessGroup = false;           // leads a group of its own
};

struct SpawnResult {
  pid_t pid = -1;
  int error = 0;  // errno of the step that failed (no such program, no such folder); 0 when started
};

// Starts the child with its standard streams on /dev/null (but for the
// output asked for), none of our other
// descriptors, default signal handling and nothing blocked. A child whose
// parent has already gone by the time it runs ends at once.
SpawnResult SpawnChild(const ChildSpec& spec);

// Our environment, for ChildSpec::environment.
std::vector<std::string> CurrentEnvironment();

}  // namespace pelvantz
