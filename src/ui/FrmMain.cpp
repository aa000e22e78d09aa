#include "ui/FrmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <cctype>

#include "base/RuntimeFailure.h"
#include "core/ErrorHandler.h"
#include "core/ExitStatus.h"
#include "core/SettingsStore.h"
#include "joblist/JobList.h"
#include "ui/InputBlocker.h"
#include "ui/Links.h"
#include "ui/PageKeyFilter.h"
#include "ui/PictureButton.h"
#include "ui/Theme.h"

namespace pelvantz {
namespace {

constexpr const char* ExitQuestion = "Do you really want to exit the application?";
constexpr const char* BrowseErrorTag = "frmMain:cmdBrowse";
constexpr const char* QueryUnloadErrorTag = "frmMain:Form_QueryUnload";

bool HasExtension(const std::string& path, const std::string& extension) {
  if (path.size() < extension.size()) return false;
  std::string tail = path.substr(path.size() - extension.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == extension;
}

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

bool IsPresentation(const std::string& path) { return HasExtension(path, ".ppt"); }

// The PDF beside the presentation, as Browse proposes it.
std::string ProposedTarget(const std::string& source) { return source.substr(0, source.size() - 4) + ".pdf"; }

// The presentations among files dropped from a file manager, in the order
// dropped: local files that Browse would accept.
std::vector<std::string> DroppedPresentations(const QMimeData& dropped) {
  std::vector<std::string> presentations;
  for (const QUrl& url : dropped.urls()) {
    const QString path = url.toLocalFile();
    if (url.isLocalFile() && IsPresentation(path.toStdString()) && !QFileInfo(path).isDir())
      presentations.push_back(path.toStdString());
  }
  return presentations;
}

// A drop that would queue something is taken as a copy: a move would have
// the file manager delete the presentation.
bool TakeAsCopy(QDropEvent& event) {
  if (!(event.possibleActions() & Qt::CopyAction) || DroppedPresentations(*event.mimeData()).empty()) return false;
  event.setDropAction(Qt::CopyAction);
  event.accept();
  return true;
}

}  // namespace

FrmMain::FrmMain(MainWindowServices services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      jobs_(std::make_unique<JobList>(services_.dialogs)),
      worker_(services_, *jobs_) {
  setWindowTitle(QString::fromLatin1(ApplicationTitle));
  setAcceptDrops(true);
  ui_.setupUi(*this, *jobs_);
  connectHandlers();
  batch_ = std::make_unique<BatchDriver>(BatchServices{
      *this, *jobs_, services_.dialogs, services_.cursor, services_.errors, SystemNumberFormat(),
      [this](const std::string& source, const std::string& target, int16_t position,
             const ConversionOptions& options,
             bool anotherJobFollows) { worker_.run(source, target, position, options, anotherJobFollows); }});
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
  delete ui_.picMain;
}

void FrmMain::connectHandlers() {
  connect(ui_.cmdBrowse, &QPushButton::clicked, this, &FrmMain::cmdBrowse_Click);
  connect(ui_.cmdBrowseOutput, &QPushButton::clicked, this, &FrmMain::cmdBrowseOutput_Click);
  connect(ui_.cmdAddToList, &QPushButton::clicked, this, &FrmMain::cmdAddToList_Click);
  connect(ui_.cmdClear, &QPushButton::clicked, this, &FrmMain::cmdClear_Click);
  connect(ui_.cmdConvert, &QPushButton::clicked, this, &FrmMain::cmdConvert_Click);
  connect(ui_.cmdClose, &QPushButton::clicked, this, &FrmMain::cmdClose_Click);
  connect(ui_.chkAllPages, &QRadioButton::toggled, this, [this](bool selected) {
    if (selected) chkAllPages_Click();
  });
  connect(ui_.chkFromTo, &QRadioButton::toggled, this, [this](bool selected) {
    if (selected) chkFromTo_Click();
  });
  connect(ui_.chkOpenDocEditing, &QCheckBox::stateChanged, this, &FrmMain::chkOpenDocEditing_Click);
  connect(ui_.cmdHomeLink, &PictureButton::clicked, this, [this] { cmdHomeLink_Click(services_.shell); });
  connect(ui_.cmdContactUs, &PictureButton::clicked, this, [this] { cmdContactUs_Click(services_.shell); });
  connect(ui_.cmdHelp, &PictureButton::clicked, this,
          [this] { cmdHelp_Click(services_.shell, services_.applicationFolder); });
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, ui_.cmdHelp,
          &PictureButton::clicked);
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &FrmMain::noteFocusWindow);
}

void FrmMain::Form_Load() {
  DoColorChange(*this, QString::fromLatin1(ThemeBackColor));
  DoForeColorChange(*this, QString::fromLatin1(ThemeTextColor),
                    QString::fromStdString(services_.applicationFolder));
  const AppSettings& settings = services_.settings.settings();
  ui_.txtfilepath->clear();
  ui_.cboPaperSize->setCurrentIndex(0);
  ui_.cboOutputType->setCurrentIndex(0);
  ui_.txtFrom->setText(QString::fromStdString(settings.PageRange));
  const bool selectRange = settings.ConvertPageFrom != 0;
  (selectRange ? ui_.chkFromTo : ui_.chkAllPages)->setChecked(true);
  ui_.txtFrom->setEnabled(selectRange);
  ui_.txtfilepathOutput->clear();
  ui_.chkOpenDocEditing->setChecked(settings.Launch != 0);
  ui_.txtfilepath->setFocus();
}

void FrmMain::Form_Activate() {
  const AppSettings& settings = services_.settings.settings();
  applyPageRangeMode(settings.ConvertPageFrom != 0);
  ui_.chkOpenDocEditing->setChecked(settings.Launch != 0);
}

void FrmMain::applyPageRangeMode(bool selectRange) {
  ui_.chkFromTo->setEnabled(true);
  (selectRange ? ui_.chkFromTo : ui_.chkAllPages)->setChecked(true);
  ui_.txtFrom->setEnabled(selectRange);
  ui_.txtTo->setEnabled(selectRange);
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
  ui_.txtFrom->setEnabled(false);
  ui_.txtTo->setEnabled(false);
  services_.settings.settings().ConvertPageFrom = 0;
}

void FrmMain::chkFromTo_Click() {
  ui_.txtFrom->setEnabled(true);
  ui_.txtTo->setEnabled(true);
}

void FrmMain::chkOpenDocEditing_Click() {
  int16_t& launch = services_.settings.settings().Launch;
  if (!ui_.chkOpenDocEditing->isChecked()) {
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
             request.initialFolder =
                 settings.RecentFolder.empty() ? services_.applicationFolder : settings.RecentFolder;
             request.filterDescription = "Microsoft Powerpoint (*.ppt)";
             request.filterPattern = "*.ppt";
             const std::optional<std::string> chosen = services_.dialogs.chooseFile(request);
             if (!chosen || chosen->empty()) return;
             // The choice is remembered even when it is refused below.
             settings.RecentFolder = *chosen;
             services_.settings.WriteSetting(SettingsSection, "PATH", *chosen);
             if (!IsPresentation(*chosen)) {
               services_.dialogs.showMessage("Invalid file selected. Please select valid Powerpoint file only.",
                                             MessageIcon::Critical, MessageButtons::Ok, ApplicationTitle);
               ui_.txtfilepath->clear();
               return;
             }
             ui_.txtfilepath->setText(QString::fromStdString(*chosen));
             ui_.txtfilepathOutput->setText(QString::fromStdString(ProposedTarget(*chosen)));
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
             ui_.txtfilepathOutput->setText(QString::fromStdString(*chosen));
             settings.RecentOutputFolder = *chosen;
             services_.settings.WriteSetting(SettingsSection, "OUTPUTPATH", *chosen);
           }});
}

