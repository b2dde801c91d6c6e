// Theme 5, RaRa machines, run as a session runs it: 2000 seeded items per level read back
// from the picture as a pupil reads them (the two machines and the table), every answer found
// again by trying every Keer and second number against the rows shown (exactly one pair may
// fit), the variants in their turn, the question, the second attempt, and the worked
// explanation of each variant with the chain beside the picture or the step of the table.
#include <limits>

#include "machines_fixture.h"
#include "draw/shapes.h"
#include "themes/relations/relations.h"

using kav::Session;
using kav::TextLogEntry;
using testsupport::Logged;
using testsupport::Width;
namespace col = kav::col;

namespace {

struct Row {
    int x = 0;
    QString output;  // empty when the row shows no output
    const TextLogEntry* entry = nullptr;
};

struct Read {  // the picture as a pupil reads it
    QString keer, second, op, title;
    QVector<Row> rows;
};

int Y(double line)
{
    return kav::Round(line * kav::LineHeight);
}

}  // namespace

class TestRelationsRaRa : public testsupport::MachineSuite {
    Q_OBJECT

    Read Picture() const
    {
        Read r;
        QMap<int, Row> rows;
        QMap<int, QString> outputs;
        for (const TextLogEntry& e : picture.textLog()) {
            if (e.y < kav::PercentY(50) && e.bold && e.color == col::Blue) {
                (e.y < kav::PercentY(30) ? r.keer : r.second) = e.text;
            } else if (e.text.startsWith(QStringLiteral("KeerEn"))) {
                r.title = e.text;
            } else if (e.y > kav::PercentY(64) && e.x == kav::PercentX(40)) {
                const int x = e.text.toInt();
                rows[x] = {x, QString(), &e};
                if (qAbs(e.y - kav::PercentY(65) - x * kav::LineHeight) > 1)
                    rows[x].x = -1;  // not on its line
            } else if (e.y > kav::PercentY(64) && e.x == kav::PercentX(57)) {
                outputs[e.y] = e.text;
            }
        }
        for (Row row : rows) {
            row.output = outputs.value(row.entry->y);
            r.rows << row;
        }
        r.op = r.second.section(u' ', 0, 0);
        return r;
    }

    // The Keer number and the second number that the pupil can find from what is shown: every
    // pair 0..200 that fits the machines' labels and the rows with an output.
    QVector<QPair<int, int>> Fitting(const Read& r) const
    {
        QVector<QPair<int, int>> fits;
        const int sign = r.op == QStringLiteral("Min") ? -1 : 1;
        const QString keer = r.keer.section(u' ', 1), second = r.second.section(u' ', 1);
        QVector<QPair<int, int>> rows;  // input and output of the rows that show one
        for (const Row& row : r.rows)
            if (!row.output.isEmpty() && row.output != QStringLiteral("?"))
                rows.append({row.x, row.output.toInt()});
        const bool aShown = keer != QStringLiteral("?"), bShown = second != QStringLiteral("?");
        for (int a = aShown ? keer.toInt() : 0; a <= (aShown ? keer.toInt() : 200); ++a)
            for (int b = bShown ? second.toInt() : 0; b <= (bShown ? second.toInt() : 200); ++b) {
                bool fit = true;
                for (int k = 0; k < rows.size() && fit; ++k)
                    fit = rows[k].second == a * rows[k].first + sign * b;
                if (fit)
                    fits.append({a, b});
            }
        return fits;
    }

    static int VariantAt(int i, int level)  // the variants in turn: L, then 2L + 1 down to L + 1
    {
        const int k = i % (level + 2);
        return k == 0 ? level : 2 * level + 2 - k;
    }

private slots:
    void initTestCase() { SetUp(); }

    void variantsComeInTurn()
    {
        const QVector<int> expected[] = {{1, 3, 2, 1, 3, 2}, {2, 5, 4, 3, 2, 5}, {3, 7, 6, 5, 4, 3, 7}};
        for (int level = 1; level <= 3; ++level) {
            Start(5, level);
            QVector<int> variants;
            for (int i = 0; i < expected[level - 1].size(); ++i) {
                Item();
                variants << Session().ThemeMemory[5];
            }
            QCOMPARE(variants, expected[level - 1]);
        }
        // After a change of level the next variant is one of the new level's at once.
        QCOMPARE(Session().ThemeMemory[5], 7);
        Session().LevelIndex = 0;
        Item();
        QCOMPARE(Session().ThemeMemory[5], 3);  // ((7 + 1) mod 3) + 1
        Session().LevelIndex = 1;
        Item();
        QCOMPARE(Session().ThemeMemory[5], 2);  // ((3 + 1) mod 4) + 2
        Start(5, 1, true);  // the mixed challenge is "Prof !"
        Item();
        QCOMPARE(Session().ThemeMemory[5], 3);
    }

