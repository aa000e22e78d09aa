#pragma once
// The program's one working window: selection of source and target, the job
// list, the print options and the Convert/Close buttons.
#include <QPointer>
#include <QWidget>
#include <memory>

#include "engine/BatchDriver.h"
#include "ui/FrmMainControls.h"
#include "ui/MainWindowServices.h"

class QWindow;

namespace pelvantz {

class Converter;
class JobList;
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

  FrmMainControls ui_;
};

}  // namespace pelvantz
