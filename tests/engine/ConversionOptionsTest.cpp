#include "engine/ConversionOptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace pelvantz {
namespace {

struct TextToValue {
  std::string text;
  std::optional<int32_t> value;
};

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
    EXPECT_EQ(MapOutputType(c.text), c.value) << c.text;
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
    EXPECT_EQ(MapPaperSize(c.text), c.value) << c.text;
  }
}

TEST(ConversionOptionsTest, OrientationAndFlags) {
  EXPECT_EQ(MapSlideOrientation(true), 1);
  EXPECT_EQ(MapSlideOrientation(false), 2);
  EXPECT_EQ(MapFlag(true), 1);
  EXPECT_EQ(MapFlag(false), 0);
}

}  // namespace
}  // namespace pelvantz
