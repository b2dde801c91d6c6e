// Theme 15, two packs compared by their price per 100 gram: seeded items per level for the
// weights, prices and no-repeat rules, every answer worked out from the weights and prices the
// picture shows, draws after every kind of previous item (the 400-gram pack included), the
// boxes measured on a sample, and the worked explanation.
#include <QRegularExpression>
#include <cmath>
#include <random>

#include "draw/numbers.h"
#include "draw/shapes.h"
#include "themes/ratiosupport.h"

using kav::Session;
using kav::TextLogEntry;
namespace col = kav::col;

namespace {

// A pack as the picture shows it: the weight line and the amount after the euro sign (a "C").
QPair<qint64, qint64> GramsAndCents(const kav::Canvas& picture, const QColor& color)
{
    static const QRegularExpression weight(QStringLiteral("^Gewicht  (\\d+) gram$"));
    const QRegularExpression amount(QStringLiteral("^ (\\d+)\\") + kav::DecimalSeparator + QStringLiteral("(\\d\\d)$"));
    QPair<qint64, qint64> pack;
    const QVector<TextLogEntry>& log = picture.textLog();
    for (int i = 1; i < log.size(); ++i) {
        if (const auto m = weight.match(log[i].text); m.hasMatch() && log[i].color == color)
            pack.first = m.captured(1).toLongLong();
        if (const auto m = amount.match(log[i].text); m.hasMatch() && log[i].color == color && log[i - 1].text == "C")
            pack.second = m.captured(1).toLongLong() * 100 + m.captured(2).toInt();
    }
    return pack;
}

// The box of the pixels of colour C.
QRect Extent(const QImage& img, const QColor& c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (ratiotest::Px(img, x, y) == c.rgb())
                box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class TestRatiosPackages : public QObject {
    Q_OBJECT

    ratiotest::Window w;

    // The rules of every item, after the kept values Previous (W1, P1, W2, P2).
    void Check(int level, const std::array<int, 4>& previous)
    {
        const kav::SessionState& s = Session();
        const auto& p = s.QuestionParams;
        const auto [w1, c1] = GramsAndCents(w.picture, col::Blue);
        const auto [w2, c2] = GramsAndCents(w.picture, col::Red);
        // The answer from the shown prices: c2 / W2 x 100 - c1 / W1 x 100 = A exactly.
        const qint64 a = s.ExpectedAnswer;
        QCOMPARE(a * w1 * w2, 100 * (c2 * w1 - c1 * w2));
        QVERIFY(a > 0 && a % 10 == 0 && c1 >= c2 && w1 == p[0] && w2 == p[2] && c1 * 10 == p[1] * w1);
        const int step = level == 3 ? 50 : 100;
        QVERIFY(level == 1 ? w1 == 1000 : w1 != previous[0] && w1 % 100 == step % 100 && w1 >= 400 && w1 <= 950);
        QVERIFY(w2 % step == 0 && w2 >= 2 * step && w2 < w1 - 100 && w2 != previous[2]);
        QVERIFY(p[1] >= 5 && p[1] <= 24 && p[1] != previous[1] && p[3] >= 7 && p[3] <= 26 && p[3] != previous[3]);
        QCOMPARE(s.Private.theme15, (std::array<int, 4>{p[0], p[1], p[2], p[3]}));
        QVERIFY(w.Asked("Hoe groot is het prijsverschil", col::Red, 0.5) && w.Asked("per 100 gram ?", col::Red, 1.5));
        const TextLogEntry& note = w.text.textLog().last();
        QVERIFY(note.text == "(Antwoord in eurocenten.)" && note.color == col::Blue && note.y == kav::Round(2.5 * kav::LineHeight));
        QVERIFY(note.size == kav::Round(0.9 * kav::BaseFontSize) && s.TextLine == 4 && s.AnswerSuffix == " eurocent");
        QVERIFY(w.port.caption == "Prijsverschil: " && w.port.hint == "|Hoe groot is het prijsverschil per 100 gram in eurocenten?");
    }

private slots:
    void initTestCase() { w.SetUp(); }

    void sweep()
    {
        QMap<int, QSet<int>> values;  // by level * 10 + parameter
        w.Sweep(15, 2000, 1500000u, [&](int level, int i, const kav::SessionState::ThemePrivate& before) {
            Check(level, before.theme15);
            for (int k = 0; k < 4; ++k)
                values[10 * level + k] << Session().QuestionParams[k];
            if (i % 500 == 0) {
                // The boxes: the large one 40 % of the width wide and 30 % high on line 13, the small
                // one at the cube root of the weight ratio (its volume goes with its weight).
                const QImage img = w.picture.image();
                const QRect big = Extent(img, col::Aqua), small = Extent(img, col::Yellow);
                const double ratio = double(Session().QuestionParams[2]) / Session().QuestionParams[0];
                QVERIFY(qAbs(big.width() - kav::PercentX(40)) <= 3 && qAbs(big.top() - 13 * kav::LineHeight + kav::PercentX(30)) <= 3);
                QVERIFY(qAbs(small.width() - std::cbrt(ratio) * kav::PercentX(40)) <= 3);
                QVERIFY(big.left() > kav::PercentX(5) && big.right() < kav::PercentX(55) && small.left() > kav::PercentX(57));
                QVERIFY(small.right() < img.width() - 1 && small.bottom() < 13 * kav::LineHeight && small.top() > 4 * kav::LineHeight);
            }
        });
        const QList<int> weights[] = {{1000}, {400, 500, 600, 700, 800, 900}, {450, 550, 650, 750, 850, 950}};
        for (int level = 1; level <= 3; ++level) {
            QCOMPARE(values[10 * level], QSet<int>(weights[level - 1].begin(), weights[level - 1].end()));
            QCOMPARE(values[10 * level + 2].size(), level == 1 ? 7 : level == 2 ? 6 : 11);  // up to 800, 700, 600
            QVERIFY(values[10 * level + 1].contains(24) && values[10 * level + 3].contains(7) && values[10 * level + 3].contains(26));
        }
    }

    // Whatever the previous item was, the next is drawn and asked: a large pack of 400 gram after
    // a small one of 200 (which leaves no small weight) and a large price that leaves no small one
    // (5 with 800 beside 1000 gram) are drawn again.
    void afterEveryPreviousItem()
    {
        kav::SessionState& s = Session();
        std::mt19937 pick(15);
        int fourHundred = 0;
        for (int level = 1; level <= 3; ++level)
            for (int i = 0; i < testsupport::Sweep(600) && !QTest::currentTestFailed(); ++i) {
                w.Start(15, level);
                const int step = level == 3 ? 50 : 100;
                const std::array<int, 4> previous = {int(400 + 100 * (pick() % 6) + step % 100), int(5 + pick() % 20),
                                                     i % 3 ? int(step * (2 + pick() % 11)) : 2 * step, int(7 + pick() % 20)};
                s.Private.theme15 = previous;
                kav::SeedRandom(std::uint32_t(1550000 + 10000 * level + i));
                w.Item();
                Check(level, previous);
                QVERIFY(s.QuestionParams[0] != 400 || previous[2] != 200);
                fourHundred += s.QuestionParams[0] == 400;
            }
        QVERIFY(fourHundred > testsupport::Sweep(600) / 30);
    }

    // Both prices per 100 gram from the price over the weight, and their difference.
    void explanation()
    {
        QVector<TextLogEntry> said;
        w.Sweep(15, 30, 1580000u, [&](int, int, const kav::SessionState::ThemePrivate&) {
            const auto [w1, c1] = GramsAndCents(w.picture, col::Blue);
            const auto [w2, c2] = GramsAndCents(w.picture, col::Red);
            said.clear();
            const QStringList texts = w.FailTwice(&said);
            const qint64 h1 = c1 * 100 / w1, h2 = c2 * 100 / w2, a = Session().ExpectedAnswer;
            QVERIFY(h1 * w1 == c1 * 100 && h2 * w2 == c2 * 100 && h2 - h1 == a);
            QCOMPARE(texts, (QStringList{"Toelichting:", "Prijs groot pak per 100 gram: ", QString::number(c1), QString::number(w1),
                                         " \u00b7 100 = ", QString::number(h1) + " eurocent", "Prijs klein pak per 100 gram: ",
                                         QString::number(c2), QString::number(w2), " \u00b7 100 = ", QString::number(h2) + " eurocent",
                                         "Dus het verschil is  ", QString::number(a) + " eurocent"}));
            // Lines: the judge left TextLine at 8.5; the fractions stand across their lines.
            const double lines[] = {11, 12.5, 14, 14, 14, 14, 16, 17.5, 17.5, 17.5, 17.5, 19.5, 19.5};
            for (int k : {0, 1, 4, 5, 6, 9, 10, 11, 12})
                QCOMPARE(said[k].y, kav::Round(lines[k] * kav::LineHeight));
            for (int k : {2, 7})
                QVERIFY(said[k].y < said[k + 2].y && said[k + 1].y > said[k + 2].y && said[k + 2].x >= said[k].x + ratiotest::Width(said[k]));
            QVERIFY(said[5].color == col::Red && said[12].color == col::Red && said[11].color == col::Blue);
        });
    }

    void shots() { w.Shots(15, 1590000u, QStringLiteral("packs")); }
};

QTEST_MAIN(TestRatiosPackages)
#include "tst_ratios_packages.moc"
