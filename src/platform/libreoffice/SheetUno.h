#pragma once
// Small conversions shared by the sheet composer's parts.
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>
#include <string>
#include <utility>
#include <vector>

namespace pelvantz::office::sheet {

inline std::string ToUtf8(const rtl::OUString& text) {
  return rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8).getStr();
}

inline rtl::OUString FromUtf8(const std::string& text) {
  return rtl::OUString::fromUtf8(text.c_str());
}

// file:// URL of an absolute local path.
rtl::OUString FileUrl(const std::string& path);

css::uno::Sequence<css::beans::PropertyValue> Properties(
    std::vector<std::pair<const char*, css::uno::Any>> values);

template <typename T>
T PropertyOf(const css::uno::Reference<css::uno::XInterface>& object, const char* name) {
  css::uno::Reference<css::beans::XPropertySet> properties(object, css::uno::UNO_QUERY_THROW);
  T value{};
  properties->getPropertyValue(rtl::OUString::createFromAscii(name)) >>= value;
  return value;
}

inline void SetProperty(const css::uno::Reference<css::uno::XInterface>& object, const char* name,
                        const css::uno::Any& value) {
  css::uno::Reference<css::beans::XPropertySet> properties(object, css::uno::UNO_QUERY_THROW);
  properties->setPropertyValue(rtl::OUString::createFromAscii(name), value);
}

}  // namespace pelvantz::office::sheet
