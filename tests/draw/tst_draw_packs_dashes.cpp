// The pack box and the dashed line: faces, corners and pens of the box at two sizes; dash
// lengths, gaps, direction and the end of a dashed line, also when it is drawn backwards,
// upright or sloping, and that degenerate lines and tiny dashes neither hang nor spill.
#include <QtTest>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "support.h"

using kav::Canvas;
namespace col = kav::col;

namespace {

QRgb Px(const QImage& img, int x, int y)
{
    return img.pixel(x, y) | 0xff000000u;
}

// The runs of colour C along row Y (or column X when Upright): their first and last pixel.
QVector<QPair<int, int>> Runs(const QImage& img, int at, bool upright, const QColor& c)
{
    QVector<QPair<int, int>> runs;
    const int n = upright ? img.height() : img.width();
    for (int k = 0; k < n; ++k) {
        const bool on = Px(img, upright ? at : k, upright ? k : at) == c.rgb();
        if (on && (runs.isEmpty() || runs.last().second != k - 1))
            runs.append({k, k});
        else if (on)
            runs.last().second = k;
    }
    return runs;
}

}  // namespace

class TestDrawPacksDashes : public QObject {
    Q_OBJECT

    Canvas canvas{400, 300};

    void Clear()
    {
        canvas.setBrush(col::White);
        canvas.fillRect(0, 0, canvas.width(), canvas.height());
    }

private slots:
    void init()
    {
        kav::ResetMeasures();
        kav::SetPictureBitmap(&canvas);  // percent of this canvas
        Clear();
    }

    void packBox_data()
    {
        QTest::addColumn<double>("size");
        QTest::newRow("full") << 1.0;
        QTest::newRow("half") << 0.5;
    }

