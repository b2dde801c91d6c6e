// What the canvas keeps between drawings to be quick: the flood fill's visited marks, stamped
// thick rectangles and copies of large text and library pictures. Each must give the pixels the
// plain way of drawing gives.
#include <QPainter>
#include <QtTest>
#include <deque>
#include <vector>

#include "draw/canvas.h"
#include "draw/copies.h"
#include "draw/pictures.h"
#include "support.h"

using kav::Canvas;
using kav::FillMode;
namespace col = kav::col;

namespace {

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

// The painter's own thick rectangle, as the canvas drew it before it kept stamps.
QImage PainterRectangle(QImage img, QRect box, int penWidth, QColor pen, const QColor* brush)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen qpen(pen);
    qpen.setWidth(penWidth);
    qpen.setCapStyle(Qt::RoundCap);
    qpen.setJoinStyle(Qt::RoundJoin);
    p.setPen(qpen);
    p.setBrush(brush ? QBrush(*brush) : QBrush(Qt::NoBrush));
    p.drawRect(QRectF(box.x(), box.y(), qMax(0, box.width() - 1), qMax(0, box.height() - 1)));
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

    // Stamped rectangles: sizes from a dot up to bars stretched from their stamp, several pen
    // widths, with and without a brush, on both canvas formats, at places partly off the canvas.
    void thickRectanglesMatchThePainter()
    {
        const QColor brush = col::Yellow;
        for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32})
            for (int pen : {2, 3, 4, 7})
                for (int w : {0, 3, 6, 9, 12, 15, 18, 21, 24, 37, 61})
                    for (int h : {0, 4, 8, 12, 16, 20, 24, 45, 70})
                        for (QPoint at : {QPoint(9, 11), QPoint(-5, 20), QPoint(30, -6)}) {
                            Canvas c(100, 90);
                            c.image() = c.image().convertToFormat(format);
                            c.image().fill(col::White);
                            const QImage before = c.image();
                            c.penColor = col::Red;
                            c.penWidth = pen;
                            c.brushSolid = (w + h) % 2 == 0;
                            c.brushColor = brush;
                            c.rectangle(at.x(), at.y(), at.x() + w, at.y() + h);
                            const QImage expected = PainterRectangle(before, QRect(at, QSize(w, h)), pen, col::Red,
                                                                     c.brushSolid ? &brush : nullptr);
                            QVERIFY2(c.image() == expected,
                                     qPrintable(QStringLiteral("pen %1, %2 x %3 at %4,%5")
                                                    .arg(pen).arg(w).arg(h).arg(at.x()).arg(at.y())));
                        }
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
        QVERIFY(kav::PointsToPixels(60) >= 64);
        const QImage first = written(col::White, col::Blue, false);
        QCOMPARE(first, painted(col::White, col::Blue, false));
        QCOMPARE(kav::DrawnCopiesBytes(), 0);  // kept the second time only
        QCOMPARE(written(col::White, col::Blue, false), first);
        QVERIFY(kav::DrawnCopiesBytes() > 0);
        QCOMPARE(written(col::White, col::Blue, false), first);
        QCOMPARE(written(col::White, col::Red, false), painted(col::White, col::Red, false));
        QCOMPARE(written(col::BtnFace, col::Blue, false), painted(col::BtnFace, col::Blue, false));
        QCOMPARE(written(col::White, col::Blue, true), painted(col::White, col::Blue, true));
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
