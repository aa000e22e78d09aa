#include "platform/libreoffice/session/UnoHelpers.h"

#include <cstring>

#include "base/RuntimeFailure.h"

namespace pelvantz::office {

OUString ToOUString(const std::string& text) {
  return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

std::string ToStdString(const OUString& text) {
  const rtl::OString utf8 = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
  return std::string(utf8.getStr(), static_cast<size_t>(utf8.getLength()));
}

// Built from the path's bytes, every byte outside the unreserved ones escaped,
// so that a name that is not UTF-8 (common in old archives) reaches the office
// as the file system holds it.
OUString FileUrl(const std::filesystem::path& path) {
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(path, error).string();
  if (error || absolute.empty() || absolute.front() != '/')
    throw RuntimeFailure(ErrorNumber::FileAccess, "Not a usable file path: " + path.string());
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const unsigned char byte : absolute) {
    const bool unreserved = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                            (byte >= '0' && byte <= '9') || std::strchr("/-._~", byte) != nullptr;
    if (unreserved && byte != 0) {
      url += static_cast<char>(byte);
    } else {
      url += '%';
      url += Hex[byte >> 4];
      url += Hex[byte & 0xF];
    }
  }
  return OUString::createFromAscii(url.c_str());
}

css::beans::PropertyValue Property(const char* name, const css::uno::Any& value) {
  css::beans::PropertyValue property;
  property.Name = OUString::createFromAscii(name);
  property.Value = value;
  return property;
}

css::uno::Sequence<css::beans::PropertyValue> Properties(std::initializer_list<css::beans::PropertyValue> values) {
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

// The descriptor interface is deprecated but still the way to read it.
OUString ShapeTypeOf(const css::uno::Reference<css::drawing::XShape>& shape) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return shape->getShapeType();
#pragma GCC diagnostic pop
}

}  // namespace pelvantz::office
