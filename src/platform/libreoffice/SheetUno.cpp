#include "platform/libreoffice/SheetUno.h"

#include <osl/file.hxx>

#include "platform/RuntimeFailure.h"

using rtl::OUString;

namespace pelvantz::office::sheet {

OUString FileUrl(const std::string& path) {
  OUString url;
  if (osl::FileBase::getFileURLFromSystemPath(FromUtf8(path), url) != osl::FileBase::E_None) {
    throw RuntimeFailure(ErrorNumber::FileAccess, "Not a usable file path: " + path);
  }
  return url;
}

css::uno::Sequence<css::beans::PropertyValue> Properties(
    std::vector<std::pair<const char*, css::uno::Any>> values) {
  css::uno::Sequence<css::beans::PropertyValue> sequence(static_cast<sal_Int32>(values.size()));
  auto* out = sequence.getArray();
  for (const auto& [name, value] : values) {
    out->Name = OUString::createFromAscii(name);
    out->Value = value;
    ++out;
  }
  return sequence;
}

}  // namespace pelvantz::office::sheet
