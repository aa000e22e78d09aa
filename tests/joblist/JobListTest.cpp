#include "joblist/JobList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/RuntimeFailure.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

const std::string ApplicationTitleText = "Pelvantz - Powerpoint to PDF Converter";
const std::string DuplicateTitleText = "pelvantz - Powerpoint to PDF Converter";

// The refusal of an add, or none when `text` is empty: an information box with the title given.
void ExpectRefusal(const std::optional<JobRefusal>& refusal, const std::string& text, const std::string& title) {
  if (text.empty()) {
    EXPECT_FALSE(refusal.has_value()) << refusal->message;
    return;
  }
  ASSERT_TRUE(refusal.has_value());
  EXPECT_EQ(refusal->message, text);
  EXPECT_EQ(refusal->icon, MessageIcon::Information);
  EXPECT_EQ(refusal->title, title);
}

class RecordingObserver : public JobListObserver {
 public:
  void rowAboutToBeAppended(int16_t position) override {
    events.push_back("about to append " + std::to_string(position));
  }
  void rowAppended(int16_t position) override { events.push_back("append " + std::to_string(position)); }
  void statusChanged(int16_t position) override { events.push_back("status " + std::to_string(position)); }
  void aboutToClear() override { events.push_back("about to clear"); }
  void cleared() override { events.push_back("clear"); }
  std::vector<std::string> events;
};

std::vector<std::string> DisplayNames(const JobList& list) {
  std::vector<std::string> names;
  for (int16_t position = 1; position <= list.count(); ++position) {
    names.push_back(list.displayName(position));
  }
  return names;
}

struct AddCase {
  std::string name;
  std::vector<std::string> sources;        // added in order
  std::vector<std::string> expectedNames;  // the rows afterwards
  int duplicateMessages;
};

TEST(JobListTest, QueuesFileNamesAndRefusesTheSameNameInAnyCase) {
  const std::vector<AddCase> cases = {
      {"case differs only", {"/talks/Talk.ppt", "/other/TALK.PPT"}, {"Talk.ppt"}, 1},
      {"equal to the third row",
       {"/a/One.ppt", "/a/Two.ppt", "/a/Three.ppt", "/b/three.PPT"},
       {"One.ppt", "Two.ppt", "Three.ppt"},
       1},
      {"same folder, other names", {"/a/One.ppt", "/a/One.pptx", "/a/One"}, {"One.ppt", "One.pptx", "One"}, 0},
      {"bare file name", {"Talk.ppt", "talk.ppt"}, {"Talk.ppt"}, 1},
      {"trailing separator gives an empty name", {"/a/b/", "/c/"}, {""}, 1},
      {"backslash is part of a Linux name",
       {"C:\\deck\\Talk.ppt", "/x/Talk.ppt"},
       {"C:\\deck\\Talk.ppt", "Talk.ppt"},
       0},
      {"letters beyond ASCII", {"/a/Über.ppt", "/b/ÜBER.PPT", "/c/Straße.ppt"}, {"Über.ppt", "Straße.ppt"}, 1},
      {"not UTF-8 is kept", {"/a/\xff\xfeZ.ppt", "/b/\xff\xfez.ppt"}, {"\xff\xfeZ.ppt"}, 1},
  };
  for (const AddCase& c : cases) {
    SCOPED_TRACE(c.name);
    JobList list;
    int refusals = 0;
    for (size_t i = 0; i < c.sources.size(); ++i) {
      const auto refusal = list.AddCompleteListView(c.sources[i], "/out/" + std::to_string(i) + ".pdf");
      if (!refusal) continue;
      ++refusals;
      ExpectRefusal(refusal, "File already added.", DuplicateTitleText);
    }

    EXPECT_EQ(DisplayNames(list), c.expectedNames);
    EXPECT_EQ(refusals, c.duplicateMessages);
  }
}

TEST(JobListTest, ANewRowKeepsThePathsUnchangedAndAnEmptyStatus) {
  JobList list;
  EXPECT_FALSE(list.AddCompleteListView("Talk.ppt", "Talk.pdf").has_value());
  EXPECT_FALSE(list.AddCompleteListView(" /decks/Intro Talk.ppt ", " /pdf/Intro.pdf ").has_value());

  ASSERT_EQ(list.count(), 2);
  const ConversionJob& bare = list.at(1);
  EXPECT_EQ(bare.DisplayName, "Talk.ppt");
  EXPECT_EQ(bare.SourcePath, "Talk.ppt");
  EXPECT_EQ(bare.TargetPath, "Talk.pdf");
  EXPECT_EQ(bare.Status, "");
  const ConversionJob& spaced = list.at(2);
  EXPECT_EQ(spaced.DisplayName, "Intro Talk.ppt ");
  EXPECT_EQ(spaced.SourcePath, " /decks/Intro Talk.ppt ");
  EXPECT_EQ(spaced.TargetPath, " /pdf/Intro.pdf ");
}

TEST(JobListTest, AddToListRefusesABlankSourceAndOtherwiseEmptiesTheFields) {
  struct Case {
    std::string source;
    bool emptyFields;
    std::string message;
    int16_t rows;
  };
  const std::vector<Case> cases = {
      {"", false, "Please select a PDF File", 1},
      {"    ", false, "Please select a PDF File", 1},
      {"/a/New.ppt", true, "", 2},
      {"/b/QUEUED.ppt", true, "File already added.", 1},  // emptied although refused
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    JobList list;
    list.AddCompleteListView("/a/Queued.ppt", "/a/Queued.pdf");

    const AddToListOutcome outcome = list.AddToList(c.source, "/out/New.pdf");
    EXPECT_EQ(outcome.emptyFields, c.emptyFields);
    EXPECT_EQ(list.count(), c.rows);
    ExpectRefusal(outcome.refusal, c.message, c.emptyFields ? DuplicateTitleText : ApplicationTitleText);
  }
}

