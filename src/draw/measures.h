// Screen-wide measures and the standard colours every drawing uses.
#pragma once
#include <QColor>
#include <QString>

namespace kav {

// Set once when the main menu and the session window are laid out; read by every drawing routine.
extern double ScreenScale;   // screen width / 640
extern int TextMargin;       // Round(8 * ScreenScale)
extern int LineHeight;       // picture area height div 26
extern int PictureWidth;     // picture area width
extern int BaseFontSize;     // text font size in points, fitted to LineHeight
extern int StatusFontSize;   // the main menu's status bar font size in points
extern int CharWidth;        // width of "H" in the text font
extern int LastTextEnd;      // x just after the text drawn last
extern QString FontFamily;   // "Arial"

// The width of the picture area in the 640 x 480 design.
constexpr int DesignPictureWidth = 403;

// Resets the measures to the 640 x 480 design values.
void ResetMeasures();

namespace col {
inline const QColor Black{0, 0, 0};
inline const QColor White{255, 255, 255};
inline const QColor Red{255, 0, 0};
inline const QColor Blue{0, 0, 255};
inline const QColor Yellow{255, 255, 0};
inline const QColor Aqua{0, 255, 255};
inline const QColor Green{0, 128, 0};
inline const QColor Lime{0, 255, 0};
inline const QColor Purple{128, 0, 128};
inline const QColor Maroon{128, 0, 0};
inline const QColor Navy{0, 0, 128};
inline const QColor Teal{0, 128, 128};
inline const QColor Olive{128, 128, 0};
inline const QColor Fuchsia{255, 0, 255};
inline const QColor Gray{128, 128, 128};
inline const QColor Silver{192, 192, 192};
// The button face: the background of every window and drawing area.
inline const QColor BtnFace{192, 192, 192};
}  // namespace col

}  // namespace kav
