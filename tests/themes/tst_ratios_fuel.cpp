// Theme 16, the fuel use of two jeeps: seeded items per level for the question cycle, the
// ranges and the no-repeat rules; every answer worked out from what the question tells; the
// labels where they belong and clear of each other; the graph read back from its pixels on a
// sample; the worked explanation of each question type.
#include <QRegularExpression>

#include "draw/numbers.h"
#include "draw/shapes.h"
#include "themes/ratiosupport.h"

using kav::Session;
using kav::TextLogEntry;
using ratiotest::Px;
namespace col = kav::col;

namespace {

// The first whole number in a text (0 when there is none).
qint64 NumberIn(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    return number.match(text).captured().toLongLong();
}

// The middle height of the pixels of colour C in column X, between 5 % and 89 % of the height.
double LitresAt(const QImage& img, double km, const QColor& c)
{
    const int x = kav::PercentX(10 + 0.8 * km);
    double sum = 0;
    int n = 0;
    for (int y = kav::PercentY(6); y <= kav::PercentY(88); ++y)
        if (Px(img, x, y) == c.rgb())
            sum += y, ++n;
    return n ? (90 - sum / n * 100 / img.height()) / 6 : -1;
}

}  // namespace

class TestRatiosFuel : public QObject {
    Q_OBJECT

    ratiotest::Window w;

private slots:
    void initTestCase() { w.SetUp(); }

