#include "ui/FrmMain.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTreeView>
#include <QWindow>
#include <cctype>
#include <cstdlib>
#include <exception>
#include <thread>

#include "engine/Conversion.h"
#include "joblist/JobList.h"
#include "core/RuntimeFailure.h"
#include "platform/qt/UiThread.h"
#include "core/ErrorHandler.h"
#include "core/ExitStatus.h"
#include "core/Settings.h"
#include "ui/InputBlocker.h"
#include "ui/JobListModel.h"
#include "ui/Links.h"
#include "ui/PageKeyFilter.h"
#include "ui/PictureButton.h"
#include "ui/Theme.h"
#include "ui/UiThreadServices.h"

namespace pelvantz {
namespace {

constexpr int ClientWidth = 653;
constexpr int ClientHeight = 440;
constexpr const char* ExitQuestion = "Do you really want to exit the application?";
constexpr const char* BrowseErrorTag = "frmMain:cmdBrowse";
constexpr const char* QueryUnloadErrorTag = "frmMain:Form_QueryUnload";

// Positions and sizes are laid out in twips, 15 to a pixel.
int Px(int twips) { return qRound(twips / 15.0); }
QRect Twips(int left, int top, int width, int height) {
  return {Px(left), Px(top), Px(width), Px(height)};
}

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
  auto* line = Place<QFrame>(container, name, QRect(Px(left), Px(top), Px(right - left), 1), WindowFont());
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

bool HasExtension(const std::string& path, const std::string& extension) {
  if (path.size() < extension.size()) return false;
  std::string tail = path.substr(path.size() - extension.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == extension;
}

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

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

void NameField(QLabel& label, QWidget& field) {
  label.setBuddy(&field);
  field.setAccessibleName(label.text().remove(QLatin1Char(':')));
}

}  // namespace

FrmMain::FrmMain(MainWindowServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), jobs_(std::make_unique<JobList>(services_.dialogs)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::fromLatin1(ApplicationTitle));
  setFont(WindowFont());
  setFixedSize(ClientWidth, ClientHeight);
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  createControls();
  setFocusOrder();
  nameControls();
  connectHandlers();
  batch_ = std::make_unique<BatchDriver>(BatchServices{
      *this, *jobs_, services_.dialogs, services_.cursor, services_.errors, SystemNumberFormat(),
      [this](const std::string& source, const std::string& target, int16_t position,
             const ConversionOptions& options, bool anotherJobFollows) {
        runJobOffUiThread(source, target, position, options, anotherJobFollows);
      }});
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  Form_Load();
}

FrmMain::~FrmMain() {
  // Closing the native window during destruction moves the focus; this half-
  // destroyed window must not hear of it.
  disconnect(qApp, nullptr, this, nullptr);
  // The controls (the list view above all) read the job list: they go first.
  delete picMain_;
}

void FrmMain::createControls() {
  picMain_ = Place<QWidget>(this, "picMain", Twips(-330, -180, 10500, 7500), WindowFont());
  Image1_ = Place<QLabel>(picMain_, "Image1", Twips(270, 120, 2805, 825), WindowFont());
  cmdHomeLink_ = Place<PictureButton>(picMain_, "cmdHomeLink", Twips(7230, 510, 1125, 1125), WindowFont());
  cmdHomeLink_->setToolTip(QStringLiteral("Quillborn Home Page"));
  cmdContactUs_ = Place<PictureButton>(picMain_, "cmdContactUs", Twips(8145, 510, 1155, 1125), WindowFont());
  cmdContactUs_->setToolTip(QStringLiteral("Contact Us"));
  cmdHelp_ = Place<PictureButton>(picMain_, "cmdHelp", Twips(9060, 510, 1140, 1125), WindowFont());
  cmdHelp_->setToolTip(QStringLiteral("Help"));
  Line1_ = PlaceLine(picMain_, "Line1", 420, 1260, 9870);
  createSelectionFrame();
  createPrintRangeFrame();
  createBottomControls();
}

void FrmMain::createSelectionFrame() {
  Frame2_ = PlaceFrame(picMain_, "Frame2", "Select File:", Twips(450, 1380, 9555, 4695), CaptionFont());
  Label12_ = PlaceCaptioned<QLabel>(Frame2_, "Label12", "Select Source File:", Twips(120, 210, 1605, 195), FieldFont());
  txtfilepath_ = Place<QLineEdit>(Frame2_, "txtfilepath", Twips(120, 420, 7725, 345), FieldFont());
  cmdBrowse_ = PlaceButton(Frame2_, "cmdBrowse", "&Browse", Twips(8100, 390, 1245, 375));
  Label11_ = PlaceCaptioned<QLabel>(Frame2_, "Label11", "Select Target Location:", Twips(120, 810, 1980, 195), FieldFont());
  txtfilepathOutput_ = Place<QLineEdit>(Frame2_, "txtfilepathOutput", Twips(150, 1020, 7665, 345), WindowFont());
  cmdBrowseOutput_ = PlaceButton(Frame2_, "cmdBrowseOutput", "B&rowse", Twips(8100, 990, 1245, 375));
  cmdAddToList_ = PlaceButton(Frame2_, "cmdAddToList", "&Add to List", Twips(6780, 1470, 1245, 375));
  cmdClear_ = PlaceButton(Frame2_, "cmdClear", "&Clear List", Twips(8130, 1470, 1245, 375));
  createJobListView();
  createPrintSizeFrame();
  chkFitToPage_ = PlaceCaptioned<QCheckBox>(Frame2_, "chkFitToPage", "Fit To Page", Twips(6180, 3390, 2025, 225), FieldFont());
  chkFitToPage_->setChecked(true);
  chkComments_ = PlaceCaptioned<QCheckBox>(Frame2_, "chkComments", "Print Comments", Twips(6180, 3690, 1755, 225), FieldFont());
}

void FrmMain::createJobListView() {
  lvwGeneral_ = Place<QTreeView>(Frame2_, "lvwGeneral", Twips(180, 1920, 9150, 1260), WindowFont());
  jobModel_ = new JobListModel(*jobs_, lvwGeneral_);
  lvwGeneral_->setModel(jobModel_);
  lvwGeneral_->setRootIsDecorated(false);
  lvwGeneral_->setItemsExpandable(false);
  lvwGeneral_->setUniformRowHeights(true);
  lvwGeneral_->setAllColumnsShowFocus(true);
  lvwGeneral_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvwGeneral_->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvwGeneral_->setSelectionMode(QAbstractItemView::SingleSelection);
  lvwGeneral_->setSortingEnabled(false);
  lvwGeneral_->setIconSize(QSize(16, 16));
  QHeaderView* header = lvwGeneral_->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  // The two path columns travel hidden in the row: width 0, not to be widened.
  header->setMinimumSectionSize(0);
  header->setSectionResizeMode(QHeaderView::Fixed);
  header->resizeSection(JobListModel::FileColumn, Px(7000));
  header->resizeSection(JobListModel::SourceColumn, 0);
  header->resizeSection(JobListModel::TargetColumn, 0);
  header->resizeSection(JobListModel::StatusColumn, Px(2000));
}

void FrmMain::createPrintSizeFrame() {
  Frame1_ = PlaceFrame(Frame2_, "Frame1", "Print Size", Twips(2610, 3270, 3405, 1245), WindowFont());
  optLandscape_ = PlaceCaptioned<QRadioButton>(Frame1_, "optLandscape", "Landscape", Twips(180, 210, 1365, 255), FieldFont());
  optPotrait_ = PlaceCaptioned<QRadioButton>(Frame1_, "optPotrait", "Potrait", Twips(1830, 210, 1155, 285), FieldFont());
  orientationGroup_ = new QButtonGroup(Frame1_);
  orientationGroup_->addButton(optLandscape_);
  orientationGroup_->addButton(optPotrait_);
  optLandscape_->setChecked(true);
  Label3_ = PlaceCaptioned<QLabel>(Frame1_, "Label3", "Output Type:", Twips(210, 570, 1125, 195), FieldFont());
  cboOutputType_ = Place<QComboBox>(Frame1_, "cboOutputType", Twips(1500, 510, 1515, 315), WindowFont());
  cboOutputType_->addItems({"Slides", "Notes", "Outline", "1 Slide Handouts", "2 Slide Handouts",
                            "3 Slide Handouts", "4 Slide Handouts", "6 Slide Handouts", "9 Slide Handouts"});
  Label8_ = PlaceCaptioned<QLabel>(Frame1_, "Label8", "Paper Size:", Twips(210, 930, 990, 195), FieldFont());
  cboPaperSize_ = Place<QComboBox>(Frame1_, "cboPaperSize", Twips(1500, 870, 1515, 315), WindowFont());
  cboPaperSize_->addItems({"A3", "A4", "35MM", "Letter", "Invoice", "Banner"});
}

void FrmMain::createPrintRangeFrame() {
  Frame3_ = PlaceFrame(picMain_, "Frame3", "Print Range", Twips(630, 4650, 2385, 1245), WindowFont());
  chkAllPages_ = PlaceCaptioned<QRadioButton>(Frame3_, "chkAllPages", "All Pages", Twips(150, 210, 1155, 285), FieldFont());
  chkFromTo_ = PlaceCaptioned<QRadioButton>(Frame3_, "chkFromTo", "Select Page Range", Twips(150, 510, 1965, 255), FieldFont());
  pageRangeGroup_ = new QButtonGroup(Frame3_);
  pageRangeGroup_->addButton(chkAllPages_);
  pageRangeGroup_->addButton(chkFromTo_);
  Label4_ = PlaceCaptioned<QLabel>(Frame3_, "Label4", "From", Twips(420, 810, 435, 195), FieldFont());
  txtFrom_ = PlacePageField(Frame3_, "txtFrom", "1", Twips(960, 780, 435, 285));
  Label2_ = PlaceCaptioned<QLabel>(Frame3_, "Label2", "To", Twips(1440, 810, 210, 195), FieldFont());
  txtTo_ = PlacePageField(Frame3_, "txtTo", "2", Twips(1770, 780, 465, 285));
  new PageKeyFilter(*txtFrom_, *txtTo_, SystemNumberFormat(), this);
  Frame3_->raise();  // drawn above the selection frame it overlaps
}

void FrmMain::createBottomControls() {
  chkOpenDocEditing_ = PlaceCaptioned<QCheckBox>(picMain_, "chkOpenDocEditing", "Open After Conversion Done",
                                                 Twips(6540, 5670, 3165, 195), FieldFont());
  chkOpenDocEditing_->raise();
  Line3_ = PlaceLine(picMain_, "Line3", 390, 6150, 10080);
  cmdConvert_ = PlaceButton(picMain_, "cmdConvert", "&Convert", Twips(7350, 6270, 1245, 375));
  cmdClose_ = PlaceButton(picMain_, "cmdClose", "&Close", Twips(8730, 6270, 1245, 375));
}

void FrmMain::setFocusOrder() {
  const std::vector<QWidget*> order = {
      txtfilepath_,  txtfilepathOutput_, chkAllPages_,  chkFromTo_,       txtFrom_,
      txtTo_,        chkOpenDocEditing_, optPotrait_,   optLandscape_,    cboPaperSize_,
      chkFitToPage_, chkComments_,       cboOutputType_, cmdBrowse_,      cmdBrowseOutput_,
      cmdClear_,     cmdAddToList_,      cmdClose_,     cmdConvert_,      lvwGeneral_};
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  // The three pictures come after every control the user works with.
  QWidget::setTabOrder(lvwGeneral_, cmdHomeLink_);
  QWidget::setTabOrder(cmdHomeLink_, cmdContactUs_);
  QWidget::setTabOrder(cmdContactUs_, cmdHelp_);
  TabStopOnSelectedButton(*orientationGroup_);
  TabStopOnSelectedButton(*pageRangeGroup_);
}

// Every control a screen reader reaches has a name: the fields their label's
// caption, the pictures their tooltip.
void FrmMain::nameControls() {
  NameField(*Label12_, *txtfilepath_);
  NameField(*Label11_, *txtfilepathOutput_);
  NameField(*Label3_, *cboOutputType_);
  NameField(*Label8_, *cboPaperSize_);
  NameField(*Label4_, *txtFrom_);
  NameField(*Label2_, *txtTo_);
  for (PictureButton* picture : {cmdHomeLink_, cmdContactUs_, cmdHelp_}) picture->setAccessibleName(picture->toolTip());
  Image1_->setAccessibleName(QStringLiteral("Quillborn"));
  lvwGeneral_->setAccessibleName(QStringLiteral("Presentations to convert"));
}

void FrmMain::connectHandlers() {
  connect(cmdBrowse_, &QPushButton::clicked, this, &FrmMain::cmdBrowse_Click);
  connect(cmdBrowseOutput_, &QPushButton::clicked, this, &FrmMain::cmdBrowseOutput_Click);
  connect(cmdAddToList_, &QPushButton::clicked, this, &FrmMain::cmdAddToList_Click);
  connect(cmdClear_, &QPushButton::clicked, this, &FrmMain::cmdClear_Click);
  connect(cmdConvert_, &QPushButton::clicked, this, &FrmMain::cmdConvert_Click);
  connect(cmdClose_, &QPushButton::clicked, this, &FrmMain::cmdClose_Click);
  connect(chkAllPages_, &QRadioButton::toggled, this, [this](bool selected) {
    if (selected) chkAllPages_Click();
  });
  connect(chkFromTo_, &QRadioButton::toggled, this, [this](bool selected) {
    if (selected) chkFromTo_Click();
  });
  connect(chkOpenDocEditing_, &QCheckBox::stateChanged, this, &FrmMain::chkOpenDocEditing_Click);
  connect(cmdHomeLink_, &PictureButton::clicked, this, [this] { cmdHomeLink_Click(services_.shell); });
  connect(cmdContactUs_, &PictureButton::clicked, this, [this] { cmdContactUs_Click(services_.shell); });
  connect(cmdHelp_, &PictureButton::clicked, this,
          [this] { cmdHelp_Click(services_.shell, services_.applicationFolder); });
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, cmdHelp_, &PictureButton::clicked);
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &FrmMain::noteFocusWindow);
}

