// Theme 14, converting money, run as a session runs it: 2000 seeded items per level with
// the answer worked out from the table the pupil is shown (the amounts of equal value) and
// converted back, the currencies and factors that may not repeat, the turns of conversion and
// rate questions, the example that never gives the answer away, the texts, the second
// attempt and the proportion table with its cross product.
#include <QRegularExpression>

#include "ratiofixture.h"
#include "session/random.h"
#include "themes/ratios/ratios.h"

using namespace ratiotest;
namespace col = kav::col;

namespace {

// The currencies, as the pupil learns them: without a number in the plural, after a number in
// the singular (with the country's adjective in full sentences), the country, and the amounts
// of the table.
const QStringList plural = {"euro's", "Amerikaanse dollars", "Engelse ponden", "Zwitserse franken", "Zuid-Afrikaanse rand"};
const QStringList named = {"euro", "Amerikaanse dollar", "Engelse pond", "Zwitserse frank", "Zuid-Afrikaanse rand"};
const QStringList unit = {"euro", "dollar", "pond", "frank", "rand"};
const QStringList country = {"Nederland", "Amerika", "Engeland", "Zwitserland", "Zuid-Afrika"};
const int known[] = {100, 90, 60, 150, 700};

// What 1 euro was worth in December 2000 (about the month's average rate): the table's
// amounts, and every answer, must agree with it.
const double perEuro[] = {1.0, 0.897, 0.614, 1.509, 6.80};

// The table in the picture: per row (0 .. 4) the name, the amount column (-1 for "?") and
// the third column (0 when empty, -1 for "?").
struct Table {
    QStringList names;
    QVector<int> amount = QVector<int>(5, 0), third = QVector<int>(5, 0);
    QStringList example;  // the two green lines
};

Table Read(const Canvas& picture)
{
    Table t;
    for (const TextLogEntry& e : picture.textLog()) {
        const int row = qRound(double(e.y) / kav::LineHeight - 10.5) - 1;
        const bool onRow = row >= 0 && row < 5 && e.y == Y(row + 11.5);
        const int end = e.x + Width(e);
        const int value = e.text == "?" ? -1 : e.text.toInt();
        if (e.color == col::Green && e.x == kav::PercentX(30))
            t.example << e.text;
        else if (onRow && e.x == kav::PercentX(5))
            t.names << e.text;
        else if (onRow && end == kav::PercentX(55))
            t.amount[row] = e.color == (value < 0 ? col::Red : col::Black) ? value : -99;
        else if (onRow && end == kav::PercentX(70))
            t.third[row] = e.color == col::Red ? value : -99;
    }
    return t;
}

// Every text of the table stays inside its column, the example inside the picture.
QString OutsideItsColumn(const Canvas& picture)
{
    for (const TextLogEntry& e : picture.textLog()) {
        const int end = e.x + Width(e);
        const bool onRow = e.y > Y(10.5) && e.y < Y(17);
        QString fault;
        if ((onRow || e.text == "Munteenheid") && e.x == kav::PercentX(5) && end >= kav::PercentX(44))
            fault = "runs into the amount column";
        else if (onRow && end == kav::PercentX(55) && e.x <= kav::PercentX(44))
            fault = "runs into the name column";
        else if ((onRow && end == kav::PercentX(70) && e.x <= kav::PercentX(60)) ||
                 (e.text == "Aantal" && end >= kav::PercentX(60)))
            fault = "leaves its column";
        else if (end >= picture.width() - 1)
            fault = "runs out of the picture";
        if (!fault.isEmpty())
            return QStringLiteral("'%1' (%2 .. %3 of %4) %5").arg(e.text).arg(e.x).arg(end).arg(picture.width()).arg(fault);
    }
    return QString();
}

// "90 Amerikaanse dollar is net zoveel" / "waard als 60 Engelse pond.": a table amount with the
// singular of its own currency, never the asked one.
bool ExampleReads(const QStringList& example, int asked)
{
    static const QRegularExpression first(QStringLiteral("^(\\d+) (.+) is net zoveel$")),
        second(QStringLiteral("^waard als (\\d+) (.+)\\.$"));
    int shown[2] = {-1, -1};
    for (int line = 0; line < 2; ++line) {
        const QRegularExpressionMatch m = (line == 0 ? first : second).match(example.value(line));
        const int i = int(named.indexOf(m.captured(2)));
        if (!m.hasMatch() || i < 0 || m.captured(1).toInt() != known[i] || i == asked)
            return false;
        shown[line] = i;
    }
    return shown[0] != shown[1];
}

}  // namespace

