#pragma once
// Property access shared by the sheet composer's parts; text and URL
// conversions come from UnoHelpers.
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <rtl/ustring.hxx>

#include "platform/libreoffice/session/UnoHelpers.h"

namespace pelvantz::office::sheet {

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
