#include "platform/WorkFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/UserFolder.h"

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

bool UsableFolder(const std::string& folder) { return IsUtf8(folder) && IsWritableFolder(folder); }

}  // namespace

std::string WorkFolderOf(const std::string& applicationFolder) {
  const std::string beside = (fs::path(applicationFolder) / "temp").string();
  if (UsableFolder(beside)) return beside;
  const std::string own = UserFolderOf(UserFiles::Cache);
  if (!own.empty() && UsableFolder(own)) return own;
  throw WorkFolderUnavailable("Neither \"" + beside + "\" nor \"" + own +
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
