#include "ui/PictureButton.h"

#include <QMouseEvent>

namespace pelvantz {

PictureButton::PictureButton(QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) emit clicked();
}

}  // namespace pelvantz
