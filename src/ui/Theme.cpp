#include "ui/Theme.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QColor>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QWidget>
#include <optional>
#include <vector>

namespace pelvantz {
namespace {

// Controls whose background the theme sets, in the order it sets them.
const std::vector<const char*> BackColorTargets = {
    "chkAllPages",  "chkFromTo",       "chkOpenDocEditing", "cmdConvert", "cmdClose",
    "cmdBrowse",    "cmdBrowseOutput", "cmdAddToList",      "cmdClear",   "Frame1",
    "Frame2",       "Frame3",          "Label11",           "Label12",    "Label2",
    "Label4",       "Line3",           "lvwGeneral",        "picMain",    "chkComments",
    "chkFitToPage", "optLandscape",    "optPotrait"};

// Controls whose text colour the theme sets, in the order it sets them.
const std::vector<const char*> ForeColorTargets = {"chkAllPages", "chkFromTo",  "chkOpenDocEditing", "Frame1",
                                                   "Frame2",      "Frame3",     "Label11",           "Label12",
                                                   "Label2",      "Label4",     "optLandscape",      "optPotrait",
                                                   "Line3",       "lvwGeneral", "picMain",           "chkComments",
                                                   "chkFitToPage"};

// Controls that keep their design colours. Palettes inherit from the parent,
// so these get their current colours pinned before their containers change.
const std::vector<const char*> UnthemedControls = {
    "Label3",       "Label8", "txtfilepath", "txtfilepathOutput", "txtFrom",      "txtTo",  "cboOutputType",
    "cboPaperSize", "Line1",  "Image1",      "cmdHomeLink",       "cmdContactUs", "cmdHelp"};

struct PictureSlot {
  const char* control;
  const char* file;
};
const std::vector<PictureSlot> Pictures = {{"cmdHomeLink", "/images/home.gif"},
                                           {"cmdHelp", "/images/faq.gif"},
                                           {"Image1", "/images/pelvant.gif"},
                                           {"cmdContactUs", "/images/contact.gif"}};

const std::vector<QPalette::ColorRole> PinnedRoles = {QPalette::Window, QPalette::WindowText,
                                                      QPalette::Base,   QPalette::Text,
                                                      QPalette::Button, QPalette::ButtonText};

// A 0x00BBGGRR colour from its decimal text; nothing when the text is not a
// number or not a plain colour (system colours and out-of-range values).
std::optional<QColor> ColourFromText(const QString& text) {
  bool isNumber = false;
  const qlonglong value = text.trimmed().toLongLong(&isNumber);
  if (!isNumber || value < 0 || value > 0xFFFFFF) return std::nullopt;
  return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// Fusion shades a frame's panel with a picture of its own, whatever the
// palette says; this style draws the frame as a plain outline instead, so the
// frame shows its background colour. Set on the frame alone, it leaves the
// frame's controls to the application's style.
class FlatFrame : public QProxyStyle {
 public:
  // The outline stops short of the caption, as a frame's line does.
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override {
    const auto* frame = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !frame) {
      return QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    QStyleOptionGroupBox outline = *frame;
    outline.subControls = frame->subControls & SC_GroupBoxFrame;
    QStyleOptionGroupBox rest = *frame;
    rest.subControls = frame->subControls & ~SC_GroupBoxFrame;
    const QRect caption = subControlRect(CC_GroupBox, frame, SC_GroupBoxLabel, widget);
    painter->save();
    painter->setClipRegion(QRegion(frame->rect).subtracted(caption.adjusted(-2, 0, 2, 0)));
    QProxyStyle::drawComplexControl(control, &outline, painter, widget);
    painter->restore();
    QProxyStyle::drawComplexControl(control, &rest, painter, widget);
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_FrameGroupBox) return QProxyStyle::drawPrimitive(element, option, painter, widget);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(option->palette.color(QPalette::Window).darker(140));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter->restore();
  }
};

QStyle* FlatFrameStyle() {
  static QPointer<FlatFrame> style;
  if (!style) {
    style = new FlatFrame;
    style->setParent(QCoreApplication::instance());
  }
  return style;
}

QWidget* FindControl(QWidget& window, const char* name) {
  return window.findChild<QWidget*>(QString::fromLatin1(name));
}

bool IsLine(const QWidget& control) { return control.objectName().startsWith("Line"); }

void PinColours(QWidget& control) {
  QPalette palette = control.palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    for (const auto role : PinnedRoles) palette.setColor(group, role, palette.color(group, role));
  }
  control.setPalette(palette);
}

void PinUnthemedControls(QWidget& window) {
  for (const char* name : UnthemedControls) {
    if (QWidget* control = FindControl(window, name)) PinColours(*control);
  }
}

void SetRoles(QWidget& control, std::initializer_list<QPalette::ColorRole> roles, const QColor& colour) {
  QPalette palette = control.palette();
  for (const auto role : roles) palette.setColor(role, colour);
  control.setPalette(palette);
}

// A line has one colour, drawn from whichever roles its shadow style uses.
void SetLineColour(QWidget& line, const QColor& colour) {
  SetRoles(line, {QPalette::WindowText, QPalette::Light, QPalette::Dark, QPalette::Mid}, colour);
}

void SetBackColour(QWidget& control, const QColor& colour) {
  if (IsLine(control)) return SetLineColour(control, colour);
  if (auto* view = qobject_cast<QAbstractItemView*>(&control)) {
    SetRoles(*view, {QPalette::Base}, colour);
    view->viewport()->setAutoFillBackground(true);
    return;
  }
  if (auto* frame = qobject_cast<QGroupBox*>(&control)) {
    frame->setStyle(FlatFrameStyle());
    SetRoles(control, {QPalette::Window}, colour);
    control.setAutoFillBackground(true);
    return;
  }
  if (qobject_cast<QPushButton*>(&control)) {
    // Under the Fusion style a push button paints its own gradient and ignores
    // the palette; a style sheet is what makes the colour show.
    control.setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid "
                                         "%2; border-radius: 3px; padding: 2px 6px; }"
                                         "QPushButton:pressed { background-color: %2; }")
                              .arg(colour.name(), colour.darker(140).name()));
    SetRoles(control, {QPalette::Button, QPalette::Window}, colour);
    return;
  }
  // Check boxes and option buttons fill from the Button role, the rest from Window.
  SetRoles(control, {QPalette::Window, control.backgroundRole()}, colour);
  control.setAutoFillBackground(true);
}

