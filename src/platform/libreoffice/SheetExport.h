#pragma once
// Vector images of the presentation's slides, masters included, exported once
// each into a private temporary folder that goes away with this object.
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/graphic/XGraphicProvider.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <map>

#include "platform/libreoffice/SheetSource.h"

namespace pelvantz::office::sheet {

// The preview renders a hairline frame on the slide's edge; sheets trim this
// much (1/100 mm of the slide) off each side so that only the slide shows.
constexpr int32_t kSlideImageFrame = 20;

class SlideImages {
 public:
  SlideImages(const css::uno::Reference<css::uno::XComponentContext>& context,
              const css::uno::Reference<css::lang::XComponent>& presentation, const SlideSource& source);
  ~SlideImages();
  SlideImages(const SlideImages&) = delete;
  SlideImages& operator=(const SlideImages&) = delete;

  css::uno::Reference<css::graphic::XGraphic> image(int slideNumber);

 private:
  std::filesystem::path exportSlide(int slideNumber);

  css::uno::Reference<css::uno::XComponentContext> context_;
  css::uno::Reference<css::lang::XComponent> presentation_;
  const SlideSource& source_;
  css::uno::Reference<css::graphic::XGraphicProvider> provider_;
  std::filesystem::path folder_;
  std::map<int, css::uno::Reference<css::graphic::XGraphic>> images_;
};

}  // namespace pelvantz::office::sheet
