#include "engine/Ghostscript.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/Registry.h"
#include "core/RuntimeFailure.h"
#include "engine/ProcessRunner.h"
#include "platform/ApplicationFolder.h"
#include "platform/AtomicFile.h"
#include "platform/ChildProcess.h"
#include "platform/PdfCheck.h"

namespace pelvantz {

namespace fs = std::filesystem;

namespace {

// `gs --version` answers at once; a program that does not is no Ghostscript we know.
constexpr std::chrono::seconds VersionQueryLimit{5};

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

// Ghostscript exits 0 after some write failures (a full disk while it closes
// the file): only a PDF that reads back whole is delivered, with the print
// file's page count when that is a PDF too, else with at least one page.
bool HasPagesOf(const std::string& pdfFile, const std::string& printFile) {
  const std::optional<int> pages = InspectPdf(pdfFile).pages;
  if (!pages) return false;
  const std::optional<int> printed = InspectPdf(printFile).pages;
  return printed ? *pages == *printed : *pages >= 1;
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
  const RegistryValue value = registry.GetRegistryValue(RegistryRoot::LocalMachine, "SOFTWARE\\GS", "GSPath");
  std::string path = WithoutNuls(RegistryValueText(value));
  if (!IsRegularFile(path)) return std::nullopt;
  return path;
}

std::optional<GhostscriptVersion> ParseGhostscriptVersion(const std::string& text) {
  GhostscriptVersion version;
  char dot = 0;
  std::istringstream in(text);
  if (!(in >> version.major >> dot >> version.minor) || dot != '.' || version.major < 0 || version.minor < 0)
    return std::nullopt;
  return version;
}

std::optional<GhostscriptVersion> GhostscriptVersionOf(const std::string& ghostscriptPath) {
  const auto output =
      OutputOf(ChildCommand{ghostscriptPath, {ghostscriptPath, "--version"}, {}, "", {}}, VersionQueryLimit);
  return output ? ParseGhostscriptVersion(*output) : std::nullopt;
}

bool NeedsLegacyPdfInterpreter(const GhostscriptVersion& version) {
  return version.major == 10 && version.minor < 2;
}

std::optional<std::string> PdfWriteCommandLine(const std::string& ghostscriptPath, const std::string& outputFile,
                                               const std::string& inputFile, bool legacyPdfInterpreter) {
  const auto program = ProgramToken(ghostscriptPath);
  if (!program) return std::nullopt;
  return *program + " -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=" +
         QuotedArgument(LiteralOutputName(outputFile)) + " -dCompatibilityLevel=1.4" +
         (legacyPdfInterpreter ? " -dNEWPDF=false" : "") + " -f " + QuotedArgument(inputFile);
}

std::chrono::milliseconds GhostscriptLimitFor(const GhostscriptTimeLimit& limit, std::uintmax_t printFileBytes) {
  constexpr std::uintmax_t Megabyte = 1024 * 1024;
  const auto megabytes = static_cast<std::chrono::milliseconds::rep>((printFileBytes + Megabyte - 1) / Megabyte);
  return limit.base + limit.perMegabyte * megabytes;
}

bool ConvertPrintFile(const std::string& ghostscriptPath, const std::string& workFolder,
                      const GhostscriptTimeLimit& limit) {
  const std::string pdfFile = workFolder + PathSeparator + PdfFileName;
  const std::string printFile = workFolder + PathSeparator + PrintFileName;
  RemoveFileIfPresent(pdfFile);
  const auto version = GhostscriptVersionOf(ghostscriptPath);
  const auto commandLine =
      PdfWriteCommandLine(ghostscriptPath, pdfFile, printFile, version && NeedsLegacyPdfInterpreter(*version));
  if (!commandLine) return false;
  std::error_code error;
  const std::uintmax_t printBytes = fs::file_size(printFile, error);
  const std::chrono::milliseconds allowed = GhostscriptLimitFor(limit, error ? 0 : printBytes);
  const ChildRun run = RunWithinLimit(*commandLine, workFolder, allowed, HighPriorityClass);
  if (run.end == ChildRun::End::KilledAtLimit)
    throw RuntimeFailure(ErrorNumber::ConverterTimeout,
                         "Ghostscript did not finish within " +
                             std::to_string(std::chrono::ceil<std::chrono::seconds>(allowed).count()) +
                             " seconds and was stopped.");
  return run.end == ChildRun::End::Exited && run.exitCode == 0 && IsNonEmptyFile(pdfFile) &&
         HasPagesOf(pdfFile, printFile);
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
    ThrowFileFailure(ErrorNumber::PathNotFound, "Path not found for", destination, "no such folder");
  // Copying onto a read-only file fails; the rename must not get round that.
  if (IsReadOnlyFile(destination.string()))
    ThrowFileFailure(ErrorNumber::PermissionDenied, "Permission denied for", destination, "the file is read-only");
  std::ifstream in(source, std::ios::binary);
  if (!in) ThrowFileFailure(ErrorNumber::FileAccess, "Cannot read", source, std::strerror(errno));
  const int failure =
      ReplaceFileWith(destination.string(), [&in](int descriptor) { return CopyInto(in, descriptor); });
  if (failure != 0)
    ThrowFileFailure(ErrorNumber::FileAccess, "Cannot replace", destination, std::strerror(failure));
}

}  // namespace pelvantz
