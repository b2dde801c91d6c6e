// Theme 17, a bird and its shadow under a lamp: seeded items per level for the ratios, the
// heights, the distances and the no-repeat rule; every answer worked out from the question by
// the two similar triangles; the picture inside its frame on every item and measured on a
// sample; the worked explanation with its two triangles.
#include <QRegularExpression>

#include "draw/numbers.h"
#include "draw/shapes.h"
#include "themes/ratiosupport.h"

using kav::Session;
using kav::TextLogEntry;
using ratiotest::Px;
namespace col = kav::col;

namespace {

// What the question tells: the lamp's height, the bird's height, the bird's distance in tenths.
struct Told {
    qint64 lamp = 0, bird = 0, tenths = 0;
};

Told FromQuestion(const kav::Canvas& text)
{
    Told t;
    const QRegularExpression told(QStringLiteral("^(Een lamp hangt op hoogte (\\d+)\\.|de lamp op hoogte (\\d+)|"
                                                 "over een afstand van (\\d+)\\") +
                                  kav::DecimalSeparator + QStringLiteral("(\\d)\\.)$"));
    for (const TextLogEntry& e : text.textLog())
        if (const auto m = told.match(e.text); m.hasMatch()) {
            t.lamp += m.captured(2).toLongLong();
            t.bird += m.captured(3).toLongLong();
            t.tenths += m.captured(4).toLongLong() * 10 + m.captured(5).toInt();
        }
    return t;
}

// The x of the leftmost pixel of colour C on row Y.
int Leftmost(const QImage& img, int y, const QColor& c)
{
    int x = 1;
    while (x < img.width() && Px(img, x, y) != c.rgb())
        ++x;
    return x;
}

}  // namespace

class TestRatiosBird : public QObject {
    Q_OBJECT

    ratiotest::Window w;

private slots:
    void initTestCase() { w.SetUp(); }