    void itemsOverManySeeds()
    {
        for (int level = 1; level <= 3; ++level) {
            Start(5, level);
            QSet<int> keerNumbers, plusNumbers, variants;
            QSet<QString> ops;
            for (int i = 0; i < 2000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(50000 + 10000 * level + i));
                Item();
                kav::SessionState& s = Session();
                const int m = VariantAt(i, level);
                QCOMPARE(s.ThemeMemory[5], m);
                variants << m;
                const Read r = Picture();

                // What the variant shows and hides.
                QVERIFY(r.op == QStringLiteral("Plus") || r.op == QStringLiteral("Min"));
                ops << r.op;
                QCOMPARE(r.title, QStringLiteral("KeerEn") + r.op);
                QCOMPARE(r.keer.endsWith(QStringLiteral(" ?")), m >= 3);
                QCOMPARE(r.second.endsWith(QStringLiteral(" ?")), m == 2 || m >= 4);
                QCOMPARE(r.rows.size(), 6);
                QVector<int> marked;
                for (int x = 1; x <= 6; ++x) {
                    const Row& row = r.rows[x - 1];
                    QVERIFY(row.x == x);
                    const bool shown = !row.output.isEmpty();
                    QVERIFY(row.entry->color == (shown ? col::Blue : col::Black) && row.entry->bold == shown);
                    if (shown)
                        marked << x;
                    QCOMPARE(row.output == QStringLiteral("?"), m == 1 && shown);
                }
                QCOMPARE(marked.size(), m == 4 || m == 5 ? 6 : m >= 6 ? 2 : 1);
                if (marked.size() < 6)
                    for (int x : marked)
                        QVERIFY(x >= 2 && x <= 6);

                // The answer: exactly one pair of numbers fits what is shown.
                const QVector<QPair<int, int>> fits = Fitting(r);
                QCOMPARE(fits.size(), 1);
                const int a = fits[0].first, b = fits[0].second, sign = r.op == "Min" ? -1 : 1;
                const QString caption = m == 1 ? QStringLiteral("Output") : m == 3 || m == 4 || m == 6 ? "Keer" : r.op;
                QCOMPARE(port.caption, caption + " : ");
                QCOMPARE(s.ExpectedAnswer, caption == "Output" ? a * marked[0] + sign * b : caption == "Keer" ? a : b);

                // The numbers' ranges: no output in the table below 0.
                QVERIFY(a >= 1 && a <= 6 * level + 6 && b >= 1 && b <= (sign > 0 ? 8 : a));
                for (int x = 1; x <= 6; ++x)
                    QVERIFY(a * x + sign * b >= 0);
                keerNumbers << a;
                if (sign > 0)
                    plusNumbers << b;
                const auto& p = s.QuestionParams;
                QVERIFY(p[1] == sign && p[2] == a && p[3] == b && marked.contains(p[0]));
                QCOMPARE(p[4], m >= 6 ? marked[0] + marked[1] - p[0] : 0);

                // The question.
                const QString subject = m == 1 ? QStringLiteral("bij de Output ?")
                                               : "bij de " + (caption == "Keer" ? caption : r.op) + "-machine ?";
                const int mg = kav::TextMargin;
                const QRgb blue = col::Blue.rgb();
                QCOMPARE(testsupport::ShownTexts(text),
                         (QVector<testsupport::Shown>{{"Twee machientjes zijn aaneen-", mg, Y(1), blue},
                                                      {"geschakeld tot een ketting.", mg, Y(2), blue},
                                                      {"Zie het plaatje hiernaast.", mg, Y(3.5), col::Black.rgb()},
                                                      {"Hoe groot is het vraagteken", mg, Y(5), blue},
                                                      {subject, mg, Y(6), blue}}));
                QCOMPARE(port.hint, "|Hoe groot is het vraagteken " + subject);
                QVERIFY(s.TextLine == 8 && s.AnswerKind == 1 && s.AnswerSuffix.isEmpty() && port.opened == 1);

                // Where the picture's texts stand.
                for (const TextLogEntry& e : picture.textLog())
                    QVERIFY2(e.x >= 1 && e.x + Width(e) <= picture.width() - 2 && e.y + kav::LineHeight < picture.height(),
                             qPrintable(e.text));
                const TextLogEntry *input = Logged(picture, "Input"), *raRa = Logged(picture, "RaRa met"),
                                   *title = Logged(picture, r.title);
                QVERIFY(input && input->bold && input->y < kav::PercentY(11) - kav::LineHeight + 2);
                QVERIFY(raRa->x == mg && raRa->x + Width(*raRa) < input->x && title->x > input->x + Width(*input));
                QVERIFY(raRa->size == kav::Round(1.5 * kav::BaseFontSize) && title->size == raRa->size);
                QCOMPARE(title->x + Width(*title), picture.width() - mg);

                if (i % 100 == 0) {  // the picture itself
                    const QImage img = picture.image();
                    QCOMPARE(testsupport::Areas(img, col::Yellow, img.height(), nullptr, 500), 2);
                    QRect table;
                    QCOMPARE(testsupport::Areas(img, col::Aqua, img.height(), &table, 500), 1);
                    QVERIFY(qAbs(table.left() - kav::PercentX(35)) <= 3 && qAbs(table.right() - kav::PercentX(65)) <= 3);
                    QVERIFY(qAbs(table.top() - kav::PercentY(60)) <= 3 && qAbs(table.bottom() - kav::PercentY(95)) <= 3);
                    // An arrow in every row with an output, between the input and the output.
                    const QImage arrows = img.copy(kav::Rect(kav::PercentX(45), kav::PercentY(64), kav::PercentX(56),
                                                             kav::PercentY(94)));
                    QCOMPARE(testsupport::Areas(arrows, col::Blue, arrows.height()), marked.size());
                    for (int x : marked)
                        QCOMPARE(testsupport::Px(img, kav::PercentX(48), kav::PercentY(65) + (x + 0.5) * kav::LineHeight),
                                 col::Blue.rgb());
                }
                if (i % 10 == 0)
                    QVERIFY(SecondAttemptSame());
            }
            QCOMPARE(variants.size(), level + 2);
            QVERIFY(ops.size() == 2 && plusNumbers.size() == 8);
            QVERIFY(keerNumbers.contains(1) && keerNumbers.contains(6 * level + 6) && keerNumbers.size() == 6 * level + 6);
        }
    }

    void explanationOfEveryVariant()
    {
        for (int m = 1; m <= 7; ++m)
            for (int seed = 0; seed < 40 && !QTest::currentTestFailed(); ++seed) {
                const int level = m == 1 ? 1 : m <= 5 ? 2 : 3;
                ItemAfter(5, level, m - level - 1, std::uint32_t(7000 + 100 * m + seed));  // variant m
                QCOMPARE(Session().ThemeMemory[5], m);
                const Read r = Picture();
                const QVector<QPair<int, int>> fits = Fitting(r);
                QCOMPARE(fits.size(), 1);
                const int a = fits[0].first, b = fits[0].second, sign = r.op == "Min" ? -1 : 1;
                QVector<int> marked;
                for (const Row& row : r.rows)
                    if (!row.output.isEmpty())
                        marked << row.x;
                ExplainAfterTwoWrong();
                if (seed < 2)
                    Save(QStringLiteral("explanation5_variant%1_%2.png").arg(m).arg(seed));
                const QString second = r.op + " " + QString::number(b);

                if (m <= 3) {  // the chain from the marked input, beside the picture
                    const int x0 = marked[0];
                    const int values[] = {x0, a * x0, a * x0 + sign * b};
                    QVERIFY(Wrote("Zie rechts naast het schema de", 1, col::Blue));
                    QVERIFY(Wrote("tussentijdse berekeningen.", 2, col::Blue));
                    QCOMPARE(explainedInPicture.size(), m == 1 ? 3 : 4);
                    for (int j = 0; j < 3; ++j) {
                        const int middle = (kav::PercentY(17 * j + 11) + kav::PercentY(17 * j + 20)) / 2;
                        bool found = false;
                        for (const TextLogEntry& e : explainedInPicture)
                            found |= e.text == QString::number(values[j]) && e.color == col::Red &&
                                     qAbs(e.y + kav::LineHeight / 2 - middle) <= 2 &&
                                     qAbs(2 * e.x + Width(e) - 2 * kav::PercentX(92)) <= 2;
                        QVERIFY2(found, qPrintable(QString::number(values[j])));
                    }
                    if (m == 1) {
                        QCOMPARE(explained.size(), 3);
                        continue;
                    }
                    const QString line = m == 3 ? QStringLiteral("%1 x ? = %2").arg(x0).arg(a * x0)
                                                : QStringLiteral("%1 %2 ? = %3").arg(a * x0).arg(sign > 0 ? "+" : "-").arg(values[2]);
                    const TextLogEntry* equation = Wrote(line, 3, col::Red);
                    QVERIFY2(equation && equation->x == 2 * kav::TextMargin, qPrintable(line));
                    QVERIFY(Wrote("Dus: ", 4, col::Blue) && Wrote("? = " + QString::number(m == 3 ? a : b), 4, col::Red));
                    continue;
                }
                QVERIFY(explainedInPicture.isEmpty());
                const auto centred = [&](const TextLogEntry* e) { return e && qAbs(2 * e->x + Width(*e) - text.width()) <= 2; };
                // Right-aligned, or straight after the text before it when there is no room.
        const auto right = [&](const TextLogEntry* e, const TextLogEntry* before) {
            return e && before && (e->x + Width(*e) == text.width() - kav::TextMargin || e->x == before->x + Width(*before));
        };
                if (m <= 5) {  // every row shows its output: the step from one row to the next
                    const int step = r.rows[1].output.toInt() - r.rows[0].output.toInt();
                    QVERIFY(Wrote("Als de input met 1 toeneemt, dan", 1, col::Red));
                    QVERIFY(Wrote("neemt de output met " + QString::number(step) + " toe.", 2, col::Red));
                    QVERIFY(Wrote("Dus het eerste machientje is:", 3, col::Blue));
                    QVERIFY(centred(Wrote("Keer " + QString::number(step), 4, col::Red)));
                    if (m == 5) {
                        QVERIFY(Wrote("Het tweede moet dan zijn:", 5, col::Blue));
                        QVERIFY(centred(Wrote(second, 6, col::Red)));
                    }
                    QCOMPARE(explained.size(), m == 4 ? 5 : 7);
                    continue;
                }
                // Two marked rows: the difference of their outputs over the difference of their inputs.
                const int dx = marked[1] - marked[0];
                const int dy = r.rows[marked[1] - 1].output.toInt() - r.rows[marked[0] - 1].output.toInt();
                QVERIFY(Wrote("Als de input met " + QString::number(dx) + " toeneemt, dan", 1, col::Red));
                QVERIFY(Wrote("neemt de output met " + QString::number(dy) + " toe.", 2, col::Red));
                double d = 2;
                if (dx != 1) {
                    QVERIFY(Wrote("Dus als de input met 1 toeneemt,", 3, col::Blue));
                    const TextLogEntry* lead = Wrote("dan neemt de output met ", 4.5, col::Blue);
                    QVERIFY(lead);
                    const TextLogEntry *top = nullptr, *bottom = nullptr, *after = Wrote(" toe.", 4.5, col::Blue);
                    for (const TextLogEntry& e : explained)
                        if (e.color == col::Red && e.x >= lead->x + Width(*lead) && e.x < lead->x + Width(*lead) + 60 &&
                            qAbs(e.y - lead->y) < 1.5 * kav::LineHeight)
                            (e.y < lead->y ? top : bottom) = &e;
                    QVERIFY(top && bottom && top->text == QString::number(dy) && bottom->text == QString::number(dx));
                    QVERIFY(bottom->y > lead->y && after && after->x >= qMax(top->x + Width(*top), bottom->x + Width(*bottom)));
                    d += 3.25;
                }
                QCOMPARE(Session().TextLine, headingLine + d);
                const TextLogEntry *first = Wrote("Dus het 1e machientje is: ", d + 1, col::Blue),
                                   *keer = Wrote("Keer " + QString::number(a), d + 1, col::Red);
                QVERIFY(right(keer, first) && first->x + Width(*first) <= keer->x);
                QCOMPARE(dy, a * dx);
                if (m == 7) {
                    const TextLogEntry* then = Wrote("Het 2e moet dan zijn: ", d + 2, col::Blue);
                    const TextLogEntry* machine = Wrote(second, d + 2, col::Red);
                    QVERIFY(right(machine, then) && then->x + Width(*then) <= machine->x);
                }
                QVERIFY(Session().QuestionParams[0] < Session().QuestionParams[4]);  // the marked inputs in order
                QCOMPARE(explained.size(), (m == 6 ? 5 : 7) + (dx != 1 ? 5 : 0));
            }
    }

    void smallScreen()
    {
        SmallScreen();
        for (int m = 1; m <= 7; ++m)
            for (int seed = 0; seed < 30 && !QTest::currentTestFailed(); ++seed) {
                const int level = m == 1 ? 1 : m <= 5 ? 2 : 3;
                SmallScreenItem(5, level, m - level - 1, std::uint32_t(9000 + 100 * m + seed),
                                seed ? QString() : QStringLiteral("small5_variant%1.png").arg(m));
            }
        SetUp();
    }

    void damagedStateDoesNotCrash()
    {
        kav::SessionState& s = Session();
        MemoryRepaired(5, 3, 3, 7);
        for (int variant : {0, 8, 6}) {
            Start(5, 3);
            Item();
            s.ThemeMemory[5] = variant;
            s.QuestionParams[4] = variant == 6 ? s.QuestionParams[0] : s.QuestionParams[4];  // two equal rows
            s.TextLine = 11.25;
            kav::Toelichting(5, false);
            QCOMPARE(text.textLog().last().text, QStringLiteral("Toelichting:"));
        }
        WithoutAreas(5);
    }
};

QTEST_MAIN(TestRelationsRaRa)
#include "tst_relations_rara.moc"
