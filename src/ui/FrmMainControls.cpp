#include "ui/FrmMainControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <vector>

#include "engine/ConversionOptions.h"
#include "engine/PageRange.h"
#include "ui/JobListModel.h"
#include "ui/PageKeyFilter.h"
#include "ui/PictureButton.h"
#include "ui/Twips.h"

namespace pelvantz {
namespace {

constexpr int ClientWidth = 653;
constexpr int ClientHeight = 440;

QFont MakeFont(const char* family, qreal points, bool bold) {
  QFont font(QString::fromLatin1(family));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}
// Verdana and Arial are not installed on Debian; these are their nearest kin.
QFont FieldFont() { return MakeFont("DejaVu Sans", 8.25, false); }
QFont ButtonFont() { return MakeFont("Liberation Sans", 9, true); }
QFont CaptionFont() { return MakeFont("Liberation Sans", 8.25, true); }
QFont WindowFont() { return MakeFont("Liberation Sans", 8.25, false); }

template <typename Control>
Control* Place(QWidget* container, const char* name, const QRect& geometry, const QFont& font) {
  auto* control = new Control(container);
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(geometry);
  control->setFont(font);
  return control;
}

template <typename Control>
Control* PlaceCaptioned(QWidget* container, const char* name, const char* caption, const QRect& geometry,
                        const QFont& font) {
  auto* control = Place<Control>(container, name, geometry, font);
  control->setText(QString::fromLatin1(caption));
  return control;
}

QPushButton* PlaceButton(QWidget* container, const char* name, const char* caption, const QRect& geometry) {
  return PlaceCaptioned<QPushButton>(container, name, caption, geometry, ButtonFont());
}

QGroupBox* PlaceFrame(QWidget* container, const char* name, const char* caption, const QRect& geometry,
                      const QFont& font) {
  auto* frame = Place<QGroupBox>(container, name, geometry, font);
  frame->setTitle(QString::fromLatin1(caption));
  return frame;
}

QFrame* PlaceLine(QWidget* container, const char* name, int left, int top, int right) {
  auto* line =
      Place<QFrame>(container, name,
                    QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(right - left), 1), WindowFont());
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Plain);
  line->setLineWidth(1);
  return line;
}

QLineEdit* PlacePageField(QWidget* container, const char* name, const char* text, const QRect& geometry) {
  auto* field = Place<QLineEdit>(container, name, geometry, FieldFont());
  field->setMaxLength(PageFieldMaxLength);
  field->setText(QString::fromLatin1(text));
  return field;
}

// A group of option buttons is one Tab stop, its selected button; the arrow
// keys move between the buttons.
void TabStopOnSelectedButton(QButtonGroup& group) {
  const auto update = [&group] {
    for (QAbstractButton* button : group.buttons())
      button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
  };
  QObject::connect(&group, &QButtonGroup::buttonToggled, &group, update);
  update();
}

// Enter on a focused push button presses it, as Space does; which button is
// the default does not change.
class EnterPressesButton : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    if (!key->isAutoRepeat()) static_cast<QPushButton*>(watched)->click();
    return true;
  }
};

void NameField(QLabel& label, QWidget& field) {
  label.setBuddy(&field);
  field.setAccessibleName(label.text().remove(QLatin1Char(':')));
}

// The list shows the choices' labels in the table's order.
void AddLabels(QComboBox& list, const auto& choices) {
  for (const auto& choice : choices)
    list.addItem(QString::fromUtf8(choice.label.data(), static_cast<qsizetype>(choice.label.size())));
}

}  // namespace

void FrmMainControls::setupUi(QWidget& form, JobList& jobs) {
  form.setObjectName(QStringLiteral("frmMain"));
  form.setFont(WindowFont());
  form.setFixedSize(ClientWidth, ClientHeight);
  form.setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  picMain = Place<QWidget>(&form, "picMain", TwipsRect(-330, -180, 10500, 7500), WindowFont());
  Image1 = Place<QLabel>(picMain, "Image1", TwipsRect(270, 120, 2805, 825), WindowFont());
  cmdHomeLink = Place<PictureButton>(picMain, "cmdHomeLink", TwipsRect(7230, 510, 1125, 1125), WindowFont());
  cmdHomeLink->setToolTip(QStringLiteral("Quillborn Home Page"));
  cmdContactUs = Place<PictureButton>(picMain, "cmdContactUs", TwipsRect(8145, 510, 1155, 1125), WindowFont());
  cmdContactUs->setToolTip(QStringLiteral("Contact Us"));
  cmdHelp = Place<PictureButton>(picMain, "cmdHelp", TwipsRect(9060, 510, 1140, 1125), WindowFont());
  cmdHelp->setToolTip(QStringLiteral("Help"));
  Line1 = PlaceLine(picMain, "Line1", 420, 1260, 9870);
  createSelectionFrame(jobs);
  createPrintRangeFrame(form);
  createBottomControls();
  setFocusOrder();
  nameControls();
  // Files dropped anywhere on the window go to the window (and text dropped
  // into a page field would pass by its key filter).
  for (QLineEdit* field : {txtfilepath, txtfilepathOutput, txtFrom, txtTo}) field->setAcceptDrops(false);
  auto* enter = new EnterPressesButton(&form);
  for (QPushButton* button : {cmdBrowse, cmdBrowseOutput, cmdAddToList, cmdClear, cmdConvert, cmdClose})
    button->installEventFilter(enter);
}