void FrmMain::Form_Load() {
  DoColorChange(*this, QString::fromLatin1(ThemeBackColor));
  DoForeColorChange(*this, QString::fromLatin1(ThemeTextColor),
                    QString::fromStdString(services_.applicationFolder));
  const AppSettings& settings = services_.settings.settings();
  txtfilepath_->clear();
  cboPaperSize_->setCurrentIndex(0);
  cboOutputType_->setCurrentIndex(0);
  txtFrom_->setText(QString::fromStdString(settings.PageRange));
  const bool selectRange = settings.ConvertPageFrom != 0;
  (selectRange ? chkFromTo_ : chkAllPages_)->setChecked(true);
  txtFrom_->setEnabled(selectRange);
  txtfilepathOutput_->clear();
  chkOpenDocEditing_->setChecked(settings.Launch != 0);
  txtfilepath_->setFocus();
}

void FrmMain::Form_Activate() {
  const AppSettings& settings = services_.settings.settings();
  applyPageRangeMode(settings.ConvertPageFrom != 0);
  chkOpenDocEditing_->setChecked(settings.Launch != 0);
}

void FrmMain::applyPageRangeMode(bool selectRange) {
  chkFromTo_->setEnabled(true);
  (selectRange ? chkFromTo_ : chkAllPages_)->setChecked(true);
  txtFrom_->setEnabled(selectRange);
  txtTo_->setEnabled(selectRange);
}

