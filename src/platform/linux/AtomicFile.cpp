#include "platform/linux/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

bool WriteAll(int descriptor, const std::string& content) {
  const char* next = content.data();
  size_t left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(descriptor, next, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    next += written;
    left -= static_cast<size_t>(written);
  }
  return true;
}

// A new file gets what an ordinary create would give it; a replaced one keeps its mode.
mode_t ModeFor(const fs::path& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0) return status.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The rename itself must reach the disk, or a crash can bring the old name back.
void SyncFolder(const fs::path& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

fs::path ResolveLinks(const fs::path& path) {
  std::error_code error;
  const fs::path resolved = fs::weakly_canonical(path, error);
  return error ? path : resolved;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
  const fs::path target = ResolveLinks(fs::absolute(path));
  if (IsReadOnlyFile(target.string())) return false;
  std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (descriptor < 0) return false;
  const bool written =
      WriteAll(descriptor, content) && ::fchmod(descriptor, ModeFor(target)) == 0 && ::fsync(descriptor) == 0;
  const bool closed = ::close(descriptor) == 0;
  if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(target.parent_path());
  return true;
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;  // nothing there to protect
  return (status.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  std::error_code error;
  if (fs::is_directory(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream buffer;
  buffer << file.rdbuf();
  if (file.bad()) return false;
  content = buffer.str();
  return true;
}

}  // namespace pelvantz
