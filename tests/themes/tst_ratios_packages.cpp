// Theme 15, two packs compared by their price per 100 gram: thousands of seeded items per
// level for the weights, prices, steps and no-repeat rules; every answer worked out again
// from the weights and prices the picture shows; the draw that would find no small weight
// or no small price; the boxes measured in the picture; the worked explanation.
#include <QRegularExpression>
#include <QtTest>
#include <cmath>

#include "draw/numbers.h"
#include "draw/shapes.h"
#include "session/random.h"
#include "themes/ratios/ratios.h"
#include "themes/ratiosupport.h"

using kav::Session;
using kav::TextLogEntry;
namespace col = kav::col;

namespace {

struct Pack {
    int grams = 0;
    qint64 cents = 0;  // the price as the picture shows it
};

// A pack as the picture shows it: its weight line and the amount after its euro sign.
Pack Shown(const kav::Canvas& picture, const QColor& color)
{
    Pack p;
    static const QRegularExpression weight(QStringLiteral("^Gewicht  (\\d+) gram$"));
    const QString sep = QString(kav::DecimalSeparator);
    const QRegularExpression amount(QStringLiteral("^ (\\d+)") + QRegularExpression::escape(sep) +
                                    QStringLiteral("(\\d\\d)$"));
    const QVector<TextLogEntry>& log = picture.textLog();
    for (int i = 0; i < log.size(); ++i) {
        if (log[i].color != color)
            continue;
        if (const auto m = weight.match(log[i].text); m.hasMatch())
            p.grams = m.captured(1).toInt();
        // The amount follows the euro sign, a "C" written just before it.
        if (const auto m = amount.match(log[i].text); m.hasMatch() && i > 0 && log[i - 1].text == QStringLiteral("C"))
            p.cents = m.captured(1).toLongLong() * 100 + m.captured(2).toInt();
    }
    return p;
}

// The 4-connected area of colour C around (x, y): its bounding box.
QRect AreaAround(const QImage& img, const QColor& c, QPoint seed)
{
    QRect box;
    const QRgb want = c.rgb() | 0xff000000u;
    if (!img.rect().contains(seed) || ratiotest::Px(img, seed.x(), seed.y()) != want)
        return box;
    QVector<char> seen(img.width() * img.height(), 0);
    QVector<QPoint> todo{seed};
    seen[seed.y() * img.width() + seed.x()] = 1;
    while (!todo.isEmpty()) {
        const QPoint p = todo.takeLast();
        box |= QRect(p, QSize(1, 1));
        for (QPoint q : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)})
            if (img.rect().contains(q) && !seen[q.y() * img.width() + q.x()] && ratiotest::Px(img, q.x(), q.y()) == want)
                seen[q.y() * img.width() + q.x()] = 1, todo.append(q);
    }
    return box;
}

