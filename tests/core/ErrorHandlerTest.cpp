#include "core/ErrorHandler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/RuntimeFailure.h"
#include "support/FakeDialogs.h"

namespace pelvantz {
namespace {

using testing::FakeDialogs;

const std::string Title = "Pelvantz - Powerpoint to PDF Converter";
const std::string ControlLimitText = "Error: OverFlow of Controls.\r\nYou have exceeded the control limits.";

std::string DatabaseText(const std::string& description) {
  return "Following error occured while accessing database:\r\n\r\n" + description +
         "\r\n\r\nPlease contact the database administrator.";
}

// Records what was done to the pointer; can be told to fail.
class RecordingCursor : public Cursor {
 public:
  void setBusy() override { calls.push_back("busy"); }
  void setDefault() override {
    calls.push_back("default");
    if (failOnDefault) throw std::runtime_error("pointer unavailable");
  }
  std::vector<std::string> calls;
  bool failOnDefault = false;
};

class FailingDialogs : public FakeDialogs {
 public:
  MessageAnswer showMessage(const std::string&, MessageIcon, MessageButtons, const std::string&) override {
    throw RuntimeFailure(ErrorNumber::ObjectNotSet, "no window");
  }
};

enum class Shown { Nothing, ControlLimit, Database };

struct ClassificationCase {
  int32_t number;
  Shown shown;
  bool answer;
};

TEST(ErrorHandlerTest, ClassifiesEveryNumberOfTheTable) {
  const std::vector<ClassificationCase> cases = {
      {11, Shown::Nothing, true},
      {13, Shown::Nothing, true},
      {94, Shown::Nothing, true},
      {380, Shown::Nothing, true},
      {3265, Shown::Nothing, true},
      {-2147352571, Shown::Nothing, true},
      {6, Shown::ControlLimit, false},
      {-2147467259, Shown::Database, false},
      {-2147217885, Shown::Database, false},
      {-2147217865, Shown::Database, false},
      {-2147217900, Shown::Nothing, false},
      {91, Shown::Nothing, false},
      {3704, Shown::Nothing, false},
      {35773, Shown::Nothing, false},
      // not in the table: no message, go on
      {5, Shown::Nothing, true},
      {0, Shown::Nothing, true},
      {429, Shown::Nothing, true},
      {ErrorNumber::AutomationDisconnected, Shown::Nothing, true},
  };
  for (const ClassificationCase& c : cases) {
    SCOPED_TRACE(c.number);
    FakeDialogs dialogs;
    RecordingCursor cursor;
    cursor.setBusy();
    ErrorHandler handler(dialogs, cursor, Title);

    EXPECT_EQ(handler.ReportError(c.number, "Disk", "frmMain:cmdBrowse"), c.answer);

    const std::vector<std::string> expectedPointer = c.answer
                                                         ? std::vector<std::string>{"busy", "default"}
                                                         : std::vector<std::string>{"busy", "default", "default"};
    EXPECT_EQ(cursor.calls, expectedPointer);
    if (c.shown == Shown::Nothing) {
      EXPECT_TRUE(dialogs.messages.empty());
      continue;
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const auto& message = dialogs.messages.front();
    EXPECT_EQ(message.text, c.shown == Shown::ControlLimit ? ControlLimitText : DatabaseText("Disk"));
    EXPECT_EQ(message.icon, MessageIcon::Critical);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_EQ(message.title, Title);
  }
}

TEST(ErrorHandlerTest, DatabaseMessageFramesTheDescriptionWithEmptyLines) {
  struct Case {
    std::string description;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"Unspecified",
       "Following error occured while accessing database:\r\n\r\nUnspecified\r\n\r\n"
       "Please contact the database administrator."},
      {"",
       "Following error occured while accessing database:\r\n\r\n\r\n\r\n"
       "Please contact the database administrator."},
  };
  for (const Case& c : cases) {
    FakeDialogs dialogs;
    RecordingCursor cursor;
    ErrorHandler handler(dialogs, cursor, Title);
    EXPECT_FALSE(handler.ReportError(-2147467259, c.description, "ModMain : OpenDatabase"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages.front().text, c.text);
  }
}

TEST(ErrorHandlerTest, AnswersEvenWhenPointerAndMessageFail) {
  FailingDialogs dialogs;
  RecordingCursor cursor;
  cursor.failOnDefault = true;
  ErrorHandler handler(dialogs, cursor, Title);

  EXPECT_FALSE(handler.ReportError(6, "Overflow", "tmr_Timer()"));
  EXPECT_EQ(cursor.calls, (std::vector<std::string>{"default", "default"}));
  EXPECT_TRUE(handler.ReportError(13, "Type mismatch", "tmr_Timer()"));
}

TEST(ErrorHandlerTest, RunStepsGoesOnOrAbandonsAsTheHandlerAnswers) {
  FakeDialogs dialogs;
  RecordingCursor cursor;
  ErrorHandler handler(dialogs, cursor, Title);
  std::vector<int> ran;

  const bool completed = RunSteps(
      handler, "frmMain:Image9_Click",
      {[&] { ran.push_back(1); }, [&] { throw RuntimeFailure(ErrorNumber::TypeMismatch, "Type mismatch"); },
       [&] { ran.push_back(3); }, [&] { throw RuntimeFailure(ErrorNumber::Overflow, "Overflow"); },
       [&] { ran.push_back(5); }});

  EXPECT_FALSE(completed);
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages.front().text, ControlLimitText);

  ran.clear();
  EXPECT_TRUE(RunSteps(handler, "tag", {[&] { ran.push_back(1); }, [&] { ran.push_back(2); }}));
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

RuntimeFailure FailureThrownBy(const std::function<void()>& thrower) {
  try {
    thrower();
  } catch (const std::exception& failure) {
    return AsRuntimeFailure(failure);
  }
  ADD_FAILURE() << "nothing was thrown";
  return {0, ""};
}

TEST(ErrorHandlerTest, MapsStandardExceptionsToRunTimeNumbers) {
  struct Case {
    std::function<void()> thrower;
    int32_t number;
    std::string description;
  };
  const std::vector<Case> cases = {
      {[] { throw RuntimeFailure(91, "Object variable not set"); }, 91, "Object variable not set"},
      {[] { throw std::bad_alloc(); }, 7, "Out of memory"},
      {[] { throw std::invalid_argument("bad page"); }, 5, "bad page"},
      {[] { throw std::out_of_range("no row"); }, 5, "no row"},
      {[] { throw std::runtime_error("odd"); }, 51, "odd"},
  };
  for (const Case& c : cases) {
    const RuntimeFailure failure = FailureThrownBy(c.thrower);
    EXPECT_EQ(failure.number(), c.number);
    EXPECT_EQ(failure.description(), c.description);
  }
  const RuntimeFailure fileFailure =
      FailureThrownBy([] { std::filesystem::copy_file("/nonexistent/a", "/nonexistent/b"); });
  EXPECT_EQ(fileFailure.number(), ErrorNumber::FileAccess);
  EXPECT_NE(fileFailure.description().find("/nonexistent/a"), std::string::npos);
}

TEST(ErrorHandlerTest, RunStepsReportsExceptionsOfAnyTypeAndGoesOn) {
  FakeDialogs dialogs;
  RecordingCursor cursor;
  ErrorHandler handler(dialogs, cursor, Title);
  std::vector<int> ran;

  EXPECT_TRUE(RunSteps(
      handler, "tag",
      {[&] { throw std::bad_alloc(); }, [&] { ran.push_back(2); }, [&] { throw 42; }, [&] { ran.push_back(4); }}));

  EXPECT_EQ(ran, (std::vector<int>{2, 4}));
  EXPECT_EQ(cursor.calls, (std::vector<std::string>{"default", "default"}));  // reported twice
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(ErrorHandlerTest, SkippingRunnerRunsEveryStepWhateverThrows) {
  std::vector<int> ran;
  RunStepsSkippingFailures(
      {[&] { ran.push_back(1); }, [&] { throw RuntimeFailure(ErrorNumber::Overflow, "Overflow"); },
       [&] { ran.push_back(3); }, [&] { throw std::bad_alloc(); }, [&] { ran.push_back(5); }});
  EXPECT_EQ(ran, (std::vector<int>{1, 3, 5}));
}

}  // namespace
}  // namespace pelvantz
