#pragma once
// The user's choices for a conversion and their mapping to the values the
// presentation application receives.
#include <cstdint>
#include <optional>
#include <string>

namespace pelvantz {

struct ConversionOptions {
  std::string OutputType = "Slides";
  std::string PaperSize = "A3";
  bool Landscape = true;
  bool AllPages = true;
  std::string FromText = "1";
  std::string ToText = "2";
  bool PrintComments = false;
  bool FitToPage = true;
  bool OpenAfterConversion = false;
};

// PrintOptions.OutputType for the text (upper-cased, table order), or nothing.
std::optional<int32_t> MapOutputType(const std::string& outputType);
// PageSetup.SlideSize for the text (case-sensitive), or nothing.
std::optional<int32_t> MapPaperSize(const std::string& paperSize);
int32_t MapSlideOrientation(bool landscape);  // Orientation::Landscape or Portrait
int32_t MapFlag(bool flag);                   // Flag::On or Flag::Off
// A page text as a 32-bit integer, halves to even. The text is a number:
// blanks (space, tab) around, an optional sign, digits with at most one "."
// among them, an optional exponent ("e5", "E-2"). The decimal point is always
// "." whatever the user's locale, and there are no digit-group separators.
// Throws RuntimeFailure 13 "Type mismatch" for text that is not such a number
// (empty, blank, letters) and 6 "Overflow" for a number outside the 32-bit
// range (or beyond a double, "1e400").
int32_t PageNumberFromText(const std::string& text);

struct PrintRange {
  int32_t From;
  int32_t To;
};
// -1, -1 for all pages; otherwise FromText..ToText converted (may throw).
PrintRange MapPrintRange(const ConversionOptions& options);

}  // namespace pelvantz