void FrmMain::cmdAddToList_Click() {
  RunStepsSkippingFailures({[this] {
    if (jobs_->AddToList(Text(ui_.txtfilepath), Text(ui_.txtfilepathOutput))) clearSelection();
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

void FrmMain::cmdClose_Click() {
  RunStepsSkippingFailures({[this] {
    if (askExit()) services_.endProgram(ExitStatus::Normal);
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
  services_.endProgram(ExitStatus::Normal);
  event->accept();
}

void FrmMain::dragEnterEvent(QDragEnterEvent* event) { TakeAsCopy(*event); }
void FrmMain::dragMoveEvent(QDragMoveEvent* event) { TakeAsCopy(*event); }

// Each dropped presentation is queued as Add to List queues a selection; the
// selection fields keep what they hold.
void FrmMain::dropEvent(QDropEvent* event) {
  if (!TakeAsCopy(*event)) return;
  for (const std::string& source : DroppedPresentations(*event->mimeData()))
    RunStepsSkippingFailures({[&] { jobs_->AddCompleteListView(source, ProposedTarget(source)); }});
}

bool FrmMain::askExit() {
  return services_.dialogs.showMessage(ExitQuestion, MessageIcon::Question, MessageButtons::YesNo,
                                       ApplicationTitle) == MessageAnswer::Yes;
}

std::string FrmMain::pageFieldText(PageField field) const {
  return Text(field == PageField::From ? ui_.txtFrom : ui_.txtTo);
}

void FrmMain::focusPageField(PageField field) {
  QLineEdit* target = field == PageField::From ? ui_.txtFrom : ui_.txtTo;
  if (target->isEnabled()) target->setFocus();
}

std::string FrmMain::sourceText() const { return Text(ui_.txtfilepath); }
std::string FrmMain::targetText() const { return Text(ui_.txtfilepathOutput); }

void FrmMain::clearSelection() {
  ui_.txtfilepath->clear();
  ui_.txtfilepathOutput->clear();
}

ConversionOptions FrmMain::currentOptions() const {
  ConversionOptions options;
  options.OutputType = OutputTypeForText(ui_.cboOutputType->currentText().toStdString());
  options.PaperSize = SlideSizeForText(ui_.cboPaperSize->currentText().toStdString());
  options.Orientation = OrientationFor(ui_.optLandscape->isChecked());
  options.AllPages = ui_.chkAllPages->isChecked();
  options.FromText = Text(ui_.txtFrom);
  options.ToText = Text(ui_.txtTo);
  options.PrintComments = ui_.chkComments->isChecked();
  options.FitToPage = ui_.chkFitToPage->isChecked();
  options.OpenAfterConversion = ui_.chkOpenDocEditing->isChecked();
  return options;
}

}  // namespace pelvantz
