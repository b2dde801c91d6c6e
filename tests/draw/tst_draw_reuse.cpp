// What the canvas keeps between drawings to be quick: the flood fill's visited marks, stamped
// thick shapes, large glyphs' masks and copies of large text and library pictures. Each must
// give the pixels the plain way of drawing gives (large text: but for a few levels at edges
// that two glyphs share).
#include <QPainter>
#include <QtTest>
#include <deque>
#include <vector>

#include "draw/canvas.h"
#include "draw/copies.h"
#include "draw/largetext.h"
#include "draw/pictures.h"
#include "support.h"

using kav::Canvas;
using kav::FillMode;
namespace col = kav::col;

namespace {

// How far got strays from want: the pixels that differ and the largest difference of a colour
// channel among them.
struct Stray {
    int pixels = 0, levels = 0;
};
Stray Compare(const QImage& got, const QImage& want)
{
    Stray s;
    const QImage g = got.convertToFormat(QImage::Format_ARGB32), w = want.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < w.height(); ++y)
        for (int x = 0; x < w.width(); ++x) {
            const QRgb a = reinterpret_cast<const QRgb*>(g.constScanLine(y))[x];
            const QRgb b = reinterpret_cast<const QRgb*>(w.constScanLine(y))[x];
            if (a == b)
                continue;
            ++s.pixels;
            s.levels = std::max({s.levels, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                 std::abs(qBlue(a) - qBlue(b))});
        }
    return s;
}

// A flood fill of the region 4-connected to (x, y) whose pixels pass open, one pixel at a time.
template <typename Open>
void ReferenceFill(QImage& img, int x, int y, QRgb fill, Open open)
{
    std::vector<char> seen(size_t(img.width()) * size_t(img.height()), 0);
    std::deque<QPoint> todo{QPoint(x, y)};
    while (!todo.empty()) {
        const QPoint p = todo.front();
        todo.pop_front();
        if (!img.rect().contains(p) || seen[size_t(p.y()) * img.width() + p.x()] || !open(img.pixel(p) | 0xff000000u))
            continue;
        seen[size_t(p.y()) * img.width() + p.x()] = 1;
        img.setPixel(p, fill);
        todo.insert(todo.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
}

// Rings and bars in two colours, different for every seed.
Canvas Scribbled(int w, int h, int seed)
{
    Canvas c(w, h);
    c.setBrush(col::White);
    c.fillRect(0, 0, w, h);
    c.brushSolid = false;
    for (int i = 0; i < 6; ++i) {
        c.setPen(i % 2 ? col::Black : col::Red);
        const int x = (seed * 37 + i * 53) % w, y = (seed * 17 + i * 29) % h;
        c.ellipse(x - w / 5, y - h / 5, x + w / 6, y + h / 6);
        c.moveTo((seed * 7 + i * 11) % w, 0);
        c.lineTo((seed * 13 + i * 5) % w, h);
    }
    c.brushSolid = true;
    return c;
}

// The painter's own thick rectangle or ellipse, as the canvas drew it before it kept stamps.
QImage PainterShape(QImage img, bool ellipse, QRect box, int penWidth, QColor pen, const QColor* brush)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen qpen(pen);
    qpen.setWidth(penWidth);
    qpen.setCapStyle(Qt::RoundCap);
    qpen.setJoinStyle(Qt::RoundJoin);
    p.setPen(qpen);
    p.setBrush(brush ? QBrush(*brush) : QBrush(Qt::NoBrush));
    const QRectF shape(box.x(), box.y(), qMax(0, box.width() - 1), qMax(0, box.height() - 1));
    if (ellipse)
        p.drawEllipse(shape);
    else
        p.drawRect(shape);
    return img;
}

}  // namespace

class TestDrawReuse : public QObject {
    Q_OBJECT

private slots:
    void init() { kav::ResetMeasures(); }

