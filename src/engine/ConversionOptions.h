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

}  // namespace pelvantz
