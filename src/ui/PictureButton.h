#pragma once
// A picture that acts as a button: it shows whatever picture it is given and
// reports a click (press and release over it with the left button), or Space
// or Enter while it has the keyboard focus, which it shows with a focus frame.
// Assistive tools see a button with a press action.
#include <QLabel>

namespace pelvantz {

class PictureButton : public QLabel {
  Q_OBJECT

 public:
  explicit PictureButton(QWidget* parent = nullptr);

  void click() { emit clicked(); }

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace pelvantz