    // Fills on canvases of changing sizes, in both modes, agree with a fill that starts afresh
    // every time, also after the marks have wrapped round.
    void floodFillsAgreeWithAFreshFill()
    {
        const QSize sizes[] = {{90, 60}, {200, 150}, {37, 91}, {200, 150}, {12, 12}};
        for (int round = 0; round < 2; ++round) {
            if (round == 1)
                for (int i = 0; i < 70000; ++i) {  // past the 65,535 marks a buffer gives
                    Canvas tiny(3, 3);
                    tiny.setBrush(col::Yellow);
                    tiny.floodFill(1, 1, col::Black, FillMode::Border);
                }
            for (int seed = 0; seed < 10; ++seed) {
                const QSize s = sizes[seed % 5];
                Canvas c = Scribbled(s.width(), s.height(), seed);
                QImage expected = c.image().convertToFormat(QImage::Format_RGB32);
                const int x = (seed * 31) % s.width(), y = (seed * 23) % s.height();
                const QRgb start = c.image().pixel(x, y) | 0xff000000u;
                c.setBrush(col::Blue);
                if (seed % 2) {
                    c.floodFill(x, y, col::Black, FillMode::Border);
                    ReferenceFill(expected, x, y, col::Blue.rgb(), [](QRgb v) { return v != col::Black.rgb(); });
                } else {
                    c.floodFill(x, y, QColor(start), FillMode::Surface);
                    if (start != col::Blue.rgb())
                        ReferenceFill(expected, x, y, col::Blue.rgb(), [start](QRgb v) { return v == start; });
                }
                QCOMPARE(c.image().convertToFormat(QImage::Format_RGB32), expected);
            }
        }
    }

