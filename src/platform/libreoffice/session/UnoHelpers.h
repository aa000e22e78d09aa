#pragma once
// Small conversions between our UTF-8 strings and paths and UNO's types.
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <filesystem>
#include <initializer_list>
#include <rtl/ustring.hxx>
#include <string>

namespace pelvantz::office {

using ::rtl::OUString;

OUString ToOUString(const std::string& text);
std::string ToStdString(const OUString& text);

// The file URL of an absolute local path.
OUString FileUrl(const std::filesystem::path& path);

css::beans::PropertyValue Property(const char* name, const css::uno::Any& value);
css::uno::Sequence<css::beans::PropertyValue> Properties(std::initializer_list<css::beans::PropertyValue> values);

// An object's property; the type's default when the object gives another type.
template <typename T>
T PropertyOf(const css::uno::Reference<css::uno::XInterface>& object, const char* name) {
  css::uno::Reference<css::beans::XPropertySet> properties(object, css::uno::UNO_QUERY_THROW);
  T value{};
  properties->getPropertyValue(OUString::createFromAscii(name)) >>= value;
  return value;
}

// What a shape is, as "com.sun.star.presentation.PageShape": presentation
// shapes name their role only so (their service list does not carry it).
OUString ShapeTypeOf(const css::uno::Reference<css::drawing::XShape>& shape);

// The document's views wait while this lives, instead of following every change.
class ControllersLocked {
 public:
  explicit ControllersLocked(const css::uno::Reference<css::lang::XComponent>& document);
  ~ControllersLocked();
  ControllersLocked(const ControllersLocked&) = delete;
  ControllersLocked& operator=(const ControllersLocked&) = delete;

 private:
  css::uno::Reference<css::frame::XModel> model_;
};

}  // namespace pelvantz::office
