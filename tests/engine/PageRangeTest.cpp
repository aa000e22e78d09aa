#include "engine/PageRange.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pelvantz
