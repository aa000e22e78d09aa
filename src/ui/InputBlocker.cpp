#include "ui/InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

namespace pelvantz {
namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

}  // namespace

InputBlocker::InputBlocker(QWidget& window) : window_(&window) {
  QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() { QCoreApplication::instance()->removeEventFilter(this); }

// Input is stopped where the windowing system delivers it, at the native
// window, before the application hands a click's focus to the control under
// it; input sent to a control directly is stopped there.
bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
  if (!IsUserInput(event->type()) || window_.isNull()) return false;
  if (watched->isWindowType()) return watched == window_->windowHandle();
  return watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == window_;
}

}  // namespace pelvantz
