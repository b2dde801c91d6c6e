// Diagonals (theme 6) run as a practice session runs them, thousands of seeded items per level:
// the polygon, the red diagonal and the cycle of question types with its corrections; every
// answer against the diagonals enumerated pair by pair and measured on the circle (and, on a
// sample, counted in the picture); the question, the second attempt and the explanation.
#include <QtTest>
#include <cmath>
#include <numbers>

#include "themes/relations_support.h"
#include "draw/shapes.h"
#include "session/random.h"
#include "themes/relations/relations.h"

using kav::Session;
using kav::TextLogEntry;
using relsupport::Near;
using relsupport::Width;
using relsupport::Y;
namespace col = kav::col;

namespace {

QPointF OnCircle(int i, int n)
{
    const double a = 2 * std::numbers::pi * i / n;
    return {std::cos(a), std::sin(a)};
}

double Distance(int i, int j, int n)
{
    const QPointF d = OnCircle(i, n) - OnCircle(j, n);
    return std::hypot(d.x(), d.y());
}

double Cross(QPointF o, QPointF a, QPointF b)
{
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// Segments AB and CD meet in a point inside both.
bool CrossProperly(QPointF a, QPointF b, QPointF c, QPointF d)
{
    const double eps = 1e-9;
    const double d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
    return ((d1 > eps && d2 < -eps) || (d1 < -eps && d2 > eps)) && ((d3 > eps && d4 < -eps) || (d3 < -eps && d4 > eps));
}

struct Diagonal {
    int i, j;
};

QVector<Diagonal> AllDiagonals(int n)
{
    QVector<Diagonal> all;
    for (int i = 0; i < n; ++i)
        for (int j = i + 2; j < n; ++j)
            if (!(i == 0 && j == n - 1))
                all.append({i, j});
    return all;
}

// The answer to type T about the diagonal from corner 0 to corner K, counted.
int Count(int t, int n, int k)
{
    const double red = Distance(0, k, n), eps = 1e-9;
    int count = 0;
    for (const Diagonal& d : AllDiagonals(n)) {
        const double len = Distance(d.i, d.j, n);
        switch (t) {
        case 1: count += std::fabs(len - red) < eps; break;
        case 2: count += len < red - eps; break;
        case 3: count += len > red + eps; break;
        case 4: count += CrossProperly(OnCircle(0, n), OnCircle(k, n), OnCircle(d.i, n), OnCircle(d.j, n)); break;
        case 5: count += 1; break;
        default: count += d.i > t - 5; break;  // not from one of the corners 0 .. t - 5
        }
    }
    return count;
}

QPoint CornerPixel(int i, int n)
{
    const double cx = kav::PercentX(50), cy = kav::PercentY(53), r = qMin(kav::PercentX(43), kav::PercentY(43));
    const QPointF p = OnCircle(i, n);
    return QPoint(kav::Round(cx + r * p.x()), kav::Round(cy - r * p.y()));
}

const char* const kRest[] = {"", " zijn er in", " zijn er", " zijn er", " snijden deze", " zijn er", " zijn er", " zijn er"};
const char* const kLine4[] = {"",
                              "totaal met deze lengte ?",
                              "korter dan deze diagonaal ?",
                              "langer dan deze diagonaal ?",
                              "diagonaal in een tussenpunt ?",
                              "totaal mogelijk ?",
                              "NIET getekend ?",
                              "NIET getekend ?"};
const char* const kSubject[] = {"",
                                "Hoeveel diagonalen zijn er met deze lengte ?",
                                "Hoeveel diagonalen zijn korter ?",
                                "Hoeveel diagonalen zijn langer ?",
                                "Hoeveel diagonalen snijden deze diagonaal ?",
                                "Hoeveel diagonalen zijn er totaal mogelijk ?",
                                "Hoeveel diagonalen zijn er niet getekend ?",
                                "Hoeveel diagonalen zijn er niet getekend ?"};

}  // namespace

class TestRelationsDiagonals : public QObject {
    Q_OBJECT

