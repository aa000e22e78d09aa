#include "engine/ConversionOptions.h"

#include <algorithm>
#include <cstddef>

#include "base/Text.h"
#include "platform/PresentationApp.h"

namespace pelvantz {

namespace {

// ASCII letters only: the labels are ASCII, and the window's list offers
// nothing else.
constexpr bool EqualUpperCased(std::string_view text, std::string_view label) {
  return std::equal(text.begin(), text.end(), label.begin(), label.end(),
                    [](char a, char b) { return AsciiUpper(a) == AsciiUpper(b); });
}

// The first equal label decides. No two labels are equal upper-cased, so the
// order the table is searched in cannot change which one that is.
constexpr bool LabelsDifferUpperCased() {
  for (std::size_t i = 0; i < OutputTypeChoices.size(); ++i)
    for (std::size_t j = i + 1; j < OutputTypeChoices.size(); ++j)
      if (EqualUpperCased(OutputTypeChoices[i].label, OutputTypeChoices[j].label)) return false;
  return true;
}
static_assert(LabelsDifferUpperCased());

}  // namespace

std::optional<OutputType> OutputTypeForText(std::string_view text) {
  for (const auto& choice : OutputTypeChoices)
    if (EqualUpperCased(text, choice.label)) return choice.value;
  return std::nullopt;
}

std::optional<SlideSize> SlideSizeForText(std::string_view text) {
  for (const auto& choice : SlideSizeChoices)
    if (choice.label == text) return choice.value;
  return std::nullopt;
}

SlideOrientation OrientationFor(bool landscape) {
  return landscape ? SlideOrientation::Landscape : SlideOrientation::Portrait;
}

int32_t MapFlag(bool flag) { return flag ? Flag::On : Flag::Off; }

}  // namespace pelvantz
