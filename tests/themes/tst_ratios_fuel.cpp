// Theme 16, the fuel use of two jeeps: thousands of seeded items per level for the question
// cycle, the ranges and the no-repeat rules; every answer worked out again from what the
// question tells the pupil; the graph read back from its pixels on a sample; the labels, the
// jeeps and the worked explanation of each question type.
#include <QRegularExpression>
#include <QtTest>

#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "session/random.h"
#include "themes/ratios/ratios.h"
#include "themes/ratiosupport.h"

using kav::Session;
using kav::TextLogEntry;
using ratiotest::Px;
namespace col = kav::col;

namespace {

// The whole numbers in a text, in order.
QList<qint64> Numbers(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    QList<qint64> found;
    for (auto it = number.globalMatch(text); it.hasNext();)
        found << it.next().captured().toLongLong();
    return found;
}

// How far a text's ink reaches: its width without trailing spaces.
int Inked(const TextLogEntry& e)
{
    TextLogEntry trimmed = e;
    while (trimmed.text.endsWith(u' '))
        trimmed.text.chop(1);
    return ratiotest::Width(trimmed);
}

// The ink of a text: its box without the trailing spaces and the font's empty rows above
// the digits and below the letters (a tenth of its height each).
QRect Box(const TextLogEntry& e)
{
    const int h = ratiotest::Height(e);
    return QRect(e.x, e.y + h / 10, Inked(e), h - 2 * (h / 10));
}

// The middle height of the pixels of colour C in column X between rows Top and Bottom.
double ColumnMiddle(const QImage& img, int x, int top, int bottom, const QColor& c)
{
    double sum = 0;
    int n = 0;
    for (int y = top; y <= bottom; ++y)
        if (Px(img, x, y) == (c.rgb() | 0xff000000u))
            sum += y, ++n;
    return n ? sum / n : -1;
}

}  // namespace

class TestRatiosFuel : public QObject {
    Q_OBJECT

    ratiotest::Window w;

    // The answer as a pupil works it out from the question (exact fractions):
    // type 0: J x D / 100 - D / H; type 1: D / (J x D / 100 - E); type 2: (D / H + E) x 100 / D.
    void CheckAnswerFromQuestion(int type)
    {
        const kav::SessionState& s = Session();
        qint64 h = 0, j = 0, e = 0, d = 0;
        for (const TextLogEntry& t : w.text.textLog()) {
            const QList<qint64> n = Numbers(t.text);
            if (t.text.startsWith("1 liter op "))
                h = n[1];
            else if (t.text.endsWith(" liter op 100 km."))
                j = n[0];
            else if (t.text.endsWith(" liter benzine meer dan de"))
                e = n[0];
            else if (t.text.startsWith("van ") && t.text.endsWith(" km."))
                d = n[0];
            else if (t.text.startsWith("op een afstand van "))
                d = n[0];
        }
        const qint64 a = s.ExpectedAnswer;
        QVERIFY(d > 0);
        switch (type) {
        case 0: QVERIFY(h > 0 && a * 100 * h == j * d * h - 100 * d); break;
        case 1: QVERIFY(j > 0 && e > 0 && a * (j * d - 100 * e) == 100 * d); break;
        default: QVERIFY(h > 0 && e > 0 && a * d * h == (d + e * h) * 100); break;
        }
    }

