#include "platform/qt/QtCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include "platform/qt/UiThread.h"

namespace pelvantz {

void QtCursor::setBusy() {
  RunOnUiThread([] {
    if (QGuiApplication::overrideCursor() == nullptr) {
      QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
      QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    }
  });
}

void QtCursor::setDefault() {
  RunOnUiThread([] {
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
  });
}

}  // namespace pelvantz
