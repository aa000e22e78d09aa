#include "platform/TextCase.h"

#include <locale.h>
#include <climits>
#include <cwchar>
#include <cwctype>

namespace pelvantz {
namespace {

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

}  // namespace

std::string UpperCaseText(const std::string& text) {
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

}  // namespace pelvantz
