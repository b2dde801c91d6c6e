// The nail board (theme 7) as a practice session runs it: thousands of seeded items per level
// for the board sizes, thread positions, the cycle of sub-questions and the question; every
// answer against the threads enumerated nail by nail and cut with the drawn one, or the areas
// from the corners of the figures; on a sample the board and its fills in the picture; the
// second attempt and the explanation with its helper threads.
#include "themes/relations_support.h"
#include "draw/shapes.h"
#include "session/random.h"
#include "themes/relations/relations.h"

using namespace relsupport;
using kav::Session;

namespace {

using Pt = QPoint;  // board units: x from the left, y from the bottom edge

long long Side(Pt o, Pt a, Pt b)
{
    return (long long)(a.x() - o.x()) * (b.y() - o.y()) - (long long)(a.y() - o.y()) * (b.x() - o.x());
}

// Whether segments AB and CD cross in a point inside both, and whether they meet at all.
bool Cross(Pt a, Pt b, Pt c, Pt d)
{
    return Side(a, b, c) * Side(a, b, d) < 0 && Side(c, d, a) * Side(c, d, b) < 0;
}
bool Meet(Pt a, Pt b, Pt c, Pt d)
{
    auto on = [](Pt p, Pt q, Pt r) {
        return Side(p, q, r) == 0 && qMin(p.x(), q.x()) <= r.x() && r.x() <= qMax(p.x(), q.x()) &&
               qMin(p.y(), q.y()) <= r.y() && r.y() <= qMax(p.y(), q.y());
    };
    return Cross(a, b, c, d) || on(a, b, c) || on(a, b, d) || on(c, d, a) || on(c, d, b);
}

// Every thread between nails of two neighbouring edges (only left to bottom when asked so).
QVector<std::pair<Pt, Pt>> Threads(int n, bool leftToBottom)
{
    QVector<std::pair<Pt, Pt>> all;
    for (int i = 1; i < n; ++i)
        for (int j = 1; j < n; ++j) {
            all.append({{0, i}, {j, 0}});
            if (!leftToBottom)
                all += {{{0, i}, {j, n}}, {{j, 0}, {n, i}}, {{n, i}, {j, n}}};
        }
    return all;
}

long long TwiceArea(const QVector<Pt>& pts)  // shoelace
{
    long long s = 0;
    for (int i = 0; i < pts.size(); ++i)
        s += (long long)pts[i].x() * pts[(i + 1) % pts.size()].y() - (long long)pts[(i + 1) % pts.size()].x() * pts[i].y();
    return qAbs(s);
}

QVector<Pt> Tilted(int q, int n) { return {{0, q}, {n - q, 0}, {n, n - q}, {q, n}}; }

// The answer to sub-question C on a board of N with the thread from (0, P) to (N - P, 0).
int Count(int c, int n, int p)
{
    const Pt a{0, p}, b{n - p, 0};
    int count = 0;
    if (c == 0 || c == 1 || c == 4 || c == 5) {
        for (auto [u, v] : Threads(n, c <= 1))
            count += c % 2 == 0 ? Cross(a, b, u, v) : !Meet(a, b, u, v);
        return count;
    }
    if (c == 2)
        return int(TwiceArea({{0, p}, {p, 0}, {n, n - p}, {n - p, n}}) / 2);
    if (c == 6)
        return int(qAbs(TwiceArea(Tilted(p, n)) - TwiceArea(Tilted(p + 1, n))) / 2);
    for (int x = 0; x < n; ++x)  // 3: the unit squares outside the four corner rectangles p x (n - p)
        for (int y = 0; y < n; ++y) {
            const double cx = x + 0.5, cy = y + 0.5;
            count += !((cx < n - p && cy < p) || (cx > n - p && cy < n - p) || (cx > p && cy > n - p) || (cx < p && cy > p));
        }
    return count;
}

QPointF Pixel(double x, double y, int n)
{
    return {kav::PercentX(10) + x * kav::PercentX(80) / n, kav::PercentY(95) - y * kav::PercentY(80) / n};
}

// Each sub-question's answer field (caption and hint) and its line.
const std::pair<const char*, double> kField[] = {
    {"Aantal : |Hoeveel draadjes van links naar onder snijden het draadje ?", 10},
    {"Aantal : |Hoeveel draadjes van links naar onder snijden het draadje NIET ?", 10},
    {"Oppervlakte : |Hoe groot is de oppervlakte van de rechthoek ?", 9},
    {"Oppervlakte : |Hoe groot is de oppervlakte van het blauwe vierkantje ?", 9},
    {"Aantal : |Hoeveel draadjes snijden het getekende draadje ?", 10.5},
    {"Aantal : |Hoeveel draadjes snijden het getekende draadje NIET ?", 10.5},
    {"Verschil : |Hoe groot is het verschil van de opp. van de 2 vierkanten ?", 9}};

bool Counting(int c) { return c == 0 || c == 1 || c == 4 || c == 5; }

}  // namespace

