// Reading Windows-style command lines as a program and its arguments.
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

void WriteExecutable(const fs::path& path, const std::string& content) {
  std::ofstream(path) << content;
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

TEST(CommandLineTest, SplitsArgumentsByTheWindowsRules) {
  struct Case {
    std::string line;
    std::vector<std::string> arguments;
  };
  const std::vector<Case> cases = {
      {"a b  c", {"a", "b", "c"}},
      {" \ta\t b ", {"a", "b"}},
      {"", {}},
      {"   ", {}},
      {R"("a b" c)", {"a b", "c"}},
      {R"(x "" y)", {"x", "", "y"}},
      {R"(a""b)", {"ab"}},
      {R"(pre"fix mid"post)", {"prefix midpost"}},
      {R"("unterminated quote)", {"unterminated quote"}},
      {R"(a\b c\\d)", {R"(a\b)", R"(c\\d)"}},
      {R"(a\"b)", {R"(a"b)"}},           // 1 backslash: literal quote
      {R"(a\\"b c")", {R"(a\b c)"}},     // 2: one backslash, quote groups
      {R"(a\\\"b)", {R"(a\"b)"}},        // 3: one backslash and a literal quote
      {R"(a\\\\"b c")", {R"(a\\b c)"}},  // 4: two backslashes, quote groups
      {R"("C:\dir\\" next)", {R"(C:\dir\)", "next"}},
      {R"(-sOutputFile="C:\out dir\x.pdf" -f "in.ps")", {R"(-sOutputFile=C:\out dir\x.pdf)", "-f", "in.ps"}},
      {R"(trailing\)", {R"(trailing\)"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitArguments(c.line), c.arguments) << c.line;
  }
}

TEST(CommandLineTest, FindsTheProgramOfAnUnquotedLineByItsShortestExecutablePrefix) {
  TempFolder folder;
  const fs::path tools = folder.path() / "my tools";
  fs::create_directories(tools / "sub dir");
  WriteExecutable(tools / "prog", "#!/bin/sh\n");
  WriteExecutable(tools / "sub dir" / "prog", "#!/bin/sh\n");
  std::ofstream(tools / "plain") << "not executable\n";
  const std::string base = folder.str();

  struct Case {
    std::string line;
    std::optional<std::string> executable;
    std::vector<std::string> arguments;
  };
  const std::vector<Case> cases = {
      {base + "/my tools/prog -x \"y z\"", (tools / "prog").string(), {base + "/my tools/prog", "-x", "y z"}},
      {"  " + base + "/my tools/sub dir/prog",
       (tools / "sub dir" / "prog").string(),
       {base + "/my tools/sub dir/prog"}},
      {"\"" + base + "/my tools/prog\" a\\\"b", (tools / "prog").string(), {base + "/my tools/prog", "a\"b"}},
      {"\"" + base + "/my tools/sub dir\" x", std::nullopt, {}},  // a folder is no program
      {base + "/my tools/plain x", std::nullopt, {}},
      {base + "/my tools/missing", std::nullopt, {}},
      {"\"\" x", std::nullopt, {}},
      {"", std::nullopt, {}},
      {"sh -c true", "/usr/bin/sh", {"sh", "-c", "true"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::optional<ResolvedCommandLine> resolved = ResolveCommandLine(c.line);
    ASSERT_EQ(resolved.has_value(), c.executable.has_value());
    if (!resolved) continue;
    if (c.line.starts_with("sh ")) {
      EXPECT_EQ(fs::path(resolved->executable).filename(), "sh");  // wherever PATH has it
    } else {
      EXPECT_EQ(resolved->executable, *c.executable);
    }
    EXPECT_EQ(resolved->arguments, c.arguments);
  }

  // A shorter prefix that names a program wins, as on Windows.
  WriteExecutable(folder.path() / "my", "#!/bin/sh\n");
  const auto shorter = ResolveCommandLine(base + "/my tools/prog");
  ASSERT_TRUE(shorter.has_value());
  EXPECT_EQ(shorter->executable, (folder.path() / "my").string());
  EXPECT_EQ(shorter->arguments, (std::vector<std::string>{base + "/my", "tools/prog"}));
}

}  // namespace
}  // namespace pelvantz