void SetTextColour(QWidget& control, const QColor& colour) {
  if (IsLine(control)) return SetLineColour(control, colour);
  if (qobject_cast<QGroupBox*>(&control)) {
    // The style draws a frame's caption in the Text role.
    return SetRoles(control, {QPalette::WindowText, QPalette::Text}, colour);
  }
  if (qobject_cast<QAbstractItemView*>(&control)) {
    return SetRoles(control, {QPalette::Text, QPalette::WindowText}, colour);
  }
  SetRoles(control, {QPalette::WindowText}, colour);
}

using Assignment = void (*)(QWidget&, const QColor&);

// A target that cannot take the colour (no such control) is skipped; text
// that is no colour leaves every target as designed.
void ApplyToTargets(QWidget& window, const QString& colourText, const std::vector<const char*>& targets,
                    Assignment assign) {
  PinUnthemedControls(window);
  const auto colour = ColourFromText(colourText);
  if (!colour) return;
  assign(window, *colour);
  for (const char* name : targets) {
    if (QWidget* control = FindControl(window, name)) assign(*control, *colour);
  }
}

// Shows the picture at its own size from the control's top-left corner.
void ShowPicture(QWidget& control, const QPixmap& picture) {
  if (auto* label = qobject_cast<QLabel*>(&control)) {
    label->setScaledContents(false);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPixmap(picture);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
    button->setIcon(QIcon(picture));
    button->setIconSize(picture.size());
  }
  control.resize(picture.size());
}

}  // namespace

void DoColorChange(QWidget& window, const QString& colourText) {
  ApplyToTargets(window, colourText, BackColorTargets, SetBackColour);
}

void DoForeColorChange(QWidget& window, const QString& colourText, const QString& applicationFolder) {
  ApplyToTargets(window, colourText, ForeColorTargets, SetTextColour);
  SetImages(window, applicationFolder);
}

void SetImages(QWidget& window, const QString& applicationFolder) {
  for (const auto& slot : Pictures) {
    const QPixmap picture(applicationFolder + QString::fromLatin1(slot.file));
    QWidget* control = FindControl(window, slot.control);
    if (picture.isNull() || !control) return;
    ShowPicture(*control, picture);
  }
}

}  // namespace pelvantz
