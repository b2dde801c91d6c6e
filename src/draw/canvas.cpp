#include "draw/canvas.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>

#include "draw/copies.h"
#include "draw/largetext.h"
#include "draw/measures.h"
#include "draw/pixelfill.h"

namespace kav {

int PointsToPixels(int points)
{
    // 96 dpi: one point is 4/3 pixel, rounded like the classic MulDiv.
    const int n = points * 96;
    return n >= 0 ? (n + 36) / 72 : -((-n + 36) / 72);
}

Canvas::Canvas() : Canvas(1, 1) {}

Canvas::Canvas(int width, int height)
{
    font.family = FontFamily;
    setSize(width, height);
}

void Canvas::setSize(int width, int height)
{
    image_ = QImage(qMax(width, 1), qMax(height, 1), QImage::Format_RGB32);
    image_.fill(Qt::white);
    log_.clear();
}

QFont Canvas::qfont() const
{
    QFont f(font.family.isEmpty() ? FontFamily : font.family);
    f.setPixelSize(qMax(1, PointsToPixels(font.size)));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void Canvas::beginShape(QPainter& p) const
{
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(penColor);
    pen.setWidth(qMax(penWidth, 1));
    pen.setCapStyle(penWidth > 1 ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(penWidth > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    p.setPen(pen);
    if (brushSolid)
        p.setBrush(brushColor);
    else
        p.setBrush(Qt::NoBrush);
}

// The outline of a shape runs along the pixels x1 .. x2-1: its geometric box is one pixel smaller.
static QRectF shapeBox(int x1, int y1, int x2, int y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    return QRectF(x1, y1, qMax(0, x2 - x1 - 1), qMax(0, y2 - y1 - 1));
}

void Canvas::paintRect(QImage& img, int x1, int y1, int x2, int y2) const
{
    QPainter p(&img);
    beginShape(p);
    p.drawRect(shapeBox(x1, y1, x2, y2));
}

void Canvas::paintEllipse(QImage& img, int x1, int y1, int x2, int y2) const
{
    QPainter p(&img);
    beginShape(p);
    p.drawEllipse(shapeBox(x1, y1, x2, y2));
}

void Canvas::fillRect(int x1, int y1, int x2, int y2)
{
    QRect r = QRect(QPoint(qMin(x1, x2), qMin(y1, y2)), QPoint(qMax(x1, x2) - 1, qMax(y1, y2) - 1))
                  .intersected(image_.rect());
    if (r.isEmpty())
        return;
    QPainter p(&image_);
    p.fillRect(r, brushSolid ? brushColor : QColor(Qt::white));
    dropCovered(r);
}

void Canvas::dropCovered(const QRect& r)
{
    // Texts painted over are gone from the picture, so from the log too: what is kept, printed
    // or read aloud is what is on screen.
    const auto covered = [&r](const TextLogEntry& e) {
        if (r.contains(e.x, e.y))
            return true;
        const QRect text(e.x, e.y, qMax(1, e.width), qMax(1, e.height));
        const QRect under = text & r;
        return !under.isEmpty() && 2 * qint64(under.width()) * under.height() >= qint64(text.width()) * text.height();
    };
    log_.erase(std::remove_if(log_.begin(), log_.end(), covered), log_.end());
}

// An ellipse or rounded rectangle with a one-pixel pen, laid out pixel by pixel: the
// painter's own curves stray a pixel past the corners for some sizes. Every row of the box
// x1 .. x2-1, y1 .. y2-1 holds one run of pixels; the pixels at the edge of the shape get the
// pen, the others the brush. The outline is closed, so flood fills stay on their side.
static void thinRoundShape(QImage& img, int x1, int y1, int x2, int y2, double ew, double eh, QRgb pen,
                           const QRgb* brush)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    const qint64 w = qint64(x2) - x1, h = qint64(y2) - y1;
    if (w <= 0 || h <= 0)
        return;
    // In pixel-centre coordinates the box runs from x1 - 0.5 to x2 - 0.5; the corner arcs are
    // quarters of an ellipse with half-axes rx, ry.
    const double rx = qBound(0.0, ew / 2.0, w / 2.0), ry = qBound(0.0, eh / 2.0, h / 2.0);
    const double leftArc = x1 - 0.5 + rx, rightArc = x2 - 0.5 - rx;
    const double topArc = y1 - 0.5 + ry, bottomArc = y2 - 0.5 - ry;
    const double midX = (double(x1) + x2 - 1) / 2, midY = (double(y1) + y2 - 1) / 2;
    auto run = [&](qint64 y, qint64& l, qint64& r) {
        if (y < y1 || y >= y2)
            return false;
        if (std::abs(y - midY) <= 0.5) {  // the middle row(s) always reach both sides
            l = x1;
            r = qint64(x2) - 1;
            return true;
        }
        const double dy = std::max({0.0, topArc - y, y - bottomArc});
        const double q = ry > 0 ? dy / ry : 0.0;
        const double half = rx * std::sqrt(std::max(0.0, 1 - q * q));
        l = std::max<qint64>(x1, qint64(std::ceil(leftArc - half - 1e-9)));
        r = std::min<qint64>(qint64(x2) - 1, qint64(std::floor(rightArc + half + 1e-9)));
        if (l > r) {  // a row near a narrow tip: at least its middle
            l = qint64(std::floor(midX));
            r = qint64(std::ceil(midX));
        }
        return true;
    };
    const qint64 lastX = img.width() - 1;
    auto paint = [&](qint64 y, qint64 from, qint64 to, QRgb c) {
        from = std::max<qint64>(from, 0);
        to = std::min(to, lastX);
        if (from <= to)
            FillPixels(reinterpret_cast<QRgb*>(img.scanLine(int(y))) + from, to - from + 1, c);
    };
    const qint64 firstY = std::max<qint64>(y1, 0), lastY = std::min<qint64>(qint64(y2) - 1, img.height() - 1);
    for (qint64 y = firstY; y <= lastY; ++y) {
        qint64 l, r, al, ar, bl, br;
        run(y, l, r);
        // Inside: not at the end of its own run and covered by the runs above and below.
        qint64 fl = l + 1, fr = r - 1;
        if (run(y - 1, al, ar) && run(y + 1, bl, br)) {
            fl = std::max({fl, al, bl});
            fr = std::min({fr, ar, br});
        } else {
            fl = r + 1;
            fr = r;
        }
        if (fl > fr) {
            paint(y, l, r, pen);
            continue;
        }
        paint(y, l, fl - 1, pen);
        paint(y, fr + 1, r, pen);
        if (brush)
            paint(y, fl, fr, *brush);
    }
}

void Canvas::roundRect(int x1, int y1, int x2, int y2, int ew, int eh)
{
    if (brushSolid) {
        // What a filled shape covers for certain: its box without the corners' reach.
        const int dx = qAbs(ew) / 2, dy = qAbs(eh) / 2;
        dropCovered(QRect(QPoint(qMin(x1, x2) + dx, qMin(y1, y2) + dy), QPoint(qMax(x1, x2) - 1 - dx, qMax(y1, y2) - 1 - dy)));
    }
    if (penWidth <= 1) {
        const QRgb fill = brushColor.rgb();
        thinRoundShape(image_, x1, y1, x2, y2, ew, eh, penColor.rgb(), brushSolid ? &fill : nullptr);
        return;
    }
    QPainter p(&image_);
    beginShape(p);
    p.drawRoundedRect(shapeBox(x1, y1, x2, y2), ew / 2.0, eh / 2.0);
}

void Canvas::ellipse(int x1, int y1, int x2, int y2)
{
    if (penWidth <= 1) {
        const QRgb fill = brushColor.rgb();
        thinRoundShape(image_, x1, y1, x2, y2, std::abs(double(x2) - x1), std::abs(double(y2) - y1), penColor.rgb(),
                       brushSolid ? &fill : nullptr);
        return;
    }
    if (!stampShape(Stamped::Ellipse, x1, y1, x2, y2))
        paintEllipse(image_, x1, y1, x2, y2);
}

void Canvas::arcShape(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const QRectF box = shapeBox(x1, y1, x2, y2);
    const QPointF c = box.center();
    auto angle = [&](int x, int y) { return qRadiansToDegrees(std::atan2(-(y - c.y()), x - c.x())); };
    const double a1 = angle(x3, y3);
    double span = angle(x4, y4) - a1;
    while (span <= 0)
        span += 360.0;
    QPainter p(&image_);
    beginShape(p);
    const int s16 = qRound(a1 * 16), span16 = qRound(span * 16);
    if (kind == 0)
        p.drawPie(box, s16, span16);
    else if (kind == 1)
        p.drawArc(box, s16, span16);
    else
        p.drawChord(box, s16, span16);
}

void Canvas::pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    arcShape(0, x1, y1, x2, y2, x3, y3, x4, y4);
}

void Canvas::arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    arcShape(1, x1, y1, x2, y2, x3, y3, x4, y4);
}

void Canvas::chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    arcShape(2, x1, y1, x2, y2, x3, y3, x4, y4);
}

