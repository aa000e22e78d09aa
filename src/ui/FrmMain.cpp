#include "ui/FrmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include "core/ErrorHandler.h"
#include "core/ExitStatus.h"
#include "core/SettingsStore.h"
#include "engine/Selection.h"
#include "joblist/JobList.h"
#include "ui/InputBlocker.h"
#include "ui/Links.h"
#include "ui/PageKeyFilter.h"
#include "ui/PictureButton.h"
#include "ui/Theme.h"

namespace pelvantz {
namespace {

constexpr const char* ExitQuestion = "Do you really want to exit the application?";
constexpr const char* QueryUnloadErrorTag = "frmMain:Form_QueryUnload";

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

// The presentations among files dropped from a file manager, in the order
// dropped: local files that Browse would accept.
std::vector<std::string> DroppedPresentations(const QMimeData& dropped) {
  std::vector<std::string> localFiles;
  for (const QUrl& url : dropped.urls()) {
    if (url.isLocalFile()) localFiles.push_back(url.toLocalFile().toStdString());
  }
  return PresentationsAmong(localFiles);
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
      jobs_(std::make_unique<JobList>()),
      selection_(services_.dialogs, services_.settings, services_.errors, services_.applicationFolder),
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

void FrmMain::cmdBrowse_Click() { showSelection(selection_.BrowseSource()); }

void FrmMain::cmdBrowseOutput_Click() { showSelection(selection_.BrowseTarget()); }

void FrmMain::showSelection(const SelectionChange& change) {
  if (change.source) ui_.txtfilepath->setText(QString::fromStdString(*change.source));
  if (change.target) ui_.txtfilepathOutput->setText(QString::fromStdString(*change.target));
}

void FrmMain::cmdAddToList_Click() {
  RunStepsSkippingFailures({[this] {
    const AddToListOutcome outcome = jobs_->AddToList(Text(ui_.txtfilepath), Text(ui_.txtfilepathOutput));
    if (outcome.refusal) ShowRefusal(services_.dialogs, *outcome.refusal);
    if (outcome.emptyFields) clearSelection();
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
    RunStepsSkippingFailures({[&] {
      if (const auto refusal = jobs_->AddCompleteListView(source, ProposedTarget(source)))
        ShowRefusal(services_.dialogs, *refusal);
    }});
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