bool FrmMain::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && (!activatedBefore_ || cameFromAnotherForm())) {
    activatedBefore_ = true;
    lastOtherWindow_ = nullptr;
    Form_Activate();
  }
  return QWidget::event(event);
}

// Remembers which of the program's windows had the focus before this one.
void FrmMain::noteFocusWindow(QWindow* window) {
  if (window == windowHandle()) return;
  lastOtherWindow_ = nullptr;
  if (window == nullptr) return;
  for (QWidget* topLevel : QApplication::topLevelWidgets()) {
    if (topLevel->windowHandle() == window) lastOtherWindow_ = topLevel;
  }
}

// Message boxes, file dialogs and pop-ups (a drop-down list, a context menu)
// give the activation back to this window; only another plain window of the
// program counts as leaving it.
bool FrmMain::cameFromAnotherForm() const {
  if (lastOtherWindow_.isNull()) return false;
  const Qt::WindowType type = lastOtherWindow_->windowType();
  return type == Qt::Window || type == Qt::SplashScreen;
}

void FrmMain::chkAllPages_Click() {
  txtFrom_->setEnabled(false);
  txtTo_->setEnabled(false);
  services_.settings.settings().ConvertPageFrom = 0;
}

void FrmMain::chkFromTo_Click() {
  txtFrom_->setEnabled(true);
  txtTo_->setEnabled(true);
}

