#include "SettingsUser.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>

#include "core/ErrorHandler.h"
#include "core/SettingsStore.h"
#include "platform/WorkFolder.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"

namespace pelvantz::testing {
namespace {

void Say(const std::string& what, const std::string& value) {
  std::printf("%s %s\n", what.c_str(), value.c_str());
}

}  // namespace

int RunSettingsUser(const QString& applicationFolder, const QString& assignment) {
  FakeDialogs dialogs;
  IdleCursor cursor;
  ErrorHandler errors(dialogs, cursor, ApplicationTitle);
  SettingsStore store(applicationFolder.toStdString(), dialogs, errors);
  const bool opened = store.OpenSettingsFile();
  Say("open", std::to_string(opened));
  if (opened) {
    store.LoadSettings();
    Say("file", store.SettingsFilePath());
    Say("recent", store.settings().RecentFolder);
    Say("launch", std::to_string(store.settings().Launch));
    if (const qsizetype equals = assignment.indexOf('='); equals > 0)
      Say("written", std::to_string(store.WriteSetting(SettingsSection, assignment.left(equals).toStdString(),
                                                       assignment.mid(equals + 1).toStdString())));
    Say("work", WorkFolderOf(applicationFolder.toStdString()));
  }
  for (const ShownMessage& message : dialogs.messages) Say("message", message.text);
  return 0;
}

std::vector<std::string> RunAsSettingsUser(const QString& applicationFolder, const QString& assignment,
                                           const QStringList& environment) {
  QStringList command = {QCoreApplication::applicationFilePath(), SettingsUserOption, applicationFolder,
                         assignment};
  // The administrator writes anywhere by the capability to override file
  // permissions; without it (from the bounding set, so also after exec) a
  // folder's permission bits hold for them too.
  if (::geteuid() == 0)
    command = QStringList{"setpriv", "--bounding-set=-dac_override,-dac_read_search", "--"} + command;
  QProcess user;
  user.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
  for (const QString& variable : environment)
    variables.insert(variable.section('=', 0, 0), variable.section('=', 1));
  user.setProcessEnvironment(variables);
  user.start(command.takeFirst(), command);
  user.waitForFinished(60000);
  std::vector<std::string> lines;
  for (const QString& line : QString::fromUtf8(user.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
    lines.push_back(line.toStdString());
  return lines;
}

}  // namespace pelvantz::testing
