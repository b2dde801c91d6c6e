// The triangular themes 21 to 28 run as a session runs them, 2000 seeded items per level:
// ranges and no-repeat rules, each answer against the cells actually drawn (counted through
// the cell observer, and on every 25th item in the picture itself), the question, the label,
// the table beside the picture, and the second attempt. The PNGs of items and explanations
// are made by tst_triangular_explanation.
#include <QtTest>
#include <functional>

#include "support.h"
#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

using kav::Canvas;
using kav::Session;
using kav::TextLogEntry;
using testsupport::Areas;
using testsupport::Px;
using Recorder = testsupport::AnswerRecorder;
using testsupport::Width;
namespace col = kav::col;

namespace {

const TextLogEntry* Logged(const Canvas& c, const QString& text)
{
    for (const TextLogEntry& e : c.textLog())
        if (e.text == text)
            return &e;
    return nullptr;
}

int T(int n) { return n * (n + 1) / 2; }

}  // namespace

class TestTriangular : public QObject {
    Q_OBJECT

    Canvas picture{645, 688}, text{366, 714};
    Recorder port;
    QVector<kav::TriangleCellCall> cells;

    void Start(int code, int level) { testsupport::StartThemeItem(code, level); }

    void Item(int code, bool clear = true)  // as the engine shows one: cleared, framed, then the generator
    {
        if (clear) {
            kav::ClearBitmap(&picture, col::BtnFace);
            kav::FrameBitmap(&picture, col::Black);
        }
        kav::ClearBitmap(&text, col::BtnFace);
        cells.clear();
        port = Recorder();
        const std::function<void()> generators[] = {kav::Theme21, kav::Theme22, kav::Theme23,      kav::Theme24,
                                                    kav::Theme25, kav::Theme26and27, kav::Theme26and27, kav::Theme28};
        generators[code - 21]();
    }

    bool TableDrawn() const { return Logged(picture, QStringLiteral("basis")) && Logged(picture, QStringLiteral("300")); }

    // The cells drawn in colour C (of one size), each counted once.
    int Cells(const QColor& c, int size = -1) const
    {
        QSet<QPair<int, int>> at;
        for (const kav::TriangleCellCall& k : cells)
            if (k.color == c && (size < 0 || k.sizePercent == size))
                at.insert({k.row, k.col});
        return int(at.size());
    }

private slots:
    void initTestCase()
    {
        testsupport::SessionMeasures(picture, text);
        kav::SetContext(&picture, &text, &port);
        kav::SetTriangleCellObserver([this](const kav::TriangleCellCall& c) { cells.append(c); });
    }
    void cleanupTestCase() { kav::SetTriangleCellObserver({}); }

    void cellsAndTable()
    {
        Start(21, 1);  // no table: the triangle starts at 10 %
        kav::ClearBitmap(&picture, col::White);
        for (auto [size, style, base] : {std::tuple{0, 1, 10}, {100, 4, 10}, {100, 1, 0}, {100, 2, -3}})
            kav::DrawTriangleCell(1, 1, base, style, size, col::Blue);
        kav::DrawTriangleCell(1, 11, 10, 2, 100, col::Blue);  // outside the square
        QCOMPARE(Areas(picture.image(), col::White, picture.height()), 1);
        QRect dot, tile;
        kav::DrawTriangleCell(2, 1, 10, 1, 100, col::Blue);  // isosceles: half a cell right
        Areas(picture.image(), col::Blue, picture.height(), &dot);
        QVERIFY(qAbs(dot.center().x() - (kav::PercentX(10) + 25.8)) <= 1 && qAbs(dot.center().y() - 495) <= 1);
        QCOMPARE(dot.width(), picture.textWidth(QStringLiteral("O")));
        kav::DrawTriangleCell(1, 3, 10, 2, 100, col::Red);  // a yellow tile, red border
        QCOMPARE(Areas(picture.image(), col::Yellow, picture.height(), &tile), 1);
        QVERIFY(qAbs(tile.center().x() - (kav::PercentX(10) + 2 * 51.6)) <= 2 && tile.width() >= 47);
        // The table: n ending at 88 %, its triangular number at the right margin.
        Start(22, 1);
        kav::ClearBitmap(&picture, col::White);
        kav::DrawTriangleTable();
        for (const TextLogEntry& e : picture.textLog()) {
            const int n = e.y / kav::LineHeight - 1, end = e.x + Width(e);
            if (e.text == QStringLiteral("basis"))
                QVERIFY(e.y == 13 && qAbs(end - kav::PercentX(90)) <= 1);
            else if (e.x < kav::PercentX(91))
                QVERIFY(e.text == QString::number(n) && qAbs(end - kav::PercentX(88)) <= 1);
            else
                QVERIFY(e.text == QString::number(T(n)) && end == picture.width() - kav::TextMargin);
        }
        QCOMPARE(picture.textLog().size(), 49);
        const QImage img = picture.image();
        QVERIFY(Px(img, kav::PercentX(91), 300) == col::Black.rgb() && Px(img, kav::PercentX(95), 46) == col::Black.rgb());
        Session().SessionMode = -10;  // the mixed challenge is level 3: no table
        QVERIFY(!kav::TableShown());
    }