class TestRatiosCurrency : public QObject {
    Q_OBJECT
    Fixture f;

    void CheckTexts(const QStringList& expected, const Canvas& c)
    {
        QCOMPARE(c.textLog().size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QStringList q = expected[i].split(u'|');
            const TextLogEntry& e = c.textLog()[i];
            QVERIFY2(e.text == q[2] && e.y == Y(q[0].toDouble()) && e.x == kav::TextMargin, qPrintable(e.text));
            QVERIFY(e.color == (q[1] == "red" ? col::Red : col::Blue));
        }
    }

private slots:
    void initTestCase() { f.SetUp(); }

    void generator()
    {
        for (int level = 1; level <= 3; ++level) {
            Fixture::Start(14, level);
            kav::SessionState& s = kav::Session();
            int previousC1 = 0, previousK = 1, rates = 0;  // the memory starts at -1
            bool previousRate = true;
            QSet<int> factors, pairs;
            for (int i = 0; i < testsupport::Sweep(2000) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(14000 + 5000 * level + i));
                f.Item(kav::Theme14);
                const auto& p = s.QuestionParams;
                const Table t = Read(f.picture);
                QCOMPARE(t.names, plural);
                // The asked row shows a "?"; the row bought from shows the price in the third column.
                int from = -1, to = -1;
                for (int r = 0; r < 5; ++r)
                    if (t.third[r] == -1 || t.amount[r] == -1)
                        to = r;
                for (int r = 0; r < 5; ++r)
                    if (t.third[r] > 0 && r != to)
                        from = r;
                const bool rate = t.amount.contains(-1);
                const int price = from >= 0 ? t.third[from] : 0, other = to >= 0 ? t.third[to] : 0;
                QVERIFY(t.third.count(0) == 3 && t.amount.count(-1) + t.third.count(-1) == 1);
                QVERIFY(from >= 0 && to >= 0 && from != to && !t.amount.contains(-99) && !t.third.contains(-99));
                QVERIFY(from + 1 != previousC1 && p[1] == from + 1 && p[2] == to + 1 && p[0] == price);
                // At "Durver" and "Prof !" rate and conversion take turns, conversion first.
                QCOMPARE(rate, level > 1 && !previousRate);
                QCOMPARE(rate, s.ThemeMemory[14] < 0);
                const int k = qAbs(s.ThemeMemory[14]) % 100;
                QVERIFY(k != previousK && qAbs(s.ThemeMemory[14]) / 100 == previousK);
                QVERIFY(i < 3 ? k % 2 == 0 && k >= 2 && k <= 8 : k >= 1 && k <= 5 * level + 8);
                // The answer from the table: equal values, so price / A1 = converted / A2.
                const int a1 = t.amount[from], a2 = rate ? (other * a1) / price : t.amount[to];
                if (rate) {
                    QCOMPARE((other * a1) % price, 0);
                    QVERIFY(other == p[3] && s.ExpectedAnswer == known[to] && a2 == known[to]);
                    ++rates;
                } else {
                    QCOMPARE((price * a2) % a1, 0);
                    QVERIFY(s.ExpectedAnswer == price * a2 / a1 && s.ExpectedAnswer == p[3]);
                    QVERIFY(s.ExpectedAnswer * a1 / a2 == price);  // back again
                }
                QVERIFY(p[3] != known[to] && p[3] > 0);
                for (int r = 0; r < 5; ++r)
                    QVERIFY(t.amount[r] == (rate && r == to ? -1 : known[r]));
                // The example never shows the asked row.
                QCOMPARE(t.example.size(), 2);
                for (const QString& e : t.example)
                    QVERIFY(!e.contains(named[to]) && !e.contains(QString::number(known[to]) + " "));
                QVERIFY2(ExampleReads(t.example, to), qPrintable(t.example.join(" / ")));
                const QString outside = OutsideItsColumn(f.picture);
                QVERIFY2(outside.isEmpty(), qPrintable(outside));
                // Worth as much as the real money of the time: the price and the answer in the two
                // currencies agree with that month's rate (each amount is within 5 % of it).
                const double real = price * perEuro[to] / perEuro[from];
                QVERIFY2(qAbs(p[3] / real - 1) < 0.11, qPrintable(QStringLiteral("%1 %2 is about %3 %4, not %5")
                                                                  .arg(price).arg(unit[from]).arg(real).arg(unit[to]).arg(p[3])));
                // The text side and the answer field.
                QStringList expected = {"0.5|blue|Suzanne koopt iets in",
                                        QStringLiteral("1.5|blue|%1 voor %2 %3.").arg(country[from]).arg(price).arg(unit[from])};
                if (rate) {
                    expected << QStringLiteral("2.75|blue|In %1 kost dit artikel").arg(country[to])
                             << QStringLiteral("3.75|blue|%1 %2.").arg(other).arg(unit[to])
                             << "5|red|Hoeveel " + plural[to] << "6|red|hebben dezelfde waarde als"
                             << QStringLiteral("7|red|%1 %2 ?").arg(a1).arg(named[from]);
                    QVERIFY(f.port.caption == "Aantal: " && s.TextLine == 8.75 && s.AnswerSuffix == " ");
                    QCOMPARE(f.port.hint, "|Wat is de 'koers' in " + country[to] + " ?");
                } else {
                    expected << "3|red|Hoeveel kost dit omgerekend" << "4|red|in " + plural[to] + "?";
                    QCOMPARE(f.port.caption, unit[to].left(1).toUpper() + unit[to].mid(1) + ": ");
                    QVERIFY(s.TextLine == 6 && s.AnswerSuffix == " " + unit[to]);
                    QCOMPARE(f.port.hint, "|Hoeveel " + plural[to] + " kost dat ?");
                }
                CheckTexts(expected, f.text);
                QVERIFY(s.AnswerKind == 1 && f.port.opened == 1);
                if (i % 500 == 0 || i % 500 == 1)
                    f.CheckSecondAttempt(kav::Theme14);
                previousC1 = from + 1, previousK = k, previousRate = rate;
                factors << k, pairs << 10 * from + to;
                ++s.ThemeItemCount[14];
            }
            QCOMPARE(rates, level == 1 ? 0 : testsupport::Sweep(2000) / 2);
            // A factor that prices the article at the table amount itself (10 at "Durver", 5 at
            // "Prof !") would give the table amount as the answer: it never comes.
            QCOMPARE(factors.size(), 5 * level + 8 - (level > 1 ? 1 : 0));
            QVERIFY(!factors.contains(level == 2 ? 10 : level == 3 ? 5 : 0));
            QCOMPARE(pairs.size(), 20);
        }
    }

    // The table's amounts are worth the same: each is within 5 % of the rate of December 2000.
    // (A table of eurocents per unit would say that a pound is worth less than a euro.)
    void amountsOfEqualValue()
    {
        for (int i = 0; i < 5; ++i)
            QVERIFY2(qAbs(known[i] / 100.0 / perEuro[i] - 1) < 0.05, qPrintable(plural[i]));
    }

    // Many seeds, numbers only: every item of every level finds a whole price and answer (the
    // generator draws again until it does), the answer converts back, and the factor stays in
    // its range.
    void everyItemComesOutWhole()
    {
        for (int level = 1; level <= 3; ++level) {
            Fixture::Start(14, level);
            kav::SessionState& s = kav::Session();
            QSet<int> answers;
            for (int i = 0; i < testsupport::Sweep(3000) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(900000 + 100000 * level + i));
                f.Item(kav::Theme14);
                const auto& p = s.QuestionParams;
                const int from = p[1] - 1, to = p[2] - 1, k = qAbs(s.ThemeMemory[14]) % 100;
                QVERIFY(from >= 0 && from < 5 && to >= 0 && to < 5 && from != to);
                QVERIFY(k >= 1 && k <= (i < 3 ? 8 : 5 * level + 8));
                QVERIFY2(p[0] > 0 && p[3] > 0 && p[3] != known[to] && qint64(p[0]) * known[to] == qint64(p[3]) * known[from],
                         qPrintable(QStringLiteral("level %1, item %2: %3 %4 -> %5 %6")
                                        .arg(level).arg(i).arg(p[0]).arg(unit[from]).arg(p[3]).arg(unit[to])));
                QCOMPARE(s.ExpectedAnswer, s.ThemeMemory[14] < 0 ? known[to] : p[3]);
                answers << p[3];
                ++s.ThemeItemCount[14];
            }
            QVERIFY(answers.size() > 50);
        }
    }

    // The generator draws a factor again until the price converts to a whole number other than
    // the table amount: for every level, pair of currencies and stage of the session at least
    // two of the factors it draws from must do, so that one is left besides the previous one.
    void everyPairHasFactorsThatWork()
    {
        for (int level = 1; level <= 3; ++level)
            for (bool early : {true, false})
                for (int from = 0; from < 5; ++from)
                    for (int to = 0; to < 5; ++to) {
                        if (from == to)
                            continue;
                        int working = 0;
                        for (int k = 1; k <= (early ? 8 : 5 * level + 8); ++k) {
                            if (early && k % 2)
                                continue;
                            const qint64 price = level == 1 ? known[from] * k * 3 / 2 : known[from] * k / (level == 2 ? 10 : 5);
                            working += (price * known[to]) % known[from] == 0 && price * known[to] / known[from] != known[to];
                        }
                        QVERIFY2(working >= 2, qPrintable(QStringLiteral("level %1, %2 to %3").arg(level).arg(unit[from], unit[to])));
                    }
    }

    // The picture's heading, table heading and rules, for one item.
    void pictureFrame()
    {
        Fixture::Start(14, 2);
        kav::SeedRandom(8);
        f.Item(kav::Theme14);
        const TextLogEntry* head = testsupport::Logged(f.picture, "Hetzelfde bedrag, andere valuta");
        QVERIFY(head && head->color == col::Red && head->bold && head->y == Y(0.25));
        const TextLogEntry* table = testsupport::Logged(f.picture, "Gelijke waarden (ongeveer, december 2000)");
        QVERIFY(table && table->size == kav::Round(1.25 * kav::BaseFontSize) && table->y == Y(8));
        QVERIFY(qAbs(2 * table->x + Width(*table) - f.picture.width()) <= 1);
        for (auto [text, x, line] : {std::tuple{"Munteenheid", 5, 9.75}, {"Aantal", 47, 9.75}, {"Bijvoorbeeld:", -1, 4.5}}) {
            const TextLogEntry* e = testsupport::Logged(f.picture, text);
            QVERIFY(e && e->y == Y(line) && e->x == (x < 0 ? kav::TextMargin : kav::PercentX(x)));
        }
        const QImage img = f.picture.image();
        auto black = [&](double px, double line) { return QColor(img.pixel(kav::PercentX(px), Y(line))) == col::Black; };
        for (double line : {9.5, 11.0, 17.0})
            QVERIFY(black(6, line) && black(94, line) && !black(3, line) && !black(97, line));
        for (double x : {44.0, 60.0})
            QVERIFY(black(x, 10) && black(x, 16.5) && !black(x, 18));
    }

    // The proportion table below the currency table and the cross product beside it.
    void explanation()
    {
        for (int level = 1; level <= 3; ++level) {
            Fixture::Start(14, level);
            kav::SessionState& s = kav::Session();
            for (int i = 0; i < 60 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(600 + 100 * level + i));
                f.Item(kav::Theme14);
                const auto p = s.QuestionParams;
                const bool rate = s.ThemeMemory[14] < 0;
                const int a = known[p[1] - 1], b = known[p[2] - 1], c = p[0], d = p[3];
                const int before = int(f.picture.textLog().size());
                const double line = s.TextLine + 3.25 + 1.25;
                const QVector<TextLogEntry> w = f.Explain(kav::Explanation14);
                const QVector<TextLogEntry> table = Since(f.picture, before);
                // The cells: A over B left of the rule, C over D right of it; the unknown red.
                QCOMPARE(table.size(), 5);
                QVERIFY(table[0].text == "EVENREDIGHEIDSTABEL:" && table[0].color == col::Red && table[0].y == Y(18.5));
                const QString bText = rate ? "?" : QString::number(b), dText = rate ? QString::number(d) : "?";
                for (auto [k, text, end, l] : {std::tuple{1, QString::number(a), 43, 20.5}, {2, bText, 43, 22.5},
                                               {3, QString::number(c), 63, 20.5}, {4, dText, 63, 22.5}}) {
                    QVERIFY(table[k].text == text && table[k].y == Y(l) && table[k].x + Width(table[k]) == kav::PercentX(end));
                    QCOMPARE(table[k].color, text == "?" ? col::Red : col::Black);
                }
                const QImage img = f.picture.image();
                QCOMPARE(QColor(img.pixel(kav::PercentX(40), Y(22))), col::Blue);
                QCOMPARE(QColor(img.pixel(kav::PercentX(50), Y(23.5))), col::Blue);
                // The text: the cross product, then the unknown as a fraction worked out.
                QStringList texts;
                for (const TextLogEntry& e : w)
                    texts << e.text;
                QVERIFY(w[0].text == "Toelichting: evenredigheidstabel" && w[0].color == col::Blue);
                QVERIFY(w[1].text == "Bijvoorbeeld kruisproduct maken:" && w[1].y == Y(s.TextLine - 3.6));
                const int numerator = rate ? a * d : c * b, divisor = rate ? c : a;
                QCOMPARE(numerator % divisor, 0);
                QCOMPARE(numerator / divisor, s.ExpectedAnswer);
                QCOMPARE(texts.mid(2, 4), QStringList({QStringLiteral("%1 · ").arg(a), dText,
                                                        QStringLiteral(" = %1 · ").arg(c), bText}));
                if (rate)
                    QCOMPARE(texts.mid(6, 2), QStringList({QStringLiteral("%1 = %2 · ").arg(a * d).arg(c), "?"}));
                else
                    QCOMPARE(texts.mid(6, 3), QStringList({QStringLiteral("%1 · ").arg(a), "?", QStringLiteral(" = %1").arg(c * b)}));
                QCOMPARE(texts.mid(texts.size() - 5),
                         QStringList({"? ", "= ", QString::number(numerator), QString::number(divisor),
                                      QStringLiteral(" = %1").arg(s.ExpectedAnswer)}));
                QVERIFY(w.last().color == col::Red && w.last().y == Y(s.TextLine) && w[2].x == 2 * kav::TextMargin);
                QVERIFY(qAbs(s.TextLine - (line + 1.25 + 1.1 + 1.1 + 1 + 1.5)) < 1e-9);
                QString out;
                QVERIFY2(Fixture::Inside(w, f.text, &out), qPrintable(out));
                QVERIFY2(Fixture::Inside(table, f.picture, &out), qPrintable(out));
                if (i < 2)
                    f.Shot(QStringLiteral("theme14-explanation-level%1-%2").arg(level).arg(rate ? "rate" : "conversion"));
                ++s.ThemeItemCount[14];
            }
        }
    }
};

QTEST_MAIN(TestRatiosCurrency)
#include "tst_ratios_currency.moc"
