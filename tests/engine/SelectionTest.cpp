#include "engine/Selection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/ErrorHandler.h"
#include "core/SettingsStore.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::FakeDialogs;
using Strings = std::vector<std::string>;

constexpr const char* WrongSource = "Invalid file selected. Please select valid Powerpoint file only.";
constexpr const char* WrongTarget = "Invalid Output file. Please select valid PDF file.";

// A selection over a real settings store in a temporary application folder.
class SelectionTest : public ::testing::Test {
 protected:
  SelectionTest()
      : errors(dialogs, cursor, ApplicationTitle),
        settings(folder.str(), dialogs, errors),
        selection(dialogs, settings, errors, folder.str()) {
    testing::WriteFile(folder.path() / "SETTINGS.INI", "[SETTINGS]\n");
    settings.OpenSettingsFile();
    settings.LoadSettings();
  }

  // The key's value as the INI file holds it now; nothing when it is absent.
  std::optional<std::string> iniValue(const std::string& key) const {
    std::istringstream lines(testing::ReadFile(folder.path() / "SETTINGS.INI"));
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return std::nullopt;
  }

  Strings messageTexts() const {
    Strings texts;
    for (const auto& message : dialogs.messages) {
      EXPECT_EQ(message.icon, MessageIcon::Critical);
      EXPECT_EQ(message.buttons, MessageButtons::Ok);
      EXPECT_EQ(message.title, ApplicationTitle);
      texts.push_back(message.text);
    }
    return texts;
  }

  testing::TempFolder folder;
  FakeDialogs dialogs;
  testing::RecordingCursor cursor;
  ErrorHandler errors;
  SettingsStore settings;
  Selection selection;
};