void FrmMain::chkOpenDocEditing_Click() {
  int16_t& launch = services_.settings.settings().Launch;
  if (!chkOpenDocEditing_->isChecked()) {
    launch = 0;
  } else if (launch == 0) {
    launch = 2;
  }
}

void FrmMain::cmdBrowse_Click() {
  RunSteps(services_.errors, BrowseErrorTag, {[this] {
             AppSettings& settings = services_.settings.settings();
             FileDialogRequest request;
             request.title = "Select Source File";
             request.initialFolder = settings.RecentFolder.empty() ? services_.applicationFolder : settings.RecentFolder;
             request.filterDescription = "Microsoft Powerpoint (*.ppt)";
             request.filterPattern = "*.ppt";
             const std::optional<std::string> chosen = services_.dialogs.chooseFile(request);
             if (!chosen || chosen->empty()) return;
             // The choice is remembered even when it is refused below.
             settings.RecentFolder = *chosen;
             services_.settings.WriteSetting(SettingsSection, "PATH", *chosen);
             if (!HasExtension(*chosen, ".ppt")) {
               services_.dialogs.showMessage("Invalid file selected. Please select valid Powerpoint file only.",
                                             MessageIcon::Critical, MessageButtons::Ok, ApplicationTitle);
               txtfilepath_->clear();
               return;
             }
             txtfilepath_->setText(QString::fromStdString(*chosen));
             txtfilepathOutput_->setText(QString::fromStdString(chosen->substr(0, chosen->size() - 4) + ".pdf"));
           }});
}

