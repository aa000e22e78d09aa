#include "ui/PageKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

namespace pelvantz {
namespace {

// A paste from the keyboard arrives as the control character Ctrl+V types,
// and like any typed character it passes the field's filter or is dropped.
constexpr char32_t PasteCharacter = 22;

// Keys that move the focus or the caret, or edit without typing a character,
// and key combinations meant as shortcuts.
bool IsNavigationOrShortcut(const QKeyEvent& key) {
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return true;
  switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
      return true;
    default:
      return key.text().isEmpty();
  }
}

}  // namespace

PageKeyFilter::PageKeyFilter(QLineEdit& fromField, QLineEdit& toField, NumberFormat format, QObject* parent)
    : QObject(parent), from_(fromField), to_(toField), format_(std::move(format)) {
  from_.installEventFilter(this);
  to_.installEventFilter(this);
}

bool PageKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || (watched != &from_ && watched != &to_)) return false;
  const auto& key = static_cast<const QKeyEvent&>(*event);
  if (key.matches(QKeySequence::Paste)) return !accepts(static_cast<const QLineEdit&>(*watched), PasteCharacter);
  if (IsNavigationOrShortcut(key)) return false;
  const char32_t typed = key.text().at(0).unicode();
  return !accepts(static_cast<const QLineEdit&>(*watched), typed);
}

bool PageKeyFilter::accepts(const QLineEdit& field, char32_t key) const {
  const std::string text = field.text().toStdString();
  return &field == &from_ ? txtFrom_KeyPress(text, key) : txtTo_KeyPress(text, key, format_);
}

NumberFormat SystemNumberFormat() {
  const QLocale locale = QLocale::system();
  return {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString(),
          locale.negativeSign().toStdString(), locale.positiveSign().toStdString()};
}

}  // namespace pelvantz