class TestRelationsNailboard : public QObject {
    Q_OBJECT
    ThemeBench bench;

    // The thread position the question is about (sub-question 6 keeps the next one).
    static int Position() { return Session().QuestionParams[1] - (Session().ThemeMemory[7] == 6); }

    void CheckPicture(int c, int n, int p)
    {
        const QImage& img = bench.picture.image();
        auto at = [&](double x, double y) { return QColor(img.pixel(Pixel(x, y, n).toPoint())); };
        QCOMPARE(at(0.3, 0.3), col::Yellow);  // a corner of the board, outside every figure
        for (int i = 1; i < n; ++i)          // the nails (a line of a figure may start on one)
            for (QPointF nail : {Pixel(0, i, n), Pixel(n, i, n), Pixel(i, 0, n), Pixel(i, n, n)})
                QVERIFY(Near(img, nail + QPointF(0, 3), col::Red) || Near(img, nail + QPointF(3, 0), col::Red));
        QVERIFY(bench.Outside(bench.picture).isEmpty());
        // The drawn thread, except for the rectangle (there only when it is one of its sides).
        const bool thread = Near(img, Pixel(0.25 * (n - p), 0.75 * p, n), col::Red) && Near(img, Pixel(0.75 * (n - p), 0.25 * p, n), col::Red);
        QVERIFY(thread == (c != 2 || n == 2 * p));
        const double low = qMin(p, n - p), high = qMax(p, n - p), mid = n / 2.0;
        if (c == 2)  // aqua inside, the corners outside
            QVERIFY(at(mid, mid) == col::Aqua && at(p / 2.0 - 0.2, p / 2.0 - 0.2) == col::Yellow);
        if (c == 3)  // the small square blue, the rest of the tilted square aqua
            QVERIFY(at(mid, mid) == col::Blue && at(low + 0.2, low + 0.2) == col::Blue && at(high - 0.2, high - 0.2) == col::Blue &&
                    at(low - 0.3, mid) == col::Aqua && at(mid, low - 0.3) == col::Aqua && at(high + 0.3, mid) == col::Aqua);
        if (c == 6)  // the red square and the blue one of the next position
            QVERIFY(Near(img, Pixel(n - p / 2.0, (n - p) / 2.0, n), col::Red) && Near(img, Pixel((n - p - 1) / 2.0, (p + 1) / 2.0, n), col::Blue));
    }

private slots:
    void initTestCase() { bench.Init(); }

