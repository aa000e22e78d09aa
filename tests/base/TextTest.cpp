// The byte-wise text helpers: which blanks each one takes, and that case
// folding leaves everything beyond ASCII alone.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/Text.h"

namespace pelvantz {
namespace {

TEST(TextTest, BlanksAreSpacesAndTabsOrSpacesOnly) {
  const struct {
    const char* name;
    std::string_view text;
    std::string_view trimmed;
    std::string_view withoutLeading;
    std::string_view withoutTrailing;
    bool allSpaces;
    bool allSpacesOrTabs;
  } cases[] = {
      {"empty", "", "", "", "", true, true},
      {"spaces only", "   ", "", "", "", true, true},
      {"a tab among spaces", " \t ", "", "", "", false, true},
      {"blanks both sides", " \ta b\t ", "a b", "a b\t ", " \ta b", false, false},
      {"other white space stays", "\n a\r\v", "\n a\r\v", "\n a\r\v", "\n a\r\v", false, false},
      {"bytes beyond ASCII are text", "\t\xC2\xA0\xFF ", "\xC2\xA0\xFF", "\xC2\xA0\xFF ", "\t\xC2\xA0\xFF", false,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrimSpacesAndTabs(c.text), c.trimmed);
    EXPECT_EQ(TrimLeadingSpacesAndTabs(c.text), c.withoutLeading);
    EXPECT_EQ(TrimTrailingSpacesAndTabs(c.text), c.withoutTrailing);
    EXPECT_EQ(IsAllSpaces(c.text), c.allSpaces);
    EXPECT_EQ(IsAllSpacesOrTabs(c.text), c.allSpacesOrTabs);
  }
  EXPECT_TRUE(IsSpaceOrTab(' '));
  EXPECT_TRUE(IsSpaceOrTab('\t'));
  for (const char c : "\n\r\v\f\xA0") EXPECT_FALSE(IsSpaceOrTab(c));  // the closing '\0' too
}

TEST(TextTest, CaseFoldingTouchesAsciiLettersOnly) {
  const struct {
    const char* name;
    std::string text;
    std::string lower;
    std::string upper;
  } cases[] = {
      {"empty", "", "", ""},
      {"letters, digits and signs", "Talk-2 [A@z`{]", "talk-2 [a@z`{]", "TALK-2 [A@Z`{]"},
      {"UTF-8 letters are kept", "Über Straße", "Über straße", "ÜBER STRAßE"},
      {"bytes that are not UTF-8 are kept", "\xC9T\xE9\xFF", "\xC9t\xE9\xFF", "\xC9T\xE9\xFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AsciiLower(c.text), c.lower);
    EXPECT_EQ(AsciiUpper(c.text), c.upper);
  }
}

TEST(TextTest, ComparesIgnoringAsciiCase) {
  const struct {
    std::string_view left;
    std::string_view right;
    bool equal;
    bool leftEndsWithRight;
  } cases[] = {
      {"", "", true, true},
      {"Talk.PPT", "", false, true},
      {"HKEY_CURRENT_USER", "hkey_current_user", true, true},
      {"/talks/Q3.PPT", ".ppt", false, true},
      {"/talks/Q3.ppt", ".PPT", false, true},
      {"/talks/Q3.pptx", ".ppt", false, false},
      {"ppt", ".ppt", false, false},
      {"[", "{", false, false},        // '[' + 32 is '{': only letters fold
      {"Über", "über", false, false},  // their second bytes differ in the ASCII case bit only
      {"\xC9T\xE9", "\xC9t\xE9", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.left) + " ~ " + std::string(c.right));
    EXPECT_EQ(EqualIgnoringAsciiCase(c.left, c.right), c.equal);
    EXPECT_EQ(EqualIgnoringAsciiCase(c.right, c.left), c.equal);
    EXPECT_EQ(EndsWithIgnoringAsciiCase(c.left, c.right), c.leftEndsWithRight);
  }
}

}  // namespace
}  // namespace pelvantz