    relsupport::ThemeBench bench;

    // The diagonals the picture shows in red, each judged at fifteen points along it.
    int DrawnInPicture(int n) const
    {
        const QImage& img = bench.picture.image();
        int drawn = 0;
        for (const Diagonal& d : AllDiagonals(n)) {
            const QPointF a = CornerPixel(d.i, n), b = CornerPixel(d.j, n);
            bool red = true;
            for (int step = 3; step <= 17 && red; ++step)
                red = Near(img, a + step / 20.0 * (b - a), col::Red);
            drawn += red;
        }
        return drawn;
    }

private slots:
    void initTestCase() { bench.Init(); }

    void generator()
    {
        for (int level = 1; level <= 3; ++level) {
            bench.Start(6, level);
            QSet<int> sizes, steps, types;
            int previousType = -1, previousN = 0, corrected = 0;
            for (int i = 0; i < 3000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(60000 + 5000 * level + i));
                kav::SessionState& s = Session();
                s.Attempt = 0;
                const bool drawn = i % 100 == 0;
                bench.Generate(drawn);
                const auto& p = s.QuestionParams;
                const int n = p[0], k = p[1], m = p[2], t = s.ThemeMemory[6];
                QVERIFY(n >= level + 7 && n <= 2 * level + 14 && n != previousN);
                QVERIFY(k >= 2 && k <= n - 3 && m == qMin(k, n - k));
                QCOMPARE(s.Private.theme6, n);
                previousN = n;
                sizes << n;
                steps << k;
                // The type comes in its turn, unless the red diagonal makes the question empty:
                // none shorter than a shortest, none longer than a longest diagonal.
                double shortest = 9, longest = 0;
                for (const Diagonal& d : AllDiagonals(n))
                    shortest = qMin(shortest, Distance(d.i, d.j, n)), longest = qMax(longest, Distance(d.i, d.j, n));
                int want = (previousType + 1) % (level + 2) + level;
                if (want == 3 && Distance(0, k, n) > longest - 1e-9)
                    want = 2, ++corrected;
                if (want == 2 && Distance(0, k, n) < shortest + 1e-9)
                    want = 3, ++corrected;
                QCOMPARE(t, want);
                previousType = t;
                types << t;
                QCOMPARE(s.ExpectedAnswer, Count(t, n, k));
                QVERIFY(t == 4 || t >= 6 || s.ExpectedAnswer > 0);
                // The question.
                QVERIFY(bench.port.opened == 1 && bench.port.caption == "Aantal : " && s.TextLine == 7.5);
                QCOMPARE(bench.port.hint, "|" + QString::fromUtf8(kSubject[t]));
                const TextLogEntry* first = testsupport::Logged(bench.text, "Hoeveel diagonalen");
                const TextLogEntry* rest = testsupport::Logged(bench.text, QString::fromUtf8(kRest[t]));
                const TextLogEntry* line4 = testsupport::Logged(bench.text, QString::fromUtf8(kLine4[t]));
                QVERIFY(first && rest && line4 && first->color == col::Red && rest->color == col::Red && line4->color == col::Red);
                QVERIFY(first->x == kav::TextMargin && first->y == Y(3) && rest->x == first->x + Width(*first) && rest->y == Y(3));
                QVERIFY(line4->x == kav::TextMargin && line4->y == Y(4));
                const TextLogEntry* title = testsupport::Logged(bench.text, QStringLiteral("Een regelmatige %1-hoek").arg(n));
                QVERIFY(title && title->color == col::Red && title->y == Y(1));
                QVERIFY(qAbs(2 * title->x + Width(*title) - bench.text.width()) <= 1);
                const bool hint = level == 1 && s.ThemeItemCount[6] < 4;
                const TextLogEntry* twice = testsupport::Logged(bench.text, "(Tel ze niet dubbel !)");
                QCOMPARE(bool(twice), hint);
                QVERIFY(!twice || (twice->color == col::Blue && twice->y == Y(6) && twice->x == kav::TextMargin));
                QString outside;
                QVERIFY2(bench.Inside(bench.text, &outside), qPrintable(outside));
                if (drawn) {
                    // The diagonals drawn: only the red one, or all of them, or those of the first
                    // two or three corners; what is not drawn is the answer of types 6 and 7.
                    const int shown = DrawnInPicture(n);
                    const int all = int(AllDiagonals(n).size());
                    QCOMPARE(shown, t < 5 ? 1 : t == 5 ? all : all - s.ExpectedAnswer);
                    const QImage& img = bench.picture.image();
                    for (int c = 0; c < n; ++c) {
                        QCOMPARE(QColor(img.pixel(CornerPixel(c, n))), col::Red);
                        QVERIFY(Near(img, (QPointF(CornerPixel(c, n)) + CornerPixel(c + 1, n)) / 2, col::Blue));
                    }
                    const double cx = kav::PercentX(50), cy = kav::PercentY(53), r = qMin(kav::PercentX(43), kav::PercentY(43));
                    const QPointF mid = OnCircle(1, 2 * n);
                    QVERIFY(Near(img, QPointF(cx + r * mid.x(), cy - r * mid.y()), col::Yellow));
                    const TextLogEntry* big = testsupport::Logged(bench.picture, QStringLiteral("Een regelmatige %1-hoek").arg(n));
                    QVERIFY(big && big->color == col::Red && big->y == Y(0.5) && big->size == 2 * kav::BaseFontSize);
                    QVERIFY(qAbs(2 * big->x + Width(*big) - bench.picture.width()) <= 1);
                    QVERIFY2(bench.Inside(bench.picture, &outside), qPrintable(outside));
                    QCOMPARE(bench.text.pixel(bench.text.width() / 2, kav::PercentY(2) + 5), col::Yellow);
                    QCOMPARE(bench.text.pixel(bench.text.width() / 2, kav::PercentY(2) + 1), col::Red);
                }
                ++s.ThemeItemCount[6];
            }
            QCOMPARE(sizes.size(), level + 8);
            QVERIFY(steps.contains(2) && steps.contains(2 * level + 11));
            const QSet<int> allowed = level == 1 ? QSet<int>{1, 2, 3} : level == 2 ? QSet<int>{2, 3, 4, 5} : QSet<int>{2, 3, 4, 5, 6, 7};
            QCOMPARE(types, allowed);  // at "Prof !" type 2 comes only as the correction of type 3
            QVERIFY(corrected > 0);
        }
    }