    // The labels of the graph where they belong, none over another, all inside.
    void CheckLabels(int type, int level)
    {
        const auto& p = Session().QuestionParams;
        const int h = p[0], j = p[1];
        const QVector<TextLogEntry>& log = w.picture.textLog();
        auto centredOn = [](const TextLogEntry& e, int x) { return qAbs(e.x + ratiotest::Width(e) / 2 - x) <= 1; };
        auto count = [&](const QString& t, const QColor& c) {
            return std::count_if(log.begin(), log.end(), [&](const TextLogEntry& e) { return e.text == t && e.color == c; });
        };
        const int right = w.picture.width() - kav::TextMargin;
        int fuel = 0;
        for (const TextLogEntry& e : log) {
            if (e.text == "verbruik (liter)")
                QVERIFY(++fuel && (e.x == kav::PercentX(1) || e.x + ratiotest::Width(e) == right));
            if (e.text == "afstand (km)")
                QVERIFY(e.x + ratiotest::Width(e) == right && e.color == col::Black);
            if (e.text == "100")
                QVERIFY(centredOn(e, kav::PercentX(90)) && e.y > kav::PercentY(90));
            if (e.color == col::Red) {  // Jos's value at the right axis, at his line's end
                QVERIFY(e.text == (type == 2 ? QStringLiteral("?") : QString::number(j)) && e.x == kav::PercentX(91));
                QVERIFY(qAbs(e.y + kav::LineHeight / 2.0 - kav::PercentY(90 - 6 * j)) <= 1);
            }
            if (!e.text.isEmpty())
                QVERIFY2(ratiotest::Window::Inside(w.picture, e), qPrintable(e.text));
            QVERIFY(e.size == kav::Round(kav::BaseFontSize * 0.9) && !e.bold);
        }
        QCOMPARE(fuel, 2);
        QCOMPARE(count(type == 2 ? "?" : QString::number(j), col::Red), 1);
        if (level < 3) {
            QCOMPARE(count("10", col::Black), 1 + (type == 0 ? 2 - (j == 10) : 0));
            QCOMPARE(count("1", col::Black), type == 0 ? 2 : 0);
            QVERIFY(centredOn(*testsupport::Logged(w.picture, "10"), kav::PercentX(18)) || type == 0);
        } else {
            const TextLogEntry* under = testsupport::Logged(w.picture, type == 1 ? "?" : QString::number(h));
            QVERIFY(under && under->color == col::Black && centredOn(*under, kav::PercentX(10 + 0.8 * h)));
            QVERIFY(count("10", col::Black) == (h == 10) && count("1", col::Black) == 0);
        }
        QVector<QRect> boxes;
        for (const TextLogEntry& e : log)
            boxes << (e.text.isEmpty() ? QRect() : Box(e));
        for (int a = 0; a < log.size(); ++a)
            for (int b = a + 1; b < log.size(); ++b)
                QVERIFY2(!boxes[a].intersects(boxes[b]), qPrintable(log[a].text + " / " + log[b].text));
    }

    // The graph read back from its pixels: Jos's red line at 50 km, Harm's black line at
    // 62.5 km, Harm's one-litre point with its dashed lines, and the two jeeps.
    void CheckGraph()
    {
        const auto& p = Session().QuestionParams;
        const int h = p[0], j = p[1];
        const QImage img = w.picture.image();
        const double onePercent = img.height() / 100.0;
        const double red = ColumnMiddle(img, kav::PercentX(50), kav::PercentY(5), kav::PercentY(89), col::Red);
        QVERIFY(qAbs((90 - red / onePercent) / 6 - j * 0.5) < 0.1);
        const double black = ColumnMiddle(img, kav::PercentX(60), kav::PercentY(6), kav::PercentY(88), col::Black);
        QVERIFY2(qAbs((90 - black / onePercent) / 6 - 62.5 / h) < 0.1, qPrintable(QString::number(black)));
        // The point, and dashes on the way to it: pieces of black with gaps between them.
        const int px = kav::PercentX(10 + 0.8 * h), py = kav::PercentY(84);
        QVERIFY(Px(img, px, py) == col::Black.rgb() && Px(img, px + 3, py + 2) == col::Black.rgb());
        for (bool across : {true, false}) {
            int dashes = 0;
            bool inDash = false;
            const int from = across ? kav::PercentX(10) + 4 : kav::PercentY(90) - 4;
            const int to = across ? px - 8 : py + 8;
            for (int k = qMin(from, to); k <= qMax(from, to); ++k) {
                const bool on = Px(img, across ? k : px, across ? py : k) == col::Black.rgb();
                dashes += on && !inDash;
                inDash = on;
            }
            QVERIFY(dashes >= 2);
        }
        // The jeeps: Harm's below his line at 75 km, Jos's above his at 50 km, at their natural
        // size times the screen scale.
        const kav::Picture jeep = kav::LoadPicture(QStringLiteral("jeep2"));
        const int jw = kav::Round(jeep.width() * kav::ScreenScale), jh = kav::Round(jeep.height() * kav::ScreenScale);
        const int y1 = kav::PercentY(90 - 450.0 / h), y2 = kav::PercentY(90 - 3.0 * j);
        for (const QRect r : {QRect(kav::PercentX(73), y1, jw, jh), QRect(kav::PercentX(49) - jw, y2 - jh, jw, jh)}) {
            QVERIFY(img.rect().adjusted(1, 1, -1, -1).contains(r));
            int painted = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    painted += Px(img, x, y) != col::BtnFace.rgb();
            QVERIFY(painted > r.width() * r.height() / 3);
        }
    }

private slots:
    void initTestCase() { w.SetUp(); }

