// Picture primitives: percent positions, lines, dots and discs, text boxes, arrows and dice.
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "draw/canvas.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "support.h"

using kav::Canvas;
using testsupport::At;
using testsupport::CountColour;

namespace {

bool Is(const QImage& img, int x, int y, const QColor& c)
{
    return img.rect().contains(x, y) && (img.pixel(x, y) | 0xff000000u) == c.rgb();
}

QRect BoxOf(const QImage& img, const QColor& c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Is(img, x, y, c))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The centres of the connected patches of colour c inside area.
QVector<QPointF> Blobs(const QImage& img, const QColor& c, const QRect& area)
{
    QVector<QPointF> centres;
    QVector<char> seen(img.width() * img.height(), 0);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (seen[y * img.width() + x] || !Is(img, x, y, c))
                continue;
            QVector<QPoint> todo{QPoint(x, y)};
            seen[y * img.width() + x] = 1;
            double sx = 0, sy = 0;
            int n = 0;
            while (!todo.isEmpty()) {
                const QPoint p = todo.takeLast();
                sx += p.x();
                sy += p.y();
                ++n;
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint q = p + d;
                    if (area.contains(q) && !seen[q.y() * img.width() + q.x()] && Is(img, q.x(), q.y(), c)) {
                        seen[q.y() * img.width() + q.x()] = 1;
                        todo.append(q);
                    }
                }
            }
            centres.append(QPointF(sx / n, sy / n));
        }
    return centres;
}

// Distinct values among vs, values closer than tolerance counted as one.
int Clusters(QVector<double> vs, double tolerance)
{
    std::sort(vs.begin(), vs.end());
    int n = 0;
    for (int i = 0; i < vs.size(); ++i)
        if (i == 0 || vs[i] - vs[i - 1] > tolerance)
            ++n;
    return n;
}

}  // namespace

using testsupport::Logged;

