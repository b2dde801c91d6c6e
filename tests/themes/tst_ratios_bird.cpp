// Theme 17, a bird and its shadow under a lamp: thousands of seeded items per level for the
// ratios, the heights, the distances and the no-repeat rule; every answer worked out again
// from the question by the two similar triangles; the picture inside its frame on every item
// and measured on a sample; the worked explanation.
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

// What the question tells: the lamp's height, the bird's height, the bird's distance in tenths.
struct Told {
    qint64 lamp = 0, bird = 0, tenths = 0;
};

Told FromQuestion(const kav::Canvas& text)
{
    Told t;
    static const QRegularExpression lamp(QStringLiteral("^Een lamp hangt op hoogte (\\d+)\\.$"));
    static const QRegularExpression bird(QStringLiteral("^de lamp op hoogte (\\d+)$"));
    const QRegularExpression flown(QStringLiteral("^over een afstand van (\\d+)") +
                                   QRegularExpression::escape(QString(kav::DecimalSeparator)) +
                                   QStringLiteral("(\\d)\\.$"));
    for (const TextLogEntry& e : text.textLog()) {
        if (const auto m = lamp.match(e.text); m.hasMatch())
            t.lamp = m.captured(1).toLongLong();
        if (const auto m = bird.match(e.text); m.hasMatch())
            t.bird = m.captured(1).toLongLong();
        if (const auto m = flown.match(e.text); m.hasMatch())
            t.tenths = m.captured(1).toLongLong() * 10 + m.captured(2).toInt();
    }
    return t;
}

// The x of the leftmost pixel of colour C on row Y.
int Leftmost(const QImage& img, int y, const QColor& c)
{
    for (int x = 1; x < img.width(); ++x)
        if (Px(img, x, y) == (c.rgb() | 0xff000000u))
            return x;
    return -1;
}

}  // namespace

class TestRatiosBird : public QObject {
    Q_OBJECT

    ratiotest::Window w;

private slots:
    void initTestCase() { w.SetUp(); }

