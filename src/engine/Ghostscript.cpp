#include "engine/Ghostscript.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/ProcessRunner.h"
#include "platform/linux/AtomicFile.h"
#include "platform/ApplicationFolder.h"
#include "platform/RuntimeFailure.h"
#include "startup/core/Registry.h"

namespace pelvantz {

namespace fs = std::filesystem;

namespace {

constexpr int32_t HiddenWindow = 0;

std::string WithoutNuls(std::string text) {
  std::erase(text, '\0');
  return text;
}

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_regular_file(path, error);
}

// An unquoted program path with blanks would be resolved by trying its
// prefixes ("/opt/my" before "/opt/my gs/gs"), which could start another
// program: quote it. A quoted program ends at the next quote, so it cannot hold one.
std::optional<std::string> ProgramToken(const std::string& path) {
  if (path.find('"') != std::string::npos) return std::nullopt;
  if (path.find_first_of(" \t") == std::string::npos) return path;
  return "\"" + path + "\"";
}

// Quotes an argument for the command-line splitter: backslashes are literal
// except before a quote, so those are doubled and the quote itself escaped.
std::string QuotedArgument(const std::string& text) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

// pdfwrite reads '%' in the output name as a page-number template.
std::string LiteralOutputName(const std::string& path) {
  std::string escaped;
  for (char c : path) {
    escaped += c;
    if (c == '%') escaped += '%';
  }
  return escaped;
}

bool IsNonEmptyFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && fs::file_size(path, error) > 0 && !error;
}

[[noreturn]] void ThrowFileFailure(int32_t number, const std::string& action, const fs::path& path,
                                   const std::string& reason) {
  throw RuntimeFailure(number, action + " '" + path.string() + "': " + reason);
}

fs::path ReplacementTarget(const fs::path& target) {
  std::error_code error;
  // Replace the file a link points to, not the link.
  if (fs::is_symlink(target, error)) {
    const fs::path resolved = fs::weakly_canonical(target, error);
    if (!error) return resolved;
  }
  return target;
}

// Creates a fresh file beside the target; the umask applies as for any new file.
// Its name does not repeat the target's, which may already be as long as a
// name can be.
int CreateSiblingFile(const fs::path& target, fs::path& created) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    created = target.parent_path() /
              (".pelvantz-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".partial");
    const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void WriteAll(int fd, const fs::path& source, const fs::path& partial) {
  std::ifstream in(source, std::ios::binary);
  if (!in) ThrowFileFailure(ErrorNumber::FileAccess, "Cannot read", source, std::strerror(errno));
  char buffer[1 << 16];
  while (in) {
    in.read(buffer, sizeof buffer);
    const char* next = buffer;
    std::streamsize left = in.gcount();
    while (left > 0) {
      const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) ThrowFileFailure(ErrorNumber::FileAccess, "Cannot write", partial, std::strerror(errno));
      next += written;
      left -= written;
    }
  }
  if (in.bad()) ThrowFileFailure(ErrorNumber::FileAccess, "Cannot read", source, "read error");
  if (::fsync(fd) != 0) ThrowFileFailure(ErrorNumber::FileAccess, "Cannot write", partial, std::strerror(errno));
}

void KeepModeOf(const fs::path& existing, int fd) {
  struct stat status {};
  if (::stat(existing.c_str(), &status) == 0) ::fchmod(fd, status.st_mode & 07777);
}

}  // namespace

std::optional<std::string> LocateGhostscript(Registry& registry) {
  const RegistryValue value =
      registry.GetRegistryValue(HKEY_LOCAL_MACHINE_, "SOFTWARE\\GS", "GSPath");
  std::string path = WithoutNuls(RegistryValueText(value));
  if (!IsRegularFile(path)) return std::nullopt;
  return path;
}

std::optional<std::string> PdfWriteCommandLine(const std::string& ghostscriptPath,
                                               const std::string& outputFile,
                                               const std::string& inputFile) {
  const auto program = ProgramToken(ghostscriptPath);
  if (!program) return std::nullopt;
  return *program + " -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=" +
         QuotedArgument(LiteralOutputName(outputFile)) + " -dCompatibilityLevel=1.4 -f " +
         QuotedArgument(inputFile);
}

bool ConvertPrintFile(const std::string& ghostscriptPath, const std::string& workFolder) {
  const std::string pdfFile = workFolder + PathSeparator + PdfFileName;
  RemoveFileIfPresent(pdfFile);
  const auto commandLine =
      PdfWriteCommandLine(ghostscriptPath, pdfFile, workFolder + PathSeparator + PrintFileName);
  if (!commandLine) return false;
  const std::optional<int> exitCode =
      RunAndWaitForExitCode(*commandLine, workFolder, WaitInfinite, HiddenWindow, HighPriorityClass);
  return exitCode == 0 && IsNonEmptyFile(pdfFile);
}

void RemoveFileIfPresent(const std::string& path) {
  std::error_code error;
  fs::remove(path, error);
  if (error) ThrowFileFailure(ErrorNumber::FileAccess, "Cannot delete", path, error.message());
}

void ReplaceFile(const std::string& source, const std::string& target) {
  const fs::path destination = ReplacementTarget(fs::absolute(target));
  std::error_code error;
  if (!fs::is_directory(destination.parent_path(), error))
    ThrowFileFailure(PathNotFound, "Path not found for", destination, "no such folder");
  // Copying onto a read-only file fails; the rename must not get round that.
  if (IsReadOnlyFile(destination.string()))
    ThrowFileFailure(PermissionDenied, "Permission denied for", destination, "the file is read-only");

  fs::path partial;
  const int fd = CreateSiblingFile(destination, partial);
  if (fd < 0) ThrowFileFailure(ErrorNumber::FileAccess, "Cannot write", destination, std::strerror(errno));
  try {
    KeepModeOf(destination, fd);
    WriteAll(fd, source, partial);
  } catch (...) {
    ::close(fd);
    fs::remove(partial, error);
    throw;
  }
  const bool closed = ::close(fd) == 0;
  if (closed) fs::rename(partial, destination, error);
  if (!closed || error) {
    const std::string reason = closed ? error.message() : std::strerror(errno);
    fs::remove(partial, error);
    ThrowFileFailure(ErrorNumber::FileAccess, "Cannot replace", destination, reason);
  }
}

}  // namespace pelvantz