    void sweep()
    {
        kav::SessionState& s = Session();
        for (int level = 1; level <= 3; ++level) {
            w.Start(16, level);
            QSet<int> hs, js, ms, types;
            for (int i = 0; i < 2000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(1600000 + 10000 * level + i));
                const std::array<int, 3> previous = s.Private.theme16;
                w.Item();
                const auto& p = s.QuestionParams;
                const int h = p[0], j = p[1], m = p[2], d = p[3], e = p[4];
                const int type = s.ThemeMemory[16];
                // The cycle: always 0 at "Starter", 0 1 0 1 at "Durver", 0 1 2 at "Prof !".
                QCOMPARE(type, i % level);
                QVERIFY(h != previous[0] && j != previous[1] && m != previous[2]);
                QVERIFY(s.Private.theme16 == (std::array<int, 3>{h, j, m}));
                if (level == 3)
                    QVERIFY(h >= 8 && h <= 18 && h % 2 == 0 && m >= 1 && m <= 2 && d == h * (100 * m + 50));
                else
                    QVERIFY(h >= 8 && h <= 19);
                if (level == 1)
                    QVERIFY(m >= 2 && m <= 3 && d == (m == 2 ? 100 : 1000) * h);
                if (level == 2)
                    QVERIFY(m >= 1 && m <= 3 && d == 100 * h * m);
                QVERIFY(j >= 4 && j <= 14 && j * h > 100 && (type != 1 || h != 10));
                // E: Jos's litres over D km less Harm's, a whole number.
                QVERIFY(qint64(j) * d % 100 == 0 && d % h == 0 && e == qint64(j) * d / 100 - d / h && e > 0);
                QCOMPARE(s.ExpectedAnswer, type == 0 ? e : type == 1 ? h : j);
                CheckAnswerFromQuestion(type);

                // The question.
                const QString dd = QString::number(d);
                const QStringList asked = type == 0   ? QStringList{"Hoeveel liter verbruikt de jeep", "van Jos meer dan die van Harm", "op een afstand van " + dd + " km ?"}
                                          : type == 1 ? QStringList{"Hoeveel km kan Harm rijden", "met één liter benzine ?"}
                                                      : QStringList{"Hoeveel liter verbruikt de jeep", "van Jos op 100 km ?"};
                for (int k = 0; k < asked.size(); ++k)
                    QVERIFY2(w.QuestionAt(asked[k], col::Blue, (type == 0 ? 5.25 : 6.75) + k), qPrintable(asked[k]));
                double line = 0.25;
                if (type != 1) {
                    QVERIFY(w.QuestionAt("De jeep van Harm verbruikt", col::Black, line));
                    QVERIFY(w.QuestionAt("1 liter op " + QString::number(h) + " km.", col::Black, line + 1));
                    line += 2.25;
                }
                if (type != 2) {
                    QVERIFY(w.QuestionAt("De jeep van Jos verbruikt", col::Red, line));
                    QVERIFY(w.QuestionAt(QString::number(j) + " liter op 100 km.", col::Red, line + 1));
                    line += 2.25;
                }
                if (type != 0) {
                    QVERIFY(w.QuestionAt("De jeep van Jos verbruikt", col::Black, line));
                    QVERIFY(w.QuestionAt(QString::number(e) + " liter benzine meer dan de", col::Black, line + 1));
                    QVERIFY(w.QuestionAt("jeep van Harm op een afstand", col::Black, line + 2));
                    QVERIFY(w.QuestionAt("van " + dd + " km.", col::Black, line + 3));
                }
                QCOMPARE(w.text.textLog().size(), asked.size() + (type == 0 ? 4 : 6));
                QVERIFY(s.TextLine == (type == 0 ? 8.75 : 9.25) && s.AnswerKind == 1 && s.AnswerTolerance == 0);
                QCOMPARE(s.AnswerSuffix, type == 1 ? QStringLiteral(" km") : QStringLiteral(" liter"));
                QCOMPARE(w.port.caption, type == 1 ? QStringLiteral("Aantal km: ") : QStringLiteral("Aantal liter: "));
                QCOMPARE(w.port.hint, type == 0   ? QStringLiteral("|Hoeveel liter verbruikt Jos meer dan Harm ?")
                                      : type == 1 ? QStringLiteral("|Hoeveel km kan Harm rijden met 1 liter ?")
                                                  : QStringLiteral("|Hoeveel liter verbruikt Jos op 100 km ?"));
                if (i % 4 == 0 || (type == 0 && s.QuestionParams[1] == 10))  // a sample, and every crowded right axis
                    CheckLabels(type, level);
                if (i % 100 < level)  // a sample of every type
                    CheckGraph();
                if (i < level) {  // the second attempt: the same question, graph and numbers
                    const kav::SessionState before = s;
                    const QImage shown = w.picture.image();
                    const auto question = w.text.textLog();
                    w.Item(false);
                    QVERIFY(w.picture.image() == shown && s.QuestionParams == before.QuestionParams);
                    QVERIFY(s.ThemeMemory[16] == type && s.Private.theme16 == before.Private.theme16);
                    QVERIFY(s.ExpectedAnswer == before.ExpectedAnswer && s.AnswerSuffix == before.AnswerSuffix);
                    QCOMPARE(w.text.textLog().size(), question.size());
                    for (int k = 0; k < question.size(); ++k)
                        QVERIFY(w.text.textLog()[k].text == question[k].text && w.text.textLog()[k].y == question[k].y);
                }
                hs << h, js << j, ms << m, types << type;
            }
            QCOMPARE(hs.size(), level == 3 ? 6 : 12);
            // J above 100 / H leaves 6 to 14 of the drawn 4 to 14 (H is at most 19).
            QVERIFY(js.size() == 9 && *std::min_element(js.begin(), js.end()) == 6 && ms.size() == (level == 2 ? 3 : 2) && types.size() == level);
        }
    }

    // The worked explanation of each type: the litres of each jeep over D km and from them the
    // answer, every number checked against the one before it.
    void shots() { w.Shots(16, 4, 1690000u, QStringLiteral("fuel")); }

    void explanation()
    {
        kav::SessionState& s = Session();
        const double lh = kav::LineHeight;
        for (int level = 1; level <= 3; ++level) {
            w.Start(16, level);
            for (int i = 0; i < 30 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(1650000 + 100 * level + i));
                w.Item();
                const int type = s.ThemeMemory[16];
                const auto& p = s.QuestionParams;
                const qint64 h = p[0], j = p[1], d = p[3], e = p[4];
                const QVector<TextLogEntry> said = w.FailTwice();
                QVERIFY(!said.isEmpty());
                // The judge left TextLine 4.5 lines under the answer field.
                const double start = (type == 0 ? 8.75 : 9.25) + 4.5;
                QVERIFY(said[0].color == col::Blue && said[0].y == kav::Round((start + 1) * lh));
                QStringList texts;
                for (const TextLogEntry& t : said)
                    texts << t.text;
                const QString unit = type == 1 ? "  km." : "  liter.";
                QCOMPARE(texts.last(), QString::number(s.ExpectedAnswer) + unit);
                const qint64 harm = d / h, jos = j * d / 100;
                QStringList expected{"Toelichting:"};
                const QStringList harmLine{"Harm: ", QString::number(d), QString::number(h), "= " + QString::number(harm) + " liter."};
                const QStringList josLine{"Jos: ", QString::number(d), "100", " \u00b7 " + QString::number(j), "= " + QString::number(jos) + " liter."};
                if (type == 0)
                    expected << harmLine << josLine << "Het verschil is dus ";
                else if (type == 1)
                    expected << josLine << "Dus Harm: " + QString::number(jos) + " - " + QString::number(e)
                             << "= " + QString::number(jos - e) + " liter." << "Per liter reed hij "
                             << QString::number(d) << QString::number(jos - e) << " = ";
                else
                    expected << harmLine << "Dus Jos: " + QString::number(harm) + " + " + QString::number(e)
                             << "= " + QString::number(harm + e) + " liter." << "Op 100 km: "
                             << QString::number(harm + e) << QString::number(d) << " \u00b7 100 " << "= ";
                expected << texts.last();
                QCOMPARE(texts, expected);
                // The chain: Harm's and Jos's litres over D km, and from them the answer.
                QVERIFY(harm * h == d && jos * 100 == j * d);
                if (type == 0)
                    QVERIFY(jos - harm == s.ExpectedAnswer);
                else if (type == 1)
                    QVERIFY((jos - e) * s.ExpectedAnswer == d);
                else
                    QVERIFY((harm + e) * 100 == s.ExpectedAnswer * d);
                // Right-aligned results end at the margin, clear of what stands before them.
                for (int k = 1; k < said.size(); ++k) {
                    const TextLogEntry& t = said[k];
                    QVERIFY2(ratiotest::Window::Inside(w.text, t), qPrintable(t.text));
                    if (!(t.text.startsWith("= ") && t.text.endsWith(".")) && k != said.size() - 1)
                        continue;
                    QCOMPARE(t.x + ratiotest::Width(t), w.text.width() - kav::TextMargin);
                    for (int o = 1; o < said.size(); ++o)
                        if (o != k && qAbs(said[o].y - t.y) < lh)
                            QVERIFY2(said[o].x + Inked(said[o]) < t.x || said[o].x > t.x + ratiotest::Width(t),
                                     qPrintable(said[o].text + " / " + t.text));
                }
            }
        }
    }
};

QTEST_MAIN(TestRatiosFuel)
#include "tst_ratios_fuel.moc"