    void cycleWithoutCorrections()
    {
        const QVector<QVector<int>> cycles = {{1, 3, 2, 1, 3, 2}, {2, 5, 4, 3, 2, 5}, {3, 7, 6, 5, 4, 3, 7}};
        for (int level = 1; level <= 3; ++level) {
            bench.Start(6, level);
            for (int type : cycles[level - 1]) {
                // A seed whose red diagonal needs no correction.
                for (std::uint32_t seed = 1;; ++seed) {
                    const auto saved = Session();
                    kav::SeedRandom(seed);
                    Session().Attempt = 0;
                    bench.Generate(false);
                    const int n = Session().QuestionParams[0], m = Session().QuestionParams[2];
                    if (m > 2 && 2 * m < n - 1)
                        break;
                    Session() = saved;
                }
                QCOMPARE(Session().ThemeMemory[6], type);
            }
        }
    }

    void diameter()
    {
        bench.Start(6, 1);
        kav::SessionState& s = Session();
        s.Attempt = 0;
        bench.Generate(false);
        s.QuestionParams[0] = 12, s.QuestionParams[1] = 6, s.QuestionParams[2] = 6;
        s.ThemeMemory[6] = 1;
        s.ExpectedAnswer = Count(1, 12, 6);
        QCOMPARE(s.ExpectedAnswer, 6);
        s.TextLine = 7.5 + 3.25;
        bench.text.clearTextLog();
        kav::Theme6Explanation();
        bench.explained = bench.text.textLog();
        QVERIFY(bench.Written(" 1", col::Blue) && bench.Written("diagonaal", col::Black));
        QVERIFY(bench.Written("12 \u00b7 \u00bd = ", col::Blue) && bench.Written("6 diagonalen", col::Red));
    }

