#include "engine/BatchDriver.h"

#include <gtest/gtest.h>

#include "base/RuntimeFailure.h"
#include "core/ErrorHandler.h"
#include "core/SettingsStore.h"
#include "joblist/JobList.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <functional>
#include <utility>

namespace pelvantz {
namespace {

using testing::RecordingCursor;

using testing::FakeDialogs;
using Strings = std::vector<std::string>;

// The window's fields; each read of the options counts, so a test can tell
// when they were taken.
class FakeWindow : public BatchWindow {
 public:
  std::string pageFieldText(PageField field) const override { return field == PageField::From ? from : to; }
  void focusPageField(PageField) override {}
  std::string sourceText() const override { return source; }
  std::string targetText() const override { return target; }
  void clearSelection() override { source.clear(), target.clear(); }
  ConversionOptions currentOptions() const override {
    ConversionOptions options;
    options.FromText = std::to_string(++optionReads);
    return options;
  }

  std::string from = "1";
  std::string to = "2";
  std::string source;
  std::string target;
  mutable int optionReads = 0;
};

struct Call {
  std::string source;
  int16_t position;
  std::string statusAtStart;
  std::string fromText;
  bool anotherJobFollows;
};

class BatchDriverTest : public ::testing::Test {
 protected:
  BatchDriverTest()
      : errors(dialogs, cursor, ApplicationTitle),
        driver(BatchServices{window, jobs, dialogs, cursor, errors, NumberFormat{},
                             [this](auto&&... args) { run(args...); }}) {}

  void run(const std::string& source, const std::string&, int16_t position, const ConversionOptions& options,
           bool anotherJobFollows) {
    calls.push_back({source, position, jobs.at(position).Status, options.FromText, anotherJobFollows});
    if (duringJob) duringJob(position);
    jobs.SetJobStatus(position, "Completed");
  }

  FakeDialogs dialogs;
  RecordingCursor cursor;
  FakeWindow window;
  JobList jobs;
  ErrorHandler errors;
  BatchDriver driver;
  std::vector<Call> calls;
  std::function<void(int16_t)> duringJob;
};

TEST_F(BatchDriverTest, ASelectionOfBlanksIsQueuedAndConverted) {
  window.source = "  ";
  window.target = "/out/x.pdf";
  driver.cmdConvert_Click();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].source, "  ");
  EXPECT_EQ(calls[0].statusAtStart, "Converting...");
  EXPECT_FALSE(calls[0].anotherJobFollows);
  EXPECT_EQ(window.source, "");
  EXPECT_EQ(window.target, "");
  EXPECT_EQ(cursor.calls, (Strings{"busy", "default"}));
}

TEST_F(BatchDriverTest, RowsAreCountedOnceAndOptionsReadForEachJob) {
  jobs.AddCompleteListView("/a/1.ppt", "/a/1.pdf");
  jobs.AddCompleteListView("/a/2.ppt", "/a/2.pdf");
  duringJob = [this](int16_t) {
    const std::string late = "/a/late" + std::to_string(jobs.count());
    jobs.AddCompleteListView(late + ".ppt", late + ".pdf");
  };
  driver.cmdConvert_Click();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].position, 1);
  EXPECT_EQ(calls[1].position, 2);
  EXPECT_EQ(calls[0].fromText, "1");
  EXPECT_EQ(calls[1].fromText, "2");
  // Rows added during the press are not this press's: none follows the last counted one.
  EXPECT_TRUE(calls[0].anotherJobFollows);
  EXPECT_FALSE(calls[1].anotherJobFollows);
  EXPECT_EQ(jobs.count(), 4);
  EXPECT_EQ(jobs.at(3).Status, "");
}

