#pragma once
// Whether a file is a whole, readable PDF, judged by a PDF library rather than
// by a program's exit code: a converter may exit 0 after a write failed.
#include <optional>
#include <string>

namespace pelvantz {

struct PdfInspection {
  std::optional<int> pages;  // when the file is a whole PDF
  std::string problem;       // why it is not, otherwise
};

// Reads the file's cross-reference table and trailer without repairing
// anything and walks its page tree.
PdfInspection InspectPdf(const std::string& path);

}  // namespace pelvantz
