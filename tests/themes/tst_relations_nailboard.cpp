// The nail board (theme 7) run as a practice session runs it, thousands of seeded items per
// level: board sizes, thread positions and the cycle of sub-questions; every answer against
// the threads enumerated nail by nail and cut with the drawn thread, or the areas taken from
// the corners of the figures; on a sample the board, the threads and the fills in the picture;
// the question, the second attempt and the explanation with its helper threads.
#include <QtTest>

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

struct Pt {
    long long x, y;
};

long long Cross(Pt o, Pt a, Pt b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool OnSegment(Pt a, Pt b, Pt q)
{
    return Cross(a, b, q) == 0 && qMin(a.x, b.x) <= q.x && q.x <= qMax(a.x, b.x) && qMin(a.y, b.y) <= q.y &&
           q.y <= qMax(a.y, b.y);
}

// Segments AB and CD meet in a point inside both.
bool Cross(Pt a, Pt b, Pt c, Pt d)
{
    const long long d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// Segments AB and CD have a point in common.
bool Meet(Pt a, Pt b, Pt c, Pt d)
{
    return Cross(a, b, c, d) || OnSegment(a, b, c) || OnSegment(a, b, d) || OnSegment(c, d, a) || OnSegment(c, d, b);
}

enum Edge { Left, Bottom, Right, Top };

Pt Nail(Edge e, int i, int n)
{
    switch (e) {
    case Left: return {0, i};
    case Bottom: return {i, 0};
    case Right: return {n, i};
    default: return {i, n};
    }
}

// Every thread uncle Koos may stretch: between nails of two neighbouring edges (only from the
// left to the bottom edge when LeftToBottom).
QVector<std::pair<Pt, Pt>> Threads(int n, bool leftToBottom)
{
    QVector<std::pair<Pt, Pt>> all;
    const std::pair<Edge, Edge> pairs[] = {{Left, Bottom}, {Left, Top}, {Bottom, Right}, {Right, Top}};
    for (auto [a, b] : pairs) {
        if (leftToBottom && !(a == Left && b == Bottom))
            continue;
        for (int i = 1; i < n; ++i)
            for (int j = 1; j < n; ++j)
                all.append({Nail(a, i, n), Nail(b, j, n)});
    }
    return all;
}

// Twice the area of a polygon (shoelace).
long long TwiceArea(const QVector<Pt>& pts)
{
    long long s = 0;
    for (int i = 0; i < pts.size(); ++i) {
        const Pt a = pts[i], b = pts[(i + 1) % pts.size()];
        s += a.x * b.y - b.x * a.y;
    }
    return qAbs(s);
}

QVector<Pt> Tilted(int q, int n)
{
    return {{0, q}, {n - q, 0}, {n, n - q}, {q, n}};
}

// The answer to sub-question C on a board of N with the thread at P, counted.
int Count(int c, int n, int p)
{
    const Pt a{0, p}, b{n - p, 0};
    int count = 0;
    switch (c) {
    case 0:
    case 4:
        for (auto [u, v] : Threads(n, c == 0))
            count += Cross(a, b, u, v);
        return count;
    case 1:
    case 5:
        for (auto [u, v] : Threads(n, c == 1))
            count += !Meet(a, b, u, v);
        return count;
    case 2: return int(TwiceArea({{0, p}, {p, 0}, {n, n - p}, {n - p, n}}) / 2);
    case 3:
        // The unit squares of the board outside the four corner rectangles of p x (n - p).
        for (int x = 0; x < n; ++x)
            for (int y = 0; y < n; ++y) {
                const double cx = x + 0.5, cy = y + 0.5;
                const bool corner = (cx < n - p && cy < p) || (cx > n - p && cy < n - p) || (cx > p && cy > n - p) ||
                                    (cx < p && cy > p);
                count += !corner;
            }
        return count;
    default: return int(qAbs(TwiceArea(Tilted(p, n)) - TwiceArea(Tilted(p + 1, n))) / 2);
    }
}

QPoint BoardPixel(double x, double y, int n)
{
    return QPoint(kav::Round(kav::PercentX(10) + x * kav::PercentX(80) / double(n)),
                  kav::Round(kav::PercentY(95) - y * kav::PercentY(80) / double(n)));
}

QColor At(const QImage& img, double x, double y, int n)
{
    return QColor(img.pixel(BoardPixel(x, y, n)));
}

const char* const kSubject[] = {"Hoeveel draadjes van links naar onder snijden het draadje ?",
                                "Hoeveel draadjes van links naar onder snijden het draadje NIET ?",
                                "Hoe groot is de oppervlakte van de rechthoek ?",
                                "Hoe groot is de oppervlakte van het blauwe vierkantje ?",
                                "Hoeveel draadjes snijden het getekende draadje ?",
                                "Hoeveel draadjes snijden het getekende draadje NIET ?",
                                "Hoe groot is het verschil van de opp. van de 2 vierkanten ?"};
const char* const kCaption[] = {"Aantal : ", "Aantal : ", "Oppervlakte : ", "Oppervlakte : ", "Aantal : ", "Aantal : ", "Verschil : "};
const double kTextLine[] = {10, 10, 9, 9, 10.5, 10.5, 9};
const QStringList kLines[] = {
    {"Hoeveel draadjes kan hij van", "\"links\" naar \"onder\" spannen", "die het getekende draadje", "in een tussenpunt snijden ?"},
    {"Hoeveel draadjes kan hij van", "\"links\" naar \"onder\" spannen", "die het getekende draadje", "NIET snijden ?"},
    {"Hoe groot is de oppervlakte", "van de door de 4 draadjes", "ingesloten rechthoek ?"},
    {"Hoe groot is de oppervlakte", "van het kleine blauwe vierkantje", "\"binnenin\" ?"},
    {"Hoeveel draadjes kan hij", "spannen die het getekende", "draadje in een tussenpunt", "snijden ?"},
    {"Hoeveel draadjes kan hij", "spannen die het getekende", "draadje NIET snijden ?"},
    {"Hoe groot is het verschil van", "de oppervlakten van de twee", "vierkanten ?"}};

}  // namespace

class TestRelationsNailboard : public QObject {
    Q_OBJECT

    relsupport::ThemeBench bench;

    // The thread position the question is about (sub-question 6 keeps the next one).
    static int DrawnPosition()
    {
        const kav::SessionState& s = Session();
        return s.QuestionParams[1] - (s.ThemeMemory[7] == 6 ? 1 : 0);
    }

    void CheckPicture(int c, int n, int p)
    {
        const QImage& img = bench.picture.image();
        QCOMPARE(At(img, 0.3, 0.3, n), col::Yellow);  // a corner of the board, outside every figure
        // The nails (a line of the figure may start on one).
        for (int i = 1; i < n; ++i)
            for (auto [x, y] : {std::pair{0, i}, {n, i}, {i, 0}, {i, n}}) {
                const QPoint nail = BoardPixel(x, y, n);
                QVERIFY(Near(img, nail + QPoint(0, 3), col::Red) || Near(img, nail + QPoint(3, 0), col::Red));
            }
        QCOMPARE(QColor(img.pixel(kav::PercentX(10) - 12, kav::PercentY(55))), col::BtnFace);
        const QString title = QStringLiteral("Spijkerbord van %1 x %1 met %2 spijkers per kant.").arg(n).arg(n - 1);
        const TextLogEntry* t = testsupport::Logged(bench.picture, title);
        const bool counting = c == 0 || c == 1 || c == 4 || c == 5;
        QVERIFY(t && t->color == col::Red && t->y == Y(counting ? 0.25 : 1.25));
        QCOMPARE(bool(testsupport::Logged(bench.picture, "Draadjes mogen NIET van de boven- naar de onderrand")), counting);
        QCOMPARE(bool(testsupport::Logged(bench.picture, "of van de linker- naar de rechterrand !")), counting);
        QString outside;
        QVERIFY2(bench.Inside(bench.picture, &outside), qPrintable(outside));
        const QPoint threadMiddle = BoardPixel((n - p) / 2.0, p / 2.0, n);
        if (c != 2)
            QVERIFY(Near(img, threadMiddle, col::Red));
        const double low = qMin(p, n - p), high = qMax(p, n - p);
        switch (c) {
        case 2:
            // No drawn thread (unless it is a side of the rectangle): at a quarter or at three
            // quarters of its way no red, as no side passes both.
            if (n != 2 * p)
                QVERIFY(!Near(img, BoardPixel(0.25 * (n - p), 0.75 * p, n), col::Red) ||
                        !Near(img, BoardPixel(0.75 * (n - p), 0.25 * p, n), col::Red));
            QCOMPARE(At(img, n / 2.0, n / 2.0, n), col::Aqua);
            QCOMPARE(At(img, p / 2.0 - 0.2, p / 2.0 - 0.2, n), col::Yellow);  // the corner cut off
            for (auto [x, y] : {std::pair{p / 2.0, p / 2.0}, {(n + p) / 2.0, (n - p) / 2.0}})
                QVERIFY(Near(img, BoardPixel(x, y, n), col::Red));
            break;
        case 3:
            QCOMPARE(At(img, n / 2.0, n / 2.0, n), col::Blue);
            QCOMPARE(At(img, low + 0.2, low + 0.2, n), col::Blue);
            QCOMPARE(At(img, high - 0.2, high - 0.2, n), col::Blue);
            QCOMPARE(At(img, low - 0.3, n / 2.0, n), col::Aqua);  // inside the tilted square, in a corner rectangle
            QCOMPARE(At(img, n / 2.0, low - 0.3, n), col::Aqua);
            QCOMPARE(At(img, high + 0.3, n / 2.0, n), col::Aqua);
            break;
        case 6:
            QVERIFY(Near(img, BoardPixel((2 * n - p) / 2.0, (n - p) / 2.0, n), col::Red));
            QVERIFY(Near(img, BoardPixel((2 * n - p - 1) / 2.0, (n - p - 1) / 2.0, n), col::Blue));
            QVERIFY(Near(img, BoardPixel((n - p - 1) / 2.0, (p + 1) / 2.0, n), col::Blue));
            break;
        default: break;
        }
    }

private slots:
    void initTestCase() { bench.Init(); }

    void generator()
    {
        for (int level = 1; level <= 3; ++level) {
            bench.Start(7, level);
            QSet<int> sizes, positions, kinds;
            int previousKind = -1, previousN = 0;
            for (int i = 0; i < 3000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(70000 + 5000 * level + i));
                kav::SessionState& s = Session();
                s.Attempt = 0;
                const bool drawn = i % 50 == 0 || i < 7;
                bench.Generate(drawn);
                const int n = s.QuestionParams[0], c = s.ThemeMemory[7], p = DrawnPosition();
                QVERIFY(n >= 3 * level + 2 && n <= 5 * level + 3 && n != previousN && s.Private.theme7 == n);
                QCOMPARE(c, (previousKind + 1) % (level + 4));
                QVERIFY(p >= 2 && p <= n - 2 && !(c == 3 && 2 * p == n));
                if (level == 1 && i == 0)
                    QCOMPARE(p, 2);
                previousN = n;
                previousKind = c;
                sizes << n;
                positions << p;
                kinds << c;
                QCOMPARE(s.ExpectedAnswer, Count(c, n, p));
                QCOMPARE(s.TextLine, kTextLine[c]);
                QVERIFY(bench.port.opened == 1 && bench.port.caption == kCaption[c]);
                QCOMPARE(bench.port.hint, "|" + QString::fromUtf8(kSubject[c]));
                // The heading in its yellow box, the question from line 5, the warning.
                const QString board = QStringLiteral("%1 x %1 met %2 spijkers per kant.").arg(n).arg(n - 1);
                for (auto [text, line, colour] : {std::tuple{QStringLiteral("Ome Koos spant draadjes"), 1, col::Black},
                                                  {QStringLiteral("op een spijkerbord van"), 2, col::Black},
                                                  {board, 3, col::Red}}) {
                    const TextLogEntry* e = testsupport::Logged(bench.text, text);
                    QVERIFY(e && e->color == colour && e->y == Y(line) && qAbs(2 * e->x + Width(*e) - bench.text.width()) <= 1);
                }
                for (int l = 0; l < kLines[c].size(); ++l) {
                    const TextLogEntry* e = testsupport::Logged(bench.text, kLines[c][l]);
                    QVERIFY2(e && e->color == col::Blue && e->x == kav::TextMargin && e->y == Y(5 + l), qPrintable(kLines[c][l]));
                }
                const TextLogEntry* warning = testsupport::Logged(bench.text, "Let op: niet recht oversteken !");
                QCOMPARE(bool(warning), c == 4 || c == 5);
                QVERIFY(!warning || (warning->color == col::Red && warning->y == Y(9)));
                QString outside;
                QVERIFY2(bench.Inside(bench.text, &outside), qPrintable(outside));
                if (drawn) {
                    CheckPicture(c, n, p);
                    QCOMPARE(bench.text.pixel(bench.text.width() / 2, kav::PercentY(2) + 5), col::Yellow);
                    QCOMPARE(bench.text.pixel(bench.text.width() / 2, kav::PercentY(17) - 5), col::Yellow);
                    QCOMPARE(bench.text.pixel(bench.text.width() / 2, kav::PercentY(17) + 3), col::BtnFace);
                }
                ++s.ThemeItemCount[7];
            }
            QCOMPARE(sizes.size(), 2 * level + 2);
            QCOMPARE(positions.size(), 5 * level);  // 2 .. n - 2 on the largest board
            QCOMPARE(kinds.size(), level + 4);
        }
    }

    // The figures of the worked examples: a 6 x 6 board at the start, sub-question 6 on 12 x 12.
    void examples()
    {
        QCOMPARE(Count(0, 6, 2), 10);
        QCOMPARE(Count(2, 6, 2), 16);
        QCOMPARE(Count(6, 12, 4), 6);
        kav::SessionState& s = Session();
        bool found = false;
        for (std::uint32_t seed = 1; seed < 20000 && !found; ++seed) {
            bench.Start(7, 3);
            s.ThemeMemory[7] = 5;
            s.ThemeItemCount[7] = 3;
            kav::SeedRandom(seed);
            bench.Generate(false);
            found = s.QuestionParams[0] == 12 && s.QuestionParams[1] == 5;
        }
        QVERIFY(found);
        QVERIFY(s.ThemeMemory[7] == 6 && s.ExpectedAnswer == 6);
        // A second attempt keeps the raised position.
        s.Attempt = 2;
        bench.Generate(false);
        QVERIFY(s.QuestionParams[1] == 5 && s.ExpectedAnswer == 6);
        // On a board of 8 the blue square is never asked with the thread in the middle.
        for (int i = 0; i < 400; ++i) {
            bench.Start(7, 2);
            s.ThemeMemory[7] = 2;
            s.Private.theme7 = 0;
            kav::SeedRandom(std::uint32_t(i));
            bench.Generate(false);
            QVERIFY(s.QuestionParams[0] != 8 || s.QuestionParams[1] != 4);
        }
    }

    void secondAttemptAndExplanation()
    {
        kav::SessionState& s = Session();
        QSet<int> kinds;
        int allSampled = 0;
        for (int level = 1; level <= 3; ++level) {
            bench.Start(7, level);
            for (int i = 0; i < 42 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(700 + 100 * level + i));
                QImage shown;
                bench.WrongTwice([&] { shown = bench.picture.image(); });
                const int n = s.QuestionParams[0], c = s.ThemeMemory[7], p = DrawnPosition();
                kinds << c;
                QCOMPARE(relsupport::Texts(bench.secondQuestion), relsupport::Texts(bench.firstQuestion));
                QVERIFY(bench.secondField.caption == bench.firstField.caption && bench.secondField.hint == bench.firstField.hint);
                const int a = p - 1, b = n - p - 1, m = n - 1;
                const double l = kTextLine[c] + 2 + 1.25 + 1.25 + 1;
                auto at = [&](const QString& text, const QColor& colour, double line) {
                    for (const TextLogEntry& e : bench.explained)
                        if (e.text == text && e.color == colour && e.y == Y(line))
                            return true;
                    return false;
                };
                auto product = [](int x, int y) { return QStringLiteral("%1 \u00b7 %2 = %3").arg(x).arg(y).arg(x * y); };
                QVERIFY(at("Toelichting:", col::Blue, l - 1));
                const QString N = QString::number(n);
                switch (c) {
                case 0:
                    QVERIFY(at("Beginnend \"onder\" het draadje", col::Black, l) && at("zijn ", col::Black, l + 1));
                    QVERIFY(at(product(a, a), col::Blue, l + 1) && at(" draadjes mogelijk.", col::Black, l + 1));
                    QVERIFY(at("Beginnend \"boven\": ", col::Black, l + 2) && at(product(b, b), col::Blue, l + 2));
                    QVERIFY(at("Dus is het antwoord: ", col::Black, l + 3.25));
                    QVERIFY(at(QStringLiteral("%1 + %2 = ").arg(a * a).arg(b * b), col::Blue, l + 4.25));
                    break;
                case 1:
                    QVERIFY(at("\"Onder\" het draadje zijn er", col::Black, l) && at(product(a, b), col::Blue, l + 1));
                    QVERIFY(at("Er \"boven\" zijn er net zo veel.", col::Black, l + 2));
                    QVERIFY(at(QStringLiteral("2 \u00b7 %1 \u00b7 %2 = ").arg(a).arg(b), col::Blue, l + 4.25));
                    break;
                case 2:
                    QVERIFY(at("Opp. hele bord: ", col::Black, l) && at(product(n, n), col::Blue, l));
                    if (n == 2 * p) {
                        QVERIFY(at("Vier hoekjes samen: ", col::Black, l + 1));
                        QVERIFY(at(QStringLiteral("2 \u00b7 %1 \u00b7 %1 = %2").arg(p).arg(2 * p * p), col::Blue, l + 2));
                        QVERIFY(at(QStringLiteral("%1 - %2 = ").arg(n * n).arg(2 * p * p), col::Blue, l + 4));
                    } else {
                        const int lo = qMin(p, n - p), hi = qMax(p, n - p);
                        QVERIFY(at(product(lo, lo), col::Blue, l + 2) && at(product(hi, hi), col::Blue, l + 4));
                        QVERIFY(at("Twee \"kleine\" hoekjes samen: ", col::Black, l + 1));
                        QVERIFY(at("Twee \"grote\" hoekjes samen: ", col::Black, l + 3) && at("Dus opp. = ", col::Black, l + 5));
                        QVERIFY(at(QStringLiteral("%1 - %2 - %3 = ").arg(n * n).arg(lo * lo).arg(hi * hi), col::Blue, l + 5));
                    }
                    break;
                case 3:
                    QVERIFY(at("In elke hoek ligt een rechthoek", col::Black, l + 1));
                    QVERIFY(at("(goed kijken!) met oppervlakte", col::Black, l + 2) && at(product(p, n - p), col::Blue, l + 3));
                    QVERIFY(at(QStringLiteral("%1 - 4 \u00b7 %2 = ").arg(n * n).arg(p * (n - p)), col::Blue, l + 4.5));
                    break;
                case 4:
                    QVERIFY(at(QStringLiteral("%1 \u00b7 %1 + %2 \u00b7 %2 = %3").arg(a).arg(b).arg(a * a + b * b), col::Blue, l));
                    QVERIFY(at("Van \"boven\": ", col::Black, l + 1) && at(product(m, a), col::Blue, l + 1));
                    QVERIFY(at("Van \"rechts\": ", col::Black, l + 2) && at(product(m, b), col::Blue, l + 2));
                    QVERIFY(at(QStringLiteral("%1 + %2 + %3 = ").arg(a * a + b * b).arg(m * a).arg(m * b), col::Blue, l + 3.5));
                    break;
                case 5:
                    QVERIFY(at(QStringLiteral("%1 \u00b7 %2 + %2 \u00b7 %1 = %3").arg(a).arg(b).arg(2 * a * b), col::Blue, l));
                    QVERIFY(at("Van \"B => L\": ", col::Black, l + 1) && at(product(m, b), col::Blue, l + 1));
                    QVERIFY(at("Van \"B => R\": ", col::Black, l + 2) && at(product(m, m), col::Blue, l + 2));
                    QVERIFY(at("Van \"R => O\": ", col::Black, l + 3) && at(product(m, a), col::Blue, l + 3));
                    QVERIFY(at("Dus alles optellen: ", col::Black, l + 4));
                    // The four groups together are the answer.
                    QCOMPARE(2 * a * b + m * b + m * m + m * a, Count(5, n, p));
                    break;
                default: {
                    const int blue = int(TwiceArea(Tilted(p + 1, n)) / 2), red = int(TwiceArea(Tilted(p, n)) / 2);
                    auto area = [&](int q, int v) {
                        return QStringLiteral("%1 \u00b7 %1 - 2 \u00b7 %2 \u00b7 %3 = %4").arg(n).arg(q).arg(n - q).arg(v);
                    };
                    QVERIFY(at("Blauwe vierkant: ", col::Black, l) && at(area(p + 1, blue), col::Blue, l + 1));
                    QVERIFY(at("Rode vierkant: ", col::Black, l + 2) && at(area(p, red), col::Blue, l + 3));
                    QVERIFY(at(QStringLiteral("%1 - %2 = ").arg(qMax(blue, red)).arg(qMin(blue, red)), col::Blue, l + 4.5));
                }
                }
                const bool counting = c == 0 || c == 1 || c == 4 || c == 5;
                const QString result = QString::number(Count(c, n, p)) + (counting ? " draadjes" : "");
                QVERIFY(bench.explained.last().text == result && bench.explained.last().color == col::Red);
                QCOMPARE(bench.explained.last().y, Y(s.TextLine));
                QString outside;
                QVERIFY2(bench.Inside(bench.text, &outside), qPrintable(outside));
                // The helper threads: the counted threads in blue (when there are many, one fan
                // of them from a single nail for each kind), the drawn one red on top.
                const QImage& img = bench.picture.image();
                if (counting) {
                    const Pt d1{0, p}, d2{n - p, 0};
                    int counted = 0, sampled = 0, shown = 0;
                    for (auto [u, v] : Threads(n, c <= 1)) {
                        if (!(c % 2 == 0 ? Cross(d1, d2, u, v) : !Meet(d1, d2, u, v)))
                            continue;
                        ++counted;
                        QVector<QPoint> along;  // five points along the thread
                        for (double f : {0.15, 0.3, 0.45, 0.6, 0.75})
                            along << BoardPixel(u.x + f * (v.x - u.x), u.y + f * (v.y - u.y), n);
                        if (std::any_of(along.begin(), along.end(), [&](QPoint a) { return Near(img, a, col::Red); }))
                            continue;  // on the red thread: not to be judged here
                        ++sampled;
                        shown += std::all_of(along.begin(), along.end(), [&](QPoint a) { return Near(img, a, col::Blue); });
                    }
                    QVERIFY(shown > 0);
                    if (counted <= 60) {
                        QCOMPARE(shown, sampled);
                    } else {
                        // Fans only: most of the board stays free of threads.
                        const QRect board(BoardPixel(0, n, n), BoardPixel(n, 0, n));
                        const int blue = testsupport::CountColour(img.copy(board), col::Blue);
                        QVERIFY2(blue < board.width() * board.height() / 4, qPrintable(QString::number(blue)));
                        QVERIFY(shown < counted / 2);
                    }
                    allSampled += sampled;
                    QVERIFY(Near(img, BoardPixel((n - p) / 2.0, p / 2.0, n), col::Red));
                    if (c == 0 || c == 4)  // a thread that does not cross stays unmarked
                        QVERIFY(!Near(img, BoardPixel(0.5, 0.5, n), col::Blue));
                } else {
                    QCOMPARE(img, shown);
                }
            }
        }
        QCOMPARE(kinds.size(), 7);
        QVERIFY(allSampled > 200);
    }

    // Every board, thread and sub-question: the explanation stays inside the text area; its
    // longest lines are written a little smaller.
    void everyExplanationFits()
    {
        kav::SessionState& s = Session();
        int smaller = 0;
        kav::SetContext(nullptr, &bench.text, &bench.port);
        for (int n = 5; n <= 18; ++n)
            for (int p = 2; p <= n - 2; ++p)
                for (int c = 0; c <= 6; ++c) {
                    if (c == 3 && n == 2 * p)
                        continue;
                    kav::ClearBitmap(&bench.text, col::BtnFace);
                    s.QuestionParams[0] = n;
                    s.QuestionParams[1] = c == 6 ? p + 1 : p;
                    s.ThemeMemory[7] = c;
                    s.ExpectedAnswer = Count(c, n, p);
                    s.TextLine = kTextLine[c] + 3.25;
                    kav::Theme7Explanation();
                    QString outside;
                    QVERIFY2(bench.Inside(bench.text, &outside), qPrintable(outside));
                    const TextLogEntry& last = bench.text.textLog().last();
                    QVERIFY(last.text.startsWith(QString::number(Count(c, n, p))) && last.color == col::Red);
                    for (const TextLogEntry& e : bench.text.textLog())
                        smaller += e.size < kav::BaseFontSize;
                }
        kav::SetContext(&bench.picture, &bench.text, &bench.port);
        QVERIFY(smaller > 0);
    }

    void shots()
    {
        if (bench.ShotFolder().isEmpty())
            QSKIP("KAVRIN_SHOTS not set");
        for (int level : {1, 3}) {
            bench.Start(7, level);
            for (int i = 0; i < level + 4; ++i) {
                kav::SeedRandom(std::uint32_t(level * 10 + i));
                bench.WrongTwice();
                QVERIFY(bench.SaveShot(QStringLiteral("theme7_level%1_sub%2.png").arg(level).arg(Session().ThemeMemory[7])));
            }
        }
    }
};

QTEST_MAIN(TestRelationsNailboard)
#include "tst_relations_nailboard.moc"