void FrmMain::cmdBrowseOutput_Click() {
  RunSteps(services_.errors, BrowseErrorTag, {[this] {
             AppSettings& settings = services_.settings.settings();
             FileDialogRequest request;
             request.save = true;
             request.title = "Save As";
             request.filterDescription = "PDF File (*.pdf)";
             request.filterPattern = "*.pdf";
             request.promptOverwrite = true;
             const std::size_t separator = settings.RecentOutputFolder.rfind('/');
             if (separator != std::string::npos) {
               // A file directly under the root keeps the root as its folder.
               request.initialFolder = settings.RecentOutputFolder.substr(0, std::max<std::size_t>(separator, 1));
             } else if (!services_.errors.ReportError(ErrorNumber::InvalidProcedureCall,
                                                      "Invalid procedure call or argument", BrowseErrorTag)) {
               return;
             }
             const std::optional<std::string> chosen = services_.dialogs.chooseFile(request);
             if (!chosen) return;
             if (!HasExtension(*chosen, ".pdf")) {
               services_.dialogs.showMessage("Invalid Output file. Please select valid PDF file.",
                                             MessageIcon::Critical, MessageButtons::Ok, ApplicationTitle);
               return;
             }
             txtfilepathOutput_->setText(QString::fromStdString(*chosen));
             settings.RecentOutputFolder = *chosen;
             services_.settings.WriteSetting(SettingsSection, "OUTPUTPATH", *chosen);
           }});
}

void FrmMain::cmdAddToList_Click() {
  RunStepsSkippingFailures({[this] {
    if (jobs_->AddToList(Text(txtfilepath_), Text(txtfilepathOutput_))) clearSelection();
  }});
}

void FrmMain::cmdClear_Click() {
  RunStepsSkippingFailures({[this] { jobs_->clear(); }});
}

