// Picture primitives in percent coordinates of the picture area, with pen widths in
// design pixels times ScreenScale.
#pragma once
#include <QColor>
#include <QRect>
#include <QString>

#include "draw/canvas.h"
#include "draw/picture.h"

namespace kav {

// The picture area every percent position refers to (the session's PictureBitmap).
void SetPictureBitmap(Canvas* bitmap);
Canvas* PictureBitmapCanvas();

// How much a picture area has grown from the design (its width over the design's width). The
// area keeps the shape of the design, so on a wide screen it grows less than ScreenScale.
double AreaScale(const Canvas* area);
// The size a library picture is shown at in a picture area: its natural size times the area's
// scale, so that it keeps its place among what is drawn in percent of the area on any screen.
QSize PictureSizeIn(const Picture& pic, const Canvas* area);

int PercentX(double p);
int PercentY(double p);
void DrawLinePercent(Canvas* bitmap, const QColor& color, double x1, double y1, double x2, double y2, double width);
void DrawLineLP(Canvas* target, const QColor& color, double x1, double line1, double x2, double line2, double width);
void DrawDot(int x, int y, QChar mark, Canvas* bitmap, const QColor& color, double radius);
void DrawLabelledDisc(const QString& text, Canvas* bitmap, const QColor& textColor, double x, double line,
                      const QColor& discColor);
void DrawTextBox(Canvas* bitmap, const QString& t1, const QString& t2, const QString& t3, const QRect& r,
                 const QColor& textColor, const QColor& fillColor, const QColor& penColor, int penWidth, double size,
                 int mode);
void DrawTextBox2(Canvas* bitmap, const QString& t1, const QString& t2, const QRect& r, const QColor& textColor,
                  const QColor& fillColor, const QColor& penColor, int penWidth, double size);
// Rectangles in these routines: left(), top() and right()+1, bottom()+1 are L, T, R, B.
void BlockArrowDown(const QRect& r, Canvas* bitmap, const QColor& color);
void BlockArrowUp(const QRect& r, Canvas* bitmap, const QColor& color);
void BlockArrowLeft(const QRect& r, Canvas* bitmap, const QColor& color);
void BlockArrowRight(const QRect& r, Canvas* bitmap, const QColor& color);
void DrawArrow(Canvas* bitmap, const QColor& color, double x1, double y1, double x2, double y2, double width);
void DrawDie(int pips, const QColor& color, Canvas* target, double x, double y, double size);

// Comparison of packs and fuel graphs.
// A pack drawn as a box: its front face with the lower left corner at (X, Y) pixels, 30 % of
// the picture width wide and 20 % high, with a top and a right face going 10 % back, all
// times Size; pen in PenColor, faces filled with BrushColor.
void DrawPackBox(const QColor& penColor, const QColor& brushColor, int x, int y, double size, Canvas* bitmap);
// A dashed line between two points in percent of the bitmap: dashes of 2 x Width x
// ScreenScale pixels (measured along x, along y for an upright line) with gaps of one and a
// half dash, from the leftmost point on; the last dash ends at the other point.
void DrawDashedLinePercent(Canvas* bitmap, const QColor& color, double x1, double y1, double x2, double y2,
                           double width);

// The rectangle with corners (L, T) and (R, B), R and B outside.
inline QRect Rect(int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r - 1, b - 1)); }

}  // namespace kav
