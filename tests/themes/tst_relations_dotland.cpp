// Dotland (theme 4) run as a practice session runs it, thousands of seeded items per level:
// the layers, the house number and the variant cycle; every answer against the dots run
// forward house by house (and, on a sample, against the dots counted in the picture); the
// question, the answer field, the second attempt, the four houses and the explanation.
#include <QtTest>

#include "themes/relations_support.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "session/random.h"
#include "themes/relations/relations.h"

using kav::Session;
using kav::TextLogEntry;
using relsupport::Width;
using relsupport::Y;
namespace col = kav::col;

namespace {

// The dots of a layer at house number H, counted on from house 1 one house at a time.
int DotsAt(const kav::DotLayer& l, int h)
{
    int dots = l.start;
    for (int house = 2; house <= h; ++house)
        dots += l.step;
    return dots;
}

QRgb Px(const QImage& img, int x, int y)
{
    return img.pixel(x, y) | 0xff000000u;
}

// The dots on the row through Y right of the house column: their number and colours.
QVector<QRgb> DotsOnRow(const QImage& img, int y)
{
    QVector<QRgb> dots;
    const QRgb face = col::BtnFace.rgb();
    int x = kav::PercentX(31);
    while (x < kav::PercentX(96)) {
        if (Px(img, x, y) == face) {
            ++x;
            continue;
        }
        const int from = x;
        while (x < kav::PercentX(96) && Px(img, x, y) != face)
            ++x;
        dots << Px(img, (from + x) / 2, y);
    }
    return dots;
}

// The 4-connected area of the pixel's colour round (x, y) inside Box; -1 when it touches the
// edge of the box.
int Enclosed(const QImage& img, QPoint start, const QRect& box)
{
    const QRgb want = Px(img, start.x(), start.y());
    QSet<quint64> seen{(quint64(start.y()) << 32) | quint64(start.x())};
    QVector<QPoint> stack{start};
    int size = 0;
    while (!stack.isEmpty()) {
        const QPoint p = stack.takeLast();
        ++size;
        if (p.x() <= box.left() || p.y() <= box.top() || p.x() >= box.right() || p.y() >= box.bottom())
            return -1;
        for (QPoint q : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)}) {
            const quint64 key = (quint64(q.y()) << 32) | quint64(q.x());
            if (!seen.contains(key) && Px(img, q.x(), q.y()) == want)
                seen.insert(key), stack.append(q);
        }
    }
    return size;
}

int CountIn(const QImage& img, const QRect& box, QRgb c)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += Px(img, x, y) == (c | 0xff000000u);
    return n;
}

QRect HouseBox(int h)
{
    return QRect(QPoint(kav::PercentX(7), kav::PercentY(20 * h + 20)),
                 QPoint(kav::PercentX(25) - 1, kav::PercentY(20 * h + 38) - 1));
}

}  // namespace

class TestRelationsDotland : public QObject {
    Q_OBJECT

    relsupport::ThemeBench bench;

    const TextLogEntry* Question(const QString& t) const { return testsupport::Logged(bench.text, t); }

    // The question lines (line|colour|text) at the margin, in the text area.
    void CheckLines(const QStringList& lines)
    {
        const std::map<QString, QColor> colours = {{"red", col::Red}, {"blue", col::Blue}};
        for (const QString& l : lines) {
            const QStringList f = l.split(u'|');
            const TextLogEntry* e = Question(f[2]);
            QVERIFY2(e && e->color == colours.at(f[1]) && e->x == kav::TextMargin && e->y == Y(f[0].toDouble()),
                     qPrintable(f[2]));
        }
    }

private slots:
    void initTestCase()
    {
        testsupport::UseBuildPictures();
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        bench.Init();
    }