void FrmMain::cmdConvert_Click() {
  if (converting_) return;
  converting_ = true;
  {
    const InputBlocker blocker(*this);
    batch_->cmdConvert_Click();
  }
  converting_ = false;
}

// The window keeps painting while a job runs, so that its row visibly shows
// "Converting..."; the user's input to it is swallowed until the run ends.
void FrmMain::runJobOffUiThread(const std::string& source, const std::string& target, int16_t position,
                                const ConversionOptions& options, bool anotherJobFollows) {
  prepareConversion();
  std::exception_ptr failure;
  QEventLoop loop;
  std::thread worker([&] {
    try {
      convertJob(source, target, position, options, anotherJobFollows);
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

void FrmMain::prepareConversion() {
  if (environment_) return;
  workerDialogs_ = std::make_unique<UiThreadDialogs>(services_.dialogs);
  workerRows_ = std::make_unique<UiThreadJobRows>(*jobs_);
  environment_ = std::make_unique<ConversionEnvironment>(ConversionEnvironment{
      services_.office, *workerDialogs_, services_.errors, services_.shell, *workerRows_, services_.registry,
      services_.systemVersion, services_.applicationFolder,
      // Ending the program tears down what the user-interface thread owns.
      // The conversion ends the program only when Ghostscript is missing.
      [this] { RunOnUiThread([this] { endProgram(ExitStatus::ConverterMissing); }); }});
  if (!services_.convertJob) converter_ = std::make_unique<Converter>(*environment_);
}

void FrmMain::convertJob(const std::string& source, const std::string& target, int16_t position,
                         const ConversionOptions& options, bool anotherJobFollows) {
  if (services_.convertJob) {
    services_.convertJob(*environment_, source, target, position, options);
  } else {
    converter_->ConvertPresentation(source, target, position, options, anotherJobFollows);
  }
}

void FrmMain::cmdClose_Click() {
  RunStepsSkippingFailures({[this] {
    if (askExit()) endProgram(ExitStatus::Normal);
  }});
}

void FrmMain::closeEvent(QCloseEvent* event) {
  // A prompt that cannot be shown does not keep the window open.
  bool confirmed = true;
  RunSteps(services_.errors, QueryUnloadErrorTag, {[&] { confirmed = askExit(); }});
  if (!confirmed) {
    event->ignore();
    return;
  }
  endProgram(ExitStatus::Normal);
  event->accept();
}

bool FrmMain::askExit() {
  return services_.dialogs.showMessage(ExitQuestion, MessageIcon::Question, MessageButtons::YesNo,
                                       ApplicationTitle) == MessageAnswer::Yes;
}

void FrmMain::endProgram(int exitStatus) {
  if (services_.endProgram) {
    services_.endProgram(exitStatus);
  } else {
    std::quick_exit(exitStatus);
  }
}

std::string FrmMain::pageFieldText(PageField field) const {
  return Text(field == PageField::From ? txtFrom_ : txtTo_);
}

void FrmMain::focusPageField(PageField field) {
  QLineEdit* target = field == PageField::From ? txtFrom_ : txtTo_;
  if (target->isEnabled()) target->setFocus();
}

std::string FrmMain::sourceText() const { return Text(txtfilepath_); }
std::string FrmMain::targetText() const { return Text(txtfilepathOutput_); }

void FrmMain::clearSelection() {
  txtfilepath_->clear();
  txtfilepathOutput_->clear();
}

ConversionOptions FrmMain::currentOptions() const {
  ConversionOptions options;
  options.OutputType = cboOutputType_->currentText().toStdString();
  options.PaperSize = cboPaperSize_->currentText().toStdString();
  options.Landscape = optLandscape_->isChecked();
  options.AllPages = chkAllPages_->isChecked();
  options.FromText = Text(txtFrom_);
  options.ToText = Text(txtTo_);
  options.PrintComments = chkComments_->isChecked();
  options.FitToPage = chkFitToPage_->isChecked();
  options.OpenAfterConversion = chkOpenDocEditing_->isChecked();
  return options;
}

}  // namespace pelvantz
