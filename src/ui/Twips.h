#pragma once
// The windows are laid out in twips, 15 to a pixel; a position between two
// pixels goes to the nearer one.
#include <QRect>
#include <QtGlobal>

namespace pelvantz {

constexpr int TwipsPerPixel = 15;

inline int TwipsToPixels(int twips) { return qRound(twips / static_cast<double>(TwipsPerPixel)); }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace pelvantz
