// Theme 11, the ratio table with one wrong number, run as a session runs it: 2000 seeded
// items per level read back from the picture (the table as drawn, the factor taken from its
// first row, the one row that breaks it), the no-repeat rules, the second attempt, and the
// explanation, which the judge also calls after a right answer in practice.
#include "ratiofixture.h"
#include "session/engine.h"
#include "session/random.h"
#include "themes/ratios/ratios.h"
#include "themes/verdeler.h"

using namespace ratiotest;
namespace col = kav::col;

namespace {

struct Table {
    QVector<int> left, right;  // index 0 is row 1
};

// The numbers of the table as drawn: black, on line row + 9, ending at 30 % and 60 %.
Table ReadTable(const Canvas& picture)
{
    QMap<int, int> left, right;  // by row
    for (const TextLogEntry& e : picture.textLog()) {
        const int row = e.y / kav::LineHeight - 9;
        if (e.color != col::Black || e.y != Y(row + 9) || row < 1)
            continue;
        const int end = e.x + Width(e);
        if (end == kav::PercentX(30))
            left[row] = e.text.toInt();
        else if (end == kav::PercentX(60))
            right[row] = e.text.toInt();
    }
    Table t;
    for (int row = 1; left.contains(row) || right.contains(row); ++row) {
        t.left << left.value(row, -1);
        t.right << right.value(row, -1);
    }
    return t;
}

const QStringList question = {"1.5|blue|Één getal in de rechterkolom", "2.5|blue|van de verhoudingstabel is fout.",
                              "3.5|blue|Zoek de fout op en geef als", "4.5|blue|antwoord het getal dat er had",
                              "5.5|blue|moeten staan.", "7|red|Wat is het juiste getal ?"};

}  // namespace

class TestRatiosTable : public QObject {
    Q_OBJECT
    Fixture f;

    // The question on the text side, exactly, and the answer field.
    void CheckQuestion()
    {
        const std::map<QString, QColor> colours = {{"blue", col::Blue}, {"red", col::Red}};
        QCOMPARE(f.text.textLog().size(), question.size());
        for (int i = 0; i < question.size(); ++i) {
            const QStringList q = question[i].split(u'|');
            const TextLogEntry& e = f.text.textLog()[i];
            QVERIFY2(e.text == q[2] && e.color == colours.at(q[1]) && e.x == kav::TextMargin, qPrintable(e.text));
            QVERIFY(e.y == Y(q[0].toDouble()) && !e.bold && e.x + Width(e) < f.text.width());
        }
        const kav::SessionState& s = kav::Session();
        QVERIFY(s.AnswerKind == 1 && s.TextLine == 9.5 && s.AnswerSuffix.isEmpty());
        QVERIFY(f.port.opened == 1 && f.port.caption == "Juiste getal: " && f.port.hint == "|Geef het juiste getal in");
    }

private slots:
    void initTestCase() { f.SetUp(); }