// The box of every pixel of the given colours.
QRect Extent(const QImage& img, std::initializer_list<QColor> colours)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            for (const QColor& c : colours)
                if (ratiotest::Px(img, x, y) == (c.rgb() | 0xff000000u))
                    box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class TestRatiosPackages : public QObject {
    Q_OBJECT

    ratiotest::Window w;

    // The rules every item keeps, checked against what the picture shows; Previous is the
    // item before it (zeros and 1 at the start of a session).
    void CheckItem(int level, const std::array<int, 4>& previous)
    {
        kav::SessionState& s = Session();
        const auto& p = s.QuestionParams;
        const Pack large = Shown(w.picture, col::Blue), small = Shown(w.picture, col::Red);
        QVERIFY(large.grams == p[0] && small.grams == p[2] && large.cents > 0 && small.cents > 0);
        // The answer from the shown prices per 100 gram: small - large = A exactly, that is
        // A x W1 x W2 = 100 (c2 W1 - c1 W2).
        const qint64 a = s.ExpectedAnswer;
        QCOMPARE(a * large.grams * small.grams, 100 * (small.cents * large.grams - large.cents * small.grams));
        QVERIFY(a > 0 && a % 10 == 0 && large.cents >= small.cents);
        QVERIFY(small.cents * 10 == qint64(p[3]) * small.grams && large.cents * 10 == qint64(p[1]) * large.grams);

        const int step = level == 3 ? 50 : 100;
        if (level == 1)
            QCOMPARE(p[0], 1000);
        else
            QVERIFY(p[0] != previous[0] && p[0] % 100 == (level == 3 ? 50 : 0) && p[0] >= 400 && p[0] <= 950);
        QVERIFY(p[2] % step == 0 && p[2] >= 2 * step && p[2] <= 12 * step && p[2] < p[0] - 100 && p[2] != previous[2]);
        QVERIFY(p[1] >= 5 && p[1] <= 24 && p[1] != previous[1]);
        QVERIFY(p[3] >= 7 && p[3] <= 26 && p[3] != previous[3]);

        // The question, the answer field, and everything inside its area.
        QVERIFY(w.QuestionAt(QStringLiteral("Hoe groot is het prijsverschil"), col::Red, 0.5));
        QVERIFY(w.QuestionAt(QStringLiteral("per 100 gram ?"), col::Red, 1.5));
        const TextLogEntry* note = w.InText(QStringLiteral("(Antwoord in eurocenten.)"));
        QVERIFY(note && note->color == col::Blue && note->size == kav::Round(kav::BaseFontSize * 0.9));
        QVERIFY(note->y == kav::Round(2.5 * kav::LineHeight) && w.text.textLog().size() == 3);
        QVERIFY(w.port.opened == 1 && w.port.caption == QStringLiteral("Prijsverschil: "));
        QCOMPARE(w.port.hint, QStringLiteral("|Hoe groot is het prijsverschil per 100 gram in eurocenten?"));
        QVERIFY(s.TextLine == 4 && s.AnswerKind == 1 && s.AnswerTolerance == 0 &&
                s.AnswerSuffix == QStringLiteral(" eurocent"));
        for (const TextLogEntry& e : w.picture.textLog())
            QVERIFY2(ratiotest::Window::Inside(w.picture, e), qPrintable(e.text));
    }

private slots:
    void initTestCase() { w.SetUp(); }

    void sweep()
    {
        kav::SessionState& s = Session();
        for (int level = 1; level <= 3; ++level) {
            w.Start(15, level);
            QSet<int> large, small, p1s, p2s;
            for (int i = 0; i < 2000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(1500000 + 10000 * level + i));
                kav::DecimalSeparator = i % 2 ? u'.' : u',';
                const std::array<int, 4> previous = s.Private.theme15;
                w.Item();
                CheckItem(level, previous);
                const auto& p = s.QuestionParams;
                large << p[0], small << p[2], p1s << p[1], p2s << p[3];
                QCOMPARE(s.Private.theme15, (std::array<int, 4>{p[0], p[1], p[2], p[3]}));
                if (i < 3) {  // the second attempt asks again: the same text, picture and numbers
                    const kav::SessionState before = s;
                    const QImage shown = w.picture.image();
                    const auto asked = w.text.textLog();
                    w.Item(false);
                    QVERIFY(w.picture.image() == shown && w.port.opened == 1 && w.port.caption == QStringLiteral("Prijsverschil: "));
                    QVERIFY(s.QuestionParams == before.QuestionParams && s.Private.theme15 == before.Private.theme15);
                    QVERIFY(s.ExpectedAnswer == before.ExpectedAnswer && s.TextLine == 4);
                    QCOMPARE(w.text.textLog().size(), asked.size());
                    for (int k = 0; k < asked.size(); ++k)
                        QVERIFY(w.text.textLog()[k].text == asked[k].text && w.text.textLog()[k].y == asked[k].y);
                }
            }
            const QList<int> largeWeights = level == 1   ? QList<int>{1000}
                                            : level == 2 ? QList<int>{400, 500, 600, 700, 800, 900}
                                                         : QList<int>{450, 550, 650, 750, 850, 950};
            QCOMPARE(large, QSet<int>(largeWeights.begin(), largeWeights.end()));
            const int step = level == 3 ? 50 : 100;
            QVERIFY(*std::min_element(small.begin(), small.end()) == 2 * step);
            QCOMPARE(*std::max_element(small.begin(), small.end()), level == 1 ? 800 : level == 2 ? 700 : 600);
            QVERIFY(p1s.contains(5) && p1s.contains(24) && p2s.contains(7) && p2s.contains(26));
        }
        kav::DecimalSeparator = u',';
    }

    // A large pack of 400 gram leaves only 200 gram for the small one; after a small pack of
    // 200 gram the large one is drawn again, and the item is asked all the same.
    void fourHundredGram()
    {
        kav::SessionState& s = Session();
        int fours = 0;
        for (int previousSmall : {200, 300}) {
            for (int i = 0; i < 600; ++i) {
                w.Start(15, 2);
                s.Private.theme15 = {500 + 100 * (i % 5), 5 + i % 20, previousSmall, 7 + i % 20};
                kav::SeedRandom(std::uint32_t(1540000 + i));
                const std::array<int, 4> previous = s.Private.theme15;
                w.Item();
                CheckItem(2, previous);
                QVERIFY(s.QuestionParams[0] != 400 || previousSmall != 200);
                fours += s.QuestionParams[0] == 400;
            }
        }
        QVERIFY(fours > 50);  // after 300 gram, 400 gram comes as often as before
    }

    // Whatever the previous item was, a new one is drawn and asked: a price of the large pack
    // that leaves no price for the small one (5 beside 800 of 1000 gram) is drawn again.
    void everyPreviousItemLeadsOn()
    {
        kav::SessionState& s = Session();
        std::mt19937 pick(15);
        for (int level = 1; level <= 3; ++level)
            for (int i = 0; i < 500 && !QTest::currentTestFailed(); ++i) {
                w.Start(15, level);
                const int step = level == 3 ? 50 : 100;
                s.Private.theme15 = {level == 1 ? 1000 : int(400 + 100 * (pick() % 6) + (level == 3 ? 50 : 0)),
                                     int(5 + pick() % 20), int(step * (2 + pick() % 11)), int(7 + pick() % 20)};
                kav::SeedRandom(std::uint32_t(1550000 + 10000 * level + i));
                const std::array<int, 4> previous = s.Private.theme15;
                w.Item();
                CheckItem(level, previous);
            }
        // The tight corner itself: 1000 gram beside 800 allows a small price only up to 1.25
        // times the large one.
        w.Start(15, 1);
        for (int i = 0; i < 400; ++i) {
            kav::SeedRandom(std::uint32_t(1560000 + i));
            const std::array<int, 4> previous = s.Private.theme15;
            w.Item();
            CheckItem(1, previous);
            const auto& p = s.QuestionParams;
            if (p[2] == 800)
                QVERIFY(p[1] >= 6 && p[3] * 4 <= p[1] * 5);
        }
    }

    // The boxes in the picture: the large one 40 % of the width wide and 30 % high standing on
    // line 13, the small one at the cube root of the weight ratio, so its volume goes with its
    // weight; both between the column headings and the weight lines.
    void boxes()
    {
        kav::SessionState& s = Session();
        for (int level = 1; level <= 3; ++level) {
            w.Start(15, level);
            for (int i = 0; i < 6; ++i) {
                kav::SeedRandom(std::uint32_t(1570000 + 100 * level + i));
                w.Item();
                const QImage img = w.picture.image();
                // The faces' fill colours are used by nothing else in the picture.
                const QRect big = Extent(img, {col::Aqua}), little = Extent(img, {col::Yellow});
                // The front faces, flooded from just inside their lower left corners.
                const QRect yellow = AreaAround(img, col::Yellow, QPoint(kav::PercentX(57) + 5, 13 * kav::LineHeight - 5));
                const QRect aqua = AreaAround(img, col::Aqua, QPoint(kav::PercentX(5) + 5, 13 * kav::LineHeight - 5));
                QVERIFY(qAbs(aqua.left() - kav::PercentX(5)) <= 3 && qAbs(aqua.bottom() - 13 * kav::LineHeight) <= 3);
                QVERIFY(qAbs(aqua.width() - kav::PercentX(30)) <= 3 && qAbs(aqua.height() - kav::PercentX(20)) <= 3);
                const double ratio = double(s.QuestionParams[2]) / s.QuestionParams[0];
                // The fill of a front face is its width less the pen (3 pixels, as the large box shows).
                QCOMPARE(aqua.width() + 3, kav::PercentX(30));
                QVERIFY2(qAbs(yellow.width() + 3 - std::cbrt(ratio) * kav::PercentX(30)) <= 1.5,
                         qPrintable(QStringLiteral("%1 %2").arg(yellow.width()).arg(ratio)));
                const double volumes = std::pow(double(yellow.width() + 1) / (aqua.width() + 1), 3);
                QVERIFY(qAbs(volumes - ratio) < 0.08);
                // The boxes between the headings (line 3) and the weights (line 15), inside the frame:
                // the large one 40 % of the width wide and 30 % high.
                QVERIFY(qAbs(big.top() - (13 * kav::LineHeight - kav::PercentX(30))) <= 3);
                QVERIFY(qAbs(big.right() - kav::PercentX(45)) <= 3);
                for (const QRect& r : {big, little})
                    QVERIFY(r.top() > 4 * kav::LineHeight && r.bottom() < 13 * kav::LineHeight && r.left() >= 1 &&
                            r.right() < img.width() - 1);
                QVERIFY(little.left() >= kav::PercentX(57) - 1 && big.right() < kav::PercentX(55));
            }
        }
    }

    void shots() { w.Shots(15, 2, 1590000u, QStringLiteral("packs")); }

    // The worked explanation: both prices per 100 gram from the price over the weight, and
    // their difference, which is the answer.
    void explanation()
    {
        kav::SessionState& s = Session();
        for (int level = 1; level <= 3; ++level) {
            w.Start(15, level);
            for (int i = 0; i < 40 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(1580000 + 100 * level + i));
                kav::DecimalSeparator = i % 2 ? u'.' : u',';
                w.Item();
                const Pack large = Shown(w.picture, col::Blue), small = Shown(w.picture, col::Red);
                const QVector<TextLogEntry> said = w.FailTwice();
                QVERIFY(!said.isEmpty());
                auto at = [&](int k, const QString& t, const QColor& c, double line) {
                    return k < said.size() && said[k].text == t && said[k].color == c &&
                           said[k].y == kav::Round(line * kav::LineHeight);
                };
                // The judge left TextLine at 8.5 (the answer with its unit on a line of its own).
                QVERIFY(at(0, "Toelichting:", col::Blue, 11) && said[0].x == kav::TextMargin);
                QVERIFY(at(1, "Prijs groot pak per 100 gram: ", col::Black, 12.5));
                QVERIFY(at(6, "Prijs klein pak per 100 gram: ", col::Black, 16));
                qint64 perHundred[2] = {};
                for (int k : {0, 1}) {
                    const Pack pack = k ? small : large;
                    const int first = 2 + 5 * k;  // numerator, denominator, " · 100 = ", the value
                    const double line = k ? 17.5 : 14;
                    QVERIFY(said[first].text == QString::number(pack.cents) && said[first].color == col::Blue);
                    QVERIFY(said[first + 1].text == QString::number(pack.grams) && said[first + 1].color == col::Blue);
                    QVERIFY(said[first].y < kav::Round(line * kav::LineHeight) && said[first + 1].y > kav::Round(line * kav::LineHeight));
                    QVERIFY(at(first + 2, QStringLiteral(" \u00b7 100 = "), col::Blue, line));
                    QVERIFY(said[first + 2].x >= qMax(said[first].x + ratiotest::Width(said[first]),
                                                      said[first + 1].x + ratiotest::Width(said[first + 1])));
                    QVERIFY(said[first + 3].text.endsWith(" eurocent") && said[first + 3].color == col::Red);
                    perHundred[k] = said[first + 3].text.section(u' ', 0, 0).toLongLong();
                    QCOMPARE(perHundred[k] * pack.grams, pack.cents * 100);
                }
                QVERIFY(at(11, "Dus het verschil is  ", col::Blue, 19.5));
                QVERIFY(at(12, QString::number(perHundred[1] - perHundred[0]) + " eurocent", col::Red, 19.5));
                QCOMPARE(perHundred[1] - perHundred[0], qint64(s.ExpectedAnswer));
                QCOMPARE(said.size(), 13);
                for (const TextLogEntry& e : said)
                    QVERIFY2(ratiotest::Window::Inside(w.text, e), qPrintable(e.text));
            }
        }
        kav::DecimalSeparator = u',';
    }
};

QTEST_MAIN(TestRatiosPackages)
#include "tst_ratios_packages.moc"
