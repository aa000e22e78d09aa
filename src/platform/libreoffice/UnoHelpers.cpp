#include "platform/libreoffice/UnoHelpers.h"

#include <osl/file.hxx>

#include "platform/RuntimeFailure.h"

namespace pelvantz::office {

OUString ToOUString(const std::string& text) {
  return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

std::string ToStdString(const OUString& text) {
  const rtl::OString utf8 = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
  return std::string(utf8.getStr(), static_cast<size_t>(utf8.getLength()));
}

OUString FileUrl(const std::filesystem::path& path) {
  OUString url;
  if (osl::FileBase::getFileURLFromSystemPath(ToOUString(path.string()), url) != osl::FileBase::E_None)
    throw RuntimeFailure(ErrorNumber::FileAccess, "Not a usable file path: " + path.string());
  return url;
}

css::beans::PropertyValue Property(const char* name, const css::uno::Any& value) {
  css::beans::PropertyValue property;
  property.Name = OUString::createFromAscii(name);
  property.Value = value;
  return property;
}

css::uno::Sequence<css::beans::PropertyValue> Properties(
    std::initializer_list<css::beans::PropertyValue> values) {
  return css::uno::Sequence<css::beans::PropertyValue>(values.begin(), static_cast<sal_Int32>(values.size()));
}

ControllersLocked::ControllersLocked(const css::uno::Reference<css::lang::XComponent>& document)
    : model_(document, css::uno::UNO_QUERY_THROW) {
  model_->lockControllers();
}

ControllersLocked::~ControllersLocked() {
  try {
    model_->unlockControllers();
  } catch (const css::uno::Exception&) {
    // A dead office has no views left to refresh.
  }
}

}  // namespace pelvantz::office
