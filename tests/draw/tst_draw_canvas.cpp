// The drawing model of the off-screen canvas: edges, line ends, flood fill and text placement.
#include <QtTest>
#include <limits>

#include "draw/canvas.h"
#include "support.h"

using kav::Canvas;
using kav::FillMode;
using testsupport::At;
using testsupport::CountColour;
namespace col = kav::col;

namespace {

// The smallest rectangle holding every pixel for which ink(pixel) holds.
template <typename Ink>
QRect BoxWhere(const QImage& img, Ink ink)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (ink(img.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

QRect InkedBox(const QImage& img)
{
    return BoxWhere(img, [](QRgb p) { return (p | 0xff000000u) != 0xffffffffu; });
}

}  // namespace

class TestDrawCanvas : public QObject {
    Q_OBJECT

private slots:
    void init() { kav::ResetMeasures(); }

    void rectangleCoversLeftTopButNotRightBottom()
    {
        Canvas c(40, 40);
        c.setPen(col::Black, 1);
        c.setBrush(col::Red);
        c.rectangle(5, 6, 15, 20);
        QCOMPARE(InkedBox(c.image()), QRect(QPoint(5, 6), QPoint(14, 19)));
        QCOMPARE(At(c.image(), 14, 19), col::Black);
        QCOMPARE(CountColour(c.image(), col::Red), 8 * 12);  // inside a one-pixel outline
    }

    void ellipseStaysInsideItsCorners_data()
    {
        QTest::addColumn<QRect>("corners");  // (x1, y1) as top-left, (x2, y2) as bottom-right
        QTest::newRow("small") << QRect(QPoint(2, 2), QPoint(12, 12));
        QTest::newRow("wide") << QRect(QPoint(3, 5), QPoint(37, 17));
        QTest::newRow("odd") << QRect(QPoint(1, 4), QPoint(10, 25));
        QTest::newRow("tall thin") << QRect(QPoint(5, 0), QPoint(7, 30));
        QTest::newRow("flat") << QRect(QPoint(2, 10), QPoint(38, 12));
        QTest::newRow("one pixel") << QRect(QPoint(9, 9), QPoint(10, 10));
    }

    void ellipseStaysInsideItsCorners()
    {
        QFETCH(QRect, corners);
        Canvas c(40, 30);
        c.setPen(col::Black, 1);
        c.setBrush(col::Red);
        c.ellipse(corners.left(), corners.top(), corners.right(), corners.bottom());
        QCOMPARE(InkedBox(c.image()),
                 QRect(QPoint(corners.left(), corners.top()), QPoint(corners.right() - 1, corners.bottom() - 1)));
        const bool hasInside = corners.width() > 3 && corners.height() > 3;  // else all outline
        QCOMPARE(At(c.image(), corners.center().x(), corners.center().y()), hasInside ? col::Red : col::Black);
        Canvas swapped(40, 30);
        swapped.setPen(col::Black, 1);
        swapped.setBrush(col::Red);
        swapped.ellipse(corners.right(), corners.bottom(), corners.left(), corners.top());
        QCOMPARE(swapped.image(), c.image());
    }

    void roundRectIsClosedAndInsideItsCorners()
    {
        Canvas c(60, 40);
        c.setPen(col::Black, 1);
        c.setBrush(col::Yellow);
        c.roundRect(5, 5, 55, 35, 16, 12);
        QCOMPARE(InkedBox(c.image()), QRect(QPoint(5, 5), QPoint(54, 34)));
        QCOMPARE(At(c.image(), 5, 5), col::White);  // a rounded corner
        c.setBrush(col::Blue);
        c.floodFill(0, 0, col::Black, FillMode::Border);
        QCOMPARE(At(c.image(), 5, 5), col::Blue);
        QCOMPARE(At(c.image(), 30, 20), col::Yellow);  // the outline held
    }

    void linesLeaveOutTheirEndPoint()
    {
        Canvas c(30, 30);
        c.setPen(col::Black, 1);
        c.line(2, 3, 12, 3);
        QCOMPARE(At(c.image(), 2, 3), col::Black);
        QCOMPARE(At(c.image(), 12, 3), col::White);
        QCOMPARE(CountColour(c.image(), col::Black), 10);
        c.line(20, 25, 20, 15);
        QCOMPARE(At(c.image(), 20, 25), col::Black);
        QCOMPARE(At(c.image(), 20, 15), col::White);
        c.line(0, 10, 8, 18);
        QCOMPARE(At(c.image(), 7, 17), col::Black);
        QCOMPARE(At(c.image(), 8, 18), col::White);
        QCOMPARE(c.penPos(), QPoint(8, 18));
        // A closed polyline: every corner drawn once by the segment leaving it.
        Canvas p(30, 30);
        p.polyline({QPoint(5, 5), QPoint(20, 5), QPoint(20, 20), QPoint(5, 20), QPoint(5, 5)});
        QCOMPARE(CountColour(p.image(), col::Black), 4 * 15);
    }

    void floodFillBorderMode()
    {
        Canvas c(40, 40);
        c.setPen(col::Black, 1);
        c.setBrush(col::Yellow);
        c.rectangle(10, 10, 30, 30);
        c.setBrush(col::Blue);
        c.floodFill(20, 20, col::Black, FillMode::Border);  // over the yellow, up to the black
        QCOMPARE(CountColour(c.image(), col::Blue), 18 * 18);
        c.setBrush(col::Green);
        c.floodFill(0, 0, col::Black, FillMode::Border);
        QCOMPARE(CountColour(c.image(), col::Green), 40 * 40 - 20 * 20);
        c.setBrush(col::Red);
        c.floodFill(10, 15, col::Black, FillMode::Border);  // on the border itself: nothing
        QCOMPARE(CountColour(c.image(), col::Red), 0);
    }

    void floodFillSurfaceMode()
    {
        Canvas c(40, 20);
        c.setBrush(col::Red);
        c.fillRect(0, 0, 10, 20);
        c.setPen(col::Black, 1);
        c.line(20, 0, 20, 20);
        c.setBrush(col::Lime);
        c.floodFill(15, 10, col::White, FillMode::Surface);  // only the white patch around it
        QCOMPARE(CountColour(c.image(), col::Lime), 10 * 20);
        QCOMPARE(At(c.image(), 25, 10), col::White);
        const QImage before = c.image().copy();
        c.floodFill(5, 10, col::White, FillMode::Surface);  // starts on red
        c.floodFill(-1, 5, col::White, FillMode::Surface);
        c.setBrush(col::White);
        c.floodFill(25, 10, col::White, FillMode::Surface);
        QCOMPARE(c.image(), before);
    }

    void textIsPlacedByItsTopLeftCorner()
    {
        Canvas c(120, 60);
        c.font.size = 20;
        c.textOut(30, 15, QStringLiteral("H"));
        const QRect ink = BoxWhere(c.image(), [](QRgb p) { return qGray(p) < 128; });
        QVERIFY2(ink.top() >= 15 && ink.top() <= 15 + c.textHeight("H") / 4, qPrintable(QString::number(ink.top())));
        QVERIFY2(ink.left() >= 30 && ink.left() <= 33, qPrintable(QString::number(ink.left())));
        QVERIFY(ink.bottom() < 15 + c.textHeight("H"));
        QVERIFY(ink.right() < 30 + c.textWidth("H"));
    }

    void textLogRecordsWrittenTexts()
    {
        Canvas c(200, 100);
        c.font.size = 12;
        c.font.color = col::Red;
        c.font.bold = true;
        c.textOut(10, 20, QStringLiteral("drie"));
        c.font.bold = false;
        c.textOut(100, 60, QStringLiteral("vier"));
        QCOMPARE(c.textLog().size(), 2);
        const kav::TextLogEntry& e = c.textLog().first();
        QCOMPARE(e.text, QStringLiteral("drie"));
        QCOMPARE(QPoint(e.x, e.y), QPoint(10, 20));
        QCOMPARE(e.color, col::Red);
        QCOMPARE(e.size, 12);
        QVERIFY(e.bold && !c.textLog().last().bold);
        // Covering a text's corner takes it out of the log.
        c.fillRect(0, 0, 50, 50);
        QCOMPARE(c.textLog().size(), 1);
        QCOMPARE(c.textLog().first().text, QStringLiteral("vier"));
        c.setSize(200, 100);
        QVERIFY(c.textLog().isEmpty());
    }

    // What is painted over a text takes it out of the log: a filled shape or an opaque image
    // over most of it; an outline, a transparent picture or a sliver of it leave it.
    void paintedOverTextsLeaveTheLog()
    {
        Canvas c(400, 200);
        c.font.size = 12;
        const auto write = [&c] {
            c.clearTextLog();
            c.textOut(20, 20, QStringLiteral("boven"));
            c.textOut(20, 120, QStringLiteral("onder"));
        };
        const auto left = [&c] {
            QStringList t;
            for (const kav::TextLogEntry& e : c.textLog())
                t << e.text;
            return t.join(u',');
        };
        write();
        const kav::TextLogEntry e = c.textLog().first();
        QVERIFY(e.height >= c.textHeight(QStringLiteral("Hj")) - 1);
        c.setBrushClear();
        c.rectangle(0, 0, 400, 100);
        QCOMPARE(left(), QStringLiteral("boven,onder"));
        c.setBrush(col::White);
        c.rectangle(10, 25, 400, 100);  // most of "boven", but not its corner
        QCOMPARE(left(), QStringLiteral("onder"));
        write();
        c.rectangle(10, 20 + e.height - 2, 400, 100);  // the bottom of its letters only
        QCOMPARE(left(), QStringLiteral("boven,onder"));
        QImage opaque(300, 60, QImage::Format_RGB32), clear(300, 60, QImage::Format_ARGB32);
        opaque.fill(Qt::blue);
        clear.fill(Qt::transparent);
        c.draw(15, 110, clear);
        QCOMPARE(left(), QStringLiteral("boven,onder"));
        c.draw(15, 110, opaque);
        QCOMPARE(left(), QStringLiteral("boven"));
        c.stretchDraw(0, 0, 400, 60, opaque);
        QVERIFY(c.textLog().isEmpty());
    }

    void farAwayCoordinates()
    {
        constexpr int Min = std::numeric_limits<int>::min(), Max = std::numeric_limits<int>::max();
        Canvas c(50, 50);
        c.setPen(col::Black, 1);
        c.line(-2000000000, 10, 2000000000, 10);
        QCOMPARE(CountColour(c.image(), col::Black), 50);
        c.line(25, 25, 25, Min);
        QCOMPARE(At(c.image(), 25, 0), col::Black);
        QCOMPARE(At(c.image(), 25, 26), col::White);
        c.line(0, 1000000000, 40, 40);  // steep, from far below
        QCOMPARE(At(c.image(), 40, 49), col::Black);
        QCOMPARE(At(c.image(), 40, 40), col::White);
        const int before = CountColour(c.image(), col::Black);
        c.line(-1000000000, -5, 1000000000, -5);  // wholly outside
        QCOMPARE(CountColour(c.image(), col::Black), before);

        Canvas s(30, 30);
        s.setPen(col::Black, 1);
        s.setBrush(col::Red);
        s.ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
        QCOMPARE(CountColour(s.image(), col::Red), 30 * 30);
        s.roundRect(Min, 10, Max, 20, 8, 8);
        QCOMPARE(At(s.image(), 15, 10), col::Black);
        QCOMPARE(At(s.image(), 15, 15), col::Red);
    }
};

QTEST_MAIN(TestDrawCanvas)
#include "tst_draw_canvas.moc"