    void sweep()
    {
        QMap<int, QSet<int>> values;  // by level * 10 + parameter
        w.Sweep(16, 2000, 1600000u, [&](int level, int i, const kav::SessionState::ThemePrivate& before) {
            const kav::SessionState& s = Session();
            const auto& p = s.QuestionParams;
            const int h = p[0], j = p[1], m = p[2], d = p[3], e = p[4], type = s.ThemeMemory[16];
            // The cycle of question types, the ranges, and nothing as the item before.
            QCOMPARE(type, i % level);
            QVERIFY(h != before.theme16[0] && j != before.theme16[1] && m != before.theme16[2]);
            QVERIFY(s.Private.theme16 == (std::array<int, 3>{h, j, m}) && j >= 4 && j <= 14 && j * h > 100);
            QVERIFY(level == 3 ? h % 2 == 0 && h >= 8 && h <= 18 : h >= 8 && h <= 19);
            QVERIFY(type != 1 || h != 10);
            const int distance[] = {(m == 2 ? 100 : 1000) * h, 100 * h * m, h * (100 * m + 50)};
            QVERIFY(d == distance[level - 1] && m >= (level == 1 ? 2 : 1) && m <= (level == 3 ? 2 : 3));
            QVERIFY(qint64(j) * d % 100 == 0 && d % h == 0 && e == qint64(j) * d / 100 - d / h);
            QCOMPARE(s.ExpectedAnswer, type == 0 ? e : type == 1 ? h : j);
            for (int k = 0; k < 3; ++k)
                values[10 * level + k] << p[k];

            // The question, and the answer as a pupil works it out from it (exact fractions):
            // J x D / 100 - D / H, or D / (J x D / 100 - E), or (D / H + E) x 100 / D.
            QStringList lines;
            double line = 0.25;
            if (type != 1)
                lines << "0|De jeep van Harm verbruikt" << "0|1 liter op " + QString::number(h) + " km.";
            if (type != 2)
                lines << "1|De jeep van Jos verbruikt" << "1|" + QString::number(j) + " liter op 100 km.";
            if (type != 0)
                lines << "0|De jeep van Jos verbruikt" << "0|" + QString::number(e) + " liter benzine meer dan de"
                      << "0|jeep van Harm op een afstand" << "0|van " + QString::number(d) + " km.";
            for (int k = 0; k < lines.size(); ++k) {
                QVERIFY(w.Asked(lines[k].mid(2), lines[k][0] == u'1' ? col::Red : col::Black, line));
                line += k == 1 ? 1.25 : 1;  // 2.25 from one sentence to the next
            }
            const QStringList asked = type == 0 ? QStringList{"Hoeveel liter verbruikt de jeep", "van Jos meer dan die van Harm",
                                                              "op een afstand van " + QString::number(d) + " km ?"}
                                      : type == 1 ? QStringList{"Hoeveel km kan Harm rijden", "met één liter benzine ?"}
                                                  : QStringList{"Hoeveel liter verbruikt de jeep", "van Jos op 100 km ?"};
            for (int k = 0; k < asked.size(); ++k)
                QVERIFY(w.Asked(asked[k], col::Blue, (type == 0 ? 5.25 : 6.75) + k));
            QCOMPARE(w.text.textLog().size(), lines.size() + asked.size());
            // (H after "1 liter op ", J or E first on the second line of their sentence)
            const qint64 th = NumberIn(lines[1].mid(2 + 11)), tj = NumberIn(lines[type == 1 ? 1 : 3].mid(2)),
                         te = NumberIn(lines[3].mid(2)), a = s.ExpectedAnswer;
            QVERIFY(type == 0 ? a * 100 * th == tj * d * th - 100 * d
                    : type == 1 ? a * (tj * d - 100 * te) == 100 * d : a * d * th == (d + te * th) * 100);
            QVERIFY(s.TextLine == (type == 0 ? 8.75 : 9.25) && s.AnswerSuffix == (type == 1 ? " km" : " liter"));
            QCOMPARE(w.port.caption, type == 1 ? "Aantal km: " : "Aantal liter: ");
            QCOMPARE(w.port.hint, type == 0   ? "|Hoeveel liter verbruikt Jos meer dan Harm ?"
                                  : type == 1 ? "|Hoeveel km kan Harm rijden met 1 liter ?"
                                              : "|Hoeveel liter verbruikt Jos op 100 km ?");

            // The labels: Jos's value (or "?") in red at his line's end, the scale, "10" or Harm's
            // km under his point; none over another.
            QMap<QString, int> count;
            QVector<QRect> boxes;
            for (const TextLogEntry& t : w.picture.textLog()) {
                count[t.text + (t.color == col::Red ? "/red" : "")] += 1;
                QVERIFY(t.size == kav::Round(0.9 * kav::BaseFontSize));
                if (t.color == col::Red)
                    QVERIFY(t.x == kav::PercentX(91) && qAbs(t.y + kav::LineHeight / 2.0 - kav::PercentY(90 - 6 * j)) <= 1);
                QString inked = t.text;
                while (inked.endsWith(u' '))
                    inked.chop(1);
                const int height = kav::LineHeight * 8 / 10;  // the ink, without the font's empty rows
                boxes << (inked.isEmpty() ? QRect() : QRect(t.x, t.y + kav::LineHeight / 10, ratiotest::Width({inked, 0, 0, {}, t.size}), height));
            }
            for (int a1 = 0; a1 < boxes.size(); ++a1)
                for (int b1 = a1 + 1; b1 < boxes.size(); ++b1)
                    QVERIFY2(!boxes[a1].intersects(boxes[b1]), qPrintable(w.picture.textLog()[a1].text + " / " + w.picture.textLog()[b1].text));
            QVERIFY(count["verbruik (liter)"] == 2 && count["afstand (km)"] == 1 && count["100"] == 1);
            QCOMPARE(count[(type == 2 ? "?" : QString::number(j)) + "/red"], 1);
            const bool scale = level < 3 && type == 0;  // with the fuel scale; its right "10" gives way to a red 10
            QVERIFY(count["1"] == (scale ? 2 : 0) && count["10"] == (level < 3) + (scale ? 2 - (j == 10) : 0) + (level == 3 && h == 10));
            if (level == 3)
                QCOMPARE(count[type == 1 ? "?" : QString::number(h)], 1);

            if (i % 100 < level) {
                // The graph read back: Jos's line at 50 km, Harm's at 62.5 km, Harm's point with
                // dashes towards both axes, the two jeeps grown with the picture area.
                const QImage img = w.picture.image();
                QVERIFY(qAbs(LitresAt(img, 50, col::Red) - j * 0.5) < 0.1 && qAbs(LitresAt(img, 62.5, col::Black) - 62.5 / h) < 0.1);
                const int px = kav::PercentX(10 + 0.8 * h), py = kav::PercentY(84);
                QVERIFY(Px(img, px, py) == col::Black.rgb() && Px(img, px + 3, py + 2) == col::Black.rgb());
                for (bool across : {true, false}) {
                    int dashes = 0;
                    for (int k = across ? kav::PercentX(10) + 4 : py + 8; k < (across ? px - 8 : kav::PercentY(90) - 4); ++k)
                        dashes += Px(img, across ? k : px, across ? py : k) == col::Black.rgb() &&
                                  Px(img, across ? k - 1 : px, across ? py : k - 1) != col::Black.rgb();
                    QVERIFY(dashes >= 2);
                }
                const kav::Picture jeep = kav::LoadPicture(QStringLiteral("jeep2"));
                const double grown = w.picture.width() / 403.0;
                const QSize size(kav::Round(jeep.width() * grown), kav::Round(jeep.height() * grown));
                const QPoint corner(kav::PercentX(49) - size.width(), kav::PercentY(90 - 3.0 * j) - size.height());
                for (const QRect r : {QRect(QPoint(kav::PercentX(73), kav::PercentY(90 - 450.0 / h)), size), QRect(corner, size)}) {
                    QVERIFY(img.rect().adjusted(1, 1, -1, -1).contains(r));
                    QVERIFY(testsupport::CountColour(img.copy(r), col::BtnFace) < r.width() * r.height() * 2 / 3);
                }
            }
        });
        // J above 100 / H leaves 6 to 14 of the drawn 4 to 14 (H is at most 19).
        for (int level = 1; level <= 3; ++level)
            QVERIFY(values[10 * level].size() == (level == 3 ? 6 : 12) && values[10 * level + 1].size() == 9 &&
                    values[10 * level + 2].size() == (level == 2 ? 3 : 2));
    }