    void sweep()
    {
        QMap<int, QSet<int>> ratios;  // by level: 100 a + b
        int farShadows = 0;
        w.Sweep(17, 2000, 1700000u, [&](int level, int i, const kav::SessionState::ThemePrivate& before) {
            const kav::SessionState& s = Session();
            const auto& p = s.QuestionParams;
            const int a = p[0], b = p[1], hb = p[2], lamp = p[3], tenths = p[4], shadow = s.ExpectedAnswer;
            // The ratio by level, never the previous one's value.
            QVERIFY(b == 1 ? a >= 2 && a <= 10 : level > 1 && b <= (level == 2 ? 7 : 11) && a > b && a <= (level == 2 ? b + 1 : 2 * b));
            QVERIFY(qint64(a) * before.theme17[1] != qint64(before.theme17[0]) * b && s.Private.theme17 == (std::array<int, 2>{a, b}));
            ratios[level] << 100 * a + b;
            // The lamp the lowest from 150 up with the bird at a whole height; the shadow from 20
            // to 120, or the few steps beyond to a distance with one decimal.
            QVERIFY(lamp >= 150 && lamp * b % a == 0 && hb == lamp - lamp * b / a && hb > 0);
            for (int lower = 150; lower < lamp; ++lower)
                QVERIFY(lower * b % a != 0);
            QVERIFY(shadow >= 20 && shadow < 120 + a && tenths * a == shadow * 10 * b);
            for (int lower = 121; lower < shadow; ++lower)
                QVERIFY(lower * 10 * b % a != 0);
            farShadows += shadow > 120;
            // As the pupil works it out: S = d x Hl / (Hl - hb).
            const Told told = FromQuestion(w.text);
            QVERIFY(told.lamp == lamp && told.bird == hb && shadow * (told.lamp - told.bird) * 10 == told.tenths * told.lamp);
            QVERIFY(w.Asked("Een lamp hangt op hoogte " + QString::number(lamp) + ".", col::Black, 1) &&
                    w.Asked("Een vogel vliegt recht onder", col::Red, 2.25) &&
                    w.Asked("de lamp op hoogte " + QString::number(hb), col::Red, 3.5) &&
                    w.Asked("over een afstand van " + kav::FormatDecimal(tenths / 10.0, 1, kav::DecimalSeparator) + ".", col::Red, 4.75) &&
                    w.Asked("Welke afstand legt de schaduw", col::Blue, 6.5) && w.Asked("van de vogel af ?", col::Blue, 7.5));
            QVERIFY(w.text.textLog().size() == 6 && s.TextLine == 9.5 && s.AnswerSuffix.isEmpty());
            QVERIFY(w.port.caption == "Afstand: " && w.port.hint == "|Welke afstand legt de schaduw van de vogel af ?");
            // The labels: Hl at the right, Hl - hb and hb beside the line under the lamp, d under
            // the bird's path, "schaduw" under the shadow.
            const double birdY = 10 + 80.0 * b / a, path = 80.0 * shadow / lamp * b / a, ground = 80.0 * shadow / lamp;
            QMap<QString, const TextLogEntry*> label;
            for (const TextLogEntry& e : w.picture.textLog())
                label[e.text] = &e;
            auto centred = [&](const QString& t, double x) { return label[t] && qAbs(label[t]->x + ratiotest::Width(*label[t]) / 2.0 - x) <= 1.5; };
            const QString flown = kav::FormatDecimal(tenths / 10.0, 1, kav::DecimalSeparator);
            QVERIFY(label[flown] && label[flown]->color == col::Red && centred(flown, kav::PercentX(69 - path / 2)));
            QVERIFY(centred("schaduw", (kav::PercentX(70) + kav::PercentX(70 - ground)) / 2.0));
            QVERIFY(label[QString::number(lamp - hb)]->x == kav::PercentX(72) && label[QString::number(hb)]->x == kav::PercentX(72));
            const TextLogEntry* high = label[QString::number(lamp)];
            QVERIFY(high->x + ratiotest::Width(*high) == w.picture.width() - kav::TextMargin);
            // Nothing runs off the left: the columns just inside the frame stay empty.
            const QImage img = w.picture.image();
            QCOMPARE(testsupport::CountColour(img.copy(1, 1, 3, img.height() - 2), col::BtnFace), 3 * (img.height() - 2));

            if (i % 50 == 0) {
                // Measured: the dots on the ground and on the bird's path end where the similar
                // triangles say; the bird left of its path; lamp, shade and ground in their colours.
                const int r = kav::Round(2 * kav::ScreenScale), lampX = kav::PercentX(70);
                const int groundEnd = Leftmost(img, kav::PercentY(90) - 2, col::Black) + r;  // above the ground's black edge
                const int pathEnd = Leftmost(img, kav::PercentY(birdY), col::Red) + r;
                QVERIFY(qAbs(groundEnd - kav::PercentX(70 - ground)) <= 2);
                QVERIFY(qAbs(double(lampX - pathEnd) / (lampX - groundEnd) - double(lamp - hb) / lamp) < 0.02);
                const kav::Picture bird = kav::LoadPicture(QStringLiteral("vogel"));
                const QSize size(kav::Round(bird.width() * kav::ScreenScale), kav::Round(bird.height() * kav::ScreenScale));
                const QRect at(QPoint(pathEnd - kav::TextMargin - size.width(), kav::PercentY(birdY) - size.height() / 2), size);
                QVERIFY(testsupport::CountColour(img.copy(at), col::BtnFace) < at.width() * at.height() * 3 / 4);
                QVERIFY(Px(img, lampX, kav::PercentY(12)) == col::Yellow.rgb() && Px(img, lampX, kav::PercentY(7)) == col::Black.rgb());
                QVERIFY(Px(img, kav::PercentX(30), kav::PercentY(97)) == col::Gray.rgb());
            }
        });
        // Every ratio comes: 9 at "Starter", 9 + 6 at "Durver", 9 + the 65 from (b + 1) : b to 2b : b
        // for b = 2 .. 11 at "Prof !".
        QVERIFY(ratios[1].size() == 9 && ratios[2].size() == 15 && ratios[3].size() == 74 && farShadows > 0);
    }

