// The drawing model of the off-screen canvas: edges, line ends, flood fill and text placement.
#include <QtTest>
#include <limits>

#include "draw/canvas.h"
#include "support.h"

using kav::Canvas;
using kav::FillMode;
using testsupport::At;
using testsupport::CountColour;

namespace {

// The smallest rectangle holding every pixel that is not white.
QRect InkedBox(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) | 0xff000000u) != 0xffffffffu)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The smallest rectangle holding every pixel darker than mid-grey (the body of a text).
QRect DarkBox(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class TestDrawCanvas : public QObject {
    Q_OBJECT

private slots:
    void init() { kav::ResetMeasures(); }

    void rectangleCoversLeftTopButNotRightBottom()
    {
        Canvas c(40, 40);
        c.setPen(kav::col::Black, 1);
        c.setBrush(kav::col::Red);
        c.rectangle(5, 6, 15, 20);
        QCOMPARE(InkedBox(c.image()), QRect(QPoint(5, 6), QPoint(14, 19)));
        QCOMPARE(At(c.image(), 5, 6), kav::col::Black);
        QCOMPARE(At(c.image(), 14, 19), kav::col::Black);
        QCOMPARE(At(c.image(), 15, 10), kav::col::White);
        QCOMPARE(At(c.image(), 10, 20), kav::col::White);
        QCOMPARE(At(c.image(), 10, 12), kav::col::Red);
        // Outline of 10 x 14 pixels, the rest brush.
        QCOMPARE(CountColour(c.image(), kav::col::Red), 8 * 12);
    }

    void rectangleWithClearBrushKeepsInside()
    {
        Canvas c(30, 30);
        c.setBrush(kav::col::Blue);
        c.fillRect(0, 0, 30, 30);
        c.setPen(kav::col::Black, 1);
        c.setBrushClear();
        c.rectangle(5, 5, 20, 20);
        QCOMPARE(At(c.image(), 12, 12), kav::col::Blue);
        QCOMPARE(At(c.image(), 5, 12), kav::col::Black);
        QCOMPARE(At(c.image(), 19, 12), kav::col::Black);
        QCOMPARE(At(c.image(), 20, 12), kav::col::Blue);
    }

    void ellipseStaysInsideItsCorners_data()
    {
        QTest::addColumn<QRect>("corners");  // x1, y1 and x2, y2 stored as left/top and right/bottom
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
        c.setPen(kav::col::Black, 1);
        c.setBrush(kav::col::Red);
        c.ellipse(corners.left(), corners.top(), corners.right(), corners.bottom());
        QCOMPARE(InkedBox(c.image()),
                 QRect(QPoint(corners.left(), corners.top()), QPoint(corners.right() - 1, corners.bottom() - 1)));
        // Shapes two pixels thin are all outline.
        const bool hasInside = corners.width() > 3 && corners.height() > 3;
        QCOMPARE(At(c.image(), corners.center().x(), corners.center().y()),
                 hasInside ? kav::col::Red : kav::col::Black);
        // Swapped corners describe the same ellipse.
        Canvas d(40, 30);
        d.setPen(kav::col::Black, 1);
        d.setBrush(kav::col::Red);
        d.ellipse(corners.right(), corners.bottom(), corners.left(), corners.top());
        QCOMPARE(d.image(), c.image());
    }

    void roundRectIsClosedAndInsideItsCorners()
    {
        Canvas c(60, 40);
        c.setPen(kav::col::Black, 1);
        c.setBrush(kav::col::Yellow);
        c.roundRect(5, 5, 55, 35, 16, 12);
        QCOMPARE(InkedBox(c.image()), QRect(QPoint(5, 5), QPoint(54, 34)));
        QCOMPARE(At(c.image(), 5, 5), kav::col::White);  // the corners are rounded off
        QCOMPARE(At(c.image(), 30, 5), kav::col::Black);
        QCOMPARE(At(c.image(), 30, 20), kav::col::Yellow);
        // Filling the outside up to the outline leaves the inside yellow.
        c.setBrush(kav::col::Blue);
        c.floodFill(0, 0, kav::col::Black, FillMode::Border);
        QCOMPARE(At(c.image(), 30, 20), kav::col::Yellow);
        QCOMPARE(At(c.image(), 5, 5), kav::col::Blue);
    }

    void shapesFarLargerThanTheImage()
    {
        Canvas c(30, 30);
        c.setPen(kav::col::Black, 1);
        c.setBrush(kav::col::Red);
        c.ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
        QCOMPARE(CountColour(c.image(), kav::col::Red), 30 * 30);
        c.roundRect(std::numeric_limits<int>::min(), 10, std::numeric_limits<int>::max(), 20, 8, 8);
        QCOMPARE(At(c.image(), 15, 10), kav::col::Black);
        QCOMPARE(At(c.image(), 15, 15), kav::col::Red);
        c.ellipse(5, 5, 5, 25);  // no width: nothing
        QCOMPARE(At(c.image(), 5, 15), kav::col::Red);
    }

    void linesLeaveOutTheirEndPoint()
    {
        Canvas c(30, 30);
        c.setPen(kav::col::Black, 1);
        c.line(2, 3, 12, 3);
        QCOMPARE(At(c.image(), 2, 3), kav::col::Black);
        QCOMPARE(At(c.image(), 11, 3), kav::col::Black);
        QCOMPARE(At(c.image(), 12, 3), kav::col::White);
        QCOMPARE(CountColour(c.image(), kav::col::Black), 10);

        c.line(20, 25, 20, 15);  // upwards
        QCOMPARE(At(c.image(), 20, 25), kav::col::Black);
        QCOMPARE(At(c.image(), 20, 16), kav::col::Black);
        QCOMPARE(At(c.image(), 20, 15), kav::col::White);

        c.line(0, 10, 8, 18);  // diagonal
        for (int i = 0; i < 8; ++i)
            QCOMPARE(At(c.image(), i, 10 + i), kav::col::Black);
        QCOMPARE(At(c.image(), 8, 18), kav::col::White);
        QCOMPARE(c.penPos(), QPoint(8, 18));

        const int before = CountColour(c.image(), kav::col::Black);
        c.line(5, 5, 5, 5);  // a line without length draws nothing
        QCOMPARE(CountColour(c.image(), kav::col::Black), before);
    }

    void polylineBackToItsStartIsClosed()
    {
        Canvas c(30, 30);
        c.setPen(kav::col::Black, 1);
        c.polyline({QPoint(5, 5), QPoint(20, 5), QPoint(20, 20), QPoint(5, 20), QPoint(5, 5)});
        QCOMPARE(CountColour(c.image(), kav::col::Black), 4 * 15);
        c.setBrush(kav::col::Red);
        c.floodFill(12, 12, kav::col::Black, FillMode::Border);
        QCOMPARE(CountColour(c.image(), kav::col::Red), 14 * 14);
        QCOMPARE(At(c.image(), 2, 2), kav::col::White);
    }

    void widePenDrawsAThickLine()
    {
        Canvas c(40, 40);
        c.setPen(kav::col::Blue, 5);
        c.line(5, 20, 35, 20);
        int rows = 0;
        for (int y = 10; y < 30; ++y)
            rows += At(c.image(), 20, y) == kav::col::Blue;
        QVERIFY2(rows >= 4 && rows <= 6, qPrintable(QString::number(rows)));
        QCOMPARE(c.penPos(), QPoint(35, 20));
    }

    void floodFillBorderModeStopsAtTheBorder()
    {
        Canvas c(40, 40);
        c.setPen(kav::col::Black, 1);
        c.setBrush(kav::col::Yellow);
        c.rectangle(10, 10, 30, 30);  // yellow inside, black outline
        c.setBrush(kav::col::Blue);
        c.floodFill(20, 20, kav::col::Black, FillMode::Border);
        QCOMPARE(CountColour(c.image(), kav::col::Blue), 18 * 18);
        QCOMPARE(CountColour(c.image(), kav::col::Yellow), 0);
        QCOMPARE(At(c.image(), 5, 5), kav::col::White);

        // From outside the border the whole rest of the image is filled, the inside is spared.
        c.setBrush(kav::col::Green);
        c.floodFill(0, 0, kav::col::Black, FillMode::Border);
        QCOMPARE(CountColour(c.image(), kav::col::Green), 40 * 40 - 20 * 20);
        QCOMPARE(CountColour(c.image(), kav::col::Blue), 18 * 18);

        // Starting on the border itself fills nothing.
        c.setBrush(kav::col::Red);
        c.floodFill(10, 15, kav::col::Black, FillMode::Border);
        QCOMPARE(CountColour(c.image(), kav::col::Red), 0);
    }

    void floodFillSurfaceModeFillsOneColouredArea()
    {
        Canvas c(40, 20);
        c.setBrush(kav::col::Red);
        c.fillRect(0, 0, 10, 20);
        c.fillRect(30, 0, 40, 20);
        c.setPen(kav::col::Black, 1);
        c.line(20, 0, 20, 20);  // splits the white middle in two
        c.setBrush(kav::col::Lime);
        c.floodFill(15, 10, kav::col::White, FillMode::Surface);
        QCOMPARE(CountColour(c.image(), kav::col::Lime), 10 * 20);
        QCOMPARE(At(c.image(), 25, 10), kav::col::White);
        QCOMPARE(At(c.image(), 5, 10), kav::col::Red);

        // A start pixel of another colour, or a fill colour equal to the surface, changes nothing.
        const QImage before = c.image().copy();
        c.floodFill(5, 10, kav::col::White, FillMode::Surface);
        c.setBrush(kav::col::White);
        c.floodFill(25, 10, kav::col::White, FillMode::Surface);
        c.floodFill(-1, 5, kav::col::White, FillMode::Surface);
        c.floodFill(40, 5, kav::col::White, FillMode::Surface);
        QCOMPARE(c.image(), before);
    }

    void floodFillDoesNotLeakThroughDiagonalOutline()
    {
        // An outlined circle has diagonal steps; the fill must stay inside.
        Canvas c(60, 60);
        c.setPen(kav::col::Black, 1);
        c.setBrushClear();
        c.ellipse(10, 10, 50, 50);
        c.setBrush(kav::col::Red);
        c.floodFill(30, 30, kav::col::White, FillMode::Surface);
        QCOMPARE(At(c.image(), 0, 0), kav::col::White);
        QCOMPARE(At(c.image(), 59, 59), kav::col::White);
        QCOMPARE(At(c.image(), 12, 12), kav::col::White);  // outside the curve, inside the corners
        QVERIFY(CountColour(c.image(), kav::col::Red) > 1000);
    }

    void textIsPlacedByItsTopLeftCorner()
    {
        Canvas c(120, 60);
        c.font.size = 20;
        c.font.color = kav::col::Black;
        c.textOut(30, 15, QStringLiteral("H"));
        const QRect ink = DarkBox(c.image());
        QVERIFY(!ink.isEmpty());
        // Liberation Sans: the cap height leaves some room under the top of the line.
        QVERIFY2(ink.top() >= 15 && ink.top() <= 15 + c.textHeight("H") / 4, qPrintable(QString::number(ink.top())));
        QVERIFY2(ink.left() >= 30 && ink.left() <= 33, qPrintable(QString::number(ink.left())));
        QVERIFY(ink.bottom() < 15 + c.textHeight("H"));
        QVERIFY(ink.right() < 30 + c.textWidth("H"));
    }

    void textMeasures()
    {
        Canvas c(10, 10);
        c.font.size = 10;
        QCOMPARE(c.textWidth(QString()), 0);
        QVERIFY(c.textWidth("WWWW") > c.textWidth("WW"));
        QVERIFY(c.textWidth("WW") > c.textWidth("ii"));
        const int small = c.textHeight("x");
        QCOMPARE(c.textHeight("Mg"), small);  // the height of the font, not of the letters
        c.font.size = 20;
        QVERIFY(c.textHeight("x") > small);
        c.font.bold = true;
        QVERIFY(c.textWidth("mmmm") > 0);
        QCOMPARE(kav::PointsToPixels(12), 16);
        QCOMPARE(kav::PointsToPixels(10), 13);
    }

    void textLogRecordsWrittenTexts()
    {
        Canvas c(200, 100);
        c.font.size = 12;
        c.font.color = kav::col::Red;
        c.font.bold = true;
        c.textOut(10, 20, QStringLiteral("drie"));
        c.font.bold = false;
        c.font.color = kav::col::Blue;
        c.textOut(100, 60, QStringLiteral("vier"));
        QCOMPARE(c.textLog().size(), 2);
        const kav::TextLogEntry& e = c.textLog().first();
        QCOMPARE(e.text, QStringLiteral("drie"));
        QCOMPARE(e.x, 10);
        QCOMPARE(e.y, 20);
        QCOMPARE(e.color, kav::col::Red);
        QCOMPARE(e.size, 12);
        QVERIFY(e.bold);
        QVERIFY(!c.textLog().last().bold);

        // Covering a text's corner removes it from the log; the other stays.
        c.setBrush(kav::col::White);
        c.fillRect(0, 0, 50, 50);
        QCOMPARE(c.textLog().size(), 1);
        QCOMPARE(c.textLog().first().text, QStringLiteral("vier"));
        c.setSize(200, 100);
        QVERIFY(c.textLog().isEmpty());
    }

    void pixelsOutsideAreIgnored()
    {
        Canvas c(10, 10);
        QVERIFY(!c.pixel(-1, 0).isValid());
        QVERIFY(!c.pixel(10, 3).isValid());
        c.setPixel(10, 10, kav::col::Red);
        c.setPixel(-5, 2, kav::col::Red);
        QCOMPARE(CountColour(c.image(), kav::col::Red), 0);
        c.setPixel(9, 9, kav::col::Red);
        QCOMPARE(c.pixel(9, 9), kav::col::Red);
        Canvas empty(0, -4);  // never a bitmap without pixels
        QCOMPARE(empty.width(), 1);
        QCOMPARE(empty.height(), 1);
    }

    void farAwayLinesOnlyDrawTheirVisiblePart()
    {
        Canvas c(50, 50);
        c.setPen(kav::col::Black, 1);
        c.line(-2000000000, 10, 2000000000, 10);
        QCOMPARE(CountColour(c.image(), kav::col::Black), 50);
        c.line(25, 25, 25, std::numeric_limits<int>::min());
        QCOMPARE(At(c.image(), 25, 0), kav::col::Black);
        QCOMPARE(At(c.image(), 25, 25), kav::col::Black);
        QCOMPARE(At(c.image(), 25, 26), kav::col::White);
        // Steep: from far below to a point inside; the part near the end follows the line.
        c.line(0, 1000000000, 40, 40);
        QCOMPARE(At(c.image(), 40, 49), kav::col::Black);
        QCOMPARE(At(c.image(), 40, 40), kav::col::White);
        // Wholly outside: nothing.
        const int before = CountColour(c.image(), kav::col::Black);
        c.line(-1000000000, -5, 1000000000, -5);
        QCOMPARE(CountColour(c.image(), kav::col::Black), before);
    }
};

QTEST_MAIN(TestDrawCanvas)
#include "tst_draw_canvas.moc"
