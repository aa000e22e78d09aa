#include "platform/ApplicationFolder.h"

#include <filesystem>

namespace pelvantz {

std::string ApplicationFolder() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path().string();
  return executable.parent_path().string();
}

}  // namespace pelvantz
