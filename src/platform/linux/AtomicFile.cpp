#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

// Created as any new file would be (the umask applies). Its name does not
// repeat the target's, which may already be as long as a name can be.
int CreateSiblingFile(const fs::path& target, fs::path& created) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    created = target.parent_path() /
              (".pelvantz-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".partial");
    const int descriptor = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  return -1;
}

// A replaced file keeps its mode.
bool KeepModeOf(const fs::path& target, int descriptor) {
  struct stat status {};
  if (::stat(target.c_str(), &status) != 0) return true;  // a new file
  return ::fchmod(descriptor, status.st_mode & 07777) == 0;
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

int ReplaceFileWith(const std::string& path, const std::function<bool(int descriptor)>& write) {
  const fs::path target = ResolveLinks(fs::absolute(path));
  if (IsReadOnlyFile(target.string())) return EACCES;
  fs::path temporary;
  const int descriptor = CreateSiblingFile(target, temporary);
  if (descriptor < 0) return errno;
  const bool written = KeepModeOf(target, descriptor) && write(descriptor) && ::fsync(descriptor) == 0;
  int failure = written ? 0 : errno;
  if (::close(descriptor) != 0 && failure == 0) failure = errno;
  if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temporary.c_str());
    return failure;
  }
  SyncFolder(target.parent_path());
  return 0;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
  return ReplaceFileWith(path, [&content](int descriptor) {
           return WriteAll(descriptor, content.data(), content.size());
         }) == 0;
}

bool WriteAll(int descriptor, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
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
