#include "engine/Ghostscript.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/RuntimeFailure.h"
#include "core/Registry.h"
#include "engine/ProcessRunner.h"
#include "platform/ApplicationFolder.h"
#include "platform/AtomicFile.h"
#include "platform/ChildProcess.h"
#include "platform/FilePermissions.h"
#include "platform/PdfCheck.h"
#include "platform/PdfTextMaps.h"

namespace pelvantz {

namespace fs = std::filesystem;

namespace {

// `gs --version` answers at once; a program that does not is no Ghostscript we know.
constexpr std::chrono::seconds VersionQueryLimit{5};
constexpr const char* NoPdfText = "Ghostscript wrote no PDF from the printed pages.";

std::string WithoutNuls(std::string text) {
  std::erase(text, '\0');
  return text;
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

// How the print file's text gets through a Ghostscript whose newer interpreter
// garbles ToUnicode entries of several UTF-16 units (ligatures, characters
// beyond the BMP): those entries travel as private-use stand-ins and are put
// back in the PDF; where that cannot be done, the older interpreter, which
// reads them right, takes twice the time.
struct TextPassage {
  std::optional<TextMapStandIns> standIns;
  bool legacyInterpreter = false;
};

TextPassage PrepareTextPassage(const std::string& ghostscriptPath, const std::string& printFile) {
  const auto version = GhostscriptVersionOf(ghostscriptPath);
  if (!version || !GarblesLongTextMapEntries(*version)) return {};
  auto standIns = StandInForLongTextMapEntries(printFile);
  return {standIns, !standIns};
}

bool IsNonEmptyFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && fs::file_size(path, error) > 0 && !error;
}

bool IsPdfFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char header[5] = {};
  file.read(header, sizeof header);
  return file.gcount() == sizeof header && std::string(header, sizeof header) == "%PDF-";
}

// What the print file holds, as the office layer wrote it. A PDF must read
// whole, or Ghostscript would rebuild what is left of it into blank pages; a
// PostScript print file has no pages to count. Sets `problem` when it is no
// print file to convert.
std::optional<PdfInspection> ReadPrintFile(const std::string& printFile, std::string& problem) {
  if (!IsNonEmptyFile(printFile)) {
    problem = "No pages were printed: the print file is missing or empty.";
    return std::nullopt;
  }
  if (!IsPdfFile(printFile)) return std::nullopt;
  PdfInspection printed = InspectPdf(printFile, PdfReading::Marks);
  if (!printed.pages) problem = "The printed pages are damaged (" + printed.problem + "): no PDF was made.";
  return printed;
}

// Ghostscript exits 0 after some write failures (a full disk while it closes
// the file), and after reading only part of its input, which it repairs into
// blank pages: only a PDF that reads back whole, every stream with it, is
// delivered, with the print file's page count and its text and pictures when
// the print file has them, else with at least one page. Empty when it passes.
std::string ProblemWithPdf(const std::string& pdfFile, const std::optional<PdfInspection>& printed) {
  if (!IsNonEmptyFile(pdfFile)) return NoPdfText;
  const PdfInspection made = InspectPdf(pdfFile, PdfReading::EveryStream);
  if (!made.pages) return "The PDF Ghostscript wrote is damaged: " + made.problem + ".";
  if (*made.pages < 1) return "The PDF Ghostscript wrote has no pages.";
  if (!printed) return {};
  if (*made.pages != *printed->pages)
    return "Ghostscript wrote " + std::to_string(*made.pages) + " of the " + std::to_string(*printed->pages) +
           " printed pages.";
  if (printed->marks.text && !made.marks.text) return "The PDF Ghostscript wrote has lost the printed text.";
  if (printed->marks.images && !made.marks.images)
    return "The PDF Ghostscript wrote has lost the printed pictures.";
  return {};
}

std::string WhyGhostscriptFailed(const ChildRun& run, const std::string& ghostscriptPath) {
  if (run.end == ChildRun::End::NotStarted) return "Ghostscript \"" + ghostscriptPath + "\" could not be started.";
  return "Ghostscript stopped with exit code " + std::to_string(run.exitCode) + " and made no PDF.";
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
  // A file we may not run is as useless as none: every job would fail.
  if (!IsRunnableFile(path)) return std::nullopt;
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
      OutputOf(ChildCommand{ghostscriptPath, {ghostscriptPath, "--version"}, {}, "", {}, {}}, VersionQueryLimit);
  return output ? ParseGhostscriptVersion(*output) : std::nullopt;
}

bool GarblesLongTextMapEntries(const GhostscriptVersion& version) {
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

PrintFileConversion ConvertPrintFile(const std::string& ghostscriptPath, const std::string& workFolder,
                                     const GhostscriptTimeLimit& limit) {
  const std::string pdfFile = workFolder + PathSeparator + PdfFileName;
  const std::string printFile = workFolder + PathSeparator + PrintFileName;
  RemoveFileIfPresent(pdfFile);
  std::string problem;
  const std::optional<PdfInspection> printed = ReadPrintFile(printFile, problem);
  if (!problem.empty()) return {false, problem};
  // Only a PDF print file has text maps, and only a PDF goes through the newer interpreter.
  const TextPassage text = printed ? PrepareTextPassage(ghostscriptPath, printFile) : TextPassage{};
  const auto commandLine = PdfWriteCommandLine(ghostscriptPath, pdfFile, printFile, text.legacyInterpreter);
  if (!commandLine) return {false, "The Ghostscript path \"" + ghostscriptPath + "\" holds a double quote."};
  std::error_code error;
  const std::uintmax_t printBytes = fs::file_size(printFile, error);
  const std::chrono::milliseconds allowed = GhostscriptLimitFor(limit, error ? 0 : printBytes);
  const ChildRun run = RunWithinLimit(*commandLine, workFolder, allowed, HighPriorityClass);
  if (run.end == ChildRun::End::KilledAtLimit)
    throw RuntimeFailure(ErrorNumber::ConverterTimeout,
                         "Ghostscript did not finish within " +
                             std::to_string(std::chrono::ceil<std::chrono::seconds>(allowed).count()) +
                             " seconds and was stopped.");
  if (run.end != ChildRun::End::Exited || run.exitCode != 0)
    return {false, WhyGhostscriptFailed(run, ghostscriptPath)};
  if (text.standIns && IsNonEmptyFile(pdfFile) && !RestoreLongTextMapEntries(pdfFile, *text.standIns))
    return {false, "The text of Ghostscript's PDF could not be set right."};
  problem = ProblemWithPdf(pdfFile, printed);
  return {problem.empty(), problem};
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
