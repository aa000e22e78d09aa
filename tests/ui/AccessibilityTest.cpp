// What a screen reader learns of the window, read through Qt's accessibility
// interface: a name of its own for every frame and control, and pictures that
// can be pressed.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QGroupBox>
#include <QLabel>
#include <map>
#include <set>

#include "MainWindowFixture.h"

namespace pelvantz::testing {
namespace {

using Strings = std::vector<std::string>;

QAccessibleInterface* Accessible(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

std::string Name(QAccessibleInterface* accessible) { return accessible->text(QAccessible::Name).toStdString(); }

// The frames and controls of the window, outer before inner; the items of
// lists and the header of the list view are not controls of their own.
void CollectControls(QAccessibleInterface* accessible, std::vector<QAccessibleInterface*>& controls) {
  for (int i = 0; i < accessible->childCount(); ++i) {
    QAccessibleInterface* child = accessible->child(i);
    if (child == nullptr || child->object() == nullptr) continue;
    controls.push_back(child);
    const QAccessible::Role role = child->role();
    if (role != QAccessible::ComboBox && role != QAccessible::List && role != QAccessible::Tree &&
        role != QAccessible::Table)
      CollectControls(child, controls);
  }
}

// What a screen reader announces a control as. A drop-down list here is
// named by its entry and announced through the label that labels it.
std::string Announced(QAccessibleInterface* control) {
  if (control->role() != QAccessible::ComboBox) return Name(control);
  const auto labels = control->relations(QAccessible::Label);
  return labels.isEmpty() ? std::string() : Name(labels.first().first);
}

class AccessibilityTest : public MainWindowTest {
 protected:
  void SetUp() override {
    open();
    showActive();
    CollectControls(Accessible(window.get()), controls);
  }
  std::vector<QAccessibleInterface*> controls;
};

TEST_F(AccessibilityTest, EveryFrameAndControlHasANameOfItsOwn) {
  std::map<std::string, std::string> owners;  // announced name -> control
  std::set<std::string> frameTitles;
  for (QGroupBox* frame : window->findChildren<QGroupBox*>()) frameTitles.insert(frame->title().toStdString());
  for (QAccessibleInterface* control : controls) {
    const std::string objectName = control->object()->objectName().toStdString();
    SCOPED_TRACE(objectName);
    const QAccessible::Role role = control->role();
    // The lines and the background picture are no controls.
    if (role == QAccessible::Border || objectName == "picMain") continue;
    // A field's label is announced as the field's label, not as a control.
    if (auto* label = qobject_cast<QLabel*>(control->object()); label && label->buddy()) {
      const auto labels = Accessible(label->buddy())->relations(QAccessible::Label);
      ASSERT_FALSE(labels.isEmpty());
      EXPECT_EQ(labels.first().first->object(), label);
      continue;
    }
    const std::string announced = Announced(control);
    EXPECT_FALSE(announced.empty());
    EXPECT_TRUE(owners.emplace(announced, objectName).second)
        << "\"" << announced << "\" also names " << owners[announced];
    // A frame is named by its own title; a control inside one is labelled by its own frame only.
    auto* frame = qobject_cast<QGroupBox*>(control->object());
    if (frame != nullptr) {
      EXPECT_EQ(announced, frame->title().remove(QLatin1Char(':')).toStdString());
    } else {
      EXPECT_EQ(frameTitles.count(announced), 0u);
    }
    for (const auto& [labelledBy, relation] : control->relations(QAccessible::Label)) {
      if (qobject_cast<QGroupBox*>(labelledBy->object())) {
        EXPECT_EQ(labelledBy->object(), control->object()->parent());
      }
    }
  }
  EXPECT_EQ(owners.size(), 27u);  // the logo, the three pictures, the three frames and 20 controls
  EXPECT_EQ(owners["Select File"], "Frame2");
  EXPECT_EQ(owners["Print Size"], "Frame1");
  EXPECT_EQ(owners["Print Range"], "Frame3");
  EXPECT_NE(Name(Accessible(control<QWidget>("cmdBrowse"))).find("source"), std::string::npos);
  EXPECT_NE(Name(Accessible(control<QWidget>("cmdBrowseOutput"))).find("target"), std::string::npos);
}

TEST_F(AccessibilityTest, ThePicturesAreButtonsThatCanBePressed) {
  std::filesystem::create_directories(folder.path() / "help");
  std::ofstream(folder.path() / "help" / "pelvantz_PPT.html") << "<html></html>";
  const struct {
    const char* picture;
    const char* opens;  // found in what the shell opens
  } pictures[] = {
      {"cmdHomeLink", "/default.aspx"},
      {"cmdContactUs", "/frm_feedback.aspx"},
      {"cmdHelp", "/help/pelvantz_PPT.html"},
  };
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.picture);
    QAccessibleInterface* picture = Accessible(control<QWidget>(p.picture));
    EXPECT_EQ(picture->role(), QAccessible::Button);
    EXPECT_EQ(Name(picture), control<QWidget>(p.picture)->toolTip().toStdString());
    ASSERT_NE(picture->actionInterface(), nullptr);
    EXPECT_TRUE(picture->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    shell.opened.clear();
    picture->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_NE(shell.opened[0].find(p.opens), std::string::npos) << shell.opened[0];
  }
}

}  // namespace
}  // namespace pelvantz::testing