// A row without a target would fail only after its whole conversion, and two
// rows writing one file would lose the first PDF: both are refused at once.
TEST(JobListTest, ABlankTargetOrOneAnotherRowWritesIsRefused) {
  testing::TempFolder folder;
  const std::filesystem::path queued = folder.path() / "out" / "Queued.pdf";
  std::filesystem::create_directories(queued.parent_path());
  testing::WriteFile(queued, "an earlier PDF");
  std::filesystem::create_symlink(queued, folder.path() / "link.pdf");
  struct Case {
    const char* name;
    std::string target;
    bool viaButton;  // Add to List; else the add that Convert makes
    std::string message;
    bool emptyFields;
  };
  const std::vector<Case> cases = {
      {"empty, button", "", true, "Please select a target PDF File", false},
      {"blanks, button", "   ", true, "Please select a target PDF File", false},
      {"empty, at Convert", "", false, "Please select a target PDF File", false},
      {"the queued target", queued.string(), true, "Target file already added.", true},
      {"spelled another way", (folder.path() / "out" / ".." / "out" / "Queued.pdf").string(), false,
       "Target file already added.", false},
      {"through a link", (folder.path() / "link.pdf").string(), true, "Target file already added.", true},
      {"another file", (folder.path() / "out" / "New.pdf").string(), true, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobList list;
    list.AddCompleteListView("/a/Queued.ppt", queued.string());
    std::optional<JobRefusal> refusal;
    if (c.viaButton) {
      const AddToListOutcome outcome = list.AddToList("/a/New.ppt", c.target);
      EXPECT_EQ(outcome.emptyFields, c.emptyFields);
      refusal = outcome.refusal;
    } else {
      refusal = list.AddCompleteListView("/a/New.ppt", c.target);
    }
    EXPECT_EQ(list.count(), c.message.empty() ? 2 : 1);
    ExpectRefusal(refusal, c.message,
                  c.message == "Target file already added." ? DuplicateTitleText : ApplicationTitleText);
  }
}

TEST(JobListTest, StatusGoesOnlyToAnExistingRowAndObserversFollow) {
  JobList list;
  RecordingObserver observer;
  list.setObserver(&observer);
  list.AddCompleteListView("/a/One.ppt", "/a/One.pdf");
  list.AddCompleteListView("/a/Two.ppt", "/a/Two.pdf");

  for (const int16_t outside : {int16_t{0}, int16_t{-1}, int16_t{3}, JobList::MaxRows}) {
    list.SetJobStatus(outside, "Failed");
  }
  list.SetJobStatus(2, "Converting...");
  list.SetJobStatus(2, "Completed");

  EXPECT_EQ(list.at(1).Status, "");
  EXPECT_EQ(list.at(2).Status, "Completed");
  EXPECT_EQ(list.at(2).SourcePath, "/a/Two.ppt");
  EXPECT_EQ(observer.events, (std::vector<std::string>{"about to append 1", "append 1", "about to append 2",
                                                       "append 2", "status 2", "status 2"}));
  EXPECT_THROW(list.at(0), RuntimeFailure);
  EXPECT_THROW(list.displayName(3), RuntimeFailure);
}

TEST(JobListTest, ClearEmptiesTheListAndFreesItsNames) {
  JobList list;
  RecordingObserver observer;
  list.setObserver(&observer);

  list.clear();  // on an empty list: nothing to see
  list.AddCompleteListView("/a/One.ppt", "/a/One.pdf");
  list.SetJobStatus(1, "Completed");
  list.clear();
  EXPECT_FALSE(list.AddCompleteListView("/b/ONE.ppt", "/b/One.pdf").has_value());

  EXPECT_EQ(DisplayNames(list), std::vector<std::string>{"ONE.ppt"});
  EXPECT_EQ(list.at(1).Status, "");
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"about to clear", "clear", "about to append 1", "append 1", "status 1",
                                      "about to clear", "clear", "about to append 1", "append 1"}));
}

TEST(JobListTest, AFullListRefusesFurtherRowsWithAMessage) {
  JobList list;
  for (int row = 1; row <= JobList::MaxRows; ++row) {
    const auto refusal = list.AddCompleteListView("/decks/" + std::to_string(row) + ".ppt",
                                                  "/decks/" + std::to_string(row) + ".pdf");
    ASSERT_FALSE(refusal.has_value()) << row;
  }
  ASSERT_EQ(list.count(), JobList::MaxRows);
  RecordingObserver observer;
  list.setObserver(&observer);

  ExpectRefusal(list.AddCompleteListView("/decks/one more.ppt", "/decks/one more.pdf"),
                "The list is full: at most 32767 presentations can be queued.", ApplicationTitleText);
  // A duplicate says so, full or not.
  ExpectRefusal(list.AddCompleteListView("/decks/32767.PPT", "/decks/other.pdf"), "File already added.",
                DuplicateTitleText);

  EXPECT_EQ(list.count(), JobList::MaxRows);
  EXPECT_EQ(list.displayName(JobList::MaxRows), "32767.ppt");
  EXPECT_TRUE(observer.events.empty());
}

}  // namespace
}  // namespace pelvantz