    // Front face 30 % wide and 20 % high from the lower left corner, top and right faces going
    // 10 % back; three faces in the brush colour, parted by the pen.
    void packBox()
    {
        QFETCH(double, size);
        kav::DrawPackBox(col::Red, col::Yellow, 40, 280, size, &canvas);
        const QImage img = canvas.image();
        const int a10 = kav::Round(size * 40), a20 = kav::Round(size * 80), a30 = kav::Round(size * 120),
                  a40 = kav::Round(size * 160);
        // Inside each face: the front, the top (between its slanted sides) and the right face.
        QCOMPARE(Px(img, 40 + a30 / 2, 280 - a20 / 2), col::Yellow.rgb());
        QCOMPARE(Px(img, 40 + a20, 280 - a20 - a10 / 2), col::Yellow.rgb());
        QCOMPARE(Px(img, 40 + a30 + a10 / 2, 280 - a20), col::Yellow.rgb());
        // Its edges in the pen: the front's left side and bottom, the back corner, the ridge.
        QCOMPARE(Px(img, 40, 280 - a10), col::Red.rgb());
        QCOMPARE(Px(img, 40 + a10, 279), col::Red.rgb());
        QCOMPARE(Px(img, 40 + a40, 280 - a20), col::Red.rgb());
        QCOMPARE(Px(img, 40 + a30, 280 - a10), col::Red.rgb());
        // Nothing beyond its outline: right of the back edge, above the top, left of the front,
        // below the bottom, and in the two corners the box leaves open.
        QRect drawn;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (Px(img, x, y) != col::White.rgb())
                    drawn |= QRect(x, y, 1, 1);
        // (the right face's lower corner is a vertex of its outline, on the front's bottom line)
        QCOMPARE(drawn, QRect(QPoint(40, 280 - a30), QPoint(40 + a40, 280)));
        QCOMPARE(Px(img, 42, 280 - a30 + 2), col::White.rgb());
        QCOMPARE(Px(img, 40 + a40 - 2, 277), col::White.rgb());
        // Three separate faces.
        int faces = 0;
        QVector<char> seen(img.width() * img.height(), 0);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                if (seen[y * img.width() + x] || Px(img, x, y) != col::Yellow.rgb())
                    continue;
                ++faces;
                QVector<QPoint> todo{QPoint(x, y)};
                seen[y * img.width() + x] = 1;
                while (!todo.isEmpty()) {
                    const QPoint p = todo.takeLast();
                    for (QPoint q : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)})
                        if (img.rect().contains(q) && !seen[q.y() * img.width() + q.x()] &&
                            Px(img, q.x(), q.y()) == col::Yellow.rgb())
                            seen[q.y() * img.width() + q.x()] = 1, todo.append(q);
                }
            }
        QCOMPARE(faces, 3);
    }

    // Dashes of 2 x width x ScreenScale pixels every 2.5 dash lengths from the leftmost point;
    // the same line drawn backwards gives the same pixels. A wider pen makes wider dashes,
    // with the gaps still between them.
    void horizontalDashes()
    {
        kav::DrawDashedLinePercent(&canvas, col::Blue, 10, 50, 90, 50, 1);  // x 40 .. 360, dashes of 2 every 5
        const QImage forward = canvas.image();
        const QVector<QPair<int, int>> runs = Runs(forward, 150, false, col::Blue);
        QCOMPARE(runs.size(), 64);
        for (int k = 0; k < runs.size(); ++k)
            QVERIFY(runs[k].first == 40 + 5 * k && runs[k].second == 41 + 5 * k);
        QVERIFY(Runs(forward, 149, false, col::Blue).isEmpty() && Runs(forward, 151, false, col::Blue).isEmpty());
        Clear();
        kav::DrawDashedLinePercent(&canvas, col::Blue, 90, 50, 10, 50, 1);
        QVERIFY(canvas.image() == forward);

        Clear();
        kav::ScreenScale = 2;  // dashes of 4 every 10, the pen 2 wide
        kav::DrawDashedLinePercent(&canvas, col::Blue, 10, 50, 90, 50, 1);
        const QVector<QPair<int, int>> wide = Runs(canvas.image(), 150, false, col::Blue);
        QCOMPARE(wide.size(), 32);
        for (int k = 0; k < wide.size(); ++k)
            QVERIFY(qAbs(wide[k].first - (40 + 10 * k)) <= 1 && wide[k].second - wide[k].first <= 6);
        QCOMPARE(Runs(canvas.image(), 149, false, col::Blue).size(), 32);
    }

    // An upright line is measured along y, from its first point towards the second; the last
    // dash stops at the second point.
    void uprightDashes()
    {
        kav::DrawDashedLinePercent(&canvas, col::Black, 50, 90, 50, 10, 1.2);  // y 270 up to 30, dashes 2.4
        const QVector<QPair<int, int>> runs = Runs(canvas.image(), 200, true, col::Black);
        QCOMPARE(runs.size(), 40);  // 240 pixels, a dash every 6, from the bottom up
        QVERIFY(runs.last().first == 269 && runs.last().second == 270);
        QVERIFY(runs.first().first >= 30 && runs.first().first <= 36);
        for (const auto& r : runs)
            QVERIFY(r.second - r.first <= 2);
        // A dash that would reach past the end is cut there: 6 pixels, dashes of 2 every 5.
        Clear();
        kav::ScreenScale = 0.5;
        kav::DrawDashedLinePercent(&canvas, col::Black, 10, 20, 10, 22, 2);  // y 60 to 66
        const auto cut = Runs(canvas.image(), 40, true, col::Black);
        QCOMPARE(cut, (QVector<QPair<int, int>>{{60, 61}, {65, 65}}));
    }

    // A sloping line: each dash follows the slope, dashes measured along x.
    void slopingDashes()
    {
        kav::DrawDashedLinePercent(&canvas, col::Red, 10, 10, 60, 60, 1);  // (40, 30) to (240, 180), dash 2 along x
        const QImage img = canvas.image();
        int red = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (Px(img, x, y) == col::Red.rgb()) {
                    ++red;
                    QVERIFY(qAbs((y - 30) - 0.75 * (x - 40)) <= 2.5);  // on the line
                    QVERIFY((x - 40) % 5 <= 2);                         // in a dash, not in a gap
                }
        QVERIFY(red >= 40 * 2);
        QCOMPARE(Px(img, 40, 30), col::Red.rgb());
        QCOMPARE(Px(img, 43, 32), col::White.rgb());
    }

    // Nothing to draw, and never a hang: a line of no length, dashes of no length, a pen of
    // no width, numbers that are no numbers; tiny dashes stop after 10000 of them.
    void degenerate()
    {
        kav::DrawDashedLinePercent(&canvas, col::Black, 20, 20, 20, 20, 1);
        kav::DrawDashedLinePercent(&canvas, col::Black, 10, 10, 90, 10, 0);
        kav::DrawDashedLinePercent(&canvas, col::Black, 10, 10, 90, 10, -1);
        kav::DrawDashedLinePercent(&canvas, col::Black, qQNaN(), 10, 90, 10, 1);
        kav::DrawDashedLinePercent(nullptr, col::Black, 10, 10, 90, 10, 1);
        kav::DrawPackBox(col::Black, col::Black, 10, 10, qInf(), &canvas);
        kav::DrawPackBox(col::Black, col::Black, 10, 10, 1, nullptr);
        QCOMPARE(testsupport::CountColour(canvas.image(), col::Black), 0);
        // Dashes of 0.0128 pixels every 0.032: 10000 of them reach 320 of the 400 pixels.
        kav::DrawDashedLinePercent(&canvas, col::Black, 0, 50, 100, 50, 0.0064);
        const auto runs = Runs(canvas.image(), 150, false, col::Black);
        QVERIFY(!runs.isEmpty() && runs.first().first == 0);
        QVERIFY(runs.last().second >= 318 && runs.last().second <= 321);
    }
};

QTEST_MAIN(TestDrawPacksDashes)
#include "tst_draw_packs_dashes.moc"