void FrmMainControls::createSelectionFrame(JobList& jobs) {
  Frame2 = PlaceFrame(picMain, "Frame2", "Select File:", TwipsRect(450, 1380, 9555, 4695), CaptionFont());
  Label12 = PlaceCaptioned<QLabel>(Frame2, "Label12", "Select Source File:", TwipsRect(120, 210, 1605, 195),
                                   FieldFont());
  txtfilepath = Place<QLineEdit>(Frame2, "txtfilepath", TwipsRect(120, 420, 7725, 345), FieldFont());
  cmdBrowse = PlaceButton(Frame2, "cmdBrowse", "&Browse", TwipsRect(8100, 390, 1245, 375));
  Label11 = PlaceCaptioned<QLabel>(Frame2, "Label11", "Select Target Location:", TwipsRect(120, 810, 1980, 195),
                                   FieldFont());
  txtfilepathOutput = Place<QLineEdit>(Frame2, "txtfilepathOutput", TwipsRect(150, 1020, 7665, 345), WindowFont());
  cmdBrowseOutput = PlaceButton(Frame2, "cmdBrowseOutput", "B&rowse", TwipsRect(8100, 990, 1245, 375));
  cmdAddToList = PlaceButton(Frame2, "cmdAddToList", "&Add to List", TwipsRect(6780, 1470, 1245, 375));
  cmdClear = PlaceButton(Frame2, "cmdClear", "&Clear List", TwipsRect(8130, 1470, 1245, 375));
  createJobListView(jobs);
  createPrintSizeFrame();
  chkFitToPage = PlaceCaptioned<QCheckBox>(Frame2, "chkFitToPage", "Fit To Page", TwipsRect(6180, 3390, 2025, 225),
                                           FieldFont());
  chkFitToPage->setChecked(true);
  chkComments = PlaceCaptioned<QCheckBox>(Frame2, "chkComments", "Print Comments",
                                          TwipsRect(6180, 3690, 1755, 225), FieldFont());
}

void FrmMainControls::createJobListView(JobList& jobs) {
  lvwGeneral = Place<QTreeView>(Frame2, "lvwGeneral", TwipsRect(180, 1920, 9150, 1260), WindowFont());
  lvwGeneral->setModel(new JobListModel(jobs, lvwGeneral));
  lvwGeneral->setRootIsDecorated(false);
  lvwGeneral->setItemsExpandable(false);
  lvwGeneral->setUniformRowHeights(true);
  lvwGeneral->setAllColumnsShowFocus(true);
  lvwGeneral->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvwGeneral->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvwGeneral->setSelectionMode(QAbstractItemView::SingleSelection);
  lvwGeneral->setSortingEnabled(false);
  lvwGeneral->setIconSize(QSize(16, 16));
  QHeaderView* header = lvwGeneral->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  // The two path columns travel hidden in the row: width 0, not to be widened.
  header->setMinimumSectionSize(0);
  header->setSectionResizeMode(QHeaderView::Fixed);
  header->resizeSection(JobListModel::FileColumn, TwipsToPixels(7000));
  header->resizeSection(JobListModel::SourceColumn, 0);
  header->resizeSection(JobListModel::TargetColumn, 0);
  header->resizeSection(JobListModel::StatusColumn, TwipsToPixels(2000));
}

void FrmMainControls::createPrintSizeFrame() {
  Frame1 = PlaceFrame(Frame2, "Frame1", "Print Size", TwipsRect(2610, 3270, 3405, 1245), WindowFont());
  optLandscape = PlaceCaptioned<QRadioButton>(Frame1, "optLandscape", "Landscape", TwipsRect(180, 210, 1365, 255),
                                              FieldFont());
  optPotrait =
      PlaceCaptioned<QRadioButton>(Frame1, "optPotrait", "Potrait", TwipsRect(1830, 210, 1155, 285), FieldFont());
  orientationGroup = new QButtonGroup(Frame1);
  orientationGroup->addButton(optLandscape);
  orientationGroup->addButton(optPotrait);
  optLandscape->setChecked(true);
  Label3 = PlaceCaptioned<QLabel>(Frame1, "Label3", "Output Type:", TwipsRect(210, 570, 1125, 195), FieldFont());
  cboOutputType = Place<QComboBox>(Frame1, "cboOutputType", TwipsRect(1500, 510, 1515, 315), WindowFont());
  AddLabels(*cboOutputType, OutputTypeChoices);
  Label8 = PlaceCaptioned<QLabel>(Frame1, "Label8", "Paper Size:", TwipsRect(210, 930, 990, 195), FieldFont());
  cboPaperSize = Place<QComboBox>(Frame1, "cboPaperSize", TwipsRect(1500, 870, 1515, 315), WindowFont());
  AddLabels(*cboPaperSize, SlideSizeChoices);
}

