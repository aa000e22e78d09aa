#pragma once
// The program's one working window: selection of source and target, the job
// list, the print options and the Convert/Close buttons.
#include <QPointer>
#include <QWidget>
#include <memory>

#include "engine/BatchDriver.h"
#include "ui/MainWindowServices.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeView;
class QWindow;

namespace pelvantz {

class Converter;
class JobList;
class JobListModel;
class PictureButton;
class UiThreadDialogs;
class UiThreadJobRows;
struct ConversionEnvironment;

class FrmMain : public QWidget, private BatchWindow {
  Q_OBJECT

 public:
  explicit FrmMain(MainWindowServices services, QWidget* parent = nullptr);
  ~FrmMain() override;

  JobList& jobs() { return *jobs_; }
  // True while a Convert press is working through the list.
  bool isConverting() const { return converting_; }

  void Form_Load();
  void Form_Activate();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void createSelectionFrame();
  void createPrintSizeFrame();
  void createPrintRangeFrame();
  void createBottomControls();
  void createJobListView();
  void setFocusOrder();
  void nameControls();
  void connectHandlers();
  void applyPageRangeMode(bool selectRange);
  void noteFocusWindow(QWindow* window);
  bool cameFromAnotherForm() const;
  bool askExit();
  void endProgram(int exitStatus);
  void runJobOffUiThread(const std::string& source, const std::string& target, int16_t position,
                         const ConversionOptions& options, bool anotherJobFollows);
  void prepareConversion();
  void convertJob(const std::string& source, const std::string& target, int16_t position,
                  const ConversionOptions& options, bool anotherJobFollows);

  void cmdBrowse_Click();
  void cmdBrowseOutput_Click();
  void cmdAddToList_Click();
  void cmdClear_Click();
  void cmdConvert_Click();
  void cmdClose_Click();
  void chkAllPages_Click();
  void chkFromTo_Click();
  void chkOpenDocEditing_Click();

  // BatchWindow
  std::string pageFieldText(PageField field) const override;
  void focusPageField(PageField field) override;
  std::string sourceText() const override;
  std::string targetText() const override;
  void clearSelection() override;
  ConversionOptions currentOptions() const override;

  MainWindowServices services_;
  std::unique_ptr<JobList> jobs_;
  std::unique_ptr<BatchDriver> batch_;
  // What a conversion on the worker thread uses; made for the first job.
  std::unique_ptr<UiThreadDialogs> workerDialogs_;
  std::unique_ptr<UiThreadJobRows> workerRows_;
  std::unique_ptr<ConversionEnvironment> environment_;
  std::unique_ptr<Converter> converter_;
  bool converting_ = false;
  bool activatedBefore_ = false;
  QPointer<QWidget> lastOtherWindow_;

  QWidget* picMain_ = nullptr;
  QLabel* Image1_ = nullptr;
  PictureButton* cmdHomeLink_ = nullptr;
  PictureButton* cmdContactUs_ = nullptr;
  PictureButton* cmdHelp_ = nullptr;
  QFrame* Line1_ = nullptr;
  QGroupBox* Frame2_ = nullptr;
  QLabel* Label12_ = nullptr;
  QLineEdit* txtfilepath_ = nullptr;
  QPushButton* cmdBrowse_ = nullptr;
  QLabel* Label11_ = nullptr;
  QLineEdit* txtfilepathOutput_ = nullptr;
  QPushButton* cmdBrowseOutput_ = nullptr;
  QPushButton* cmdAddToList_ = nullptr;
  QPushButton* cmdClear_ = nullptr;
  QTreeView* lvwGeneral_ = nullptr;
  JobListModel* jobModel_ = nullptr;
  QGroupBox* Frame1_ = nullptr;
  QRadioButton* optLandscape_ = nullptr;
  QRadioButton* optPotrait_ = nullptr;
  QButtonGroup* orientationGroup_ = nullptr;
  QLabel* Label3_ = nullptr;
  QComboBox* cboOutputType_ = nullptr;
  QLabel* Label8_ = nullptr;
  QComboBox* cboPaperSize_ = nullptr;
  QCheckBox* chkFitToPage_ = nullptr;
  QCheckBox* chkComments_ = nullptr;
  QGroupBox* Frame3_ = nullptr;
  QRadioButton* chkAllPages_ = nullptr;
  QRadioButton* chkFromTo_ = nullptr;
  QButtonGroup* pageRangeGroup_ = nullptr;
  QLabel* Label4_ = nullptr;
  QLineEdit* txtFrom_ = nullptr;
  QLabel* Label2_ = nullptr;
  QLineEdit* txtTo_ = nullptr;
  QCheckBox* chkOpenDocEditing_ = nullptr;
  QFrame* Line3_ = nullptr;
  QPushButton* cmdConvert_ = nullptr;
  QPushButton* cmdClose_ = nullptr;
};

}  // namespace pelvantz
