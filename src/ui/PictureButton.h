#pragma once
// A picture that acts as a button: it shows whatever picture it is given and
// reports a click (press and release over it with the left button).
#include <QLabel>

namespace pelvantz {

class PictureButton : public QLabel {
  Q_OBJECT

 public:
  explicit PictureButton(QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace pelvantz
