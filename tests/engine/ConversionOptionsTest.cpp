#include "engine/ConversionOptions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelvantz {
namespace {

struct TextToValue {
  std::string text;
  std::optional<int32_t> value;  // the automation value
};

template <typename Choice>
std::optional<int32_t> AutomationValue(std::optional<Choice> choice) {
  if (!choice) return std::nullopt;
  return static_cast<int32_t>(*choice);
}

TEST(ConversionOptionsTest, OutputTypeIsUpperCasedThenLookedUp) {
  const std::vector<TextToValue> cases = {
      {"Slides", 1},
      {"Outline", 6},
      {"Notes", 5},
      {"1 Slide Handouts", 10},
      {"2 Slide Handouts", 2},
      {"3 Slide Handouts", 3},
      {"4 Slide Handouts", 8},
      {"6 Slide Handouts", 4},
      {"9 Slide Handouts", 9},
      {"slides", 1},
      {"9 slide handouts", 9},
      {"NOTES", 5},
      {"Handouts", std::nullopt},
      {"", std::nullopt},
      {" Slides", std::nullopt},
      {"Slides ", std::nullopt},
  };
  for (const TextToValue& c : cases) {
    EXPECT_EQ(AutomationValue(OutputTypeForText(c.text)), c.value) << c.text;
  }
}

TEST(ConversionOptionsTest, PaperSizeMatchesOnlyInItsOwnCase) {
  const std::vector<TextToValue> cases = {
      {"A3", 9},
      {"A4", 3},
      {"35MM", 4},
      {"Letter", 2},
      {"Invoice", 8},
      {"Banner", 6},
      {"a4", std::nullopt},
      {"letter", std::nullopt},
      {"35mm", std::nullopt},
      {"LETTER", std::nullopt},
      {"Ledger", std::nullopt},
      {"", std::nullopt},
  };
  for (const TextToValue& c : cases) {
    EXPECT_EQ(AutomationValue(SlideSizeForText(c.text)), c.value) << c.text;
  }
}

// The window's lists are filled from the same tables that map the texts: the
// labels stand in the lists' order and each one names its own value.
TEST(ConversionOptionsTest, EveryListLabelNamesItsValue) {
  std::vector<std::string_view> outputLabels;
  for (const auto& choice : OutputTypeChoices) {
    outputLabels.push_back(choice.label);
    EXPECT_EQ(OutputTypeForText(std::string(choice.label)), choice.value) << choice.label;
  }
  EXPECT_EQ(outputLabels, (std::vector<std::string_view>{
                              "Slides", "Notes", "Outline", "1 Slide Handouts", "2 Slide Handouts",
                              "3 Slide Handouts", "4 Slide Handouts", "6 Slide Handouts", "9 Slide Handouts"}));
  std::vector<std::string_view> sizeLabels;
  for (const auto& choice : SlideSizeChoices) {
    sizeLabels.push_back(choice.label);
    EXPECT_EQ(SlideSizeForText(std::string(choice.label)), choice.value) << choice.label;
  }
  EXPECT_EQ(sizeLabels, (std::vector<std::string_view>{"A3", "A4", "35MM", "Letter", "Invoice", "Banner"}));
}

TEST(ConversionOptionsTest, OrientationAndFlags) {
  EXPECT_EQ(static_cast<int32_t>(OrientationFor(true)), 1);
  EXPECT_EQ(static_cast<int32_t>(OrientationFor(false)), 2);
  EXPECT_EQ(MapFlag(true), 1);
  EXPECT_EQ(MapFlag(false), 0);
}

}  // namespace
}  // namespace pelvantz