    void generator()
    {
        kav::SessionState& s = Session();
        for (int level = 1; level <= 3; ++level) {
            bench.Start(7, level);
            QSet<int> sizes, positions;
            int previousN = 0;
            for (int i = 0; i < 3000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(70000 + 5000 * level + i));
                s.Attempt = 0;
                const bool drawn = i % 50 == 0 || i < 7;
                bench.Generate(drawn);
                const int n = s.QuestionParams[0], c = s.ThemeMemory[7], p = Position();
                QVERIFY(n >= 3 * level + 2 && n <= 5 * level + 3 && n != previousN && s.Private.theme7 == n);
                QCOMPARE(c, i % (level + 4));  // the sub-questions in turn from the first after START
                QVERIFY(p >= 2 && p <= n - 2 && !(c == 3 && 2 * p == n) && (level > 1 || i > 0 || p == 2));
                previousN = n;
                sizes << n;
                positions << p;
                QCOMPARE(s.ExpectedAnswer, Count(c, n, p));
                QVERIFY(bench.port.field == kField[c].first && s.TextLine == kField[c].second);
                QCOMPARE(bool(testsupport::Logged(bench.text, "Let op: niet recht oversteken !")), c == 4 || c == 5);
                // The threads that only share a nail with the drawn one do not count as "NIET snijden".
                QCOMPARE(bool(testsupport::Logged(bench.text, "(ook niet in een spijker)")), c == 1 || c == 5);
                QVERIFY(bench.Outside(bench.text).isEmpty());
                if (drawn) {
                    CheckPicture(c, n, p);
                    QCOMPARE(bench.text.pixel(bench.text.width() / 2, kav::PercentY(17) - 5), col::Yellow);
                }
                ++s.ThemeItemCount[7];
            }
            QVERIFY(sizes.size() == 2 * level + 2 && positions.size() == 5 * level);
        }
        // Sub-question 6 on a 12 x 12 board with the thread at 4: areas 80 and 74.
        QCOMPARE(Count(6, 12, 4), 6);
        QCOMPARE(Count(0, 6, 2), 10);
    }

    void explanation()
    {
        kav::SessionState& s = Session();
        int sampled = 0;
        for (int level = 1; level <= 3; ++level) {
            bench.Start(7, level);
            for (int i = 0; i < 42 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(700 + 100 * level + i));
                QImage shown;
                bench.WrongTwice([&] { shown = bench.picture.image(); });
                const int n = s.QuestionParams[0], c = s.ThemeMemory[7], p = Position();
                const double l = kField[c].second + 5.5;  // below "Toelichting:"
                QCOMPARE(bench.explained.last().text, QString::number(Count(c, n, p)) + (Counting(c) ? " draadjes" : ""));
                QVERIFY(bench.explained.last().color == col::Red &&
                        testsupport::Baseline(bench.explained.last()) == testsupport::Baseline(Y(s.TextLine), kav::BaseFontSize));
                QVERIFY(bench.Outside(bench.text).isEmpty());
                if (c == 5)  // the threads from the right to the bottom edge
                    QVERIFY(bench.Wrote("Van \"R => O\": ", col::Black, l + 3) &&
                            bench.Wrote(QStringLiteral("%1 \u00b7 %2 = %3").arg(n - 1).arg(p - 1).arg((n - 1) * (p - 1)), col::Blue, l + 3));
                if (!Counting(c)) {
                    QCOMPARE(bench.picture.image(), shown);
                    continue;
                }
                // Helper threads: the counted ones in blue (when many, one fan from a nail for each
                // kind, most of the board left free), the drawn one red on top.
                const QImage& img = bench.picture.image();
                int counted = 0, judged = 0, blue = 0;
                for (auto [u, v] : Threads(n, c <= 1)) {
                    if (c % 2 == 0 ? !Cross({0, p}, {n - p, 0}, u, v) : Meet({0, p}, {n - p, 0}, u, v))
                        continue;
                    ++counted;
                    QVector<QPointF> along;
                    for (double f : {0.15, 0.3, 0.45, 0.6, 0.75})
                        along << Pixel(u.x() + f * (v.x() - u.x()), u.y() + f * (v.y() - u.y()), n);
                    if (std::any_of(along.begin(), along.end(), [&](QPointF q) { return Near(img, q, col::Red); }))
                        continue;  // on the red thread
                    ++judged;
                    blue += std::all_of(along.begin(), along.end(), [&](QPointF q) { return Near(img, q, col::Blue); });
                }
                const QRect board = QRectF(Pixel(0, n, n), Pixel(n, 0, n)).toRect();
                QVERIFY(counted <= 60 ? blue == judged : blue < counted / 2 && testsupport::CountColour(img.copy(board), col::Blue) < board.width() * board.height() / 4);
                QVERIFY(Near(img, Pixel((n - p) / 2.0, p / 2.0, n), col::Red) && (c % 2 || !Near(img, Pixel(0.5, 0.5, n), col::Blue)));
                sampled += judged;
            }
        }
        QVERIFY(sampled > 200);
    }

    // Every board, thread and sub-question: the explanation fits the text area (its longest
    // lines a little smaller) and ends in the answer.
    void everyExplanationFits()
    {
        kav::SessionState& s = Session();
        int smaller = 0;
        for (int n = 5; n <= 18; ++n)
            for (int p = 2; p <= n - 2; ++p)
                for (int c = 0; c <= 6; ++c) {
                    kav::ClearBitmap(&bench.text, col::BtnFace);
                    s.QuestionParams[0] = n, s.QuestionParams[1] = p + (c == 6);
                    s.ThemeMemory[7] = c;
                    s.ExpectedAnswer = Count(c, n, p);
                    s.TextLine = 13.25;
                    kav::SetContext(nullptr, &bench.text, &bench.port);
                    kav::Theme7Explanation();
                    QCOMPARE(bench.Outside(bench.text), QString());
                    QVERIFY(bench.text.textLog().last().text.startsWith(QString::number(Count(c, n, p))));
                    for (const TextLogEntry& e : bench.text.textLog())
                        smaller += e.size < kav::BaseFontSize;
                }
        kav::SetContext(&bench.picture, &bench.text, &bench.port);
        QVERIFY(smaller > 0);
    }
};

QTEST_MAIN(TestRelationsNailboard)
#include "tst_relations_nailboard.moc"
