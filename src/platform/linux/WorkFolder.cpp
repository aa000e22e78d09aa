#include "platform/WorkFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

constexpr const char* LockFileName = "pelvantz.lock";

// Whether the bytes are UTF-8 (Ghostscript drops the bytes of a file name that are not).
bool IsUtf8(const std::string& text) {
  size_t index = 0;
  while (index < text.size()) {
    const auto lead = static_cast<unsigned char>(text[index]);
    const size_t length = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || index + length > text.size()) return false;
    for (size_t next = index + 1; next < index + length; ++next)
      if ((static_cast<unsigned char>(text[next]) & 0xC0) != 0x80) return false;
    index += length;
  }
  return true;
}

bool UsableFolder(const fs::path& folder) {
  if (!IsUtf8(folder.string())) return false;
  std::error_code error;
  fs::create_directories(folder, error);
  return fs::is_directory(folder, error) && ::access(folder.c_str(), R_OK | W_OK | X_OK) == 0;
}

fs::path UserCacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/') return fs::path(cache) / "pelvantz";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return fs::path(home) / ".cache" / "pelvantz";
  return {};
}

}  // namespace

std::string WorkFolderOf(const std::string& applicationFolder) {
  const fs::path beside = fs::path(applicationFolder) / "temp";
  if (UsableFolder(beside)) return beside.string();
  const fs::path own = UserCacheFolder();
  if (!own.empty() && UsableFolder(own)) return own.string();
  throw WorkFolderUnavailable("Neither \"" + beside.string() + "\" nor \"" + own.string() +
                              "\" can be written: there is no folder for the work files.");
}

WorkFolderLock::WorkFolderLock(const std::string& workFolder) {
  const std::string path = workFolder + "/" + LockFileName;
  // Read-only is enough for the lock, so another user can take it on a file we created.
  descriptor_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor_ < 0) throw WorkFolderUnavailable("Cannot open \"" + path + "\": " + std::strerror(errno));
  while (::flock(descriptor_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int error = errno;
    ::close(descriptor_);
    throw WorkFolderUnavailable("Cannot lock \"" + path + "\": " + std::strerror(error));
  }
}

WorkFolderLock::~WorkFolderLock() { ::close(descriptor_); }

}  // namespace pelvantz
