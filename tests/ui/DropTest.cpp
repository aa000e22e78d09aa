// Files dropped on the real window as a file manager drops them: file URLs
// delivered to the native window, over one control or another.
#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>

#include "MainWindowFixture.h"
#include "joblist/JobList.h"

namespace pelvantz::testing {
namespace {

using Strings = std::vector<std::string>;

struct DragResult {
  bool pointerTakes;                        // what the pointer shows over the window
  Qt::DropAction taken = Qt::IgnoreAction;  // how the drop was taken, if at all
};

class DropTest : public MainWindowTest {
 protected:
  void SetUp() override {
    open();
    showActive();
    for (const char* name : {"a.ppt", "b.ppt", "C.PPT", "notes.txt"}) std::ofstream(path(name)) << "deck";
    std::filesystem::create_directories(path("folder.ppt"));
  }
  std::string path(const std::string& name) const { return (folder.path() / name).string(); }
  QUrl url(const std::string& name) const { return QUrl::fromLocalFile(QString::fromStdString(path(name))); }

  // Drags the files over a control as the windowing system does: enter, move,
  // and a drop only where the pointer said it would be taken. Shift held
  // proposes a move.
  DragResult drag(const QList<QUrl>& urls, const char* over, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMimeData data;
    data.setUrls(urls);
    QWidget* target = control<QWidget>(over);
    const QPoint at = target->mapTo(window.get(), target->rect().center());
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QWindow* native = window->windowHandle();
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(native, &enter);
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(native, &move);
    if (!enter.isAccepted() || !move.isAccepted()) {
      QDragLeaveEvent leave;
      QCoreApplication::sendEvent(native, &leave);
      return {false};
    }
    QDropEvent drop(at, offered, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(native, &drop);
    return {true, drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction};
  }

  std::vector<std::string> targets() {
    std::vector<std::string> paths;
    for (int16_t row = 1; row <= window->jobs().count(); ++row) paths.push_back(window->jobs().at(row).TargetPath);
    return paths;
  }
};

TEST_F(DropTest, DroppedDecksAreQueuedInOrderWithTheirTargetsAndTheRestIsIgnored) {
  const struct {
    const char* over;
    Qt::KeyboardModifiers modifiers;
  } cases[] = {
      {"lvwGeneral", Qt::NoModifier},
      {"txtfilepath", Qt::NoModifier},  // a field takes no drop of its own
      {"Frame1", Qt::ShiftModifier},    // a move proposed is taken as a copy: the deck stays where it is
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.over);
    open();
    showActive();
    queue(path("b.ppt"), "/elsewhere/b.pdf");
    setText("txtfilepath", "/pending/selection.ppt");
    dialogs.messages.clear();

    const DragResult result =
        drag({url("a.ppt"), url("notes.txt"), url("b.ppt"), url("folder.ppt"), url("C.PPT")}, c.over, c.modifiers);

    EXPECT_TRUE(result.pointerTakes);
    EXPECT_EQ(result.taken, Qt::CopyAction);
    EXPECT_EQ(sources(), (Strings{path("b.ppt"), path("a.ppt"), path("C.PPT")}));
    EXPECT_EQ(targets(), (Strings{"/elsewhere/b.pdf", path("a.pdf"), path("C.pdf")}));
    EXPECT_EQ(statuses(), (Strings{"", "", ""}));
    EXPECT_EQ(text("txtfilepath"), "/pending/selection.ppt");
    // The duplicate was refused with the message Add to List gives it.
    queue(path("b.ppt"));
    ASSERT_EQ(messageTexts(), (Strings{"File already added.", "File already added."}));
    EXPECT_EQ(dialogs.messages[0].icon, dialogs.messages[1].icon);
    EXPECT_EQ(dialogs.messages[0].buttons, dialogs.messages[1].buttons);
    EXPECT_EQ(dialogs.messages[0].title, dialogs.messages[1].title);
  }
}

TEST_F(DropTest, ThePointerRefusesWhatWouldQueueNothing) {
  const struct {
    const char* situation;
    QList<QUrl> urls;
  } cases[] = {
      {"other files only", {url("notes.txt"), url("folder.ppt")}},
      {"a deck on the web", {QUrl("https://example.org/talk.ppt"), QUrl("sftp://host/home/talk.ppt")}},
      {"no files", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.situation);
    EXPECT_FALSE(drag(c.urls, "lvwGeneral").pointerTakes);
    EXPECT_EQ(window->jobs().count(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
  }
}

TEST_F(DropTest, ADropDuringARunIsRefusedLikeAnyOtherInput) {
  queue(path("b.ppt"), path("b.pdf"));
  DragResult duringRun{true};
  duringJob = [&] { duringRun = drag({url("a.ppt")}, "lvwGeneral"); };
  click("cmdConvert");
  EXPECT_FALSE(duringRun.pointerTakes);
  EXPECT_EQ(duringRun.taken, Qt::IgnoreAction);
  EXPECT_EQ(sources(), Strings{path("b.ppt")});
  EXPECT_EQ(statuses(), Strings{"Completed"});
  // After the run the same drop is taken.
  EXPECT_EQ(drag({url("a.ppt")}, "lvwGeneral").taken, Qt::CopyAction);
  EXPECT_EQ(sources(), (Strings{path("b.ppt"), path("a.ppt")}));
}

}  // namespace
}  // namespace pelvantz::testing
