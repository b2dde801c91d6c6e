// The pack box and the dashed line: the box's faces, corners and pen at two sizes; dash
// lengths, gaps, direction and end of a dashed line drawn forwards, backwards, upright and
// sloping; degenerate lines and tiny dashes neither hang nor spill.
#include <QtTest>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "support.h"

using kav::Canvas;
namespace col = kav::col;

namespace {

QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xff000000u; }

// The runs of colour C along row At (or column At when Upright): first and last pixel.
QVector<QPair<int, int>> Runs(const QImage& img, int at, bool upright, const QColor& c)
{
    QVector<QPair<int, int>> runs;
    for (int k = 0; k < (upright ? img.height() : img.width()); ++k)
        if (Px(img, upright ? at : k, upright ? k : at) != c.rgb())
            continue;
        else if (!runs.isEmpty() && runs.last().second == k - 1)
            runs.last().second = k;
        else
            runs.append({k, k});
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

    // Front face 30 % of the width wide and 20 % high from the lower left corner, top and right
    // faces 10 % deep; the faces filled, parted by the pen, nothing beyond the outline.
    void packBox()
    {
        for (double size : {1.0, 0.5}) {
            Clear();
            kav::DrawPackBox(col::Red, col::Yellow, 40, 280, size, &canvas);
            const QImage img = canvas.image();
            const int a10 = kav::Round(size * 40), a20 = kav::Round(size * 80), a30 = kav::Round(size * 120), a40 = 2 * a20;
            for (QPoint inside : {QPoint(40 + a30 / 2, 280 - a20 / 2), QPoint(40 + a20, 280 - a20 - a10 / 2), QPoint(40 + a30 + a10 / 2, 280 - a20)})
                QCOMPARE(Px(img, inside.x(), inside.y()), col::Yellow.rgb());
            for (QPoint edge : {QPoint(40, 280 - a10), QPoint(40 + a10, 279), QPoint(40 + a40, 280 - a20), QPoint(40 + a30, 280 - a10)})
                QCOMPARE(Px(img, edge.x(), edge.y()), col::Red.rgb());
            QCOMPARE(Px(img, 42, 280 - a30 + 2), col::White.rgb());  // the open corners
            QCOMPARE(Px(img, 40 + a40 - 2, 277), col::White.rgb());
            QRect drawn;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (Px(img, x, y) != col::White.rgb())
                        drawn |= QRect(x, y, 1, 1);
            // (the right face's lower corner is a vertex of its outline, on the front's bottom line)
            QCOMPARE(drawn, QRect(QPoint(40, 280 - a30), QPoint(40 + a40, 280)));
        }
    }

    void dashes()
    {
        // Dashes of 2 x width x ScreenScale every 2.5 dash lengths from the leftmost point; the
        // same line backwards gives the same pixels.
        kav::DrawDashedLinePercent(&canvas, col::Blue, 10, 50, 90, 50, 1);  // x 40 .. 360: 2 pixels every 5
        const QImage forward = canvas.image();
        const auto runs = Runs(forward, 150, false, col::Blue);
        QCOMPARE(runs.size(), 64);
        for (int k = 0; k < runs.size(); ++k)
            QVERIFY(runs[k].first == 40 + 5 * k && runs[k].second == 41 + 5 * k);
        QVERIFY(Runs(forward, 149, false, col::Blue).isEmpty());
        Clear();
        kav::DrawDashedLinePercent(&canvas, col::Blue, 90, 50, 10, 50, 1);
        QVERIFY(canvas.image() == forward);
        // A wider pen: wider dashes, the gaps still between them.
        Clear();
        kav::ScreenScale = 2;  // 4 pixels every 10, the pen 2 wide
        kav::DrawDashedLinePercent(&canvas, col::Blue, 10, 50, 90, 50, 1);
        const auto wide = Runs(canvas.image(), 150, false, col::Blue);
        QVERIFY(wide.size() == 32 && Runs(canvas.image(), 149, false, col::Blue).size() == 32);
        for (int k = 0; k < wide.size(); ++k)
            QVERIFY(qAbs(wide[k].first - (40 + 10 * k)) <= 1 && wide[k].second - wide[k].first <= 6);
        // Upright: measured along y from the first point (the bottom here) towards the second.
        Clear();
        kav::ScreenScale = 1;
        kav::DrawDashedLinePercent(&canvas, col::Black, 50, 90, 50, 10, 1.2);  // y 270 up to 30, 2.4 every 6
        const auto up = Runs(canvas.image(), 200, true, col::Black);
        QVERIFY(up.size() == 40 && up.last() == qMakePair(269, 270) && up.first().first >= 30 && up.first().first <= 36);
        // The last dash is cut at the second point: 6 pixels, 2 every 5.
        Clear();
        kav::ScreenScale = 0.5;
        kav::DrawDashedLinePercent(&canvas, col::Black, 10, 20, 10, 22, 2);
        QCOMPARE(Runs(canvas.image(), 40, true, col::Black), (QVector<QPair<int, int>>{{60, 61}, {65, 65}}));
        // Sloping: each dash on the line, dashes measured along x.
        Clear();
        kav::ScreenScale = 1;
        kav::DrawDashedLinePercent(&canvas, col::Red, 10, 10, 60, 60, 1);  // (40, 30) to (240, 180)
        int red = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                if (Px(canvas.image(), x, y) == col::Red.rgb()) {
                    ++red;
                    QVERIFY(qAbs((y - 30) - 0.75 * (x - 40)) <= 2.5 && (x - 40) % 5 <= 2);
                }
        QVERIFY(red >= 80 && Px(canvas.image(), 40, 30) == col::Red.rgb());
    }

    // Nothing drawn, and no hang: no length, no dash length, no numbers, no target; tiny dashes
    // stop after 10000 of them.
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
        kav::DrawDashedLinePercent(&canvas, col::Black, 0, 50, 100, 50, 0.0064);  // 0.0128 every 0.032
        const auto runs = Runs(canvas.image(), 150, false, col::Black);
        QVERIFY(!runs.isEmpty() && runs.first().first == 0 && runs.last().second >= 318 && runs.last().second <= 321);
    }
};

QTEST_MAIN(TestDrawPacksDashes)
#include "tst_draw_packs_dashes.moc"
