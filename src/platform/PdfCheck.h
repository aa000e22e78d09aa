#pragma once
// Whether a file is a whole, readable PDF, judged by a PDF library rather than
// by a program's exit code: a converter may exit 0 after a write failed.
#include <optional>
#include <string>

namespace pelvantz {

// What the pages put on paper, anywhere in the document.
struct PdfMarks {
  bool text = false;
  bool images = false;
};

struct PdfInspection {
  std::optional<int> pages;  // when the file is a whole PDF
  std::string problem;       // why it is not, otherwise, in words
  PdfMarks marks;            // read with Marks or EveryStream
};

enum class PdfReading {
  Structure,    // the cross-reference table, the trailer and the page tree
  Marks,        // that, and whether the pages show text and images
  EveryStream,  // that, every stream decoded and all of every page's content parsed
};

// Reads the file without repairing anything. EveryStream also finds damaged
// image or content data, which a reader would show as a blank or broken page.
PdfInspection InspectPdf(const std::string& path, PdfReading reading = PdfReading::Structure);

}  // namespace pelvantz
