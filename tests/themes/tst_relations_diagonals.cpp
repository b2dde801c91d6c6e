// Diagonals (theme 6): thousands of seeded items per level for the polygon, the red diagonal
// and the cycle of types with its corrections; every answer against the diagonals enumerated
// pair by pair and measured on the circle, on a sample also counted in the picture; the
// explanation of every polygon, diagonal and type.
#include <cmath>
#include <numbers>

#include "themes/relations_support.h"
#include "draw/shapes.h"
#include "session/random.h"
#include "themes/relations/relations.h"

using namespace relsupport;

namespace {

QPointF OnCircle(int i, int n) { return {std::cos(2 * std::numbers::pi * i / n), std::sin(2 * std::numbers::pi * i / n)}; }

double Side(QPointF o, QPointF a, QPointF b) { return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x()); }

QVector<QPoint> Diagonals(int n)  // the corner pairs i < j that are no side
{
    QVector<QPoint> all;
    for (int i = 0; i < n; ++i)
        for (int j = i + 2; j < n - (i == 0); ++j)
            all.append({i, j});
    return all;
}

// The answer to type T about the diagonal from corner 0 to corner K, counted.
int Count(int t, int n, int k)
{
    const QPointF a = OnCircle(0, n), b = OnCircle(k, n);
    const double red = std::hypot(a.x() - b.x(), a.y() - b.y()), e = 1e-9;
    int count = 0;
    for (QPoint d : Diagonals(n)) {
        const QPointF c = OnCircle(d.x(), n), f = OnCircle(d.y(), n);
        const double len = std::hypot(c.x() - f.x(), c.y() - f.y());
        const bool crossing = Side(a, b, c) * Side(a, b, f) < -e && Side(c, f, a) * Side(c, f, b) < -e;
        const bool counted[] = {false, std::fabs(len - red) < e, len < red - e, len > red + e, crossing, true,
                                d.x() > 1, d.x() > 2};  // 6, 7: not from the corners 0 .. t - 5
        count += counted[qBound(0, t, 7)];
    }
    return count;
}

QPointF CornerPixel(int i, int n)
{
    const double r = qMin(kav::PercentX(43), kav::PercentY(43));
    return QPointF(kav::PercentX(50) + r * OnCircle(i, n).x(), kav::PercentY(53) - r * OnCircle(i, n).y()).toPoint();
}

const char* const kAsked[] = {"", "zijn er met deze lengte", "zijn korter", "zijn langer", "snijden deze diagonaal",
                              "zijn er totaal mogelijk", "zijn er niet getekend", "zijn er niet getekend"};

}  // namespace

class TestRelationsDiagonals : public QObject {
    Q_OBJECT
    ThemeBench bench;

    int DrawnInPicture(int n) const  // the diagonals red along their whole middle
    {
        int drawn = 0;
        for (QPoint d : Diagonals(n)) {
            bool red = true;
            for (int step = 3; step <= 17 && red; ++step)
                red = Near(bench.picture.image(), CornerPixel(d.x(), n) + step / 20.0 * (CornerPixel(d.y(), n) - CornerPixel(d.x(), n)), col::Red);
            drawn += red;
        }
        return drawn;
    }

private slots:
    void initTestCase() { bench.Init(); }