    void generators_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QVector<int>>("range");  // lowest and highest base (n for 26, 27) per level
        QTest::addColumn<QStringList>("question");  // line|colour|text, then TextLine|caption|hint
        const QString see = QStringLiteral("1|black|Zie het plaatje hiernaast.");
        const QString dots = QStringLiteral("aantal stippen: |Hoeveel blauwe stippen staan er ?");
        const QString tiles = QStringLiteral("aantal tegels: |Hoeveel tegels liggen er ?");
        const QString sums = QStringLiteral("5.5|som: |Hoe groot is de som van de rij ?");
        const QStringList dotQuestion = {"1|blue|Hoeveel blauwe stippen staan", "2|blue|hier ?",
                                         "3.5|black|Zie het plaatje hiernaast."};
        QTest::newRow("21") << 21 << QVector<int>{6, 14, 10, 22, 14, 30}
                            << QStringList{see, "2.5|blue|Hoe groot is het driehoeks-", "3.5|blue|getal met basis %1 ?",
                                           "8|driehoeksgetal: |Hoe groot is dit driehoeksgetal ?"};
        QTest::newRow("22") << 22 << QVector<int>{10, 14, 10, 22, 14, 30} << dotQuestion + QStringList{"6|" + dots};
        QTest::newRow("23") << 23 << QVector<int>{14, 20, 17, 25, 20, 30} << dotQuestion + QStringList{"8|" + dots};
        QTest::newRow("24") << 24 << QVector<int>{10, 14, 10, 22, 14, 30}
                            << QStringList{see, "2.5|blue|Hoeveel gele tegels liggen hier", "3.5|blue|op het terras ?",
                                           "8|" + tiles};
        QTest::newRow("25") << 25 << QVector<int>{12, 14, 12, 22, 14, 30}
                            << QStringList{"1|blue|In een vierkant terras ligt", "2|blue|een vijvertje.",
                                           "3.5|black|Zie het plaatje hiernaast.",
                                           "5|red|Hoeveel gele tegels liggen er ?", "8|" + tiles};
        const QStringList sumQuestion = {"1|black|Zie hiernaast.", "2.5|blue|Hoe groot is de som van",
                                         "3.5|blue|deze constant-verschil-rij ?", sums};
        QTest::newRow("26") << 26 << QVector<int>{4, 10, 5, 12, 6, 14} << sumQuestion;
        QTest::newRow("27") << 27 << QVector<int>{10, 23, 10, 37, 10, 51} << sumQuestion;
        QTest::newRow("28") << 28 << QVector<int>{14, 20, 17, 25, 20, 30}
                            << QStringList{see, "2.5|blue|Hoeveel blauwe stippen staan", "3.5|blue|hier ?", "5|" + dots};
    }

    void generators()
    {
        QFETCH(int, code);
        QFETCH(QVector<int>, range);
        QFETCH(QStringList, question);
        const QStringList answer = question.takeLast().split(u'|');
        const std::map<QString, QColor> colours = {{"black", col::Black}, {"blue", col::Blue}, {"red", col::Red}};
        for (int level = 1; level <= 3; ++level) {
            Start(code, level);
            int lowest = 99, highest = 0;
            QSet<int> seconds;  // the second random value of each theme, for its own range check
            for (int i = 0; i < testsupport::Sweep(2000) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(100000 * code + 10000 * level + i));
                kav::SessionState& s = Session();
                const int previous = s.ThemeMemory[code];
                Item(code);
                const auto& p = s.QuestionParams;
                const int b = code == 23 ? p[0] : code >= 26 && code <= 27 ? p[2] : s.ThemeMemory[code];
                lowest = qMin(lowest, b), highest = qMax(highest, b);
                QVERIFY(b >= range[2 * level - 2] && b <= range[2 * level - 1]);
                // The question, the answer field and, below the figure, the label.
                for (const QString& q : question) {
                    const QStringList f = q.split(u'|');
                    const TextLogEntry* e = Logged(text, f[2].contains("%1") ? f[2].arg(b) : f[2]);
                    QVERIFY2(e && e->color == colours.at(f[1]) && e->x == kav::TextMargin, qPrintable(f[2]));
                    QVERIFY(e->y == kav::Round(f[0].toDouble() * kav::LineHeight) && e->x + Width(*e) < text.width());
                }
                QVERIFY(s.TextLine == answer[0].toDouble() && s.AnswerKind == 1 && s.AnswerSuffix.isEmpty());
                QVERIFY(port.opened == 1 && port.caption == answer[1] && port.hint == "| " + answer[2]);
                const bool table = code >= 22 && code != 26 && code != 27 && (level == 1 || (level == 2 && i < 15));
                QCOMPARE(TableDrawn(), table);
                if (code < 26 || code == 28) {
                    const TextLogEntry* label = Logged(picture, QStringLiteral("basis = %1").arg(b));
                    QVERIFY(label && label->color == col::Blue);
                    QCOMPARE(label->y, code == 25 ? kav::Round(22.5 * kav::LineHeight) : kav::PercentY(95));
                    QVERIFY(code >= 24 && code <= 25 ? label->x == kav::PercentX(35)
                                                     : qAbs(2 * label->x + Width(*label) - picture.width()) <= 2);
                }
                // The cells drawn, each once: counted ones against the answer, marks of removed ones.
                const int counted = Cells(col::Blue), marks = Cells(col::Black, kav::MarkDotSize);
                QCOMPARE(counted + marks, int(cells.size()));
                switch (code) {
                case 21:
                    QVERIFY(p[2] >= 0 && p[2] <= 3 && b != previous);
                    QVERIFY(counted == T(b) && s.ExpectedAnswer == T(b) && Cells(col::Blue, 195 - 4 * b) == T(b));
                    seconds.insert(p[2]);
                    break;
                case 22:
                case 24:
                    QVERIFY(p[0] >= 3 && p[0] <= b - 5 && b != previous);
                    QVERIFY(counted == s.ExpectedAnswer && marks == (level == 1 ? T(p[0]) : 0));
                    seconds.insert(b - p[0]);
                    break;
                case 23:
                    QVERIFY(s.ThemeMemory[23] == b + 40 * p[1] && p[1] >= 3 && p[1] <= b / 2 - 3);
                    QVERIFY(p[2] >= 3 && p[2] <= b - p[1] - 1);
                    QVERIFY(previous < 0 || (b != previous % 40 && p[1] != previous / 40));
                    QVERIFY(counted == s.ExpectedAnswer && marks == (level < 3 ? T(p[1]) + T(p[2]) : 0));
                    {  // the bottom row loses First cells on the left and Second on the right
                        QVector<int> bottom;
                        for (const kav::TriangleCellCall& k : cells)
                            if (k.row == 1 && k.color == col::Blue)
                                bottom << k.col;
                        std::sort(bottom.begin(), bottom.end());
                        QVERIFY(bottom.size() == b - p[1] - p[2] && bottom[0] == p[1] + 1 && bottom.last() == b - p[2]);
                    }
                    seconds.insert(b - p[1] - p[2]);
                    break;
                case 25:
                    QVERIFY(p[0] >= 3 && p[0] <= b - 5 && p[1] >= 2 && p[1] <= b - p[0] - 2 && p[2] >= 0 && p[2] <= 3);
                    QVERIFY(b != previous && counted == b * b && s.ExpectedAnswer == b * b - T(p[0]));
                    QCOMPARE(marks, level == 1 ? T(p[0]) : 0);
                    seconds.insert(p[2]);
                    break;
                case 28:
                    QVERIFY(p[0] == b && b != previous && p[1] >= level + 1 && p[1] <= 3 * level + 1 && b - 2 * p[1] >= 1);
                    QVERIFY(counted == s.ExpectedAnswer && counted + marks == T(b));
                    seconds.insert(p[1]);
                    break;
                default: {  // 26 and 27: the terms as written, summed
                    const int a = p[0], d = p[1];
                    QVector<int> terms;
                    for (const TextLogEntry& e : picture.textLog()) {
                        QVERIFY(e.x + Width(e) < picture.width());
                        if (e.color == col::Blue && !e.text.startsWith("Hoe") && !e.text.contains(". . ."))
                            terms << QString(e.text).remove(" + ").toInt();
                    }
                    QVERIFY(Logged(picture, "Hoe groot is de som van deze constant-verschil-rij ?")->y == 221);
                    QVERIFY(Logged(picture, " = ?")->color == col::Red && p[3] == 2 * a + (b - 1) * d);
                    long sum = 0;
                    if (code == 26) {
                        QVERIFY(a >= 10 && a <= 29 && a != previous && d >= (level == 1 ? 1 : -3) && d <= 10 && d);
                        QVERIFY(terms.size() == b && terms.last() >= 0 && s.ThemeMemory[26] == a);
                        for (int k = 0; k < b; ++k) {
                            QCOMPARE(terms[k], a + k * d);
                            sum += terms[k];
                        }
                        seconds.insert(d);
                    } else {
                        QVERIFY(a >= 1 && a <= 14 && d >= 1 && d <= 4 * level + 1 && s.ThemeMemory[27] == a + 20 * d);
                        QVERIFY(previous < 0 || (a != previous % 20 && d != previous / 20));
                        QVERIFY(terms.size() == 7 && (b - 10) % 10 < 4 * level);
                        for (int k = 0; k < b; ++k)  // the four first and three last terms on the same sequence
                            sum += terms[0] + k * (terms[1] - terms[0]);
                        QVERIFY(terms[0] == a && terms[3] == a + 3 * d && terms[6] == terms[0] + (b - 1) * d && terms[4] == terms[6] - 2 * d);
                        QCOMPARE(Logged(picture, " = ?")->y, 91);  // one line at this size
                        seconds.insert(a);
                    }
                    QCOMPARE(long(s.ExpectedAnswer), sum);
                }
                }
                // Every 25th item: the picture itself, counted blue dots or yellow tiles.
                if (i % 25 == 0 && code != 26 && code != 27) {
                    const bool yellow = code == 24 || code == 25 || (code == 21 && p[2] >= 2);
                    QRect box;
                    const int bottom = yellow ? kav::PercentY(84) : kav::PercentY(88);
                    QCOMPARE(Areas(picture.image(), yellow ? col::Yellow : col::Blue, bottom, &box), s.ExpectedAnswer);
                    QVERIFY(box.left() >= 1 && box.top() >= 1 && box.right() < (table ? kav::PercentX(83) : 644));
                    if (code == 24) {  // the heights of column 1 and of the bottom row's last column, under them
                        QRect row;
                        Areas(picture.image().copy(0, box.bottom() - 4, picture.width(), 3), col::Blue, 3, &row);
                        const double cellW = row.width() / double(b - p[0]);
                        for (auto [value, centre] : {std::pair{b, row.left() + cellW / 2},
                                                     std::pair{p[0] + 1, row.right() - cellW / 2}}) {
                            bool found = false;
                            for (const TextLogEntry& e : picture.textLog())
                                found |= e.text == QString::number(value) && e.y == kav::PercentY(90) &&
                                         qAbs(e.x + Width(e) / 2.0 - centre) <= 3;
                            QVERIFY(found && Px(picture.image(), kav::Round(centre), kav::PercentY(87)) == col::Black.rgb());
                        }
                    }
                }
                if (i == 0) {  // the second attempt asks again: no new data, no new picture
                    const kav::SessionState before = s;
                    const QImage shown = picture.image();
                    cells.clear();
                    s.Attempt = 2;
                    Item(code, false);
                    s.Attempt = 0;
                    QVERIFY(cells.isEmpty() && picture.image() == shown && port.opened == 1);
                    QVERIFY(s.ThemeMemory == before.ThemeMemory && s.QuestionParams == before.QuestionParams);
                    QVERIFY(s.ExpectedAnswer == before.ExpectedAnswer && s.TextLine == before.TextLine);
                }
                ++s.ThemeItemCount[code];
            }
            QVERIFY(lowest == range[2 * level - 2] && highest == range[2 * level - 1]);
            const QMap<int, int> spread = {{21, 4}, {22, range[2 * level - 1] - 7}, {24, range[2 * level - 1] - 7},
                                           {25, 4}, {23, 1}, {28, 2 * level + 1},
                                           {26, level == 1 ? 10 : 13}, {27, 14}};
            // Each theme's second value spreads over its range (23: the corners come as close as one cell).
            // Reaching every value needs the full sweep; a shortened one stays within the range.
            const bool full = testsupport::Sweep(2000) == 2000;
            if (full)
                QVERIFY(code == 23 ? seconds.contains(1) : seconds.size() == spread[code]);
            else if (code != 23)
                QVERIFY(seconds.size() <= spread[code]);
        }
    }
};

QTEST_MAIN(TestTriangular)
#include "tst_triangular.moc"