    void generator()
    {
        for (int level = 1; level <= 3; ++level) {
            Fixture::Start(11, level);
            kav::SessionState& s = kav::Session();
            const int rows = level == 1 ? 7 : level == 2 ? 9 : 12;
            QSet<int> factors, kinds, wrongRows, firsts;
            int previousFactor = 0, previousKind = -1;
            for (int i = 0; i < testsupport::Sweep(2000) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(11000 + 5000 * level + i));
                f.Item(kav::Theme11);
                const auto& p = s.QuestionParams;
                const Table t = ReadTable(f.picture);
                QCOMPARE(t.left.size(), rows);
                QVERIFY(!t.left.contains(-1) && !t.right.contains(-1));
                // The first row is always right: it gives the factor.
                QVERIFY(t.right[0] % t.left[0] == 0);
                const int factor = t.right[0] / t.left[0];
                QVERIFY(factor >= 2 && factor <= 8 * level + 1 && factor != previousFactor);
                QList<int> wrong;
                for (int r = 0; r < rows; ++r) {
                    QVERIFY(t.left[r] >= 1 && t.left[r] < 256);
                    if (t.right[r] != t.left[r] * factor)
                        wrong << r + 1;
                }
                QCOMPARE(wrong.size(), 1);
                const int row = wrong[0], x = t.left[row - 1], shown = t.right[row - 1];
                QCOMPARE(s.ExpectedAnswer, x * factor);
                QVERIFY(p[0] == row && p[1] == x * factor && p[2] == rows && p[3] == factor && p[4] == x);
                // The left column: rising by 1 to 5 from 1, or all different from 1 to 20.
                if (level == 1) {
                    QCOMPARE(t.left[0], 1);
                    for (int r = 1; r < rows; ++r)
                        QVERIFY(t.left[r] - t.left[r - 1] >= 1 && t.left[r] - t.left[r - 1] <= 5);
                } else {
                    if (level == 2)
                        QCOMPARE(t.left[0], 1);
                    for (int v : t.left)
                        QVERIFY(v <= 20);
                    QCOMPARE(QSet<int>(t.left.begin(), t.left.end()).size(), rows);
                }
                // The wrong number as its kind makes it, ten more when it came out right.
                const int kind = s.ThemeMemory[11];
                QVERIFY(kind >= 0 && kind <= 5 && kind != previousKind);
                const int right = x * factor, first = t.left[0];
                switch (kind) {
                case 0: QCOMPARE(shown, x * (factor - 1)); break;
                case 1: QCOMPARE(shown, (x - 1) * factor); break;
                case 2: QCOMPARE(shown, (x + 1) * factor); break;
                case 3: QVERIFY(shown == right + 10 || (shown % right == 0 && shown / right >= 2 && shown / right <= 4)); break;
                case 4: QVERIFY(shown - right >= 20 && shown - right <= 90 && shown % 10 == right % 10); break;
                default: QCOMPARE(shown, first * (factor + 1) == right ? right + 10 : first * (factor + 1));
                }
                previousFactor = factor;
                previousKind = kind;
                factors << factor, kinds << kind, wrongRows << row, firsts << first;
                // The heading, the table frame and the question.
                const TextLogEntry* title = testsupport::Logged(f.picture, "Foutje in de verhoudingstabel");
                QVERIFY(title && title->color == col::Red && title->bold && title->y == Y(0.25));
                QCOMPARE(title->size, kav::Round(1.5 * kav::BaseFontSize));
                for (auto [text, line, colour] : {std::tuple{"Één getal in de rechterkolom van de verhoudingstabel", 2.0, col::Blue},
                                                  {"is fout.", 3.0, col::Blue},
                                                  {"Zoek de fout op en geef als antwoord het getal dat", 4.5, col::Red},
                                                  {"er had moeten staan.", 5.5, col::Red}}) {
                    const TextLogEntry* e = testsupport::Logged(f.picture, QString::fromUtf8(text));
                    QVERIFY(e && e->color == colour && e->y == Y(line) && e->x == kav::TextMargin);
                    QVERIFY(e->x + Width(*e) < f.picture.width());
                }
                const TextLogEntry* head = testsupport::Logged(f.picture, "VERHOUDINGSTABEL");
                QVERIFY(head && head->y == Y(8) && qAbs(2 * head->x + Width(*head) - 2 * kav::PercentX(43)) <= 1);
                CheckQuestion();
                if (i % 500 == 0)
                    f.CheckSecondAttempt(kav::Theme11);
                ++s.ThemeItemCount[11];
            }
            QCOMPARE(factors.size(), 8 * level);
            QCOMPARE(kinds.size(), 6);
            QCOMPARE(wrongRows.size(), rows - 1);
            QCOMPARE(firsts.size(), level == 3 ? 20 : 1);
        }
    }

    // The table's rules and numbers in the picture itself, for a sample.
    void tablePixels()
    {
        Fixture::Start(11, 3);
        kav::SeedRandom(4);
        f.Item(kav::Theme11);
        const QImage img = f.picture.image();
        const int y = Y(9.5), x = kav::PercentX(44);
        auto black = [&](int px, int py) { return QColor(img.pixel(px, py)) == col::Black; };
        QVERIFY(black(kav::PercentX(21), y) && black(kav::PercentX(67), y) && !black(kav::PercentX(18), y));
        QVERIFY(!black(kav::PercentX(70), y) && black(x, Y(12)) && black(x, Y(22)) && !black(x, Y(23)));
        int inRow = 0;  // black text pixels of row 12 between the rules and 60 %
        for (int px = x + 4; px < kav::PercentX(60); ++px)
            for (int py = Y(21); py < Y(22); ++py)
                inRow += black(px, py);
        QVERIFY(inRow > 10);
    }

    // Beside every row "x factor" and "=", the wrong number crossed out and the right one after it.
    void explanation()
    {
        for (int level = 1; level <= 3; ++level) {
            Fixture::Start(11, level);
            for (int i = 0; i < 60; ++i) {
                kav::SeedRandom(std::uint32_t(700 + 100 * level + i));
                f.Item(kav::Theme11);
                const kav::SessionState& s = kav::Session();
                const Table t = ReadTable(f.picture);
                const int factor = t.right[0] / t.left[0];
                const int before = int(f.picture.textLog().size());
                kav::Explanation11();
                const QVector<TextLogEntry> drawn = Since(f.picture, before);
                QCOMPARE(f.text.textLog().size(), question.size());  // the text side is left alone
                QCOMPARE(drawn.size(), 2 * t.left.size() + 1);
                for (int row = 1; row <= t.left.size(); ++row) {
                    const TextLogEntry* times = nullptr;
                    const TextLogEntry* equals = nullptr;
                    for (const TextLogEntry& e : drawn) {
                        if (e.y != Y(row + 9) || e.color != col::Red)
                            continue;
                        if (e.text == "=")
                            equals = &e;
                        else if (e.text.startsWith("x "))
                            times = &e;
                    }
                    QVERIFY(times && times->text == QStringLiteral("x %1").arg(factor));
                    QCOMPARE(times->x + Width(*times), kav::PercentX(40));
                    QVERIFY(equals && equals->x == kav::PercentX(48));
                }
                QVERIFY(std::count_if(drawn.begin(), drawn.end(), [](const TextLogEntry& e) { return e.bold; }) == 1);
                const TextLogEntry& answer = *std::find_if(drawn.begin(), drawn.end(), [](const TextLogEntry& e) { return e.bold; });
                QVERIFY(answer.text == QString::number(s.ExpectedAnswer) && answer.bold && answer.color == col::Red);
                QVERIFY(answer.x == kav::PercentX(65) && answer.y == Y(s.QuestionParams[0] + 9));
                QVERIFY(answer.x + Width(answer) < f.picture.width());
                if (i == 0) {  // the cross over the wrong number: red at its middle, not on other rows
                    const QImage img = f.picture.image();
                    const int row = s.QuestionParams[0];
                    QCOMPARE(QColor(img.pixel(kav::PercentX(57.5), Y(row + 9.5))), col::Red);
                    QVERIFY(QColor(img.pixel(kav::PercentX(57.5), Y(row + 8.5))) != col::Red);
                    f.Shot(QStringLiteral("theme11-explanation-level%1").arg(level));
                }
            }
        }
    }

    // The judge calls the explanation in practice after a right answer too, never in a test.
    void explainedAfterRightAnswerInPractice()
    {
        kav::SetExplanationHandler(&kav::Toelichting);
        for (bool practice : {true, false})
            for (bool right : {true, false}) {
                Fixture::Start(11, 2);
                kav::SessionState& s = kav::Session();
                s.PracticeMode = practice;
                f.Item(kav::Theme11);
                s.Attempt = 2;  // a final answer
                s.GivenAnswer = right ? s.ExpectedAnswer : s.ExpectedAnswer + 1;
                const int before = int(f.picture.textLog().size());
                kav::Judge(QString::number(s.GivenAnswer));
                const bool explained = f.picture.textLog().size() > before;
                QCOMPARE(explained, practice);
                if (explained)
                    QVERIFY(Find(Since(f.picture, before), QString::number(s.QuestionParams[1]), col::Red));
            }
        kav::SetExplanationHandler({});
    }

    // Whatever the kept values say, the explanation stays inside its twelve rows.
    void oddValuesStayInside()
    {
        kav::SessionState& s = kav::Session();
        for (int rows : {-5, 0, 3, 40, 2000000000}) {
            kav::ClearBitmap(&f.picture, col::BtnFace);
            s.QuestionParams.fill(rows);
            s.ExpectedAnswer = 12;
            kav::Explanation11();
            QVERIFY(f.picture.textLog().size() <= 2 * 12 + 1);
            QVERIFY(Fixture::Inside(f.picture.textLog(), f.picture));
        }
    }
};

QTEST_MAIN(TestRatiosTable)
#include "tst_ratios_table.moc"
