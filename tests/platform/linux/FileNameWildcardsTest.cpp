// Matching file names against the wildcards a user types.
#include "platform/FileNameWildcards.h"

#include <gtest/gtest.h>

#include <string>

namespace pelvantz {
namespace {

TEST(FileNameWildcardsTest, OnlyStarAndQuestionMarkAreWildcards) {
  const struct {
    const char* name;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"talk.ppt", "*.ppt", true},    {"talk.pptx", "*.ppt", false},  {".ppt", "*.ppt", true},
      {"talk.ppt", "t?lk.ppt", true}, {"tlk.ppt", "t?lk.ppt", false}, {"talk.ppt", "*", true},
      {"[a].ppt", "[a].ppt", true},   {"a.ppt", "[a].ppt", false},    {"a\\b.ppt", "a\\b.ppt", true},
      {"ab.ppt", "a\\b.ppt", false},  {"[x]1.ppt", "[x]?.ppt", true}, {"Talk.ppt", "talk.ppt", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
    EXPECT_EQ(MatchesWildcards(c.name, c.pattern), c.matches);
  }
}

}  // namespace
}  // namespace pelvantz
