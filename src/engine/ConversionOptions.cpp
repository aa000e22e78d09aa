#include "engine/ConversionOptions.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/PresentationApp.h"

namespace pelvantz {

namespace {

struct Mapping {
  std::string_view text;
  int32_t value;
};

// Table order decides; the first equal entry wins.
constexpr std::array<Mapping, 9> OutputTypes{{
    {"SLIDES", PrintOutput::Slides},
    {"OUTLINE", PrintOutput::Outline},
    {"NOTES", PrintOutput::NotesPages},
    {"1 SLIDE HANDOUTS", PrintOutput::OneSlideHandouts},
    {"2 SLIDE HANDOUTS", PrintOutput::TwoSlideHandouts},
    {"3 SLIDE HANDOUTS", PrintOutput::ThreeSlideHandouts},
    {"4 SLIDE HANDOUTS", PrintOutput::FourSlideHandouts},
    {"6 SLIDE HANDOUTS", PrintOutput::SixSlideHandouts},
    {"9 SLIDE HANDOUTS", PrintOutput::NineSlideHandouts},
}};

// "Invoice" stands for the ledger size.
constexpr std::array<Mapping, 6> PaperSizes{{
    {"A3", SlideSizeType::A3Paper},
    {"A4", SlideSizeType::A4Paper},
    {"35MM", SlideSizeType::Slides35Mm},
    {"Letter", SlideSizeType::LetterPaper},
    {"Invoice", SlideSizeType::Ledger},
    {"Banner", SlideSizeType::Banner},
}};

std::optional<int32_t> Lookup(std::string_view text, const auto& table) {
  for (const Mapping& entry : table) {
    if (entry.text == text) return entry.value;
  }
  return std::nullopt;
}

// ASCII letters only: the table's literals are ASCII, and the window's list
// offers nothing else.
std::string AsciiUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
  return text;
}

}  // namespace

std::optional<int32_t> MapOutputType(const std::string& outputType) {
  return Lookup(AsciiUpper(outputType), OutputTypes);
}

std::optional<int32_t> MapPaperSize(const std::string& paperSize) { return Lookup(paperSize, PaperSizes); }

int32_t MapSlideOrientation(bool landscape) { return landscape ? Orientation::Landscape : Orientation::Portrait; }

int32_t MapFlag(bool flag) { return flag ? Flag::On : Flag::Off; }

}  // namespace pelvantz
