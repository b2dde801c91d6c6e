#include "draw/shapes.h"

#include <cmath>
#include <initializer_list>
#include <numbers>

#include "draw/measures.h"
#include "draw/numbers.h"

namespace kav {

namespace {

Canvas* pictureBitmap = nullptr;

// Coordinates far outside any screen (or not numbers at all) come only from faulty callers;
// such shapes are left out rather than overflowing the pixel arithmetic.
bool Usable(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v) || std::fabs(v) >= 1e6)
            return false;
    return true;
}

// A filled circle around (x, y) with the classic corners centre - r and centre + r.
void Disc(Canvas* c, int x, int y, int r)
{
    c->ellipse(x - r, y - r, x + r, y + r);
}

// Text centred on (x, y) in the canvas's current font.
void CentredText(Canvas* c, int x, int y, const QString& text)
{
    c->textOut(x - c->textWidth(text) / 2, y - c->textHeight(text) / 2, text);
}

struct Box {
    int l, t, r, b;
};

Box Corners(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
}

void FilledPolygon(Canvas* c, const QColor& color, const QVector<QPoint>& pts)
{
    c->setPen(color, 1);
    c->setBrush(color);
    c->polygon(pts);
}

}  // namespace

void SetPictureBitmap(Canvas* bitmap)
{
    pictureBitmap = bitmap;
}

Canvas* PictureBitmapCanvas()
{
    return pictureBitmap;
}

double AreaScale(const Canvas* area)
{
    return area ? area->width() / double(DesignPictureWidth) : ScreenScale;
}

QSize PictureSizeIn(const Picture& pic, const Canvas* area)
{
    const double scale = AreaScale(area);
    return QSize(Round(pic.width() * scale), Round(pic.height() * scale));
}

int PercentX(double p)
{
    if (!Usable({p}))
        return 0;
    const int width = pictureBitmap ? pictureBitmap->width() : PictureWidth;
    return Round(p * 0.01 * width);
}

int PercentY(double p)
{
    if (!Usable({p}))
        return 0;
    const int height = pictureBitmap ? pictureBitmap->height() : 26 * LineHeight;
    return Round(p * 0.01 * height);
}

void DrawLinePercent(Canvas* bitmap, const QColor& color, double x1, double y1, double x2, double y2, double width)
{
    if (!bitmap || !Usable({x1, y1, x2, y2, width}))
        return;
    bitmap->setPen(color, Round(ScreenScale * width));
    const double w = bitmap->width() * 0.01, h = bitmap->height() * 0.01;
    bitmap->line(Round(x1 * w), Round(y1 * h), Round(x2 * w), Round(y2 * h));
}

void DrawLineLP(Canvas* target, const QColor& color, double x1, double line1, double x2, double line2, double width)
{
    if (!target || !Usable({x1, line1, x2, line2, width}))
        return;
    target->setPen(color, Round(width * ScreenScale));
    target->line(Round(x1 * 0.01 * PictureWidth), Round(line1 * LineHeight), Round(x2 * 0.01 * PictureWidth),
                 Round(line2 * LineHeight));
}

void DrawDot(int x, int y, QChar mark, Canvas* bitmap, const QColor& color, double radius)
{
    if (!bitmap || !Usable({radius}))
        return;
    bitmap->setPen(color, 1);
    bitmap->setBrush(color);
    if (mark == u'.') {
        Disc(bitmap, x, y, Round(ScreenScale * radius));
        return;
    }
    const QString text(mark);
    Disc(bitmap, x, y, Max(bitmap->textWidth(text), bitmap->textHeight(text)) / 2);
    bitmap->font.color = col::Black;
    CentredText(bitmap, x, y, text);
}

