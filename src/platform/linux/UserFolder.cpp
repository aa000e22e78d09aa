#include "platform/UserFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace pelvantz {

namespace fs = std::filesystem;

std::string UserFolderOf(UserFiles kind) {
  const bool cache = kind == UserFiles::Cache;
  const char* own = std::getenv(cache ? "XDG_CACHE_HOME" : "XDG_CONFIG_HOME");
  if (own != nullptr && own[0] == '/') return (fs::path(own) / "pelvantz").string();
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/')
    return (fs::path(home) / (cache ? ".cache" : ".config") / "pelvantz").string();
  return {};
}

bool IsWritableFolder(const std::string& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  return fs::is_directory(folder, error) && ::access(folder.c_str(), R_OK | W_OK | X_OK) == 0;
}

}  // namespace pelvantz