    // The litres of each jeep over D km and from them the answer, every number checked against
    // the one before it; the results right-aligned (or following a full line), clear of what
    // stands before them.
    void explanation()
    {
        QVector<TextLogEntry> said;
        w.Sweep(16, 30, 1650000u, [&](int, int, const kav::SessionState::ThemePrivate&) {
            const kav::SessionState& s = Session();
            const qint64 h = s.QuestionParams[0], j = s.QuestionParams[1], d = s.QuestionParams[3], e = s.QuestionParams[4];
            const int type = s.ThemeMemory[16];
            const qint64 harm = d / h, jos = j * d / 100, a = s.ExpectedAnswer;
            QVERIFY(harm * h == d && jos * 100 == j * d);
            QVERIFY(type == 0 ? jos - harm == a : type == 1 ? (jos - e) * a == d : (harm + e) * 100 == a * d);
            const auto n = [](qint64 v) { return QString::number(v); };
            const QStringList harmLine{"Harm: ", n(d), n(h), "= " + n(harm) + " liter."};
            const QStringList josLine{"Jos: ", n(d), "100", " \u00b7 " + n(j), "= " + n(jos) + " liter."};
            QStringList expected{"Toelichting:"};
            if (type == 0)
                expected << harmLine << josLine << "Het verschil is dus ";
            else if (type == 1)
                expected << josLine << "Dus Harm: " + n(jos) + " - " + n(e) << "= " + n(jos - e) + " liter."
                         << "Per liter reed hij " << n(d) << n(jos - e) << " = ";
            else
                expected << harmLine << "Dus Jos: " + n(harm) + " + " + n(e) << "= " + n(harm + e) + " liter."
                         << "Op 100 km: " << n(harm + e) << n(d) << " \u00b7 100 " << "= ";
            expected << n(a) + (type == 1 ? "  km." : "  liter.");
            said.clear();
            QCOMPARE(w.FailTwice(&said), expected);
            QCOMPARE(said[0].y, kav::Round(((type == 0 ? 8.75 : 9.25) + 5.5) * kav::LineHeight));
            for (const TextLogEntry& r : said) {
                if (!r.text.endsWith("."))
                    continue;
                // Right-aligned, or where the line is full up to there, straight after what
                // stands before it (blanks and all), inside the text area.
                const int end = r.x + ratiotest::Width(r);
                bool follows = false;
                for (const TextLogEntry& o : said)
                    follows |= o.y == r.y && o.x < r.x && o.x + ratiotest::Width(o) == r.x;
                QVERIFY2(end == w.text.width() - kav::TextMargin || (follows && end <= w.text.width()), qPrintable(r.text));
                for (const TextLogEntry& o : said)
                    if (&o != &r && qAbs(o.y - r.y) < kav::LineHeight)
                        QVERIFY2(o.x + ratiotest::Width({o.text.trimmed(), 0, 0, {}, o.size}) < r.x, qPrintable(o.text + " / " + r.text));
            }
        });
    }

