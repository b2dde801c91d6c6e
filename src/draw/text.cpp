#include "draw/text.h"

#include <cmath>
#include <functional>

#include "draw/measures.h"
#include "draw/numbers.h"

namespace kav {

namespace {

// Positions and sizes far outside any screen (or not numbers at all) come only from faulty
// callers; such texts are not drawn rather than overflowing the pixel arithmetic.
bool Usable(double v)
{
    return std::isfinite(v) && std::fabs(v) < 1e6;
}

void PlainFont(Canvas* c, int size, const QColor& color, bool bold)
{
    c->font.size = size;
    c->font.color = color;
    c->font.bold = bold;
    c->font.italic = false;
    c->font.underline = false;
}

// The largest font size, at most Points, at which a text ends inside the canvas, its last
// column (the frame of a picture) left free: EndAt(points) sets the canvas font to that size
// and gives where the text would then end. A text that fits at no size (one placed beyond the
// edge) keeps its size: smaller would not bring it back. The canvas is left with the font of
// the size returned.
int FittingPoints(Canvas* c, int points, const std::function<int(int)>& endAt)
{
    const int right = c->width() - 1;
    if (points <= 1 || endAt(points) <= right)
        return points;
    if (endAt(1) > right) {
        endAt(points);
        return points;
    }
    int fits = 1, tooLarge = points;  // the text fits at `fits` points, not at `tooLarge`
    while (tooLarge - fits > 1) {
        const int mid = (fits + tooLarge) / 2;
        (endAt(mid) <= right ? fits : tooLarge) = mid;
    }
    endAt(fits);
    return fits;
}

// How far a text made smaller (Points instead of Full) goes down so that it stands on the
// baseline of the rest of its line. The canvas is left with the font at Points.
int BaselineDrop(Canvas* c, int full, int points)
{
    if (points == full)
        return 0;
    c->font.size = full;
    const int fullAscent = c->ascent();
    c->font.size = points;
    return fullAscent - c->ascent();
}

// Where a text of width W begins at X (pixels, or Centred or RightAligned) on the canvas.
double TextLeft(const Canvas* c, double x, int w)
{
    const int right = c->clipRect().right() + 1;
    if (x == Centred)
        return MaxReal((right - w) * 0.5, 0);
    if (x == RightAligned)
        return MaxReal(right - w - TextMargin, 0);
    return x;
}

// A text placed at X (pixels, or Centred or RightAligned) in the canvas's font, made just as
// small as it must be to end inside the canvas; the canvas is left with that font.
struct FittedText {
    double left = 0;  // where it begins
    int width = 0;
    int drop = 0;  // how far it goes down to stay on the baseline of its line
};

FittedText FitText(Canvas* c, const QString& text, double x)
{
    const int full = c->font.size;
    FittedText f;
    const int points = FittingPoints(c, full, [&](int p) {
        c->font.size = p;
        f.width = c->textWidth(text);
        return Round(TextLeft(c, x, f.width) + f.width);
    });
    f.left = TextLeft(c, x, f.width);
    f.drop = BaselineDrop(c, full, points);
    return f;
}

}  // namespace

void DrawTextItem(const QString& text, const QColor& color, bool bold, double x, double line, double size,
                  Canvas* target)
{
    if (!target)
        return;
    PlainFont(target, Round(BaseFontSize * size), color, bold);
    // A text that would run past the edge of its area is written as large as fits there, never
    // cut off and never broken: only this text is made smaller, and what follows on the line
    // continues after it (LastTextEnd).
    const FittedText f = FitText(target, text, x);
    target->textOut(Round(f.left), Round(line * LineHeight) + f.drop, text);
    LastTextEnd = Round(f.left + f.width);
}

void DrawEuroText(const QString& text, const QColor& color, bool bold, double x, double line, double size,
                  Canvas* target)
{
    if (!target || !Usable(x) || !Usable(line) || !Usable(size))
        return;
    // The euro sign is a "C" a size larger, crossed by two short bars. The C is centred on the
    // middle of the line, g being half the room the line leaves beside it (negative when the C
    // is the taller), so that the bars through the line's middle cross the C at any size. Sign
    // and amount are made smaller together where they would run past the edge.
    const int full = Round(BaseFontSize * size);
    auto signPoints = [&](int points) { return points == full ? Round(BaseFontSize * size * 1.2) : Round(points * 1.2); };
    PlainFont(target, full, color, bold);
    const int points = FittingPoints(target, full, [&](int p) {
        target->font.size = signPoints(p);
        const int cw = target->textWidth(QStringLiteral("C"));
        target->font.size = p;
        return Round(x + cw + target->textWidth(text));
    });
    target->font.size = signPoints(points);
    const int g = (LineHeight - target->textHeight(QStringLiteral("C"))) / 2;
    const double factor = bold ? 2.0 : 1.5;
    // The sign and its amount are read together: "€ 3,75".
    TextGroup amount(*target);
    target->textOut(Round(x), Round(line * LineHeight + g), QStringLiteral("C"));
    target->setLastReading(QStringLiteral("\u20ac"));
    const int cw = target->textWidth(QStringLiteral("C"));
    const int pw = Round(factor * ScreenScale);
    target->setPen(color, pw);
    const int x1 = Round(x), x2 = Round(x + 0.6 * cw);
    const int yUpper = Round((line + 0.5) * LineHeight - pw);
    const int yLower = Round((line + 0.5) * LineHeight + pw);
    target->line(x1, yUpper, x2, yUpper);
    target->line(x1, yLower, x2, yLower);

    x += cw;
    target->font.size = points;
    const int drop = BaselineDrop(target, full, points);
    target->textOut(Round(x), Round(line * LineHeight) + drop, text);
    LastTextEnd = Round(x + target->textWidth(text));
}

int DrawFraction(const QString& numerator, const QString& denominator, Canvas* canvas, int x, int y,
                 const QColor& color)
{
    if (!canvas)
        return x;
    const int h = canvas->textHeight(numerator + denominator);
    const int wn = canvas->textWidth(numerator);
    const int wd = canvas->textWidth(denominator);
    const int w = Max(wn, wd);
    canvas->font.color = color;
    canvas->penColor = color;
    const int barY = y + Round(0.6 * h);
    canvas->line(x, barY, x + w, barY);
    TextGroup fraction(*canvas);  // read as "numerator / denominator"
    canvas->textOut(x + Round((w - wn) * 0.5), y - Round(0.5 * h), numerator);
    canvas->textOut(x + Round((w - wd) * 0.5), y + Round(0.75 * h), denominator);
    return x + w;
}

void DrawTriangleSymbol(int& x, int y, Canvas* canvas, const QColor& color)
{
    if (!canvas)
        return;
    const int h = Round(0.8 * canvas->textHeight(QStringLiteral("n")));
    const int w = canvas->textWidth(QStringLiteral("N"));
    canvas->penColor = color;
    const int base = Round(y + 0.8 * h);
    const QPoint apex(x + Round(0.5 * w), y);
    canvas->polyline({apex, QPoint(x + w, base), QPoint(x, base), apex});
    x += Round(1.5 * w);
}

void DrawTriangleNumber(int& x, const QString& subscript, Canvas* canvas, double line, const QColor& color)
{
    if (!canvas || !Usable(line))
        return;
    // Written as one sign in the text: the triangle stands on the baseline as tall as a
    // capital, and the number follows close by as a subscript, smaller and a little lower.
    // Signs written after it ("-", "+", "=") then stand on the middle of the line beside it.
    const int baseline = Round(line * LineHeight) + canvas->ascent();
    const int cap = Max(canvas->capHeight(), 2);
    const int w = canvas->textWidth(QStringLiteral("N"));
    canvas->penColor = color;
    const QPoint apex(x + Round(0.5 * w), baseline - cap);
    canvas->polyline({apex, QPoint(x + w, baseline), QPoint(x, baseline), apex});
    x += w + Max(canvas->penWidth, 1);
    // The subscript is written smaller; the font is given back afterwards so that a row of
    // triangle numbers does not shrink from one to the next, and what follows keeps its
    // distance: a space of the text's own size.
    const int oldSize = canvas->font.size;
    const bool oldBold = canvas->font.bold;
    PlainFont(canvas, Round(0.7 * oldSize), color, false);
    canvas->textOut(x, baseline + Round(0.3 * cap) - canvas->ascent(), subscript);
    canvas->setLastReading(QStringLiteral("\u0394") + subscript);
    x += canvas->textWidth(subscript);
    canvas->font.size = oldSize;
    canvas->font.bold = oldBold;
    x += canvas->textWidth(QStringLiteral(" "));
}

void DrawApproxText(const QString& text, const QColor& color, Canvas* target, double size, double line, double x)
{
    if (!target || !Usable(x) || !Usable(line) || !Usable(size))
        return;
    PlainFont(target, Round(BaseFontSize * size), color, false);
    const FittedText f = FitText(target, QStringLiteral(" = ") + text, x);
    const int y = Round(line * LineHeight) + f.drop;
    // Two tildes, one a little above and one a little below the line, make the sign.
    const double shift = target->textHeight(QStringLiteral("=")) / 8.0;
    target->textOut(Round(f.left), Round(y - shift), QStringLiteral(" ~"));
    target->textOut(Round(f.left), Round(y + shift), QStringLiteral(" ~"));
    target->textOut(Round(f.left + target->textWidth(QStringLiteral(" = "))), y, text);
    LastTextEnd = Round(f.left + f.width);
}

void ClearBitmap(Canvas* bitmap, const QColor& color)
{
    if (!bitmap)
        return;
    bitmap->setBrush(color);
    bitmap->fillRect(0, 0, bitmap->width(), bitmap->height());
}

void ClearLines(Canvas* bitmap, double fromLine, double toLine)
{
    if (!bitmap)
        return;
    bitmap->setPen(col::BtnFace, 1);
    bitmap->setBrush(col::BtnFace);
    bitmap->fillRect(1, Round(fromLine * LineHeight) + 1, bitmap->width() - 1,
                     Min(Round(toLine * LineHeight) + 1, bitmap->height() - 1));
}

void FrameBitmap(Canvas* bitmap, const QColor& color)
{
    if (!bitmap)
        return;
    const QColor oldPen = bitmap->penColor;
    const int oldWidth = bitmap->penWidth;
    const bool oldSolid = bitmap->brushSolid;
    bitmap->setPen(color, 1);
    bitmap->setBrushClear();
    bitmap->rectangle(0, 0, bitmap->width(), bitmap->height());
    bitmap->penColor = oldPen;
    bitmap->penWidth = oldWidth;
    bitmap->brushSolid = oldSolid;
}

int TextItemWidth(Canvas* target, const QString& text, double size, bool bold)
{
    if (!target)
        return 0;
    target->font.size = Round(BaseFontSize * size);
    target->font.bold = bold;
    target->font.italic = false;
    target->font.underline = false;
    return target->textWidth(text);
}

void DrawTextCentredOn(const QString& text, const QColor& color, bool bold, int cx, double line, double size,
                       Canvas* target)
{
    if (!target)
        return;
    const int w = TextItemWidth(target, text, size, bold);
    DrawTextItem(text, color, bold, Max(cx - w / 2, 0), line, size, target);
}

}  // namespace kav