TEST_F(BatchDriverTest, TheHandlersAnswerDecidesWhetherTheRunGoesOn) {
  struct Case {
    int32_t number;
    Strings converted;
    size_t messages;  // the handler's own message for its error family
  };
  for (const Case& c : {Case{ErrorNumber::TypeMismatch, {"/a/1.ppt", "/a/2.ppt", "/a/3.ppt"}, 0},
                        Case{ErrorNumber::ObjectNotSet, {"/a/1.ppt", "/a/2.ppt"}, 0},
                        Case{ErrorNumber::Overflow, {"/a/1.ppt", "/a/2.ppt"}, 1}}) {
    SCOPED_TRACE(c.number);
    jobs.clear();
    calls.clear();
    cursor.calls.clear();
    dialogs.messages.clear();
    for (const char* row : {"/a/1", "/a/2", "/a/3"})
      jobs.AddCompleteListView(std::string(row) + ".ppt", std::string(row) + ".pdf");
    duringJob = [&](int16_t position) {
      if (position == 2) throw RuntimeFailure(c.number, "escaped");
    };
    driver.cmdConvert_Click();
    Strings converted;
    for (const Call& call : calls) converted.push_back(call.source);
    EXPECT_EQ(converted, c.converted);
    EXPECT_EQ(jobs.at(2).Status, "Converting...");
    EXPECT_EQ(dialogs.messages.size(), c.messages);
    EXPECT_EQ(cursor.calls.back(), "default");
  }
}

// A typed target may name another row's presentation, or (through a link made
// after the rows were added) another row's PDF: that row is refused before
// any job runs, with its reason, and the others convert.
TEST_F(BatchDriverTest, ARowThatWouldWriteOverAnotherRowsFileIsRefusedBeforeAnyJobRuns) {
  testing::TempFolder folder;
  const auto at = [&](const char* name) { return (folder.path() / name).string(); };
  testing::WriteFile(at("victim.ppt"), "row 2's deck");
  testing::WriteFile(at("first.pdf"), "an earlier PDF");
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> rows;  // source, target
    std::function<void()> afterAdding;
    Strings converted;
    int refusedRow;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"a target naming the next row's deck",
       {{at("talk.ppt"), at("victim.ppt")}, {at("victim.ppt"), at("victim.pdf")}},
       [] {},
       {at("victim.ppt")},
       1,
       "The target \"" + at("victim.ppt") +
           "\" is the presentation \"victim.ppt\" queued in row 2: the PDF would replace it. Choose another file "
           "for the PDF."},
      {"a target naming the previous row's deck another way",
       {{at("victim.ppt"), at("victim.pdf")}, {at("talk.ppt"), at("sub/../victim.ppt")}},
       [] {},
       {at("victim.ppt")},
       2,
       "The target \"" + at("sub/../victim.ppt") +
           "\" is the presentation \"victim.ppt\" queued in row 1: the PDF would replace it. Choose another file "
           "for the PDF."},
      {"two targets that became one file",
       {{at("one.ppt"), at("first.pdf")}, {at("two.ppt"), at("second.pdf")}},
       [&] { std::filesystem::create_symlink(at("first.pdf"), at("second.pdf")); },
       {at("one.ppt")},
       2,
       "The target \"" + at("second.pdf") +
           "\" is also the target of row 1 (\"one.ppt\"): one PDF would replace the other. Choose another file "
           "for the PDF."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    jobs.clear();
    calls.clear();
    std::filesystem::remove(at("second.pdf"));
    for (const auto& [source, target] : c.rows) jobs.AddCompleteListView(source, target);
    ASSERT_EQ(jobs.count(), 2);
    c.afterAdding();
    driver.cmdConvert_Click();
    Strings converted;
    for (const Call& call : calls) converted.push_back(call.source);
    EXPECT_EQ(converted, c.converted);
    EXPECT_EQ(jobs.at(static_cast<int16_t>(c.refusedRow)).Status, "Failed");
    EXPECT_EQ(jobs.at(static_cast<int16_t>(c.refusedRow)).Reason, c.reason);
    EXPECT_EQ(testing::ReadFile(at("victim.ppt")), "row 2's deck");
  }
}

}  // namespace
}  // namespace pelvantz