    void explanation()
    {
        kav::SessionState& s = Session();
        QSet<int> seen;
        QSet<bool> split;  // whether " diagonalen" was cut, for types 6 and 7
        for (int level = 1; level <= 3; ++level) {
            bench.Start(6, level);
            for (int i = 0; i < 150 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(600 + 1000 * level + i));
                bench.WrongTwice();
                const int n = s.QuestionParams[0], k = s.QuestionParams[1], m = s.QuestionParams[2], t = s.ThemeMemory[6];
                seen << t;
                QCOMPARE(relsupport::Texts(bench.secondQuestion), relsupport::Texts(bench.firstQuestion));
                QVERIFY(bench.secondField.caption == bench.firstField.caption && bench.secondField.hint == bench.firstField.hint);
                const TextLogEntry* head = bench.Written("Toelichting:", col::Blue);
                QVERIFY(head && head->y == Y(12) && head->x == kav::TextMargin);
                const double l = 13.25;
                auto at = [&](const QString& text, const QColor& c, double line) {
                    for (const TextLogEntry& e : bench.explained)
                        if (e.text == text && e.color == c && e.y == Y(line))
                            return true;
                    return false;
                };
                const QString dot = QStringLiteral(" \u00b7 "), half = QStringLiteral(" \u00b7 \u00bd = ");
                const QString N = QString::number(n);
                switch (t) {
                case 1: {
                    const bool diameter = 2 * k == n;
                    QVERIFY(at("Vanuit elk hoekpunt kun je", col::Black, l) && at(diameter ? " 1" : " 2", col::Blue, l));
                    QVERIFY(at(diameter ? "diagonaal" : "diagonalen", col::Black, l + 1) && at(" met deze lengte", col::Black, l + 1));
                    QVERIFY(at("tekenen.", col::Black, l + 2) && at("Maar dan tel je ze dubbel!", col::Blue, l + 3));
                    QVERIFY(at("Dus is het antwoord: ", col::Black, l + 5) && at((diameter ? "" : "2" + dot) + N + half, col::Blue, l + 6));
                    break;
                }
                case 2:
                case 3: {
                    const int each = t == 2 ? (m - 2) * 2 : n - 2 * m - 1;
                    const QString cmp = t == 2 ? "korter" : "langer";
                    QVERIFY(at("Vanuit elk hoekpunt kun je ", col::Black, l) && at(QString::number(each), col::Blue, l));
                    QVERIFY(each > 1 ? at("diagonalen tekenen die " + cmp, col::Black, l + 1) && at("zijn.", col::Black, l + 2)
                                     : at("diagonaal tekenen die " + cmp + " is.", col::Black, l + 1));
                    QVERIFY(at(N + dot + QString::number(each) + half, col::Blue, l + 6));
                    // Each corner's count, taken twice over and halved, is the answer.
                    QCOMPARE(n * each, 2 * Count(t, n, k));
                    break;
                }
                case 4:
                    QVERIFY(at("Aan de ene zijde ", col::Black, l) && at(QString::number(m - 1), col::Blue, l));
                    QVERIFY(at(m == 2 ? " punt." : " punten.", col::Black, l));
                    QVERIFY(at("Aan de andere zijde ", col::Black, l + 1) && at(QString::number(n - m - 1), col::Blue, l + 1));
                    QVERIFY(at("(Je telt zo niets dubbel!)", col::Blue, l + 5) && at("Onderling verbinden geeft:", col::Blue, l + 2.25));
                    QVERIFY(at(QStringLiteral("%1%2%3 = ").arg(m - 1).arg(dot).arg(n - m - 1), col::Blue, l + 3.5));
                    break;
                case 5:
                    QVERIFY(at("Vanuit elk hoekpunt kun je ", col::Black, l) && at(QString::number(n - 3), col::Blue, l));
                    QVERIFY(at("diagonalen tekenen.", col::Black, l + 1) && at("Dus is het antwoord: ", col::Black, l + 4.5));
                    QVERIFY(at(N + dot + QString::number(n - 3) + half, col::Blue, l + 5.5));
                    break;
                default: {
                    const int all = int(AllDiagonals(n).size()), drawn = all - Count(t, n, k);
                    QVERIFY(at("Er zijn in totaal ", col::Black, l));
                    QVERIFY(at(N + dot + QString::number(n - 3) + half + QString::number(all), col::Blue, l));
                    QVERIFY(at("Er zijn al ", col::Black, l + 2.25) && at(QString::number(t - 4) + dot + QString::number(n - 3), col::Blue, l + 2.25));
                    QCOMPARE(bool(bench.Written(" - 1", col::Blue)), t == 7);
                    QVERIFY(at(" = " + QString::number(drawn), col::Blue, l + 2.25));
                    const TextLogEntry* after = bench.Written(" = " + QString::number(drawn), col::Blue);
                    kav::Canvas measure(1, 1);
                    measure.font.size = kav::BaseFontSize;
                    const bool cut = after->x + Width(*after) + measure.textWidth(" diagonalen ") > bench.text.width();
                    split << cut;
                    QVERIFY(cut ? at(" diagona-", col::Black, l + 2.25) && at("len getekend.", col::Black, l + 3.25)
                                : at(" diagonalen", col::Black, l + 2.25) && at("getekend.", col::Black, l + 3.25));
                    QVERIFY(at(QStringLiteral("%1 - %2 = ").arg(all).arg(drawn), col::Blue, l + 5.5));
                }
                }
                QCOMPARE(bench.explained.last().text, QString::number(Count(t, n, k)) + " diagonalen");
                QVERIFY(bench.explained.last().color == col::Red && bench.explained.last().y == Y(s.TextLine));
                QString outside;
                QVERIFY2(bench.Inside(bench.text, &outside), qPrintable(outside));
            }
        }
        QCOMPARE(seen, (QSet<int>{1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(split, (QSet<bool>{false, true}));
    }

    // Every polygon, diagonal and type: the explanation stays inside the text area and ends in
    // the counted answer.
    void everyExplanationFits()
    {
        kav::SessionState& s = Session();
        bench.Start(6, 3);
        for (int n = 8; n <= 20; ++n)
            for (int k = 2; k <= n - 3; ++k)
                for (int t = 1; t <= 7; ++t) {
                    const int m = qMin(k, n - k);
                    if ((t == 2 && m == 2) || (t == 3 && 2 * m >= n - 1))
                        continue;  // never asked
                    kav::ClearBitmap(&bench.text, col::BtnFace);
                    s.QuestionParams[0] = n, s.QuestionParams[1] = k, s.QuestionParams[2] = m;
                    s.ThemeMemory[6] = t;
                    s.ExpectedAnswer = Count(t, n, k);
                    s.TextLine = 7.5 + 3.25;
                    kav::Theme6Explanation();
                    QString outside;
                    QVERIFY2(bench.Inside(bench.text, &outside), qPrintable(outside));
                    QCOMPARE(bench.text.textLog().last().text, QString::number(Count(t, n, k)) + " diagonalen");
                }
    }

    void shots()
    {
        if (bench.ShotFolder().isEmpty())
            QSKIP("KAVRIN_SHOTS not set");
        bench.Start(6, 3);
        for (int i = 0; i < 10; ++i) {
            kav::SeedRandom(std::uint32_t(i + 1));
            bench.WrongTwice();
            QVERIFY(bench.SaveShot(QStringLiteral("theme6_%1_type%2.png").arg(i).arg(Session().ThemeMemory[6])));
        }
    }
};

QTEST_MAIN(TestRelationsDiagonals)
#include "tst_relations_diagonals.moc"
