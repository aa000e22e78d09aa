#include "engine/Ghostscript.h"

#include <algorithm>
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

// Copies the whole file into the descriptor; false with errno set on failure.
bool CopyInto(std::ifstream& source, int descriptor) {
  char buffer[1 << 16];
  while (source) {
    source.read(buffer, sizeof buffer);
    if (!WriteAll(descriptor, buffer, static_cast<size_t>(source.gcount()))) return false;
  }
  if (source.bad()) {
    errno = EIO;
    return false;
  }
  return true;
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
  const fs::path destination = fs::absolute(target);
  std::error_code error;
  if (!fs::is_directory(destination.parent_path(), error))
    ThrowFileFailure(PathNotFound, "Path not found for", destination, "no such folder");
  // Copying onto a read-only file fails; the rename must not get round that.
  if (IsReadOnlyFile(destination.string()))
    ThrowFileFailure(PermissionDenied, "Permission denied for", destination, "the file is read-only");
  std::ifstream in(source, std::ios::binary);
  if (!in) ThrowFileFailure(ErrorNumber::FileAccess, "Cannot read", source, std::strerror(errno));
  const int failure =
      ReplaceFileWith(destination.string(), [&in](int descriptor) { return CopyInto(in, descriptor); });
  if (failure != 0)
    ThrowFileFailure(ErrorNumber::FileAccess, "Cannot replace", destination, std::strerror(failure));
}

}  // namespace pelvantz