class TestDrawShapes : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        kav::ResetMeasures();
        kav::SetPictureBitmap(nullptr);
    }
    void cleanup() { kav::SetPictureBitmap(nullptr); }

    void percentPositions()
    {
        QCOMPARE(kav::PercentX(100), kav::PictureWidth);  // no picture yet: the measures
        QCOMPARE(kav::PercentY(100), 26 * kav::LineHeight);
        Canvas pic(403, 390);
        kav::SetPictureBitmap(&pic);
        QCOMPARE(kav::PictureBitmapCanvas(), &pic);
        QCOMPARE(kav::PercentX(100), 403);
        QCOMPARE(kav::PercentY(100), 390);
        QCOMPARE(kav::PercentX(50), 202);  // 201.5: to the even neighbour
        pic.setSize(405, 100);
        QCOMPARE(kav::PercentX(50), 202);  // 202.5
        QCOMPARE(kav::PercentY(25), 25);
    }

    void linesInPercentAndOnTheGrid()
    {
        Canvas pic(403, 390);
        kav::SetPictureBitmap(&pic);
        Canvas c(200, 100);
        kav::DrawLinePercent(&c, kav::col::Red, 10, 50, 90, 50, 1);  // of c, not of the picture
        QCOMPARE(BoxOf(c.image(), kav::col::Red), QRect(QPoint(20, 50), QPoint(179, 50)));
        kav::DrawLinePercent(&c, kav::col::Red, qQNaN(), 0, qInf(), 100, 1);
        kav::DrawLinePercent(nullptr, kav::col::Red, 0, 0, 100, 100, 1);
        QCOMPARE(CountColour(c.image(), kav::col::Red), 160);

        Canvas g(403, 390);
        kav::DrawLineLP(&g, kav::col::Blue, 0, 2, 50, 2, 1);
        QCOMPARE(BoxOf(g.image(), kav::col::Blue), QRect(QPoint(0, 30), QPoint(201, 30)));
        kav::ScreenScale = 2;
        kav::DrawLineLP(&g, kav::col::Green, 10, 4, 10, 6.5, 1.5);
        const QRect thick = BoxOf(g.image(), kav::col::Green);
        QVERIFY(thick.width() >= 3 && thick.width() <= 4);
        QVERIFY(std::abs(thick.center().x() - 40) <= 1 && thick.top() >= 58 && thick.bottom() <= 99);
    }

    void dotsAndDiscs()
    {
        kav::ScreenScale = 1.5;
        Canvas c(200, 150);
        kav::DrawDot(30, 30, u'.', &c, kav::col::Red, 2);  // radius 3
        QCOMPARE(BoxOf(c.image(), kav::col::Red), QRect(QPoint(27, 27), QPoint(32, 32)));
        QVERIFY(c.textLog().isEmpty());

        c.font.size = 12;
        kav::DrawDot(140, 40, u'A', &c, kav::col::Yellow, 2);  // as large as its mark
        const int r = std::max(c.textWidth("A"), c.textHeight("A")) / 2;
        QCOMPARE(BoxOf(c.image(), kav::col::Yellow), QRect(QPoint(140 - r, 40 - r), QPoint(139 + r, 39 + r)));
        const kav::TextLogEntry* mark = Logged(c, QStringLiteral("A"));
        QVERIFY(mark && mark->color == kav::col::Black);
        QVERIFY(std::abs(mark->x + c.textWidth("A") / 2 - 140) <= 1);
        QVERIFY(std::abs(mark->y + c.textHeight("A") / 2 - 40) <= 1);

        // A labelled disc at 50 % and line 7, its label centred on it.
        c.font.size = 10;
        kav::DrawLabelledDisc(QStringLiteral("12"), &c, kav::col::White, 50, 7, kav::col::Navy);
        const QRect disc = BoxOf(c.image(), kav::col::Navy);
        QVERIFY(std::abs(disc.center().x() - 100) <= 1 && std::abs(disc.center().y() - 105) <= 1);
        QCOMPARE(disc.width(), 2 * (std::max(c.textWidth("12"), c.textHeight("12")) / 2));
        const kav::TextLogEntry* label = Logged(c, QStringLiteral("12"));
        QVERIFY(label && label->color == kav::col::White);
        QVERIFY(std::abs(label->x + c.textWidth("12") / 2 - 100) <= 1);

        Canvas e(100, 100);
        kav::DrawLabelledDisc(QString(), &e, kav::col::White, 50, 2, kav::col::Red);  // radius 3
        QCOMPARE(BoxOf(e.image(), kav::col::Red), QRect(QPoint(47, 27), QPoint(52, 32)));
        kav::DrawLabelledDisc(QStringLiteral("x"), nullptr, kav::col::White, 50, 2, kav::col::Red);
        kav::DrawDot(1, 1, u'.', nullptr, kav::col::Red, 2);
    }

    void textBoxCentresItsTexts()
    {
        Canvas c(403, 390);
        kav::DrawTextBox(&c, QStringLiteral("eerste"), QStringLiteral("tweede regel"), QStringLiteral("3"),
                         kav::Rect(100, 50, 300, 150), kav::col::Black, kav::col::Yellow, kav::col::Red, 2, 1, 0);
        QCOMPARE(At(c.image(), 200, 60), kav::col::Yellow);
        QCOMPARE(At(c.image(), 100, 100), kav::col::Red);
        QCOMPARE(c.textLog().size(), 3);
        const kav::TextLogEntry &t1 = c.textLog()[0], &t2 = c.textLog()[1], &t3 = c.textLog()[2];
        QCOMPARE(t1.text, QStringLiteral("eerste"));
        for (const kav::TextLogEntry& t : c.textLog())
            QVERIFY2(std::abs(t.x + c.textWidth(t.text) / 2 - 200) <= 1, qPrintable(t.text));
        QVERIFY(t1.y < t2.y);
        QCOMPARE(t3.y - t2.y, t2.y - t1.y);
        QVERIFY(std::abs((t1.y + t3.y + c.textHeight("x")) / 2 - 100) <= 3);  // the block is centred too

        Canvas c2(403, 390);
        kav::DrawTextBox2(&c2, QStringLiteral("boven"), QStringLiteral("onder"), kav::Rect(50, 200, 250, 260),
                          kav::col::Blue, kav::col::Aqua, kav::col::Navy, 1, 1.5);
        QCOMPARE(c2.textLog().size(), 2);
        const kav::TextLogEntry &u1 = c2.textLog()[0], &u2 = c2.textLog()[1];
        QCOMPARE(u1.size, 15);
        QVERIFY(u1.y < u2.y);
        QVERIFY(std::abs((u1.y + u2.y + c2.textHeight("x")) / 2 - 230) <= 3);
        for (const kav::TextLogEntry& t : c2.textLog())
            QVERIFY(std::abs(t.x + c2.textWidth(t.text) / 2 - 150) <= 1);
    }

    void textBoxTooNarrow()
    {
        const QRect r = kav::Rect(100, 50, 130, 90);
        auto draw = [&](Canvas& c, const QString& t1, const QString& t2, const QString& t3, int mode) {
            kav::DrawTextBox(&c, t1, t2, t3, r, kav::col::Black, kav::col::White, kav::col::Black, 3, 1, mode);
        };
        Canvas c0(403, 390);  // mode 0 centres in the box anyway
        draw(c0, QStringLiteral("vermenigvuldigen"), QStringLiteral("b"), QStringLiteral("c"), 0);
        QVERIFY(std::abs(Logged(c0, "b")->x + c0.textWidth("b") / 2 - 115) <= 1);

        Canvas c1(403, 390);  // mode 1 puts them beside the box
        draw(c1, QStringLiteral("vermenigvuldigen"), QStringLiteral("b"), QStringLiteral("c"), 1);
        QCOMPARE(c1.textLog().size(), 3);
        for (const kav::TextLogEntry& e : c1.textLog())
            QVERIFY2(e.x >= 130, qPrintable(e.text));

        Canvas c2(403, 390);  // mode 2 writes one line under the box
        draw(c2, QStringLiteral("vermenigvuldigen"), QStringLiteral("met"), QStringLiteral("twee"), 2);
        QCOMPARE(c2.textLog().size(), 1);
        const kav::TextLogEntry& line = c2.textLog().first();
        QCOMPARE(line.text, QStringLiteral("vermenigvuldigen met twee"));
        QCOMPARE(line.y, 90 + 3);
        QVERIFY(std::abs(line.x + c2.textWidth(line.text) / 2 - 115) <= 1);

        Canvas c3(403, 390);  // a word hyphenated over the second and third text is whole again
        draw(c3, QStringLiteral("de"), QStringLiteral("vermenig-"), QStringLiteral("vuldiging"), 2);
        QCOMPARE(c3.textLog().first().text, QStringLiteral("de vermenigvuldiging "));

        Canvas c4(403, 390);  // short texts stay in the box
        draw(c4, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), 2);
        QCOMPARE(c4.textLog().size(), 3);
        kav::DrawTextBox(nullptr, "a", "b", "c", r, kav::col::Black, kav::col::White, kav::col::Black, 1, 1, 2);
    }

    void blockArrowsStayInTheirRectangle_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QPoint>("tip");
        QTest::addColumn<QPoint>("tail");   // the far end of the shaft
        QTest::addColumn<QPoint>("corner");  // beside the shaft: empty
        // In the rectangle 40, 30 .. 100, 120 (R = 100 and B = 120 are the far edges).
        QTest::newRow("down") << 0 << QPoint(70, 119) << QPoint(70, 31) << QPoint(41, 31);
        QTest::newRow("up") << 1 << QPoint(70, 30) << QPoint(70, 119) << QPoint(41, 119);
        QTest::newRow("left") << 2 << QPoint(40, 75) << QPoint(99, 75) << QPoint(70, 31);
        QTest::newRow("right") << 3 << QPoint(99, 75) << QPoint(40, 75) << QPoint(70, 31);
    }

    void blockArrowsStayInTheirRectangle()
    {
        QFETCH(int, direction);
        QFETCH(QPoint, tip);
        QFETCH(QPoint, tail);
        QFETCH(QPoint, corner);
        Canvas c(150, 150);
        const QRect r = kav::Rect(40, 30, 100, 120);
        using Arrow = void (*)(const QRect&, Canvas*, const QColor&);
        const Arrow arrows[] = {kav::BlockArrowDown, kav::BlockArrowUp, kav::BlockArrowLeft, kav::BlockArrowRight};
        arrows[direction](r, &c, kav::col::Green);
        const QRect box = BoxOf(c.image(), kav::col::Green);
        QVERIFY(QRect(QPoint(40, 30), QPoint(100, 120)).contains(box));
        QVERIFY(box.width() >= 59 && box.height() >= 89);
        for (const QPoint p : {tip, tail, QPoint(70, 75)})  // the middle: filled, not only outlined
            QVERIFY(Is(c.image(), p.x(), p.y(), kav::col::Green));
        QVERIFY(!Is(c.image(), corner.x(), corner.y(), kav::col::Green));
        arrows[direction](r, nullptr, kav::col::Green);
    }

    void arrowTipLandsAtTheEndPoint_data()
    {
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::newRow("down right") << QPointF(20, 30) << QPointF(150, 120);
        QTest::newRow("up left") << QPointF(170, 150) << QPointF(30.4, 40.6);
        QTest::newRow("steep") << QPointF(100, 180) << QPointF(105, 20);
        QTest::newRow("vertical down") << QPointF(100, 20) << QPointF(100, 170);
        QTest::newRow("vertical up") << QPointF(100, 170) << QPointF(100, 20);
        QTest::newRow("horizontal right") << QPointF(20, 100) << QPointF(180, 100);
        QTest::newRow("horizontal left") << QPointF(180, 100) << QPointF(20, 100);
    }

    void arrowTipLandsAtTheEndPoint()
    {
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        Canvas c(200, 200);
        kav::DrawArrow(&c, kav::col::Red, from.x(), from.y(), to.x(), to.y(), 2);
        // Of all red pixels the one farthest along the arrow lies at the end point.
        const QPointF dir = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
        double best = -1e9;
        QPoint farthest;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) {
                const double along = (x - from.x()) * dir.x() + (y - from.y()) * dir.y();
                if (along > best && Is(c.image(), x, y, kav::col::Red)) {
                    best = along;
                    farthest = QPoint(x, y);
                }
            }
        QVERIFY2(std::hypot(farthest.x() - to.x(), farthest.y() - to.y()) <= 1.5,
                 qPrintable(QStringLiteral("%1,%2").arg(farthest.x()).arg(farthest.y())));
        QVERIFY(Is(c.image(), qRound(from.x()), qRound(from.y()), kav::col::Red));  // the shaft starts at the start
        // The head is much wider than the shaft.
        const QPointF side(-dir.y(), dir.x());
        auto across = [&](QPointF at) {
            int n = 0;
            for (int k = -15; k <= 15; ++k)
                n += Is(c.image(), qRound(at.x() + k * side.x()), qRound(at.y() + k * side.y()), kav::col::Red);
            return n;
        };
        int head = 0;
        for (int k = 2; k <= 40; ++k)
            head = std::max(head, across(to - k * dir));
        const int shaft = across((from + to) / 2);
        QVERIFY2(shaft >= 1 && head >= shaft + 4, qPrintable(QStringLiteral("%1 %2").arg(shaft).arg(head)));
    }

    void arrowOddInput()
    {
        Canvas c(100, 100);
        kav::DrawArrow(&c, kav::col::Red, 50, 50, 50, 50, 2);  // no length, no direction
        kav::DrawArrow(&c, kav::col::Red, qQNaN(), 50, 20, 20, 2);
        kav::DrawArrow(&c, kav::col::Red, 1e300, 50, 20, 20, 2);
        kav::DrawArrow(nullptr, kav::col::Red, 10, 10, 20, 20, 2);
        QCOMPARE(CountColour(c.image(), kav::col::Red), 0);
        kav::DrawArrow(&c, kav::col::Red, 10, 10, 60, 40, 0.1);  // a hair-thin arrow still shows
        QVERIFY(CountColour(c.image(), kav::col::Red) > 0);
    }

    void dieFaces()
    {
        Canvas c(200, 200);
        kav::DrawDie(6, kav::col::Red, &c, 50, 40, 90);
        const QRect inside(58, 48, 74, 74);  // clear of the outline
        const QVector<QPointF> pips = Blobs(c.image(), kav::col::Black, inside);
        QCOMPARE(pips.size(), 6);
        QVector<double> xs, ys;
        for (const QPointF& p : pips) {
            xs.append(p.x());
            ys.append(p.y());
        }
        QCOMPARE(Clusters(xs, 2), 2);  // two columns ...
        QCOMPARE(Clusters(ys, 2), 3);  // ... of three
        QVERIFY(std::abs(*std::min_element(xs.begin(), xs.end()) - 70) <= 1.5);  // 2/9 of the side in
        QVERIFY(std::abs(*std::max_element(xs.begin(), xs.end()) - 120) <= 1.5);
        QCOMPARE(At(c.image(), 95, 85), kav::col::Red);  // no middle pip
        QCOMPARE(At(c.image(), 51, 40), kav::col::White);  // a rounded corner
        QCOMPARE(At(c.image(), 95, 40), kav::col::Black);
        QCOMPARE(At(c.image(), 150, 150), kav::col::White);

        Canvas one(200, 200);
        kav::DrawDie(1, kav::col::Yellow, &one, 50, 40, 90);
        const QVector<QPointF> single = Blobs(one.image(), kav::col::Black, inside);
        QCOMPARE(single.size(), 1);
        QVERIFY(std::abs(single[0].x() - 95) <= 1 && std::abs(single[0].y() - 85) <= 1);
        QCOMPARE(BoxOf(one.image().copy(inside), kav::col::Black).width(), 18);  // radius: a tenth of the side
    }

    void diePipCounts_data()
    {
        QTest::addColumn<int>("pips");
        QTest::addColumn<int>("shown");
        for (int n = 2; n <= 5; ++n)
            QTest::addRow("%d", n) << n << n;
        QTest::newRow("0 counts as 1") << 0 << 1;
        QTest::newRow("-3 counts as 1") << -3 << 1;
        QTest::newRow("9 counts as 6") << 9 << 6;
    }

    void diePipCounts()
    {
        QFETCH(int, pips);
        QFETCH(int, shown);
        Canvas c(120, 120);
        kav::DrawDie(pips, kav::col::Lime, &c, 10.4, 9.6, 99.7);  // at 10, 10, side 100
        QCOMPARE(Blobs(c.image(), kav::col::Black, QRect(20, 20, 80, 80)).size(), shown);
        QCOMPARE(At(c.image(), 60, 30), kav::col::Lime);
    }

    void dieOddInput()
    {
        Canvas c(100, 100);
        kav::DrawDie(3, kav::col::Red, &c, 10, 10, 0);
        kav::DrawDie(3, kav::col::Red, &c, 10, 10, -40);
        kav::DrawDie(3, kav::col::Red, &c, qQNaN(), 10, 40);
        kav::DrawDie(3, kav::col::Red, nullptr, 10, 10, 40);
        QCOMPARE(CountColour(c.image(), kav::col::White), 100 * 100);
        // Its centre off the bitmap: the visible part of the face is coloured all the same.
        kav::DrawDie(5, kav::col::Red, &c, 60, 60, 80);
        QCOMPARE(At(c.image(), 65, 95), kav::col::Red);
        QCOMPARE(At(c.image(), 55, 99), kav::col::White);
    }
};

QTEST_MAIN(TestDrawShapes)
#include "tst_draw_shapes.moc"