void DrawLabelledDisc(const QString& text, Canvas* bitmap, const QColor& textColor, double x, double line,
                      const QColor& discColor)
{
    if (!bitmap || !Usable({x, line}))
        return;
    const int cx = Round(x * 0.01 * bitmap->width());
    const int cy = Round(line * LineHeight);
    const int r = text.isEmpty() ? Round(2 * ScreenScale)
                                 : Max(bitmap->textWidth(text), bitmap->textHeight(text)) / 2;
    bitmap->setPen(discColor, 1);
    bitmap->setBrush(discColor);
    Disc(bitmap, cx, cy, r);
    if (text.isEmpty())
        return;
    bitmap->font.color = textColor;
    CentredText(bitmap, cx, cy, text);
}

namespace {

// The frame of a text box, its font and its pen; returns the line step of its texts.
int BeginTextBox(Canvas* bitmap, const QString& allTexts, const Box& b, const QColor& textColor,
                 const QColor& fillColor, const QColor& penColor, int penWidth, double size)
{
    bitmap->font.size = Round(StatusFontSize * size);
    bitmap->font.color = textColor;
    bitmap->font.bold = false;
    bitmap->font.italic = false;
    bitmap->font.underline = false;
    bitmap->setPen(penColor, Round(ScreenScale * penWidth));
    bitmap->setBrush(fillColor);
    const int h = Round(0.9 * bitmap->textHeight(allTexts));
    bitmap->rectangle(b.l, b.t, b.r, b.b);
    return h;
}

}  // namespace

void DrawTextBox(Canvas* bitmap, const QString& t1, const QString& t2, const QString& t3, const QRect& r,
                 const QColor& textColor, const QColor& fillColor, const QColor& penColor, int penWidth, double size,
                 int mode)
{
    if (!bitmap || !Usable({size}))
        return;
    const Box b = Corners(r);
    const int h = BeginTextBox(bitmap, t1 + t2 + t3, b, textColor, fillColor, penColor, penWidth, size);
    const int y0 = Round(b.t + (b.b - b.t) * 0.5 - 1.5 * h);
    const QString twoSpaces = QStringLiteral("  ");
    const int widest = Max(bitmap->textWidth(t1 + twoSpaces),
                           Max(bitmap->textWidth(t2 + twoSpaces), bitmap->textWidth(t3 + twoSpaces)));
    const bool narrow = b.r - b.l < widest;
    int cx = (b.l + b.r) / 2;

    if (mode == 2 && narrow) {
        // Too narrow for its texts: they go on one line under the box.
        QString joined;
        if (t2.endsWith(u'-'))
            joined = t1 + u' ' + t2.chopped(1) + t3 + u' ';
        else
            joined = t1 + u' ' + t2 + u' ' + t3;
        bitmap->textOut(cx - bitmap->textWidth(joined) / 2, b.b + bitmap->penWidth, joined);
        return;
    }
    if (mode == 1 && narrow)
        cx = b.r + widest - bitmap->textWidth(twoSpaces);  // beside the box
    int y = y0;
    for (const QString& t : {t1, t2, t3}) {
        bitmap->textOut(cx - bitmap->textWidth(t) / 2, y, t);
        y += h;
    }
}

void DrawTextBox2(Canvas* bitmap, const QString& t1, const QString& t2, const QRect& r, const QColor& textColor,
                  const QColor& fillColor, const QColor& penColor, int penWidth, double size)
{
    if (!bitmap || !Usable({size}))
        return;
    const Box b = Corners(r);
    const int h = BeginTextBox(bitmap, t1 + t2, b, textColor, fillColor, penColor, penWidth, size);
    // The two lines as one block in the middle: the second line's full height (descenders
    // included) below the first's line step.
    const int y0 = Round(b.t + ((b.b - b.t) - h - bitmap->textHeight(t1 + t2)) * 0.5);
    const int cx = (b.l + b.r) / 2;
    bitmap->textOut(cx - bitmap->textWidth(t1) / 2, y0, t1);
    bitmap->textOut(cx - bitmap->textWidth(t2) / 2, y0 + h, t2);
}

void BlockArrowDown(const QRect& r, Canvas* bitmap, const QColor& color)
{
    if (!bitmap)
        return;
    const auto [L, T, R, B] = Corners(r);
    const int w = R - L, h = B - T;
    FilledPolygon(bitmap, color,
                  {{L + w / 3, T},
                   {R - w / 3, T},
                   {R - w / 3, B - h / 4},
                   {R, B - h / 4},
                   {L + w / 2, B},
                   {L, T + 3 * h / 4},
                   {L + w / 3, B - h / 4}});
}

