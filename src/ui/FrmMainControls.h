#pragma once
// The main window's control table: every control's name, position, font and
// caption, the keyboard's Tab order and the names a screen reader reads. The
// window's event procedures live in FrmMain; this only builds what they use.
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
class QWidget;

namespace pelvantz {

class JobList;
class PictureButton;

struct FrmMainControls {
  // Lays the controls out on `form` (its title, size and font too); the list
  // view shows `jobs`. The controls are children of `picMain`: deleting it
  // removes them all.
  void setupUi(QWidget& form, JobList& jobs);

  QWidget* picMain = nullptr;
  QLabel* Image1 = nullptr;
  PictureButton* cmdHomeLink = nullptr;
  PictureButton* cmdContactUs = nullptr;
  PictureButton* cmdHelp = nullptr;
  QFrame* Line1 = nullptr;
  QGroupBox* Frame2 = nullptr;
  QLabel* Label12 = nullptr;
  QLineEdit* txtfilepath = nullptr;
  QPushButton* cmdBrowse = nullptr;
  QLabel* Label11 = nullptr;
  QLineEdit* txtfilepathOutput = nullptr;
  QPushButton* cmdBrowseOutput = nullptr;
  QPushButton* cmdAddToList = nullptr;
  QPushButton* cmdClear = nullptr;
  QTreeView* lvwGeneral = nullptr;
  QGroupBox* Frame1 = nullptr;
  QRadioButton* optLandscape = nullptr;
  QRadioButton* optPotrait = nullptr;
  QButtonGroup* orientationGroup = nullptr;
  QLabel* Label3 = nullptr;
  QComboBox* cboOutputType = nullptr;
  QLabel* Label8 = nullptr;
  QComboBox* cboPaperSize = nullptr;
  QCheckBox* chkFitToPage = nullptr;
  QCheckBox* chkComments = nullptr;
  QGroupBox* Frame3 = nullptr;
  QRadioButton* chkAllPages = nullptr;
  QRadioButton* chkFromTo = nullptr;
  QButtonGroup* pageRangeGroup = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* txtFrom = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* txtTo = nullptr;
  QCheckBox* chkOpenDocEditing = nullptr;
  QFrame* Line3 = nullptr;
  QPushButton* cmdConvert = nullptr;
  QPushButton* cmdClose = nullptr;

 private:
  void createSelectionFrame(JobList& jobs);
  void createJobListView(JobList& jobs);
  void createPrintSizeFrame();
  void createPrintRangeFrame(QWidget& form);
  void createBottomControls();
  void setFocusOrder();
  void nameControls();
};

}  // namespace pelvantz
