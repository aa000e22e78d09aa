#include "platform/FilePermissions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/RuntimeFailure.h"

namespace pelvantz {

bool MayRead(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

bool MayWrite(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

bool MayRun(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

bool IsReadableRegularFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return false;
    throw RuntimeFailure(ErrorNumber::FileAccess, std::strerror(errno));
  }
  return S_ISREG(status.st_mode) && MayRead(path);
}

bool IsRunnableFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && MayRun(path);
}

}  // namespace pelvantz