void BlockArrowUp(const QRect& r, Canvas* bitmap, const QColor& color)
{
    if (!bitmap)
        return;
    const auto [L, T, R, B] = Corners(r);
    const int w = R - L, h = B - T;
    FilledPolygon(bitmap, color,
                  {{L + w / 3, B},
                   {R - w / 3, B},
                   {R - w / 3, T + h / 4},
                   {R, T + h / 4},
                   {L + w / 2, T},
                   {L, T + h / 4},
                   {L + w / 3, T + h / 4}});
}

void BlockArrowLeft(const QRect& r, Canvas* bitmap, const QColor& color)
{
    if (!bitmap)
        return;
    const auto [L, T, R, B] = Corners(r);
    const int w = R - L, h = B - T;
    FilledPolygon(bitmap, color,
                  {{L, T + h / 2},
                   {L + w / 4, B},
                   {L + w / 4, B - h / 3},
                   {R, B - h / 3},
                   {R, T + h / 3},
                   {L + w / 4, T + h / 3},
                   {L + w / 4, T}});
}

void BlockArrowRight(const QRect& r, Canvas* bitmap, const QColor& color)
{
    if (!bitmap)
        return;
    const auto [L, T, R, B] = Corners(r);
    const int w = R - L, h = B - T;
    FilledPolygon(bitmap, color,
                  {{R, T + h / 2},
                   {R - w / 4, B},
                   {R - w / 4, B - h / 3},
                   {L, B - h / 3},
                   {L, T + h / 3},
                   {R - w / 4, T + h / 3},
                   {R - w / 4, T}});
}

void DrawArrow(Canvas* bitmap, const QColor& color, double x1, double y1, double x2, double y2, double width)
{
    if (!bitmap || !Usable({x1, y1, x2, y2, width}))
        return;
    if (x1 == x2 && y1 == y2)
        return;  // no direction to point in
    const int w = Round(ScreenScale * width);
    const int head = Max(5 * w, 1);
    bitmap->setPen(color, w);
    bitmap->setBrush(color);

    if (x1 == x2) {
        const QRect r = Rect(Round(x1 - head / 2.0), Round(MinReal(y1, y2)), Round(x1 + head / 2.0),
                             Round(MaxReal(y1, y2)));
        if (y2 >= y1)
            BlockArrowDown(r, bitmap, color);
        else
            BlockArrowUp(r, bitmap, color);
        return;
    }
    if (y1 == y2) {
        const QRect r = Rect(Round(MinReal(x1, x2)), Round(y1 - head / 2.0), Round(MaxReal(x1, x2)),
                             Round(y1 + head / 2.0));
        if (x2 >= x1)
            BlockArrowRight(r, bitmap, color);
        else
            BlockArrowLeft(r, bitmap, color);
        return;
    }

    const double length = std::hypot(x2 - x1, y2 - y1);
    const double shaft = MaxReal(length - head, 1);
    double angle = std::atan((y2 - y1) / (x2 - x1));
    if (x2 < x1)
        angle += std::numbers::pi;
    const double c = std::cos(angle), s = std::sin(angle);
    bitmap->line(Round(x1), Round(y1), Round(x1 + shaft * c), Round(y1 + shaft * s));
    // The head: a triangle from the end of the shaft to the tip.
    bitmap->setPen(color, 1);
    bitmap->polygon({QPoint(Round(x1 + length * c), Round(y1 + length * s)),
                     QPoint(Round(x1 + shaft * c - head * s), Round(y1 + shaft * s + head * c)),
                     QPoint(Round(x1 + shaft * c + head * s), Round(y1 + shaft * s - head * c))});
}