    void sweep()
    {
        kav::SessionState& s = Session();
        for (int level = 1; level <= 3; ++level) {
            w.Start(17, level);
            QSet<QPair<int, int>> ratios;
            int farShadows = 0;
            for (int i = 0; i < 2000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(1700000 + 10000 * level + i));
                kav::DecimalSeparator = i % 2 ? u',' : u'.';
                const std::array<int, 2> previous = s.Private.theme17;
                w.Item();
                const auto& p = s.QuestionParams;
                const int a = p[0], b = p[1], hb = p[2], lamp = p[3], tenths = p[4], shadow = s.ExpectedAnswer;
                // The ratio by level, never the previous one.
                if (b == 1)
                    QVERIFY(a >= 2 && a <= 10);
                else
                    QVERIFY(level > 1 && b <= (level == 2 ? 7 : 11) && a >= b + 1 && a <= (level == 2 ? b + 1 : 2 * b));
                QVERIFY(qint64(a) * previous[1] != qint64(previous[0]) * b);
                QVERIFY(s.Private.theme17 == (std::array<int, 2>{a, b}));
                // The lamp from 150 up, the lowest at which the bird flies at a whole height.
                QVERIFY(lamp >= 150 && lamp * b % a == 0 && hb == lamp - lamp * b / a && hb > 0 && hb < lamp);
                for (int lower = 150; lower < lamp; ++lower)
                    QVERIFY(lower * b % a != 0);
                // The shadow from 20 on (up to 120 and the few steps to a distance with one decimal).
                QVERIFY(shadow >= 20 && shadow < 120 + a && shadow * 10 * b % a == 0 && tenths * a == shadow * 10 * b);
                for (int lower = 121; lower < shadow; ++lower)  // passed on the way up from at most 120
                    QVERIFY(lower * 10 * b % a != 0);
                // As the pupil works it out: S = d x Hl / (Hl - hb).
                const Told told = FromQuestion(w.text);
                QVERIFY(told.lamp == lamp && told.bird == hb && told.tenths == tenths);
                QCOMPARE(qint64(shadow) * (told.lamp - told.bird) * 10, told.tenths * told.lamp);

                QVERIFY(w.QuestionAt("Een lamp hangt op hoogte " + QString::number(lamp) + ".", col::Black, 1));
                QVERIFY(w.QuestionAt("Een vogel vliegt recht onder", col::Red, 2.25));
                QVERIFY(w.QuestionAt("de lamp op hoogte " + QString::number(hb), col::Red, 3.5));
                QVERIFY(w.QuestionAt("Welke afstand legt de schaduw", col::Blue, 6.5));
                QVERIFY(w.QuestionAt("van de vogel af ?", col::Blue, 7.5));
                QVERIFY(w.text.textLog()[3].y == kav::Round(4.75 * kav::LineHeight) && w.text.textLog().size() == 6);
                QVERIFY(s.TextLine == 9.5 && s.AnswerKind == 1 && s.AnswerTolerance == 0 && s.AnswerSuffix.isEmpty());
                QVERIFY(w.port.opened == 1 && w.port.caption == QStringLiteral("Afstand: "));
                QCOMPARE(w.port.hint, QStringLiteral("|Welke afstand legt de schaduw van de vogel af ?"));

                // The labels: heights beside the post, the bird's distance under its path, the shadow.
                const QImage img = w.picture.image();
                const double line = kav::LineHeight;
                const double birdY = 10 + 80.0 * b / a;
                auto centredOn = [](const TextLogEntry* e, double x) { return e && qAbs(e->x + ratiotest::Width(*e) / 2.0 - x) <= 1.5; };
                const TextLogEntry* high = w.InPicture(QString::number(lamp));
                QVERIFY(high && high->x + ratiotest::Width(*high) == w.picture.width() - kav::TextMargin);
                QVERIFY(qAbs(high->y - (kav::PercentY(50) - 0.5 * line)) <= 1);
                const QString flownText = kav::FormatDecimal(tenths / 10.0, 1, kav::DecimalSeparator);
                const TextLogEntry* flown = w.InPicture(flownText);
                QVERIFY(flown && flown->color == col::Red && centredOn(flown, kav::PercentX(69 - 40.0 * shadow / lamp * b / a)));
                QVERIFY(centredOn(w.InPicture("schaduw"), (kav::PercentX(70) + kav::PercentX(70 - 80.0 * shadow / lamp)) / 2.0));
                for (const QString& t : {QString::number(lamp - hb), QString::number(hb)}) {
                    bool found = false;
                    for (const TextLogEntry& e : w.picture.textLog())
                        found |= e.text == t && e.x == kav::PercentX(72);
                    QVERIFY(found);
                }
                for (const TextLogEntry& e : w.picture.textLog())
                    QVERIFY2(ratiotest::Window::Inside(w.picture, e), qPrintable(e.text));
                // Nothing runs off the left: the columns just inside the frame stay empty.
                bool clear = true;
                for (int y = 1; y < img.height() - 1; ++y)
                    for (int x = 1; x <= 3; ++x)
                        clear &= Px(img, x, y) == col::BtnFace.rgb();
                QVERIFY(clear);
                farShadows += 80.0 * shadow / lamp > 64;

                if (i % 50 == 0) {
                    // The picture measured: the dots on the ground and on the bird's path end where
                    // the two similar triangles say, and the bird sits left of its path.
                    // (just above the ground's edge, which is black too)
                    // The dots have a radius of 2 x ScreenScale; on the path they run together.
                    const int r = kav::Round(2 * kav::ScreenScale);
                    const int ground = Leftmost(img, kav::PercentY(90) - 2, col::Black) + r;
                    const int path = Leftmost(img, kav::PercentY(birdY), col::Red) + r;
                    const double lampX = kav::PercentX(70);
                    QVERIFY(qAbs(ground - kav::PercentX(70 - 80.0 * shadow / lamp)) <= 2);
                    QVERIFY(qAbs((lampX - path) / (lampX - ground) - double(lamp - hb) / lamp) < 0.02);
                    const kav::Picture bird = kav::LoadPicture(QStringLiteral("vogel"));
                    const int bw = kav::Round(bird.width() * kav::ScreenScale), bh = kav::Round(bird.height() * kav::ScreenScale);
                    const QRect at(path - kav::TextMargin - bw, kav::PercentY(birdY) - bh / 2, bw, bh);
                    QVERIFY(img.rect().adjusted(1, 1, -1, -1).contains(at.adjusted(2, 0, 0, 0)));
                    int painted = 0;
                    for (int y = at.top(); y <= at.bottom(); ++y)
                        for (int x = qMax(at.left(), 1); x <= at.right(); ++x)
                            painted += Px(img, x, y) != col::BtnFace.rgb() && Px(img, x, y) != col::Yellow.rgb();
                    QVERIFY(painted > bw * bh / 4);
                    // The lamp yellow at its place, the shade black above it, the ground grey.
                    QVERIFY(Px(img, kav::PercentX(70), kav::PercentY(12)) == col::Yellow.rgb());
                    QVERIFY(Px(img, kav::PercentX(70), kav::PercentY(7)) == col::Black.rgb());
                    QVERIFY(Px(img, kav::PercentX(30), kav::PercentY(97)) == col::Gray.rgb());
                }
                if (i < 2) {  // the second attempt: the same question, picture and numbers
                    const kav::SessionState before = s;
                    const QImage shown = w.picture.image();
                    const auto question = w.text.textLog();
                    w.Item(false);
                    QVERIFY(w.picture.image() == shown && s.QuestionParams == before.QuestionParams);
                    QVERIFY(s.ExpectedAnswer == before.ExpectedAnswer && s.Private.theme17 == before.Private.theme17);
                    QCOMPARE(w.text.textLog().size(), question.size());
                    for (int k = 0; k < question.size(); ++k)
                        QVERIFY(w.text.textLog()[k].text == question[k].text && w.text.textLog()[k].y == question[k].y);
                    QVERIFY(w.port.caption == QStringLiteral("Afstand: ") && w.port.opened == 1);
                }
                ratios << qMakePair(a, b);
            }
            // Every ratio of the level comes: 9 at "Starter", 9 + 6 at "Durver", 9 + the 65
            // from (b + 1) : b to 2b : b for b = 2 .. 11 at "Prof !" (some of them equal in value).
            QCOMPARE(ratios.size(), level == 1 ? 9 : level == 2 ? 15 : 74);
            QVERIFY(farShadows > 0);
        }
        kav::DecimalSeparator = u',';
    }

    // The worked explanation: the small triangle to the large one with the factor Hl over
    // Hl - hb, the shadow as the bird's distance times it; the triangles on the picture.
    void explanation()
    {
        kav::SessionState& s = Session();
        int smaller = 0;
        for (int level = 1; level <= 3; ++level) {
            w.Start(17, level);
            for (int i = 0; i < 30 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(1750000 + 100 * level + i));
                kav::DecimalSeparator = i % 2 ? u',' : u'.';
                w.Item();
                const Told told = FromQuestion(w.text);
                const QVector<TextLogEntry> said = w.FailTwice();
                const qint64 shadow = s.ExpectedAnswer;
                const QString top = QString::number(told.lamp), bottom = QString::number(told.lamp - told.bird);
                const QString d = kav::FormatDecimal(told.tenths / 10.0, 1, kav::DecimalSeparator);
                QStringList texts;
                for (const TextLogEntry& t : said)
                    texts << t.text;
                QCOMPARE(texts, (QStringList{"Toelichting:", "Twee gelijkvormige driehoeken:", "", "factor = ", top, bottom,
                                             "Dus: schaduw = " + d + " x ", top, bottom, " = " + QString::number(shadow)}));
                // The judge left TextLine at 12.75 (no unit).
                const double lh = kav::LineHeight;
                const QVector<double> lines{14, 15.25, 16.25, 16.75};
                for (int k = 0; k < 4; ++k)
                    QCOMPARE(said[k].y, kav::Round(lines[k] * lh));
                QVERIFY(said[0].color == col::Blue && said[1].color == col::Blue && said[9].color == col::Red);
                QVERIFY(said[4].y < said[3].y && said[5].y > said[3].y && said[6].y == kav::Round(19 * lh));
                // The answer behind the fraction on the same line; the line is written smaller only
                // where it would not fit at full size.
                const int fractionEnd = qMax(said[7].x + ratiotest::Width(said[7]), said[8].x + ratiotest::Width(said[8]));
                QVERIFY(said[9].y == said[6].y && said[9].x >= fractionEnd && said[9].size == said[6].size);
                auto full = [](TextLogEntry e) {
                    e.size = kav::BaseFontSize;
                    return ratiotest::Width(e);
                };
                const int fullLine = kav::TextMargin + full(said[6]) + qMax(full(said[7]), full(said[8])) + full(said[9]);
                QCOMPARE(said[6].size < kav::BaseFontSize, fullLine > w.text.width() - kav::TextMargin);
                smaller += said[6].size < kav::BaseFontSize;
                // d x Hl / (Hl - hb) = S.
                QCOMPARE(told.tenths * told.lamp, shadow * 10 * (told.lamp - told.bird));
                for (const TextLogEntry& e : said)
                    QVERIFY2(ratiotest::Window::Inside(w.text, e), qPrintable(e.text));
                // The red and the blue triangle symbol and the arrow between them, before "factor = ".
                const QImage t = w.text.image();
                int reds = 0, blues = 0, blacks = 0;
                for (int y = said[3].y - 2; y < said[3].y + kav::LineHeight; ++y)
                    for (int x = kav::TextMargin; x < said[3].x; ++x) {
                        reds += Px(t, x, y) == col::Red.rgb();
                        blues += Px(t, x, y) == col::Blue.rgb();
                        blacks += Px(t, x, y) == col::Black.rgb();
                    }
                QVERIFY(reds > 10 && blues > 10 && blacks > 10);
                // On the picture: the small triangle filled red, the large one outlined in blue.
                const QImage img = w.picture.image();
                const double birdY = 10 + 80.0 * (told.lamp - told.bird) / told.lamp;
                const double pathEnd = 70 - 8.0 * told.tenths / told.lamp;
                QCOMPARE(Px(img, kav::PercentX((70 + 70 + pathEnd) / 3), kav::PercentY((10 + 2 * birdY) / 3)), col::Red.rgb());
                const double groundEnd = 70 - 80.0 * shadow / told.lamp;
                auto blueNear = [&](double x, double y) {
                    int n = 0;
                    for (int dy = -2; dy <= 2; ++dy)
                        for (int dx = -2; dx <= 2; ++dx)
                            n += Px(img, kav::PercentX(x) + dx, kav::PercentY(y) + dy) == col::Blue.rgb();
                    return n > 0;
                };
                QVERIFY(blueNear((70 + groundEnd) / 2, 50) && blueNear(70, 80) && blueNear((70 + groundEnd) / 2, 90));
            }
        }
        kav::DecimalSeparator = u',';
        QVERIFY(smaller > 0);  // both sizes were seen
    }

    void shots() { w.Shots(17, 3, 1790000u, QStringLiteral("bird")); }
};

QTEST_MAIN(TestRatiosBird)
#include "tst_ratios_bird.moc"
