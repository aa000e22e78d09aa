#include "platform/FileIdentity.h"

#include <sys/stat.h>

#include <filesystem>

namespace pelvantz {

std::string FileKey(const std::string& path) {
  if (path.empty()) return {};
  std::error_code error;
  const auto resolved = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
  return error ? path : resolved.string();
}

bool SameFile(const std::string& left, const std::string& right) {
  struct stat leftStatus {};
  struct stat rightStatus {};
  if (::stat(left.c_str(), &leftStatus) == 0 && ::stat(right.c_str(), &rightStatus) == 0)
    return leftStatus.st_dev == rightStatus.st_dev && leftStatus.st_ino == rightStatus.st_ino;
  const std::string key = FileKey(left);
  return !key.empty() && key == FileKey(right);
}

}  // namespace pelvantz
