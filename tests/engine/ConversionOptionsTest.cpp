#include "engine/ConversionOptions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "base/RuntimeFailure.h"
#include "support/TempFolder.h"

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

TEST(ConversionOptionsTest, PageNumbersRoundHalvesToEven) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"1", 1},
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"2.4", 2},
      {"2.6", 3},
      {"0.5", 0},
      {"1.5", 2},
      {"-3.5", -4},
      {" 7 ", 7},
      {"\t12\t", 12},
      {"+3", 3},
      {"-0", 0},
      {"1e3", 1000},
      {"2.5E1", 25},
      {"5.", 5},
      {".5", 0},
      {"1e-400", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483647.4", 2147483647},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(PageNumberFromText(text), value) << text;
  }
}

TEST(ConversionOptionsTest, PageTextsThatAreNoNumberOrTooLargeFail) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"abc", ErrorNumber::TypeMismatch},      {"", ErrorNumber::TypeMismatch},
      {"   ", ErrorNumber::TypeMismatch},      {"5x", ErrorNumber::TypeMismatch},
      {"2-5", ErrorNumber::TypeMismatch},      {"1,000", ErrorNumber::TypeMismatch},
      {"2,5", ErrorNumber::TypeMismatch},      {"1 2", ErrorNumber::TypeMismatch},
      {".", ErrorNumber::TypeMismatch},        {"-", ErrorNumber::TypeMismatch},
      {"1e", ErrorNumber::TypeMismatch},       {"e5", ErrorNumber::TypeMismatch},
      {"0x10", ErrorNumber::TypeMismatch},     {"inf", ErrorNumber::TypeMismatch},
      {"nan", ErrorNumber::TypeMismatch},      {"1e10", ErrorNumber::Overflow},
      {"2147483648", ErrorNumber::Overflow},   {"-2147483649", ErrorNumber::Overflow},
      {"2147483647.5", ErrorNumber::Overflow}, {"1e400", ErrorNumber::Overflow},
      {"-1e400", ErrorNumber::Overflow},
  };
  for (const auto& [text, number] : cases) {
    try {
      PageNumberFromText(text);
      ADD_FAILURE() << "no failure for '" << text << "'";
    } catch (const RuntimeFailure& failure) {
      EXPECT_EQ(failure.number(), number) << text;
      EXPECT_EQ(failure.description(), number == ErrorNumber::Overflow ? "Overflow" : "Type mismatch");
    }
  }
}

// Compiles a German locale (decimal comma) into a private folder and makes it
// the numeric locale for the scope, as the window does with the user's locale.
class GermanNumbers {
 public:
  GermanNumbers() {
    const std::string command = "localedef -i de_DE -f UTF-8 '" + folder_.str() + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return;
    setenv("LOCPATH", folder_.str().c_str(), 1);
    active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  }
  ~GermanNumbers() {
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
  }
  bool active() const { return active_; }

 private:
  testing::TempFolder folder_;
  bool active_ = false;
};

TEST(ConversionOptionsTest, NumberTextsKeepThePointUnderACommaLocale) {
  GermanNumbers german;
  if (!german.active()) GTEST_SKIP() << "cannot build a de_DE locale here";
  ASSERT_EQ(std::strtod("2,75", nullptr), 2.75);  // the locale is in force

  EXPECT_EQ(PageNumberFromText("2.75"), 3);
  EXPECT_EQ(PageNumberFromText("3.5"), 4);
  try {
    PageNumberFromText("2,75");
    ADD_FAILURE() << "the locale's comma was read as a decimal point";
  } catch (const RuntimeFailure& failure) {
    EXPECT_EQ(failure.number(), ErrorNumber::TypeMismatch);
  }
}

TEST(ConversionOptionsTest, PrintRangeConvertsThePageTextsOnlyForARange) {
  ConversionOptions options;
  options.FromText = "abc";
  options.ToText = "1e10";
  EXPECT_EQ(MapPrintRange(options).From, -1);  // all pages: texts not looked at
  EXPECT_EQ(MapPrintRange(options).To, -1);

  options.AllPages = false;
  options.FromText = "1";
  options.ToText = "2.5";
  const PrintRange range = MapPrintRange(options);
  EXPECT_EQ(range.From, 1);
  EXPECT_EQ(range.To, 2);

  options.ToText = "1e10";
  EXPECT_THROW(MapPrintRange(options), RuntimeFailure);
}

}  // namespace
}  // namespace pelvantz
