#pragma once
// Sees every character typed into the two page fields before the field does
// and drops the ones the field's rule refuses. A paste from the keyboard
// (Ctrl+V, Shift+Insert) counts as the typed character Ctrl+V: it happens only
// when the rule lets that character through. Navigation keys, other shortcuts
// and a paste from the context menu are not filtered.
#include <QObject>

#include "engine/PageRange.h"

class QLineEdit;

namespace pelvantz {

class PageKeyFilter : public QObject {
  Q_OBJECT

 public:
  PageKeyFilter(QLineEdit& fromField, QLineEdit& toField, NumberFormat format, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool accepts(const QLineEdit& field, char32_t key) const;

  QLineEdit& from_;
  QLineEdit& to_;
  NumberFormat format_;
};

// The user's number conventions from the system locale.
NumberFormat SystemNumberFormat();

}  // namespace pelvantz