    void generator()
    {
        for (int level = 1; level <= 3; ++level) {
            bench.Start(4, level);
            const int layers = level + 2;
            QSet<int> houseNumbers, starts, steps, variants;
            int previousVariant = -1;
            for (int i = 0; i < 3000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(40000 + 5000 * level + i));
                kav::SessionState& s = Session();
                s.Attempt = 0;
                const bool drawn = i % 60 == 0;
                bench.Generate(drawn);
                const auto& p = s.QuestionParams;
                const int n = p[0], m = s.ThemeMemory[4];
                const kav::DotLayerTable& t = kav::DotLayers();
                // The variants come in turn, from the total after START.
                QCOMPARE(m, i == 0 ? 0 : (previousVariant + 1) % layers);
                previousVariant = m;
                variants << m;
                QVERIFY(n >= 6 && n <= 4 * level + 5);
                houseNumbers << n;
                int growing = 0, total = 0;
                for (int j = 1; j <= kav::MaxDotLayers; ++j) {
                    if (j > layers) {
                        QVERIFY(t[j].start == 0 && t[j].step == 0 && t[j].count == 0);
                        continue;
                    }
                    QVERIFY(t[j].start >= 1 && t[j].start <= 3 && t[j].step <= 3);
                    QVERIFY(DotsAt(t[j], 4) <= 12);  // house 4 never passes 78 %
                    QCOMPARE(int(t[j].count), DotsAt(t[j], n));
                    growing += t[j].step > 0;
                    total += DotsAt(t[j], n);
                    starts << t[j].start;
                    steps << t[j].step;
                }
                QVERIFY(growing >= 2 && p[3] == total);
                // P and Q: growing layers, Q other than P; none when the variant needs none.
                QVERIFY(m == 0 ? p[1] == 0 : p[1] >= 1 && p[1] <= layers && t[p[1]].step > 0);
                QVERIFY(m == 3 ? p[2] >= 1 && p[2] <= layers && p[2] != p[1] && t[p[2]].step > 0 : p[2] == 0);
                // The answer, found as a pupil finds it.
                int expected = total;
                if (m == 1)
                    expected = DotsAt(t[p[1]], n);
                else if (m == 2) {
                    int house = 1;
                    while (DotsAt(t[p[1]], house) < t[p[1]].count)
                        ++house;
                    expected = house;
                } else if (m == 3)
                    expected = DotsAt(t[p[2]], n);
                QCOMPARE(s.ExpectedAnswer, expected);
                QCOMPARE(s.TextLine, 6.5);
                QVERIFY(s.AnswerKind == 1 && bench.port.opened == 1);
                QString outside;
                QVERIFY2(bench.Inside(bench.text, &outside) && (!drawn || bench.Inside(bench.picture, &outside)), qPrintable(outside));
                // On a sample: the dots in the picture, layer by layer in every house.
                if (drawn) {
                    const double rowHeight = kav::PercentY(18) / double(layers);
                    for (int h = 0; h < 4; ++h)
                        for (int j = 1; j <= layers; ++j) {
                            const double top = kav::PercentY(20 * h + 20) + rowHeight * (j - 1) +
                                               (rowHeight - kav::LineHeight) / 2;
                            const QVector<QRgb> dots = DotsOnRow(bench.picture.image(), kav::Round(top + kav::LineHeight / 2.0));
                            QCOMPARE(dots.size(), DotsAt(t[j], h + 1));
                            const QRgb colour = j == p[1] ? col::Red.rgb() : j == p[2] ? col::Blue.rgb() : col::Black.rgb();
                            for (QRgb d : dots)
                                QCOMPARE(d, colour);
                        }
                }
                ++s.ThemeItemCount[4];
            }
            QCOMPARE(houseNumbers.size(), 4 * level);
            QVERIFY(starts.size() == 3 && steps.size() == 4 && variants.size() == layers);
        }
    }

    void questionTexts()
    {
        kav::SessionState& s = Session();
        bench.Start(4, 3);
        for (int m = 0; m <= 4; ++m) {
            kav::SeedRandom(std::uint32_t(77 + m));
            s.Attempt = 0;
            bench.Generate();
            QCOMPARE(s.ThemeMemory[4], m);
            const auto& p = s.QuestionParams;
            const QString n = QString::number(p[0]), lp = QString::number(p[1]), lq = QString::number(p[2]);
            const QString cp = QString::number(kav::DotLayers()[p[1]].count);
            const QStringList asked = {"Ergens staan " + cp + " stippen in|", "het " + lp + "e laagje.|"};
            switch (m) {
            case 0:
                CheckLines({"1|red|Hoeveel stippen zijn in", "2.25|red|totaal nodig voor huis", "3.5|red|met nummer    "});
                QCOMPARE(bench.port.caption, QStringLiteral("Totaal : "));
                QCOMPARE(bench.port.hint, "|Hoeveel stippen in totaal voor nr. " + n + " ?");
                break;
            case 1:
                CheckLines({"1|red|Hoeveel stippen staan er", "2.25|red|in het " + lp + "e laagje bij het",
                            "3.5|red|huis met nummer    "});
                QCOMPARE(bench.port.caption, QStringLiteral("Aantal stippen : "));
                QCOMPARE(bench.port.hint, "|Hoeveel stippen op laag " + lp + " bij huis nr. " + n + " ?");
                break;
            case 2:
                CheckLines({"1|red|Ergens staan " + cp + " stippen in", "2.25|red|het " + lp + "e laagje.",
                            "3.5|red|Bij welk nummer is dat ?"});
                QCOMPARE(bench.port.caption, QStringLiteral("Bij nummer : "));
                QCOMPARE(bench.port.hint, "|Bij welk nummer staan " + cp + " stippen op laag " + lp + " ?");
                break;
            case 3:
                CheckLines({"1|red|Ergens staan " + cp + " stippen in", "3.5|blue|Hoeveel stippen staan er bij",
                            "4.75|blue|dat nummer in laag " + lq + " ?"});
                QCOMPARE(bench.port.caption, QStringLiteral("Aantal stippen : "));
                QCOMPARE(bench.port.hint, "|Hoeveel stippen staan er bij dat nummer in laag " + lq + " ?");
                break;
            default:
                CheckLines({"2.25|red|het " + lp + "e laagje.", "3.5|blue|Hoeveel stippen staan er bij",
                            "4.75|blue|dat nummer in totaal ?"});
                QCOMPARE(bench.port.caption, QStringLiteral("Totaal : "));
                QCOMPARE(bench.port.hint, QStringLiteral("|Hoeveel stippen staan er bij dat nummer in totaal ?"));
            }
            // Variants 0 and 1: the house number on a yellow disc after the text, then "?".
            const TextLogEntry* disc = testsupport::Logged(bench.text, n);
            const TextLogEntry* mark = Question(QStringLiteral("?"));
            QCOMPARE(bool(disc), m <= 1);
            QCOMPARE(bool(mark), m <= 1);
            if (m <= 1) {
                const TextLogEntry* before = Question(m == 0 ? "met nummer    " : "huis met nummer    ");
                const int end = before->x + Width(*before);
                QVERIFY(disc->color == col::Black && qAbs(disc->x + Width(*disc) / 2 - end) <= 1);
                QCOMPARE(bench.text.pixel(end, Y(4) - 10), col::Yellow);
                QVERIFY(bench.text.pixel(end, Y(4) + Width(*disc) / 2 + 2) != col::Yellow);
                kav::Canvas measure(1, 1);
                measure.font.size = kav::BaseFontSize;
                QVERIFY(mark->color == col::Red && mark->y == Y(3.5));
                QCOMPARE(mark->x, end + measure.textWidth(QStringLiteral(" 12")));
            }
            // The second attempt draws the same question and field, and leaves the picture.
            const QImage shown = bench.picture.image();
            const QStringList first = relsupport::Texts(bench.text.textLog());
            const kav::DotLayerTable layers = kav::DotLayers();
            const auto params = s.QuestionParams;
            const QString caption = bench.port.caption, hint = bench.port.hint;
            s.Attempt = 2;
            bench.Generate();
            QVERIFY(relsupport::Texts(bench.text.textLog()) == first && bench.picture.image() == shown);
            QVERIFY(bench.port.caption == caption && bench.port.hint == hint && s.TextLine == 6.5);
            QVERIFY(s.QuestionParams == params && s.ThemeMemory[4] == m);
            for (int j = 0; j <= kav::MaxDotLayers; ++j)
                QVERIFY(kav::DotLayers()[j].count == layers[j].count && kav::DotLayers()[j].step == layers[j].step);
        }
    }

    void picture()
    {
        bench.Start(4, 2);
        kav::SeedRandom(3);
        bench.Generate();
        const QImage& img = bench.picture.image();
        const TextLogEntry* title = testsupport::Logged(bench.picture, QStringLiteral("Wet in Stippenland:"));
        QVERIFY(title && title->color == col::Red && title->y == Y(0.25) && title->size == kav::Round(1.5 * kav::BaseFontSize));
        QVERIFY(qAbs(2 * title->x + Width(*title) - bench.picture.width()) <= 2);
        for (auto [text, line] : {std::pair{"Alle getallen worden aangegeven door rijtjes van stippen.", 1.75},
                                  {"Ook de huisnummers: elk laagje blijft constant of neemt", 2.75},
                                  {"steeds met hetzelfde aantal stippen toe.", 3.75}}) {
            const TextLogEntry* e = testsupport::Logged(bench.picture, QString::fromUtf8(text));
            QVERIFY(e && e->color == col::Blue && e->y == Y(line) && e->x > 0);
        }
        // House numbers on yellow discs, the separating lines, the layer numbers.
        for (int h = 0; h < 4; ++h) {
            QCOMPARE(bench.picture.pixel(kav::PercentX(3.5) - 8, kav::PercentY(20 * h + 29)), col::Yellow);
            QCOMPARE(bench.picture.pixel(kav::PercentX(29.5), kav::PercentY(20 * h + 29)), col::Black);
            QCOMPARE(bench.picture.pixel(kav::PercentX(60), kav::PercentY(20 * h + 19)), col::Black);
        }
        QCOMPARE(bench.picture.pixel(kav::PercentX(60), kav::PercentY(99)), col::Black);
        int layerNumbers = 0;
        for (const TextLogEntry& e : bench.picture.textLog())
            layerNumbers += e.x == kav::PercentX(26);
        QCOMPARE(layerNumbers, 4 * 4);
        // Houses 1 and 2 as drawn; 3 and 4 the same pictures with their wall and gable
        // recoloured: enclosed, the old colour gone, and nothing else changed.
        const QRgb wall = QColor(kav::LoadPicture("huis1").image().pixel(20, 30)).rgb();
        const QRgb gable = QColor(kav::LoadPicture("huis2").image().pixel(20, 20)).rgb();
        QVERIFY(CountIn(img, HouseBox(0), wall) > 1000 && CountIn(img, HouseBox(2), wall) == 0);
        QVERIFY(CountIn(img, HouseBox(1), gable) > 1000 && CountIn(img, HouseBox(3), gable) == 0);
        const QRect h3 = HouseBox(2), h4 = HouseBox(3);
        const QPoint m3(h3.left() + h3.width() * 20 / 40, h3.top() + h3.height() * 30 / 40);
        const QPoint m4(h4.left() + h4.width() * 20 / 40, h4.top() + h4.height() * 20 / 40);
        QCOMPARE(Px(img, m3.x(), m3.y()), col::Gray.rgb());
        QCOMPARE(Px(img, m4.x(), m4.y()), col::Silver.rgb());
        // The recoloured area is exactly the wall (the gable) of the picture drawn at that size.
        auto area = [](const char* name, const QRect& box, QRgb colour) {
            kav::Canvas ref;
            ref.image() = QImage(box.size(), QImage::Format_ARGB32);
            ref.image().fill(Qt::transparent);
            ref.stretchDraw(0, 0, box.width(), box.height(), kav::LoadPicture(name));
            return CountIn(ref.image(), ref.image().rect(), colour);
        };
        const int grey = Enclosed(img, m3, h3), silver = Enclosed(img, m4, h4);
        QCOMPARE(grey, area("huis1", h3, wall));
        QCOMPARE(silver, area("huis2", h4, gable));
        QVERIFY(grey > 0 && grey < h3.width() * h3.height() / 2 && silver > 0 && silver < h4.width() * h4.height() / 2);
    }

    void explanation()
    {
        kav::SessionState& s = Session();
        bench.Start(4, 3);
        for (int i = 0; i < 60 && !QTest::currentTestFailed(); ++i) {
            kav::SeedRandom(std::uint32_t(900 + i));
            bench.WrongTwice();
            const int m = s.ThemeMemory[4], n = s.QuestionParams[0], lp = s.QuestionParams[1];
            const int lq = s.QuestionParams[2];
            const kav::DotLayerTable& t = kav::DotLayers();
            QCOMPARE(relsupport::Texts(bench.secondQuestion), relsupport::Texts(bench.firstQuestion));
            QVERIFY(bench.secondField.caption == bench.firstField.caption && bench.secondField.hint == bench.firstField.hint);
            // The judge leaves the text at 6.5 + 2 + 1.25; the explanation starts 1.25 lower.
            const TextLogEntry* head = bench.Written("Toelichting:", col::Blue);
            QVERIFY(head && head->y == Y(11) && head->x == kav::TextMargin);
            const double b = 12;
            auto rule = [&](int j, double line) {
                const QString f = QStringLiteral("Laag %1:  %2 + %3 x %4").arg(j).arg(t[j].start).arg(n - 1).arg(t[j].step);
                const TextLogEntry* e = bench.Written(f, col::Black);
                QVERIFY2(e && e->x == 2 * kav::TextMargin && e->y == Y(line), qPrintable(f));
                const TextLogEntry* c = nullptr;
                for (const TextLogEntry& w : bench.explained)
                    if (w.y == Y(line) && w.color == col::Blue)
                        c = &w;
                QVERIFY(c && c->text == QString::number(DotsAt(t[j], n)));
                QCOMPARE(c->x + Width(*c), bench.text.width() - kav::TextMargin);  // right-aligned
            };
            int total = 0;
            for (int j = 1; j <= 5; ++j)
                total += DotsAt(t[j], n);
            const QString answer = QString::number(s.ExpectedAnswer);
            if (m <= 1) {
                QCOMPARE(bench.Written("Regelmaat per laag:", col::Blue)->y, Y(b));
                for (int j = 1; j <= 5; ++j)
                    rule(j, b + j);
                const QString last = m == 0 ? "Totaal: " + QString::number(total)
                                            : QStringLiteral("Dus op laag %1 staan %2 stippen.").arg(lp).arg(DotsAt(t[lp], n));
                QVERIFY(bench.Written(last, col::Red) && bench.Written(last)->y == Y(b + 6));
            } else {
                QCOMPARE(bench.Written(QStringLiteral("Regelmaat voor laag %1:").arg(lp), col::Blue)->y, Y(b));
                const QString f = QStringLiteral("%1 + ? x %2 = %3").arg(t[lp].start).arg(t[lp].step).arg(t[lp].count);
                QCOMPARE(bench.Written(f, col::Black)->y, Y(b + 1));
                QCOMPARE(bench.Written(QStringLiteral("? = %1").arg(n - 1), col::Black)->y, Y(b + 2));
                if (m == 2)
                    QCOMPARE(bench.Written("Dus het is huis met nummer " + QString::number(n) + ".", col::Red)->y, Y(b + 3));
                else if (m == 3) {
                    QCOMPARE(bench.Written("Dus het is huis met nummer " + QString::number(n) + ".", col::Blue)->y, Y(b + 3));
                    const QString q = QStringLiteral("Laag %1:  %2 + %3 x %4 = %5")
                                          .arg(lq).arg(t[lq].start).arg(n - 1).arg(t[lq].step).arg(DotsAt(t[lq], n));
                    QCOMPARE(bench.Written(q, col::Black)->y, Y(b + 4));
                    QCOMPARE(bench.Written(QStringLiteral("Dus op laag %1 staan %2 stippen.").arg(lq).arg(answer), col::Red)->y,
                             Y(b + 5));
                } else {
                    for (int j = 1; j <= 5; ++j)
                        rule(j, b + 2 + j);
                    QCOMPARE(bench.Written("Totaal: " + QString::number(total), col::Red)->y, Y(b + 8));
                }
            }
            QString outside;
            QVERIFY2(bench.Inside(bench.text, &outside), qPrintable(outside));
        }
    }

    // A second attempt or an explanation after values no generator makes still writes.
    void oddValues()
    {
        kav::SessionState& s = Session();
        bench.Start(4, 1);
        bench.Generate();
        s.ThemeMemory[4] = 2;
        s.QuestionParams[1] = 99;  // no layer
        kav::DotLayers()[0] = kav::DotLayer();
        s.Attempt = 2;
        bench.Generate();
        s.TextLine = 8;
        kav::Theme4Explanation();
        QVERIFY(testsupport::Logged(bench.text, QStringLiteral("? = ?")));
        s.ThemeMemory[4] = 1000001;
        s.Attempt = 0;
        bench.Generate();
        QVERIFY(s.ThemeMemory[4] >= 0 && s.ThemeMemory[4] <= 2);
    }

    void shots()
    {
        if (bench.ShotFolder().isEmpty())
            QSKIP("KAVRIN_SHOTS not set");
        for (int level = 1; level <= 3; ++level) {
            bench.Start(4, level);
            for (int m = 0; m < level + 2; ++m) {
                kav::SeedRandom(std::uint32_t(level * 10 + m));
                bench.WrongTwice();
                QVERIFY(bench.SaveShot(QStringLiteral("theme4_level%1_variant%2.png").arg(level).arg(m)));
            }
        }
    }
};

QTEST_MAIN(TestRelationsDotland)
#include "tst_relations_dotland.moc"
