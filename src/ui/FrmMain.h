#pragma once
// The program's one working window: selection of source and target, the job
// list, the print options and the Convert/Close buttons. This class holds the
// window's event procedures; FrmMainControls builds the controls and
// ConversionWorker runs the jobs.
#include <QPointer>
#include <QWidget>
#include <memory>

#include "engine/BatchDriver.h"
#include "engine/Selection.h"
#include "ui/ConversionWorker.h"
#include "ui/FrmMainControls.h"
#include "ui/MainWindowServices.h"

class QWindow;

namespace pelvantz {

class JobList;

class FrmMain : public QWidget, private BatchWindow {
  Q_OBJECT

 public:
  explicit FrmMain(MainWindowServices services, QWidget* parent = nullptr);
  ~FrmMain() override;

  JobList& jobs() { return *jobs_; }

  void Form_Load();
  void Form_Activate();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void connectHandlers();
  void applyPageRangeMode(bool selectRange);
  void noteFocusWindow(QWindow* window);
  bool cameFromAnotherForm() const;
  bool askExit();

  void cmdBrowse_Click();
  void cmdBrowseOutput_Click();
  void showSelection(const SelectionChange& change);
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
  Selection selection_;
  ConversionWorker worker_;
  std::unique_ptr<BatchDriver> batch_;
  bool converting_ = false;  // while a Convert press works through the list
  bool activatedBefore_ = false;
  QPointer<QWidget> lastOtherWindow_;

  FrmMainControls ui_;
};

}  // namespace pelvantz
