#pragma once
// What this user may do with a file or folder, as the system itself answers
// (so that access lists and the administrator's rights count).
#include <string>

namespace pelvantz {

bool MayRead(const std::string& path);
bool MayWrite(const std::string& path);
bool MayRun(const std::string& path);

// Whether the path names an ordinary file (no folder, no device) that this
// user may read; false when nothing is there. Throws RuntimeFailure
// (FileAccess, the system's reason) when the path cannot be examined for
// another reason.
bool IsReadableRegularFile(const std::string& path);

// Whether the path names an ordinary file that this user may run; false for
// nothing there, a folder and an empty path alike.
bool IsRunnableFile(const std::string& path);

}  // namespace pelvantz