    // On wide screens the picture area grows less than the screen's width: the jeeps, grown
    // with the area, still leave the right litre axis whole (only the lines end on it).
    void jeepsBesideTheAxisOnWideScreens()
    {
        struct Screen {
            int width;
            QSize picture, text;
        };
        for (const Screen& screen : {Screen{1366, {687, 689}, {365, 709}}, Screen{1920, {967, 969}, {513, 997}},
                                     Screen{2560, {1290, 1293}, {684, 1329}}}) {
            w.picture.setSize(screen.picture.width(), screen.picture.height());
            w.text.setSize(screen.text.width(), screen.text.height());
            w.Fixture::SetUp();
            kav::ScreenScale = screen.width / 640.0;
            kav::TextMargin = kav::Round(8 * kav::ScreenScale);
            for (int level = 1; level <= 3; ++level) {
                ratiotest::Fixture::Start(16, level);
                for (int i = 0; i < testsupport::Sweep(12); ++i) {
                    kav::SeedRandom(1700000u + std::uint32_t(100 * level + i));
                    w.Item();
                    const QImage img = w.picture.image();
                    const int axis = kav::PercentX(90);
                    for (int y = kav::PercentY(6); y <= kav::PercentY(89); ++y)
                        QVERIFY2(Px(img, axis, y) == col::Black.rgb() || Px(img, axis, y) == col::Red.rgb(),
                                 qPrintable(QStringLiteral("%1 wide, level %2: the axis covered at y %3").arg(screen.width).arg(level).arg(y)));
                }
            }
        }
        w.SetUp();
    }

    // On the text column of a 1366 x 768 screen (a wider margin, the fractions further right) a
    // four-digit distance fills a line up to where its result would stand right-aligned: the
    // result then follows what stands before it and is never written over it.
    void explanationOnAWideScreen()
    {
        w.picture.setSize(687, 689);
        w.text.setSize(365, 709);
        w.Fixture::SetUp();
        kav::ScreenScale = 1366 / 640.0;
        kav::TextMargin = kav::Round(8 * kav::ScreenScale);
        int following = 0;
        w.Sweep(16, 40, 1660000u, [&](int, int, const kav::SessionState::ThemePrivate&) {
            QVector<TextLogEntry> said;
            w.FailTwice(&said);
            for (const TextLogEntry& r : said) {
                if (r.color != col::Red)
                    continue;
                QVERIFY(r.x + ratiotest::Width(r) <= w.text.width());
                following += r.x + ratiotest::Width(r) != w.text.width() - kav::TextMargin;
                for (const TextLogEntry& o : said)
                    if (&o != &r && o.y == r.y && o.x < r.x)
                        QVERIFY2(o.x + ratiotest::Width({o.text.trimmed(), 0, 0, {}, o.size}) <= r.x,
                                 qPrintable(o.text + " / " + r.text));
            }
        });
        QVERIFY(following > 0);  // the case came
        w.SetUp();
    }

    void shots() { w.Shots(16, 1690000u, QStringLiteral("fuel")); }
};

QTEST_MAIN(TestRatiosFuel)
#include "tst_ratios_fuel.moc"