void Canvas::polygon(const QVector<QPoint>& pts)
{
    if (pts.isEmpty())
        return;
    QPainter p(&image_);
    beginShape(p);
    p.drawPolygon(pts.constData(), int(pts.size()), Qt::OddEvenFill);
}

void Canvas::polyline(const QVector<QPoint>& pts)
{
    if (pts.isEmpty())
        return;
    moveTo(pts[0].x(), pts[0].y());
    for (int i = 1; i < pts.size(); ++i)
        lineTo(pts[i].x(), pts[i].y());
}

// A one-pixel line from a up to, but not including, b.
void Canvas::thinLine(QPoint a, QPoint b)
{
    // An end point far off the image (a graph running away to infinity, say) would make the walk
    // below take billions of steps: such an end is first moved along the line to just outside
    // the image, so that only the part that can show is walked.
    const QRect nearby = image_.rect().adjusted(-4096, -4096, 4096, 4096);
    if (!nearby.contains(a) || !nearby.contains(b)) {
        const QRectF box = QRectF(image_.rect()).adjusted(-2, -2, 2, 2);
        const double ax = a.x(), ay = a.y(), dx = double(b.x()) - ax, dy = double(b.y()) - ay;
        double t0 = 0, t1 = 1;
        auto clip = [&](double p, double q) {  // Liang-Barsky: the part where p * t <= q
            if (p == 0)
                return q >= 0;
            const double t = q / p;
            if (p < 0)
                t0 = qMax(t0, t);
            else
                t1 = qMin(t1, t);
            return t0 <= t1;
        };
        if (!clip(-dx, ax - box.left()) || !clip(dx, box.right() - ax) || !clip(-dy, ay - box.top()) ||
            !clip(dy, box.bottom() - ay))
            return;
        if (t1 < 1 && !nearby.contains(b))
            b = QPoint(qRound(ax + t1 * dx), qRound(ay + t1 * dy));
        if (t0 > 0 && !nearby.contains(a))
            a = QPoint(qRound(ax + t0 * dx), qRound(ay + t0 * dy));
    }
    qint64 x = a.x(), y = a.y();
    const qint64 bx = b.x(), by = b.y();
    const qint64 dx = std::abs(bx - x), dy = -std::abs(by - y);
    const qint64 sx = x < bx ? 1 : -1, sy = y < by ? 1 : -1;
    qint64 err = dx + dy;
    const QRgb rgb = penColor.rgb();
    while (x != bx || y != by) {
        if (image_.rect().contains(int(x), int(y)))
            image_.setPixel(int(x), int(y), rgb);
        const qint64 e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Canvas::lineTo(int x, int y)
{
    const QPoint to(x, y);
    if (penWidth <= 1) {
        thinLine(penPos_, to);
    } else if ((penPos_.x() == x) == (penPos_.y() == y) ||
               !stampShape(Stamped::Line, penPos_.x(), penPos_.y(), x, y)) {
        QPainter p(&image_);
        beginShape(p);
        p.drawLine(penPos_, to);
    }
    penPos_ = to;
}

QColor Canvas::pixel(int x, int y) const
{
    if (!image_.rect().contains(x, y))
        return QColor();
    return QColor(image_.pixel(x, y));
}

void Canvas::setPixel(int x, int y, const QColor& c)
{
    if (image_.rect().contains(x, y))
        image_.setPixel(x, y, c.rgb());
}

// The pixels a text run can change, from the top-left corner it is written at: those the
// outlines of its letters reach into, and one more all round. Found once per text and font.
static QRect TextInk(const QString& text, const QFont& f)
{
    static thread_local QHash<QString, QRect> inks;
    const QString key = text + QChar(0) + f.toString();
    auto it = inks.constFind(key);
    if (it != inks.constEnd())
        return *it;
    if (inks.size() >= 4096)
        inks.clear();
    QPainterPath outline;
    outline.addText(QPointF(0, QFontMetricsF(f).ascent()), f, text);
    const QRectF reach = outline.boundingRect();
    const QRect found = reach.isEmpty() ? QRect() : reach.toAlignedRect().adjusted(-1, -1, 1, 1);
    inks.insert(key, found);
    return found;
}

void Canvas::textOut(int x, int y, const QString& text)
{
    const QFont f = qfont();
    log_.append({text, x, y, font.color, font.size, font.bold, qRound(QFontMetricsF(f).horizontalAdvance(text)),
                 qCeil(QFontMetricsF(f).height()), openGroup_, ++lastSerial_, QString()});
    if (text.isEmpty())
        return;
    const QFontMetricsF fm(f);
    const QPointF baseline(x, y + fm.ascent());
    const QColor colour = font.color;
    // Over 64 pixels the painter keeps no glyphs: such text is laid down from kept glyph masks,
    // and whole drawn runs are kept as well.
    const LargeText large = f.pixelSize() > 64 && !font.underline ? LargeText(f, baseline, text) : LargeText();
    const auto draw = [&](QPainter& p) {
        p.setRenderHint(QPainter::TextAntialiasing, true);
        if (large.draw(p, colour))
            return;
        p.setFont(f);
        p.setPen(colour);
        p.drawText(baseline, text);
    };
    QRect ink;
    if (!large.isNull())
        ink = large.ink();
    else if (f.pixelSize() >= 64 && !font.underline)
        ink = TextInk(text, f).translated(x, y);
    if (ink.isEmpty()) {
        QPainter p(&image_);
        draw(p);
        return;
    }
    QByteArray key = text.toUtf8();
    key.append(f.toString().toUtf8()).append(QByteArray::number(colour.rgba()));
    DrawThroughCopy(image_, ink.adjusted(-1, -1, 1, 1), key, false, draw);
}

int Canvas::textWidth(const QString& text) const
{
    return qRound(QFontMetricsF(qfont()).horizontalAdvance(text));
}

int Canvas::textHeight(const QString&) const
{
    const QFontMetricsF fm(qfont());
    return qRound(fm.ascent() + fm.descent());
}

int Canvas::ascent() const
{
    return qRound(QFontMetricsF(qfont()).ascent());
}

int Canvas::capHeight() const
{
    return qRound(QFontMetricsF(qfont()).capHeight());
}

void Canvas::stretchDraw(int x1, int y1, int x2, int y2, const QImage& img)
{
    if (img.isNull())
        return;
    QPainter p(&image_);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRect target(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
    p.drawImage(target, img);
    if (!img.hasAlphaChannel())
        dropCovered(target.normalized());
}

void Canvas::stretchDraw(int x1, int y1, int x2, int y2, const Picture& pic)
{
    if (pic.isNull())
        return;
    const QRect target(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
    const auto draw = [&](QPainter& p) { pic.draw(p, target); };
    if (!target.isValid()) {
        QPainter p(&image_);
        draw(p);
        return;
    }
    // A picture's edges are smoothed, so its drawing may reach a little past the target.
    const int margin = 2 + std::max(target.width(), target.height()) / 50;
    QByteArray key("picture");
    key.append(QByteArray::number(pic.cacheKey())).append(' ').append(QByteArray::number(target.width()));
    key.append('x').append(QByteArray::number(target.height()));
    DrawThroughCopy(image_, target.adjusted(-margin, -margin, margin, margin), key, true, draw);
}

void Canvas::draw(int x, int y, const QImage& img)
{
    if (img.isNull())
        return;
    QPainter p(&image_);
    p.drawImage(QPoint(x, y), img);
    if (!img.hasAlphaChannel())
        dropCovered(QRect(QPoint(x, y), img.size()));
}

}  // namespace kav