void FrmMainControls::createPrintRangeFrame(QWidget& form) {
  Frame3 = PlaceFrame(picMain, "Frame3", "Print Range", TwipsRect(630, 4650, 2385, 1245), WindowFont());
  chkAllPages = PlaceCaptioned<QRadioButton>(Frame3, "chkAllPages", "All Pages", TwipsRect(150, 210, 1155, 285),
                                             FieldFont());
  chkFromTo = PlaceCaptioned<QRadioButton>(Frame3, "chkFromTo", "Select Page Range",
                                           TwipsRect(150, 510, 1965, 255), FieldFont());
  pageRangeGroup = new QButtonGroup(Frame3);
  pageRangeGroup->addButton(chkAllPages);
  pageRangeGroup->addButton(chkFromTo);
  Label4 = PlaceCaptioned<QLabel>(Frame3, "Label4", "From", TwipsRect(420, 810, 435, 195), FieldFont());
  txtFrom = PlacePageField(Frame3, "txtFrom", "1", TwipsRect(960, 780, 435, 285));
  Label2 = PlaceCaptioned<QLabel>(Frame3, "Label2", "To", TwipsRect(1440, 810, 210, 195), FieldFont());
  txtTo = PlacePageField(Frame3, "txtTo", "2", TwipsRect(1770, 780, 465, 285));
  new PageKeyFilter(*txtFrom, *txtTo, SystemNumberFormat(), &form);
  Frame3->raise();  // drawn above the selection frame it overlaps
}

void FrmMainControls::createBottomControls() {
  chkOpenDocEditing = PlaceCaptioned<QCheckBox>(picMain, "chkOpenDocEditing", "Open After Conversion Done",
                                                TwipsRect(6540, 5670, 3165, 195), FieldFont());
  chkOpenDocEditing->raise();
  Line3 = PlaceLine(picMain, "Line3", 390, 6150, 10080);
  cmdConvert = PlaceButton(picMain, "cmdConvert", "&Convert", TwipsRect(7350, 6270, 1245, 375));
  cmdClose = PlaceButton(picMain, "cmdClose", "&Close", TwipsRect(8730, 6270, 1245, 375));
}

void FrmMainControls::setFocusOrder() {
  const std::vector<QWidget*> order = {
      txtfilepath,  txtfilepathOutput, chkAllPages,   chkFromTo,    txtFrom,
      txtTo,        chkOpenDocEditing, optPotrait,    optLandscape, cboPaperSize,
      chkFitToPage, chkComments,       cboOutputType, cmdBrowse,    cmdBrowseOutput,
      cmdClear,     cmdAddToList,      cmdClose,      cmdConvert,   lvwGeneral};
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  // The three pictures come after every control the user works with.
  QWidget::setTabOrder(lvwGeneral, cmdHomeLink);
  QWidget::setTabOrder(cmdHomeLink, cmdContactUs);
  QWidget::setTabOrder(cmdContactUs, cmdHelp);
  TabStopOnSelectedButton(*orientationGroup);
  TabStopOnSelectedButton(*pageRangeGroup);
}

// Every control a screen reader reaches has a name of its own: the fields their
// label's caption, the frames their title (a frame inside a frame would borrow
// the outer one's), the pictures their tooltip, the two Browse buttons the path
// each picks.
void FrmMainControls::nameControls() {
  for (QGroupBox* frame : {Frame2, Frame1, Frame3})
    frame->setAccessibleName(frame->title().remove(QLatin1Char(':')));
  cmdBrowse->setAccessibleName(QStringLiteral("Browse for the source file"));
  cmdBrowseOutput->setAccessibleName(QStringLiteral("Browse for the target file"));
  NameField(*Label12, *txtfilepath);
  NameField(*Label11, *txtfilepathOutput);
  NameField(*Label3, *cboOutputType);
  NameField(*Label8, *cboPaperSize);
  NameField(*Label4, *txtFrom);
  NameField(*Label2, *txtTo);
  for (PictureButton* picture : {cmdHomeLink, cmdContactUs, cmdHelp})
    picture->setAccessibleName(picture->toolTip());
  Image1->setAccessibleName(QStringLiteral("Quillborn"));
  lvwGeneral->setAccessibleName(QStringLiteral("Presentations to convert"));
}

}  // namespace pelvantz
