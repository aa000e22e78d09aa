#include "engine/PageRange.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/RuntimeFailure.h"
#include "support/TempFolder.h"

namespace pelvantz {
namespace {

const NumberFormat English{".", ",", "-", "+"};
const NumberFormat German{",", ".", "-", "+"};
// French groups digits with a narrow no-break space and writes a decimal comma.
const NumberFormat French{",", "\u202F", "-", "+"};

TEST(PageRangeTest, NumericFollowsTheUsersConventions) {
  struct Case {
    const char* text;
    const NumberFormat& format;
    bool numeric;
  };
  const std::vector<Case> cases = {
      {"3", English, true},        {"  42  ", English, true},      {"\t7", English, true},
      {"-5", English, true},       {"+5", English, true},          {"2.5", English, true},
      {".5", English, true},       {"5.", English, true},          {"1,000", English, true},
      {"1,000.25", English, true}, {"3,", English, true},          {"1e10", English, true},
      {"1E-3", English, true},     {"2.5e+2", English, true},      {"", English, false},
      {"   ", English, false},     {"x", English, false},          {"5x", English, false},
      {"2-5", English, false},     {"1.2.3", English, false},      {",5", English, false},
      {"-", English, false},       {".", English, false},          {"1e", English, false},
      {"e5", English, false},      {"- 5", English, false},        {"2,5", German, true},
      {"1.000,5", German, true},   {"2.5", German, true},          {"2.5.1,0", German, true},
      {"2,5,1", German, false},    {"1\u202F000,5", French, true}, {"1 000", French, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNumeric(c.text, c.format), c.numeric) << "'" << c.text << "'";
  }
}

TEST(PageRangeTest, FromFieldTakesDigitsAndSeparatedRangeMarks) {
  struct Case {
    const char* text;
    char32_t key;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"", U'-', false},   {"", U',', false},         {"", U'0', true},    {"", BackspaceKey, true},
      {"3", U',', true},   {"3", U'-', true},         {"3,", U',', false}, {"3,", U'-', false},
      {"3-", U'-', false}, {"3-", U',', false},       {"3,", U'4', true},  {"3", U'a', false},
      {"3", U' ', false},  {"3", U'.', false},        {"3", U'\r', false}, {"3", U'\u00E9', false},
      {"9", U'9', true},   {"-", BackspaceKey, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(txtFrom_KeyPress(c.text, c.key), c.accepted) << "'" << c.text << "' + " << int(c.key);
  }
}

TEST(PageRangeTest, ToFieldTakesAnythingBehindANumber) {
  struct Case {
    const char* text;
    char32_t key;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"", U'x', false},  {"", U'-', true},   {"", U'7', true},    {"", BackspaceKey, true},
      {"", U',', false},  {"5", U'x', true},  {"5x", U'x', false}, {"5x", U'-', true},
      {"5x", U'1', true}, {"-", U'x', false}, {"2.5", U'.', true}, {" 4 ", U'q', true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(txtTo_KeyPress(c.text, c.key, English), c.accepted) << "'" << c.text << "' + " << int(c.key);
  }
  EXPECT_TRUE(txtTo_KeyPress("2,5", U'x', German));
  EXPECT_FALSE(txtTo_KeyPress("2,5,", U'x', German));
}

TEST(PageRangeTest, PageNumbersRoundHalvesToEven) {
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
      {"-1e-400", 0},
      {"1000e-330", 0},
      {"0.0001e-320", 0},
      {"1e-99999999999999999999", 0},
      {"0e99999999999999999999", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483647.4", 2147483647},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(PageNumberFromText(text), value) << text;
  }
}

TEST(PageRangeTest, PageTextsThatAreNoNumberOrTooLargeFail) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"abc", ErrorNumber::TypeMismatch},
      {"", ErrorNumber::TypeMismatch},
      {"   ", ErrorNumber::TypeMismatch},
      {"5x", ErrorNumber::TypeMismatch},
      {"2-5", ErrorNumber::TypeMismatch},
      {"1,000", ErrorNumber::TypeMismatch},
      {"2,5", ErrorNumber::TypeMismatch},
      {"1 2", ErrorNumber::TypeMismatch},
      {".", ErrorNumber::TypeMismatch},
      {"-", ErrorNumber::TypeMismatch},
      {"1e", ErrorNumber::TypeMismatch},
      {"e5", ErrorNumber::TypeMismatch},
      {"0x10", ErrorNumber::TypeMismatch},
      {"inf", ErrorNumber::TypeMismatch},
      {"nan", ErrorNumber::TypeMismatch},
      {"1e10", ErrorNumber::Overflow},
      {"2147483648", ErrorNumber::Overflow},
      {"-2147483649", ErrorNumber::Overflow},
      {"2147483647.5", ErrorNumber::Overflow},
      {"1e400", ErrorNumber::Overflow},
      {"-1e400", ErrorNumber::Overflow},
      {"0.1e310", ErrorNumber::Overflow},
      {"1" + std::string(320, '0') + "e-5", ErrorNumber::Overflow},
      {"1e99999999999999999999", ErrorNumber::Overflow},
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

TEST(PageRangeTest, NumberTextsKeepThePointUnderACommaLocale) {
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

TEST(PageRangeTest, PrintRangeConvertsThePageTextsOnlyForARange) {
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

// The run's check and the print step read one grammar: a text the check
// passes under the conversion's own conventions is one the print step can
// convert, and the user's conventions add only their separators.
TEST(PageRangeTest, TheCheckAndThePrintStepReadOneGrammar) {
  struct Case {
    const char* text;
    bool numericAsTheConversionReads;
    bool numericAsAnEnglishUserReads;
  };
  const std::vector<Case> cases = {
      {"3", true, true},       {" 2.5 ", true, true},  {"+1e3", true, true},  {".5", true, true},
      {"1,000", false, true},  {"3,", false, true},    {"2,5", false, true},  {"", false, false},
      {"x", false, false},     {"2-5", false, false},  {"1e", false, false},  {"- 5", false, false},
      {"1.2.3", false, false}, {"0x10", false, false}, {"inf", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsNumeric(c.text, ConversionNumberFormat), c.numericAsTheConversionReads);
    EXPECT_EQ(IsNumeric(c.text, English), c.numericAsAnEnglishUserReads);
    bool converts = true;
    try {
      PageNumberFromText(c.text);
    } catch (const RuntimeFailure& failure) {
      converts = failure.number() != ErrorNumber::TypeMismatch;
    }
    EXPECT_EQ(converts, c.numericAsTheConversionReads);
  }
}

}  // namespace
}  // namespace pelvantz