void DrawDie(int pips, const QColor& color, Canvas* target, double x, double y, double size)
{
    if (!target || !Usable({x, y, size}))
        return;
    const int a = Round(x), t = Round(y), s = Round(size);
    if (s <= 0)
        return;
    pips = qBound(1, pips, 6);
    const int r = s / 10;
    const int d = Round(s * 2 / 9.0);

    target->setPen(col::Black, Round(2 * ScreenScale));
    target->setBrush(col::White);
    const int corner = Round(0.25 * s);
    target->roundRect(a, t, a + s, t + s, corner, corner);
    // Colour the face from its centre; a die partly off the bitmap is filled from a visible
    // point well inside the face instead.
    QPoint seed(Round(a + 0.5 * s), Round(t + 0.5 * s));
    if (!target->clipRect().contains(seed)) {
        const QRect visible = QRect(a + corner, t + corner, s - 2 * corner, s - 2 * corner).intersected(target->clipRect());
        if (!visible.isEmpty())
            seed = visible.center();
    }
    target->setBrush(color);
    target->floodFill(seed.x(), seed.y(), col::White, FillMode::Surface);

    target->setPen(col::Black, 1);
    target->setBrush(col::Black);
    const int mid = s / 2;
    if (pips % 2 == 1)
        Disc(target, a + mid, t + mid, r);
    if (pips >= 2) {
        Disc(target, a + d, t + s - d, r);
        Disc(target, a + s - d, t + d, r);
    }
    if (pips >= 4) {
        Disc(target, a + d, t + d, r);
        Disc(target, a + s - d, t + s - d, r);
    }
    if (pips == 6) {
        Disc(target, a + d, t + mid, r);
        Disc(target, a + s - d, t + mid, r);
    }
}

}  // namespace kav

namespace kav {

void DrawPackBox(const QColor& penColor, const QColor& brushColor, int x, int y, double size, Canvas* bitmap)
{
    if (!bitmap || !Usable({double(x), double(y), size}))
        return;
    bitmap->setPen(penColor, Round(ScreenScale));
    bitmap->setBrush(brushColor);
    // a(p): p percent of the picture width, at this box's size.
    auto a = [size](double p) { return size * PercentX(p); };
    auto at = [x, y](double dx, double dy) { return QPoint(Round(x + dx), Round(y - dy)); };
    bitmap->rectangle(x, Round(y - a(20)), Round(x + a(30)), y);
    bitmap->polygon({at(0, a(20)), at(a(30), a(20)), at(a(40), a(30)), at(a(10), a(30))});
    bitmap->polygon({at(a(30), 0), at(a(40), a(10)), at(a(40), a(30)), at(a(30), a(20))});
}

void DrawDashedLinePercent(Canvas* bitmap, const QColor& color, double x1, double y1, double x2, double y2,
                           double width)
{
    if (!bitmap || !Usable({x1, y1, x2, y2, width}))
        return;
    bitmap->setPen(color, Round(width * ScreenScale));
    const double dash = 2 * width * ScreenScale;
    if (!(dash > 0))
        return;  // dashes without length: nothing to draw (and no end to the count)
    double ax = x1 * 0.01 * bitmap->width(), ay = y1 * 0.01 * bitmap->height();
    double bx = x2 * 0.01 * bitmap->width(), by = y2 * 0.01 * bitmap->height();
    if (bx < ax) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    // Dashes are measured along x, or along y for an upright line, from the first point on;
    // the other coordinate follows the line.
    const bool upright = Round(ax) == Round(bx);
    const double span = upright ? std::fabs(by - ay) : bx - ax;
    if (!(span > 0))
        return;  // both ends in one place
    auto point = [&](double along) {
        const double f = along / span;
        return QPoint(Round(ax + f * (bx - ax)), Round(ay + f * (by - ay)));
    };
    for (int k = 0; k < 10000; ++k) {
        const double from = 2.5 * dash * k;
        if (from >= span)
            break;
        const QPoint p = point(from), q = point(MinReal(from + dash, span));
        if (p == q)
            bitmap->setPixel(p.x(), p.y(), color);  // a dash shorter than a pixel
        else
            bitmap->line(p.x(), p.y(), q.x(), q.y());
    }
}

}  // namespace kav
