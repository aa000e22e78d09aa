#pragma once
// The main window's colours and pictures. Controls are found by object name
// (the names of the window's controls), so the theme needs no window class.
#include <QString>

class QWidget;

namespace pelvantz {

constexpr const char* ThemeBackColor = "10543005";
constexpr const char* ThemeTextColor = "16384";

// Colour as decimal 0x00BBGGRR text, applied to the listed controls of `window`.
void DoColorChange(QWidget& window, const QString& colourText);
// Text colour of the listed controls, then SetImages.
void DoForeColorChange(QWidget& window, const QString& colourText, const QString& applicationFolder);
// Loads the four pictures in order; the first that cannot be loaded ends the loading.
void SetImages(QWidget& window, const QString& applicationFolder);

}  // namespace pelvantz
