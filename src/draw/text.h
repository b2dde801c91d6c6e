// Text on the line grid: a text position is a line number (a real) times LineHeight and
// an x in pixels, or centred (-1), or right-aligned (-2).
#pragma once
#include <QColor>
#include <QString>

#include "draw/canvas.h"

namespace kav {

constexpr double Centred = -1;
constexpr double RightAligned = -2;

// Draws Text at (X, Line * LineHeight) in the base font scaled by Size; sets LastTextEnd.
// A null target draws nothing.
void DrawTextItem(const QString& text, const QColor& color, bool bold, double x, double line, double size,
                  Canvas* target);
// The width of a text as DrawTextItem would write it at that size and style; the canvas keeps
// that font afterwards, as after DrawTextItem. 0 for a null canvas.
int TextItemWidth(Canvas* target, const QString& text, double size = 1, bool bold = false);
// Text centred on the x-position Cx (pixels), never left of the canvas; sets LastTextEnd.
void DrawTextCentredOn(const QString& text, const QColor& color, bool bold, int cx, double line, double size,
                       Canvas* target);
// A euro sign (the width of "C") followed by Text; sets LastTextEnd.
void DrawEuroText(const QString& text, const QColor& color, bool bold, double x, double line, double size,
                  Canvas* target);
// A built-up fraction at (X, Y) pixels; returns the x just after it.
int DrawFraction(const QString& numerator, const QString& denominator, Canvas* canvas, int x, int y,
                 const QColor& color);
// The small triangle that stands for a triangular number; advances x.
void DrawTriangleSymbol(int& x, int y, Canvas* canvas, const QColor& color);
// A triangular number on text line `line`: the triangle symbol standing on the baseline like a
// capital, followed by its number as a smaller, lowered subscript; advances x past it and a space.
void DrawTriangleNumber(int& x, const QString& subscript, Canvas* canvas, double line, const QColor& color);
// An approximately-equal sign followed by Text.
void DrawApproxText(const QString& text, const QColor& color, Canvas* target, double size, double line, double x);

void ClearBitmap(Canvas* bitmap, const QColor& color);
// Clears the band of lines FromLine .. ToLine, sparing the outermost pixel rows and columns.
void ClearLines(Canvas* bitmap, double fromLine, double toLine);
void FrameBitmap(Canvas* bitmap, const QColor& color);

}  // namespace kav
