#pragma once
// What the user chooses to print, each choice a type of its own. The values
// are those the presentation application's automation takes, named as
// PowerPoint names them.
#include <cstdint>

namespace pelvantz {

enum class OutputType : int32_t {  // ppPrintOutput*
  Slides = 1,
  TwoSlideHandouts = 2,
  ThreeSlideHandouts = 3,
  SixSlideHandouts = 4,
  NotesPages = 5,
  Outline = 6,
  FourSlideHandouts = 8,
  NineSlideHandouts = 9,
  OneSlideHandouts = 10,
};

enum class SlideSize : int32_t {  // ppSlideSize*
  OnScreen = 1,
  LetterPaper = 2,
  A4Paper = 3,
  Slides35Mm = 4,
  Banner = 6,
  Ledger = 8,
  A3Paper = 9,
};

enum class SlideOrientation : int32_t {  // msoOrientation*
  Landscape = 1,
  Portrait = 2,
};

}  // namespace pelvantz
