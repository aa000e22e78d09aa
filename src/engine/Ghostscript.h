#pragma once
// The Ghostscript side of a conversion: finding the program, turning the print
// file into the PDF, and delivering the PDF to its target.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace pelvantz {

class Registry;

// The fixed intermediate files in the work folder.
constexpr const char* PrintFileName = "PsFile.ps";
constexpr const char* RangeFileName = "PdfFiletemp.pdf";  // written by earlier versions only
constexpr const char* PdfFileName = "PdfFile.pdf";

// The "GSPath" registry value without its NUL characters, when it names an
// existing regular file that we may run; nothing otherwise.
std::optional<std::string> LocateGhostscript(Registry& registry);

struct GhostscriptVersion {
  int major = 0;
  int minor = 0;
};

// What the program says of its version ("10.00.0"); nothing when it cannot
// be run or says nothing readable.
std::optional<GhostscriptVersion> GhostscriptVersionOf(const std::string& ghostscriptPath);

// Reads "major.minor[.patch]", as `gs --version` prints it.
std::optional<GhostscriptVersion> ParseGhostscriptVersion(const std::string& text);

// Whether the release's newer PDF interpreter garbles a ToUnicode entry that
// gives one glyph several UTF-16 units (every ligature, every character beyond
// the BMP): 10.00 and 10.01 do; 10.02 mended it, and earlier releases ran the
// older interpreter, which reads them right, anyway.
bool GarblesLongTextMapEntries(const GhostscriptVersion& version);

// The pdfwrite command line turning `inputFile` into `outputFile`, each path
// quoted so that it reaches Ghostscript unchanged; with `legacyPdfInterpreter`
// it asks for the older PDF interpreter. Nothing when the program path holds
// a double quote, which the program token cannot carry.
std::optional<std::string> PdfWriteCommandLine(const std::string& ghostscriptPath, const std::string& outputFile,
                                               const std::string& inputFile, bool legacyPdfInterpreter = false);

// How long one Ghostscript pass may run before it counts as hung: far more
// than a healthy pass needs, grown with the size of the print file.
struct GhostscriptTimeLimit {
  std::chrono::milliseconds base{std::chrono::seconds(120)};
  std::chrono::milliseconds perMegabyte{std::chrono::seconds(10)};
};

// The limit for a print file of this many bytes.
std::chrono::milliseconds GhostscriptLimitFor(const GhostscriptTimeLimit& limit, std::uintmax_t printFileBytes);

// What became of the print file: the PDF, or why there is none, in words.
struct PrintFileConversion {
  bool pdfCreated = false;
  std::string problem;  // empty when the PDF was created
  explicit operator bool() const { return pdfCreated; }
};

// Converts the work folder's print file into its PDF file. On a Ghostscript
// that garbles long ToUnicode entries, the print file's carry stand-ins through
// it and are put back in the PDF (where that cannot be, the older interpreter
// runs). Created only when the print file reads whole (when it is a PDF),
// Ghostscript started, exited with 0 and wrote a PDF that reads whole, every
// stream decoded, with as many pages as the print file; a PDF left by an
// earlier job is removed first so that it can never pass for this one's.
// Throws RuntimeFailure when the stale file cannot be removed, and
// (ErrorNumber::ConverterTimeout) when Ghostscript had to be stopped at its limit.
PrintFileConversion ConvertPrintFile(const std::string& ghostscriptPath, const std::string& workFolder,
                                     const GhostscriptTimeLimit& limit = {});

// Removes the file if it is there; throws RuntimeFailure (75) when it cannot.
void RemoveFileIfPresent(const std::string& path);

// Copies `source` over `target` through a temporary file beside the target and
// a rename, so the target is always either the old file or the complete new
// one. Throws RuntimeFailure: 76 when the target's folder is missing, 70 when
// the target is read-only, 75 for any other failure.
void ReplaceFile(const std::string& source, const std::string& target);

}  // namespace pelvantz
