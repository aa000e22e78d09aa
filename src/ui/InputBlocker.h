#pragma once
// While alive, swallows the user's input to one window and its controls, so
// that no click or key changes anything there, not even the keyboard focus; the
// window keeps its looks and keeps painting. Other windows (message boxes,
// file dialogs) and close requests are not affected.
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace pelvantz {

class InputBlocker : public QObject {
  Q_OBJECT

 public:
  explicit InputBlocker(QWidget& window);
  ~InputBlocker() override;
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
};

}  // namespace pelvantz
