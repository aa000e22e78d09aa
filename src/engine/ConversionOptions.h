#pragma once
// The user's choices for a conversion, typed where they enter: the names the
// window lists the choices by, the values those names stand for, and the
// switches' 1/0 for the presentation application.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/PrintChoices.h"

namespace pelvantz {

template <typename Value>
struct Choice {
  std::string_view label;
  Value value;
};

// The output types in the window's list order.
inline constexpr std::array<Choice<OutputType>, 9> OutputTypeChoices{{
    {"Slides", OutputType::Slides},
    {"Notes", OutputType::NotesPages},
    {"Outline", OutputType::Outline},
    {"1 Slide Handouts", OutputType::OneSlideHandouts},
    {"2 Slide Handouts", OutputType::TwoSlideHandouts},
    {"3 Slide Handouts", OutputType::ThreeSlideHandouts},
    {"4 Slide Handouts", OutputType::FourSlideHandouts},
    {"6 Slide Handouts", OutputType::SixSlideHandouts},
    {"9 Slide Handouts", OutputType::NineSlideHandouts},
}};

// The slide sizes in the window's list order; "Invoice" stands for the ledger size.
inline constexpr std::array<Choice<SlideSize>, 6> SlideSizeChoices{{
    {"A3", SlideSize::A3Paper},
    {"A4", SlideSize::A4Paper},
    {"35MM", SlideSize::Slides35Mm},
    {"Letter", SlideSize::LetterPaper},
    {"Invoice", SlideSize::Ledger},
    {"Banner", SlideSize::Banner},
}};

// The output type a text names: upper-cased, it equals a label upper-cased
// (ASCII letters only). Nothing for any other text: the presentation then
// prints with its own output type.
std::optional<OutputType> OutputTypeForText(std::string_view text);
// The slide size a text names, in the label's own case; nothing for any other
// text: the presentation then keeps its own slide size.
std::optional<SlideSize> SlideSizeForText(std::string_view text);
SlideOrientation OrientationFor(bool landscape);
int32_t MapFlag(bool flag);  // Flag::On or Flag::Off

struct ConversionOptions {
  std::optional<pelvantz::OutputType> OutputType = pelvantz::OutputType::Slides;
  std::optional<SlideSize> PaperSize = SlideSize::A3Paper;
  SlideOrientation Orientation = SlideOrientation::Landscape;
  bool AllPages = true;
  std::string FromText = "1";  // as typed: Ghostscript's command line takes the texts unchanged
  std::string ToText = "2";
  bool PrintComments = false;
  bool FitToPage = true;
  bool OpenAfterConversion = false;
};

}  // namespace pelvantz
