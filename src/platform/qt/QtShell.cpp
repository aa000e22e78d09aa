#include "platform/qt/QtShell.h"

#include <QProcess>
#include <QString>

namespace pelvantz {

void QtShell::open(const std::string& target) {
  // Whether the open succeeded is not reported; a missing xdg-open is no error.
  QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromStdString(target)});
}

}  // namespace pelvantz