TEST_F(SelectionTest, SourceBrowseChecksTheExtensionProposesATargetAndRemembersTheChoice) {
  struct Case {
    const char* name;
    std::string rememberedBefore;  // RecentFolder
    std::optional<std::string> chosen;
    std::string initialFolder;  // empty: the application folder
    std::optional<std::string> source;
    std::optional<std::string> target;
    Strings messages;
    bool remembered;  // RecentFolder and PATH hold the choice afterwards
  };
  const std::vector<Case> cases = {
      {"a presentation", "", "/talks/Q3.ppt", "", "/talks/Q3.ppt", "/talks/Q3.pdf", {}, true},
      {"upper-case extension",
       "/talks/Q2.ppt",
       "/talks/Q3.PPT",
       "/talks/Q2.ppt",
       "/talks/Q3.PPT",
       "/talks/Q3.pdf",
       {},
       true},
      {"mixed-case extension", "", "/a b/Deck.pPt", "", "/a b/Deck.pPt", "/a b/Deck.pdf", {}, true},
      {"a show", "", "/talks/Q3.pps", "", "", std::nullopt, {WrongSource}, true},
      {"the newer format", "", "/talks/Q3.pptx", "", "", std::nullopt, {WrongSource}, true},
      {"shorter than the extension", "", "ppt", "", "", std::nullopt, {WrongSource}, true},
      {"cancelled", "/talks/Q2.ppt", std::nullopt, "/talks/Q2.ppt", std::nullopt, std::nullopt, {}, false},
      {"an empty name", "", "", "", std::nullopt, std::nullopt, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.messages.clear();
    dialogs.fileRequests.clear();
    settings.settings().RecentFolder = c.rememberedBefore;
    settings.WriteSetting(SettingsSection, "PATH", "before");
    dialogs.chosenFiles.push_back(c.chosen);

    const SelectionChange change = selection.BrowseSource();

    EXPECT_EQ(change.source, c.source);
    EXPECT_EQ(change.target, c.target);
    EXPECT_EQ(messageTexts(), c.messages);
    EXPECT_EQ(settings.settings().RecentFolder, c.remembered ? *c.chosen : c.rememberedBefore);
    EXPECT_EQ(iniValue("PATH"), c.remembered ? *c.chosen : "before");
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const FileDialogRequest& request = dialogs.fileRequests[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.title, "Select Source File");
    EXPECT_EQ(request.filterDescription, "Microsoft Powerpoint (*.ppt)");
    EXPECT_EQ(request.filterPattern, "*.ppt");
    EXPECT_EQ(request.initialFolder, c.initialFolder.empty() ? folder.str() : c.initialFolder);
  }
}

TEST_F(SelectionTest, TargetBrowseAcceptsOnlyPdfNamesAndOpensInTheLastTargetsFolder) {
  struct Case {
    const char* name;
    std::string rememberedBefore;  // RecentOutputFolder
    std::optional<std::string> chosen;
    std::string initialFolder;
    std::optional<std::string> target;
    Strings messages;
  };
  const std::vector<Case> cases = {
      {"a PDF", "/old/target.pdf", "/out/a.pdf", "/old", "/out/a.pdf", {}},
      {"upper-case extension kept", "/old/target.pdf", "/out/Out.PDF", "/old", "/out/Out.PDF", {}},
      {"no extension", "/old/target.pdf", "/out/report", "/old", std::nullopt, {WrongTarget}},
      {"another extension", "/old/target.pdf", "/out/report.ps", "/old", std::nullopt, {WrongTarget}},
      {"cancelled", "/old/target.pdf", std::nullopt, "/old", std::nullopt, {}},
      {"last target under the root", "/target.pdf", "/b.pdf", "/", "/b.pdf", {}},
      {"a folder deep down", "/a/b/c/d.pdf", "/a/b/e.pdf", "/a/b/c", "/a/b/e.pdf", {}},
      // Nothing to cut a folder from: the dialog opens without one, quietly.
      {"nothing remembered", "", "/out/a.pdf", "", "/out/a.pdf", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.messages.clear();
    dialogs.fileRequests.clear();
    settings.settings().RecentOutputFolder = c.rememberedBefore;
    settings.WriteSetting(SettingsSection, "OUTPUTPATH", "before");
    dialogs.chosenFiles.push_back(c.chosen);

    const SelectionChange change = selection.BrowseTarget();

    EXPECT_EQ(change.source, std::nullopt);  // a target choice never touches the source
    EXPECT_EQ(change.target, c.target);
    EXPECT_EQ(messageTexts(), c.messages);
    EXPECT_EQ(settings.settings().RecentOutputFolder, c.target.value_or(c.rememberedBefore));
    EXPECT_EQ(iniValue("OUTPUTPATH"), c.target.value_or("before"));
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const FileDialogRequest& request = dialogs.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_TRUE(request.promptOverwrite);
    EXPECT_EQ(request.title, "Save As");
    EXPECT_EQ(request.filterDescription, "PDF File (*.pdf)");
    EXPECT_EQ(request.filterPattern, "*.pdf");
    EXPECT_EQ(request.initialFolder, c.initialFolder);
  }
}

TEST_F(SelectionTest, EachBrowseOpensWhereTheLastAcceptedChoiceWas) {
  settings.settings().RecentOutputFolder = "/old/target.pdf";
  dialogs.chosenFiles = {"/talks/Q3.ppt", std::nullopt, "/out/a.pdf", "/talks/Q4.pps", "/out/b"};
  selection.BrowseSource();
  selection.BrowseSource();  // cancelled
  selection.BrowseTarget();
  selection.BrowseSource();  // refused, yet remembered
  selection.BrowseTarget();  // refused, not remembered
  selection.BrowseSource();  // cancelled
  selection.BrowseTarget();  // cancelled

  Strings initialFolders;
  for (const FileDialogRequest& request : dialogs.fileRequests) initialFolders.push_back(request.initialFolder);
  EXPECT_EQ(initialFolders,
            (Strings{folder.str(), "/talks/Q3.ppt", "/old", "/talks/Q3.ppt", "/out", "/talks/Q4.pps", "/out"}));
}

TEST(PresentationsAmongTest, KeepsPresentationFilesInTheirOrder) {
  testing::TempFolder folder;
  const auto path = [&](const char* name) { return (folder.path() / name).string(); };
  testing::WriteFile(folder.path() / "one.ppt", "deck");
  testing::WriteFile(folder.path() / "notes.txt", "text");
  testing::WriteFile(folder.path() / "new.pptx", "deck");
  std::filesystem::create_directory(folder.path() / "folder.ppt");
  std::filesystem::create_directory_symlink(folder.path() / "folder.ppt", folder.path() / "link.ppt");

  const Strings dropped = {path("TWO.PPT"),  path("one.ppt"),  path("notes.txt"), path("folder.ppt"),
                           path("link.ppt"), path("new.pptx"), path("three.Ppt")};
  // A name that is not there yet is the office's to refuse, as a typed one is.
  EXPECT_EQ(PresentationsAmong(dropped), (Strings{path("TWO.PPT"), path("one.ppt"), path("three.Ppt")}));
  EXPECT_EQ(PresentationsAmong({}), Strings{});
}

}  // namespace
}  // namespace pelvantz