    // Stamped rectangles and ellipses: sizes from a dot up to bars stretched from their stamp,
    // several pen widths, with and without a brush, on both canvas formats, at places partly off
    // the canvas; level and upright lines of several lengths, drawn either way.
    void thickRectanglesEllipsesAndLinesMatchThePainter()
    {
        const QColor brush = col::Yellow;
        auto check = [&](bool ellipse, QImage::Format format, QSize canvas, int pen, QRect box) {
            Canvas c(canvas.width(), canvas.height());
            c.image() = c.image().convertToFormat(format);
            c.image().fill(col::White);
            const QImage before = c.image();
            c.penColor = col::Red;
            c.penWidth = pen;
            c.brushSolid = (box.width() + box.height()) % 2 == 0;
            c.brushColor = brush;
            if (ellipse)
                c.ellipse(box.left(), box.top(), box.left() + box.width(), box.top() + box.height());
            else
                c.rectangle(box.left(), box.top(), box.left() + box.width(), box.top() + box.height());
            const QImage expected = PainterShape(before, ellipse, box, pen, col::Red, c.brushSolid ? &brush : nullptr);
            return c.image() == expected;
        };
        for (bool ellipse : {false, true})
            for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32})
                for (int pen : {2, 3, 4, 7})
                    for (int w : {0, 3, 6, 9, 12, 15, 18, 21, 24, 37, 61})
                        for (int h : {0, 4, 8, 12, 16, 20, 24, 45, 70})
                            for (QPoint at : {QPoint(9, 11), QPoint(-5, 20), QPoint(30, -6)})
                                QVERIFY2(check(ellipse, format, QSize(100, 90), pen, QRect(at, QSize(w, h))),
                                         qPrintable(QStringLiteral("%1 pen %2, %3 x %4 at %5,%6")
                                                        .arg(ellipse ? "ellipse" : "rectangle")
                                                        .arg(pen).arg(w).arg(h).arg(at.x()).arg(at.y())));
        // Level and upright thick lines, either way, against the painter's line.
        for (int pen : {2, 3, 5, 8})
            for (int length : {1, 2, 7, 19, 20, 37, 90, 300})
                for (bool upright : {false, true})
                    for (bool backwards : {false, true})
                        for (QPoint at : {QPoint(11, 13), QPoint(-4, 60), QPoint(250, 170)}) {
                            QPoint a = at, b = at + (upright ? QPoint(0, length) : QPoint(length, 0));
                            if (backwards)
                                std::swap(a, b);
                            Canvas c(320, 200);
                            c.image().fill(col::White);
                            QImage expected = c.image();
                            c.penColor = col::Blue;
                            c.penWidth = pen;
                            c.moveTo(a.x(), a.y());
                            c.lineTo(b.x(), b.y());
                            QPainter p(&expected);
                            p.setRenderHint(QPainter::Antialiasing, false);
                            QPen qpen(col::Blue);
                            qpen.setWidth(pen);
                            qpen.setCapStyle(Qt::RoundCap);
                            qpen.setJoinStyle(Qt::RoundJoin);
                            p.setPen(qpen);
                            p.drawLine(a, b);
                            p.end();
                            QVERIFY2(c.image() == expected, qPrintable(QStringLiteral("pen %1, line %2,%3 - %4,%5")
                                                                           .arg(pen).arg(a.x()).arg(a.y())
                                                                           .arg(b.x()).arg(b.y())));
                        }
        // The same ellipse again, far out on a 4K picture: stamped, it must stay the painter's.
        for (int pen : {2, 5})
            for (QPoint at : {QPoint(17, 23), QPoint(2411, 1503), QPoint(2890, 1933), QPoint(1234, 777)})
                QVERIFY(check(true, QImage::Format_RGB32, QSize(2961, 1994), pen, QRect(at, QSize(41, 39))));
    }

    // Large text through its copies: the first drawing, a copy of it in the same place, the
    // same text in another colour or on another background, and a text over other ink.
    void largeTextCopiesGiveThePaintersPixels()
    {
        kav::ForgetDrawnCopies();
        // A canvas in the background colour, with a line across where the text goes if asked.
        auto ground = [](QColor background, bool scribble) {
            Canvas c(900, 300);
            c.image().fill(background);
            if (scribble) {
                c.penColor = col::Black;
                c.moveTo(0, 150);
                c.lineTo(900, 150);
            }
            c.font.size = 60;  // 80 pixels: drawn as outlines
            return c;
        };
        auto written = [&](QColor background, QColor colour, bool scribble) {
            Canvas c = ground(background, scribble);
            c.font.color = colour;
            c.textOut(20, 100, QStringLiteral("Hoeveel stippen? 1289"));
            return c.image();
        };
        auto painted = [&](QColor background, QColor colour, bool scribble) {
            Canvas c = ground(background, scribble);
            QPainter p(&c.image());
            p.setRenderHint(QPainter::TextAntialiasing, true);
            const QFont f = c.qfont();
            p.setFont(f);
            p.setPen(colour);
            p.drawText(QPointF(20, 100 + QFontMetricsF(f).ascent()), QStringLiteral("Hoeveel stippen? 1289"));
            p.end();
            return c.image();
        };
        QVERIFY(kav::PointsToPixels(60) > 64);
        const QImage first = written(col::White, col::Blue, false);
        const auto close = [](const QImage& got, const QImage& want) {
            const Stray s = Compare(got, want);
            return s.levels <= 8 && s.pixels < 200;
        };
        QVERIFY(close(first, painted(col::White, col::Blue, false)));
        QCOMPARE(kav::DrawnCopiesBytes(), 0);  // kept the second time only
        QCOMPARE(written(col::White, col::Blue, false), first);
        QVERIFY(kav::DrawnCopiesBytes() > 0);
        QCOMPARE(written(col::White, col::Blue, false), first);
        QVERIFY(close(written(col::White, col::Red, false), painted(col::White, col::Red, false)));
        QVERIFY(close(written(col::BtnFace, col::Blue, false), painted(col::BtnFace, col::Blue, false)));
        QVERIFY(close(written(col::White, col::Blue, true), painted(col::White, col::Blue, true)));
    }

    // Large glyphs laid down from their masks: at most a few levels off the painter's pixels, at
    // few pixels, all inside the text's ink, whatever its size,
    // weight, colour, the image's format and the baseline's place within the pixel. Where the
    // masks can't stand in, the painter draws.
    void largeGlyphsFromMasksMatchThePainter()
    {
        kav::ForgetGlyphMasks();
        // With each text, how far its pixels may be off at its edges: a few levels, as the painter
        // rounds a little differently far from the image's corner, more where kerning lays one
        // glyph's ink over the next ("AV").
        const std::pair<QString, int> texts[] = {{QStringLiteral("8"), 8},
                                                 {QStringLiteral("6 x 6 met 5 spijkers per kant."), 8},
                                                 {QStringLiteral("Wat? AVA 123,45 \u20ac"), 80}};
        for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied})
            for (int px : {65, 97, 180})
                for (int sub : {0, 13, 40})
                    for (const auto& [text, levels] : texts) {
                        QFont f(QStringLiteral("Arial"));
                        f.setPixelSize(px);
                        f.setBold(sub == 13);
                        QImage want(QFontMetrics(f).horizontalAdvance(text) + 20, px * 2, format);
                        want.fill(QColor(255, 255, 0));
                        QImage got = want;
                        const QColor colour = sub == 40 ? QColor(255, 0, 0) : QColor(0, 0, 255);
                        const QPointF baseline(7 + sub / 64.0, px + 3 + (64 - sub) / 64.0);
                        QPainter p(&want);
                        p.setFont(f);
                        p.setPen(colour);
                        p.drawText(baseline, text);
                        p.end();
                        const kav::LargeText large(f, baseline, text);
                        QVERIFY(!large.isNull());
                        QPainter q(&got);
                        QVERIFY(large.draw(q, colour));
                        q.end();
                        const Stray s = Compare(got, want);
                        QVERIFY2(s.levels <= levels && s.pixels <= px * 4,
                                 qPrintable(QStringLiteral("%1 px, '%2': %3 pixels, %4 levels")
                                                .arg(px).arg(text).arg(s.pixels).arg(s.levels)));
                        QImage outside = got;
                        QPainter(&outside).fillRect(large.ink(), QColor(255, 255, 0));
                        QImage plain = want;
                        plain.fill(QColor(255, 255, 0));
                        QCOMPARE(outside, plain);
                    }
        QVERIFY(kav::GlyphMaskBytes() > 0 && kav::GlyphMaskBytes() <= 24ll * 1024 * 1024);

        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(64);
        QVERIFY(kav::LargeText(f, QPointF(5, 80), QStringLiteral("12")).isNull());  // the painter keeps these
        f.setPixelSize(80);
        QVERIFY(kav::LargeText(f, QPointF(5.3, 80), QStringLiteral("12")).isNull());
        QVERIFY(kav::LargeText(f, QPointF(5, 80), QStringLiteral("1\t2")).isNull());
        const kav::LargeText large(f, QPointF(5, 80), QStringLiteral("12"));
        QImage img(200, 100, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        QVERIFY(!large.draw(p, QColor(0, 0, 0, 128)));
        p.scale(2, 2);
        QVERIFY(!large.draw(p, Qt::black));
        p.resetTransform();
        p.setClipRect(0, 0, 50, 50);
        QVERIFY(!large.draw(p, Qt::black));
        p.end();
        f.setUnderline(true);
        QVERIFY(kav::LargeText(f, QPointF(5, 80), QStringLiteral("12")).isNull());
    }

    // Library pictures through their copies: the same pixels as the picture drawn straight,
    // in the same place again, in another place, on another background, cut off by the
    // canvas's edge; a picture
    // whose pixels were changed is not taken for the library's.
    void pictureCopiesGiveThePaintersPixels()
    {
        testsupport::UseBuildPictures();
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        kav::ForgetDrawnCopies();
        const kav::Picture house = kav::LoadPicture(QStringLiteral("huis1"));
        QVERIFY(!house.isNull());
        for (QRect target : {QRect(40, 30, 160, 140), QRect(40, 30, 160, 140), QRect(40, 30, 160, 140),
                             QRect(113, 71, 160, 140), QRect(-30, 200, 160, 140), QRect(-30, 200, 160, 140),
                             QRect(-30, 200, 160, 140)})
            for (QColor background : {col::BtnFace, col::White}) {
                Canvas c(400, 300);
                c.image().fill(background);
                c.stretchDraw(target.left(), target.top(), target.right() + 1, target.bottom() + 1, house);
                QImage expected(400, 300, c.image().format());
                expected.fill(background);
                QPainter p(&expected);
                house.draw(p, target);
                p.end();
                QCOMPARE(c.image(), expected);
            }
        kav::Picture edited = house;
        edited.editImage().fill(Qt::red);
        QVERIFY(edited.cacheKey() != house.cacheKey());
        QCOMPARE(house.image().size(), house.size());
        QVERIFY(house.image().pixel(house.width() / 2, house.height() / 2) != qRgb(255, 0, 0));
        Canvas c(400, 300);
        c.image().fill(col::White);
        c.stretchDraw(40, 30, 200, 170, edited);
        QCOMPARE(c.image().pixel(120, 100) | 0xff000000u, qRgb(255, 0, 0));
    }

    // However many different drawings come, the copies stay within their budget.
    void copiesStayWithinTheirBudget()
    {
        kav::ForgetDrawnCopies();
        QImage img(1200, 800, QImage::Format_RGB32);
        for (int i = 0; i < 800; ++i) {
            img.fill(col::White);
            kav::DrawThroughCopy(img, QRect(0, 0, 1200, 700), QByteArray::number(i / 2), false, [](QPainter& p) {
                p.fillRect(QRect(5, 5, 100, 100), Qt::blue);
            });
            QCOMPARE(img.pixel(50, 50) | 0xff000000u, qRgb(0, 0, 255));
        }
        QVERIFY(kav::DrawnCopiesBytes() <= 48ll * 1024 * 1024);
        QVERIFY(kav::DrawnCopiesBytes() > 0);
    }
};

QTEST_MAIN(TestDrawReuse)
#include "tst_draw_reuse.moc"