    void generator()
    {
        kav::SessionState& s = kav::Session();
        const QList<QSet<int>> allowed = {{1, 2, 3}, {2, 3, 4, 5}, {2, 3, 4, 5, 6, 7}};  // 2 at "Prof !" as a correction
        for (int level = 1; level <= 3; ++level) {
            bench.Start(6, level);
            QSet<int> sizes, steps, types;
            int previous = -1, previousN = 0, corrected = 0;
            for (int i = 0; i < 3000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(60000 + 5000 * level + i));
                s.Attempt = 0;
                const bool drawn = i % 100 == 0;
                bench.Generate(drawn);
                const int n = s.QuestionParams[0], k = s.QuestionParams[1], t = s.ThemeMemory[6];
                QVERIFY(n >= level + 7 && n <= 2 * level + 14 && n != previousN && k >= 2 && k <= n - 3);
                QVERIFY(s.QuestionParams[2] == qMin(k, n - k) && s.Private.theme6 == n);
                previousN = n;
                sizes << n, steps << k;
                // The type in its turn, unless nothing is shorter (longer) than the red diagonal.
                int want = (previous + 1) % (level + 2) + level;
                corrected += (want == 3 || want == 2) && Count(want, n, k) == 0;
                want = want == 3 && Count(3, n, k) == 0 ? 2 : want == 2 && Count(2, n, k) == 0 ? 3 : want;
                QCOMPARE(t, want);
                previous = t;
                types << t;
                QCOMPARE(s.ExpectedAnswer, Count(t, n, k));
                QCOMPARE(bench.port.field, QStringLiteral("Aantal : |Hoeveel diagonalen %1 ?").arg(kAsked[t]));
                const bool hint = level == 1 && s.ThemeItemCount[6] < 4;
                QCOMPARE(bool(testsupport::Logged(bench.text, "(Tel ze niet dubbel !)")), hint);
                QVERIFY(s.TextLine == 7.5 && bench.Outside(bench.text).isEmpty());
                if (drawn) {  // the red diagonal, or all, or those of two or three corners
                    const int all = int(Diagonals(n).size());
                    QCOMPARE(DrawnInPicture(n), t < 5 ? 1 : t == 5 ? all : all - s.ExpectedAnswer);
                    for (int c = 0; c < n; ++c)  // red corners, blue sides, the yellow circle
                        QVERIFY(bench.picture.pixel(CornerPixel(c, n).x(), CornerPixel(c, n).y()) == col::Red &&
                                Near(bench.picture.image(), (CornerPixel(c, n) + CornerPixel(c + 1, n)) / 2, col::Blue) &&
                                Near(bench.picture.image(), CornerPixel(2 * c + 1, 2 * n), col::Yellow));
                    QVERIFY(bench.Outside(bench.picture).isEmpty());
                }
                ++s.ThemeItemCount[6];
            }
            QVERIFY(sizes.size() == level + 8 && steps.contains(2 * level + 11) && corrected > 0 && types == allowed[level - 1]);
        }
    }

    void explanation()
    {
        kav::SessionState& s = kav::Session();
        QSet<bool> cut;  // types 6 and 7: " diagonalen" cut to fit the line or not
        bench.Start(6, 3);
        for (int i = 0; i < 100 && !QTest::currentTestFailed(); ++i) {
            kav::SeedRandom(std::uint32_t(600 + i));
            bench.WrongTwice();
            const int n = s.QuestionParams[0], k = s.QuestionParams[1], t = s.ThemeMemory[6];
            QVERIFY(bench.explained[0].y == Y(12) && bench.Outside(bench.text).isEmpty());
            QCOMPARE(bench.explained.last().text, QString::number(Count(t, n, k)) + " diagonalen");
            QVERIFY(bench.explained.last().color == col::Red && bench.explained.last().y == Y(s.TextLine));
            if (t >= 6) {
                const bool hyphen = bench.Wrote(" diagona-", col::Black, 15.5);
                cut << hyphen;
                QVERIFY(bench.Wrote(hyphen ? "len getekend." : "getekend.", col::Black, 16.5));
            }
        }
        QCOMPARE(cut.size(), 2);
        // A diameter: one from each corner, counted twice.
        s.QuestionParams[0] = 12, s.QuestionParams[1] = 6, s.QuestionParams[2] = 6, s.ThemeMemory[6] = 1;
        s.ExpectedAnswer = Count(1, 12, 6);
        bench.text.clearTextLog();
        kav::Theme6Explanation();
        QVERIFY(testsupport::Logged(bench.text, " 1") && testsupport::Logged(bench.text, "12 \u00b7 \u00bd = ") && s.ExpectedAnswer == 6);
    }

    // Every polygon, diagonal and type: the explanation fits the text area and ends in the answer.
    void everyExplanationFits()
    {
        kav::SessionState& s = kav::Session();
        for (int n = 8; n <= 20; ++n)
            for (int k = 2; k <= n - 3; ++k)
                for (int t = 1; t <= 7; ++t) {
                    if (Count(t, n, k) == 0 && t <= 3)
                        continue;  // never asked
                    kav::ClearBitmap(&bench.text, col::BtnFace);
                    s.QuestionParams[0] = n, s.QuestionParams[1] = k, s.QuestionParams[2] = qMin(k, n - k);
                    s.ThemeMemory[6] = t;
                    s.ExpectedAnswer = Count(t, n, k);
                    s.TextLine = 10.75;
                    kav::Theme6Explanation();
                    QCOMPARE(bench.Outside(bench.text), QString());
                    QCOMPARE(bench.text.textLog().last().text, QString::number(Count(t, n, k)) + " diagonalen");
                }
    }
};

QTEST_MAIN(TestRelationsDiagonals)
#include "tst_relations_diagonals.moc"
