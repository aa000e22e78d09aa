#include "joblist/JobList.h"

#include <climits>
#include <cwchar>
#include <cwctype>
#include <locale.h>

#include "platform/RuntimeFailure.h"
#include "startup/core/Settings.h"

namespace pelvantz {

namespace {

// The duplicate message carries its own title, spelled so.
constexpr const char* DuplicateTitle = "pelvantz - Powerpoint to PDF Converter";
constexpr int32_t IndexOutOfBounds = 35600;

// Only "/" separates folders here: a backslash is an ordinary character of a
// Linux file name, so it stays part of the display name.
std::string FileNameOf(const std::string& path) {
  const std::size_t separator = path.rfind('/');
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool IsBlankAfterTrim(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// Case mapping for all of Unicode, independent of the user's locale, so that
// "Über.ppt" and "ÜBER.PPT" count as the same file name.
locale_t UnicodeCType() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

class ThreadLocale {
 public:
  explicit ThreadLocale(locale_t locale) : previous_(uselocale(locale)) {}
  ~ThreadLocale() { uselocale(previous_); }
  ThreadLocale(const ThreadLocale&) = delete;
  ThreadLocale& operator=(const ThreadLocale&) = delete;

 private:
  locale_t previous_;
};

// Bytes that are not well-formed UTF-8 are kept as they are.
std::string UpperCase(const std::string& text) {
  const ThreadLocale utf8(UnicodeCType());
  std::string upper;
  upper.reserve(text.size());
  std::mbstate_t in{};
  std::mbstate_t out{};
  for (std::size_t at = 0; at < text.size();) {
    wchar_t character = 0;
    const std::size_t length = std::mbrtowc(&character, text.data() + at, text.size() - at, &in);
    if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2)) {
      upper += text[at++];
      in = {};
      continue;
    }
    char encoded[MB_LEN_MAX];
    const std::size_t written =
        std::wcrtomb(encoded, static_cast<wchar_t>(std::towupper(static_cast<wint_t>(character))), &out);
    upper.append(encoded, written);
    at += length == 0 ? 1 : length;  // 0: an embedded NUL, one byte
  }
  return upper;
}

}  // namespace

JobList::JobList(Dialogs& dialogs) : dialogs_(dialogs) {}

void JobList::setObserver(JobListObserver* observer) { observer_ = observer; }

int16_t JobList::count() const { return static_cast<int16_t>(rows_.size()); }

const ConversionJob& JobList::at(int16_t position) const {
  if (position < 1 || position > count()) {
    throw RuntimeFailure(IndexOutOfBounds, "Index out of bounds");
  }
  return rows_[static_cast<std::size_t>(position - 1)];
}

bool JobList::isQueued(const std::string& displayName) const {
  return queuedNames_.count(UpperCase(displayName)) != 0;
}

void JobList::AddCompleteListView(const std::string& sourceText, const std::string& targetText) {
  const std::string name = FileNameOf(sourceText);
  if (isQueued(name)) {
    dialogs_.showMessage("File already added.", MessageIcon::Information, MessageButtons::Ok,
                         DuplicateTitle);
    return;
  }
  if (count() == MaxRows) {
    dialogs_.showMessage(ListFullMessage, MessageIcon::Information, MessageButtons::Ok,
                         ApplicationTitle);
    return;
  }
  rows_.push_back({name, sourceText, targetText, ""});
  queuedNames_.insert(UpperCase(name));
  if (observer_) observer_->rowAppended(count());
}

bool JobList::AddToList(const std::string& sourceText, const std::string& targetText) {
  if (IsBlankAfterTrim(sourceText)) {
    dialogs_.showMessage("Please select a PDF File", MessageIcon::Information, MessageButtons::Ok,
                         ApplicationTitle);
    return false;
  }
  AddCompleteListView(sourceText, targetText);
  return true;
}

void JobList::SetJobStatus(int16_t position, const std::string& text) {
  if (position < 1 || position > count()) return;
  rows_[static_cast<std::size_t>(position - 1)].Status = text;
  if (observer_) observer_->statusChanged(position);
}

std::string JobList::displayName(int16_t position) const { return at(position).DisplayName; }

void JobList::clear() {
  rows_.clear();
  queuedNames_.clear();
  if (observer_) observer_->cleared();
}

}  // namespace pelvantz
