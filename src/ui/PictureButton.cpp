#include "ui/PictureButton.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace pelvantz {
namespace {

class AccessiblePictureButton : public QAccessibleWidget {
 public:
  explicit AccessiblePictureButton(PictureButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

  QStringList actionNames() const override {
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == pressAction())
      static_cast<PictureButton*>(widget())->click();
    else
      QAccessibleWidget::doAction(action);
  }
};

QAccessibleInterface* MakeAccessiblePictureButton(const QString& className, QObject* object) {
  if (className != QLatin1String(PictureButton::staticMetaObject.className())) return nullptr;
  return new AccessiblePictureButton(static_cast<PictureButton*>(object));
}

}  // namespace

PictureButton::PictureButton(QWidget* parent) : QLabel(parent) {
  static const bool accessible = (QAccessible::installFactory(MakeAccessiblePictureButton), true);
  Q_UNUSED(accessible);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool released =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (released) click();
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      click();
      return;
    default:
      QLabel::keyPressEvent(event);
  }
}

void PictureButton::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QStyleOptionFocusRect frame;
  frame.initFrom(this);
  frame.rect = rect().adjusted(1, 1, -1, -1);
  QPainter painter(this);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

}  // namespace pelvantz
