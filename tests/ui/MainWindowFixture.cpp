#include "MainWindowFixture.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTreeView>
#include <filesystem>

#include "joblist/JobList.h"

namespace pelvantz::testing {

QString MainWindowTest::text(const char* name) { return control<QLineEdit>(name)->text(); }

void MainWindowTest::setText(const char* name, const std::string& value) {
  control<QLineEdit>(name)->setText(QString::fromStdString(value));
}

void MainWindowTest::click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }

std::string MainWindowTest::statusShown(int16_t position) {
  const QAbstractItemModel* model = control<QTreeView>("lvwGeneral")->model();
  return model->index(position - 1, 3).data().toString().toStdString();
}

std::vector<std::string> MainWindowTest::sources() {
  std::vector<std::string> paths;
  for (int16_t row = 1; row <= window->jobs().count(); ++row) paths.push_back(window->jobs().at(row).SourcePath);
  return paths;
}

std::vector<std::string> MainWindowTest::statuses() {
  std::vector<std::string> shown;
  for (int16_t row = 1; row <= window->jobs().count(); ++row) shown.push_back(statusShown(row));
  return shown;
}

std::vector<std::string> MainWindowTest::messageTexts() {
  std::vector<std::string> texts;
  for (const auto& message : dialogs.messages) texts.push_back(message.text);
  return texts;
}

std::string MainWindowTest::iniValue(const std::string& key) {
  settings.ReadSetting(SettingsSection, key);
  return settings.LastSettingValue();
}

void MainWindowTest::queue(const std::string& source, const std::string& target) {
  setText("txtfilepath", source);
  setText("txtfilepathOutput",
          target.empty() ? std::filesystem::path(source).replace_extension(".pdf").string() : target);
  click("cmdAddToList");
}

}  // namespace pelvantz::testing