    // The small triangle to the large one with the factor Hl over Hl - hb, the shadow as the
    // bird's distance times it; the triangles on the picture.
    void explanation()
    {
        QVector<TextLogEntry> said;
        int smaller = 0;
        w.Sweep(17, 40, 1750000u, [&](int, int, const kav::SessionState::ThemePrivate&) {
            const Told told = FromQuestion(w.text);
            const qint64 shadow = Session().ExpectedAnswer;
            QCOMPARE(told.tenths * told.lamp, shadow * 10 * (told.lamp - told.bird));
            const QString top = QString::number(told.lamp), bottom = QString::number(told.lamp - told.bird);
            const QString d = kav::FormatDecimal(told.tenths / 10.0, 1, kav::DecimalSeparator);
            said.clear();
            QCOMPARE(w.FailTwice(&said), (QStringList{"Toelichting:", "Twee gelijkvormige driehoeken:", "", "factor = ", top, bottom,
                                                      "Dus: schaduw = " + d + " x ", top, bottom, " = " + QString::number(shadow)}));
            // The judge left TextLine at 12.75 (no unit).
            const double lines[] = {14, 15.25, 16.25, 16.75};
            for (int k = 0; k < 4; ++k)
                QCOMPARE(said[k].y, kav::Round(lines[k] * kav::LineHeight));
            QVERIFY(said[4].y < said[3].y && said[5].y > said[3].y && said[6].y == kav::Round(19 * kav::LineHeight));
            // The answer behind the fraction on its line, the line smaller only where it would
            // not fit at full size.
            const int fractionEnd = qMax(said[7].x + ratiotest::Width(said[7]), said[8].x + ratiotest::Width(said[8]));
            QVERIFY(said[9].y == said[6].y && said[9].x >= fractionEnd && said[9].size == said[6].size && said[9].color == col::Red);
            auto full = [](TextLogEntry e) { return e.size = kav::BaseFontSize, ratiotest::Width(e); };
            const bool fits = kav::TextMargin + full(said[6]) + qMax(full(said[7]), full(said[8])) + full(said[9]) <=
                              w.text.width() - kav::TextMargin;
            QCOMPARE(said[6].size < kav::BaseFontSize, !fits);
            smaller += !fits;
            // The red and the blue triangle symbol with the arrow between them, before "factor = ".
            const QImage t = w.text.image().copy(kav::TextMargin, said[3].y - 2, said[3].x - kav::TextMargin, kav::LineHeight);
            QVERIFY(testsupport::CountColour(t, col::Red) > 10 && testsupport::CountColour(t, col::Blue) > 10 &&
                    testsupport::CountColour(t, col::Black) > 10);
            // On the picture: the small triangle filled red, the large one outlined in blue.
            const QImage img = w.picture.image();
            const double birdY = 10 + 80.0 * (told.lamp - told.bird) / told.lamp, groundEnd = 70 - 80.0 * shadow / told.lamp;
            QCOMPARE(Px(img, kav::PercentX(70 - 80.0 * told.tenths / told.lamp / 30), kav::PercentY((10 + 2 * birdY) / 3)), col::Red.rgb());
            for (const QPointF p : {QPointF((70 + groundEnd) / 2, 50), QPointF(70, 80), QPointF((70 + groundEnd) / 2, 90)})
                QVERIFY(testsupport::CountColour(img.copy(kav::PercentX(p.x()) - 2, kav::PercentY(p.y()) - 2, 5, 5), col::Blue) > 0);
        });
        QVERIFY(smaller > 0);  // both sizes were seen
    }

    void shots() { w.Shots(17, 1790000u, QStringLiteral("bird")); }
};

QTEST_MAIN(TestRatiosBird)
#include "tst_ratios_bird.moc"
