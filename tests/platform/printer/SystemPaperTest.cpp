// Where the sheets' paper comes from: the paper library's settings, as its own
// tools read them.
#include "platform/printer/SystemPaper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "support/TempFolder.h"

namespace pelvantz::printer {
namespace {

using layout::Size;

// Sets (or with nullptr unsets) a variable for one scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SystemPaperTest, TheSettingsNameThePaperInTheirOrder) {
  testing::TempFolder folder;
  const auto conf = folder.path() / "papersize";
  std::ofstream(conf) << "# the site's paper\n\n  A5  \n";
  const Size a5{14800, 21000};
  const Size letter{21590, 27940};
  const struct {
    const char* papersize;
    const char* paperconf;
    std::optional<Size> expected;  // nothing: the system file's paper
  } cases[] = {
      {"letter", nullptr, letter},         {"Letter", conf.c_str(), letter}, {nullptr, conf.c_str(), a5},
      {"no such paper", conf.c_str(), a5}, {nullptr, nullptr, std::nullopt},
  };
  const auto systemFile = PaperNameInFile("/etc/papersize");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.papersize ? c.papersize : "-") + " / " + (c.paperconf ? c.paperconf : "-"));
    ScopedVariable papersize("PAPERSIZE", c.papersize);
    ScopedVariable paperconf("PAPERCONF", c.paperconf);
    const Size paper = SystemPaper();
    if (c.expected) {
      EXPECT_EQ(paper, *c.expected);
    } else if (systemFile) {
      EXPECT_EQ(paper, PaperNamed(*systemFile).value_or(Size{})) << *systemFile;
    }
  }
}

TEST(SystemPaperTest, KnownNamesHaveTheirSizesAndUnknownOnesNone) {
  EXPECT_EQ(PaperNamed("a4"), (Size{21000, 29700}));
  EXPECT_EQ(PaperNamed("EXECUTIVE"), (Size{18415, 26670}));  // an 'I' folds to 'i' in every locale
  EXPECT_EQ(PaperNamed("a4paper"), std::nullopt);
  testing::TempFolder folder;
  std::ofstream(folder.path() / "empty") << "# nothing but a comment\n";
  EXPECT_EQ(PaperNameInFile(folder.path() / "empty"), std::nullopt);
  EXPECT_EQ(PaperNameInFile(folder.path() / "missing"), std::nullopt);
}

}  // namespace
}  // namespace pelvantz::printer
