// Dotland (theme 4): thousands of seeded items per level for the layers, the house number, the
// variant cycle and each answer found by walking along the street; on a sample the dots counted
// in the picture; the recoloured houses; the explanation.
#include "themes/relations_support.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "session/random.h"
#include "themes/relations/relations.h"

using namespace relsupport;

namespace {

int DotsAt(const kav::DotLayer& l, int house)  // counted on from house 1
{
    int dots = l.start;
    for (int h = 2; h <= house; ++h)
        dots += l.step;
    return dots;
}

// The answer field of each variant: %1 the house number, %2 and %3 the layers P and Q, %4 the dots of P.
const char* const kField[] = {"Totaal : |Hoeveel stippen in totaal voor nr. %1 ?",
                              "Aantal stippen : |Hoeveel stippen op laag %2 bij huis nr. %1 ?",
                              "Bij nummer : |Bij welk nummer staan %4 stippen op laag %2 ?",
                              "Aantal stippen : |Hoeveel stippen staan er bij dat nummer in laag %3 ?",
                              "Totaal : |Hoeveel stippen staan er bij dat nummer in totaal ?"};

}  // namespace

class TestRelationsDotland : public QObject {
    Q_OBJECT
    ThemeBench bench;

private slots:
    void initTestCase()
    {
        testsupport::UseBuildPictures();
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        bench.Init();
    }

    void generator()
    {
        kav::SessionState& s = kav::Session();
        for (int level = 1; level <= 3; ++level) {
            bench.Start(4, level);
            const int layers = level + 2;
            QSet<int> numbers, starts, steps;
            for (int i = 0; i < 3000 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(40000 + 5000 * level + i));
                s.Attempt = 0;
                const bool drawn = i % 60 == 0;
                bench.Generate(drawn);
                const int n = s.QuestionParams[0], p = s.QuestionParams[1], q = s.QuestionParams[2], m = s.ThemeMemory[4];
                const kav::DotLayerTable& t = kav::DotLayers();
                QVERIFY(m == i % layers && n >= 6 && n <= 4 * level + 5);  // the variants in turn from START
                numbers << n;
                int growing = 0, total = 0;
                for (int j = 1; j <= layers; ++j) {
                    QVERIFY(t[j].start >= 1 && t[j].start <= 3 && t[j].step <= 3 && t[j].count == DotsAt(t[j], n));
                    growing += t[j].step > 0;
                    total += DotsAt(t[j], n);
                    starts << t[j].start, steps << t[j].step;
                }
                QVERIFY(growing >= 2 && s.QuestionParams[3] == total);
                QVERIFY(m == 0 ? p == 0 : p >= 1 && p <= layers && t[p].step > 0);  // P and Q grow, Q is not P
                QVERIFY(m == 3 ? q >= 1 && q <= layers && q != p && t[q].step > 0 : q == 0);
                int house = 1;  // variant 2: walk along the street to the number with those dots
                while (m == 2 && DotsAt(t[p], house) < t[p].count)
                    ++house;
                QCOMPARE(s.ExpectedAnswer, m == 1 ? DotsAt(t[p], n) : m == 2 ? house : m == 3 ? DotsAt(t[q], n) : total);
                QCOMPARE(bench.port.field, QString::fromUtf8(kField[m]).replace("%1", QString::number(n))
                                               .replace("%2", QString::number(p)).replace("%3", QString::number(q))
                                               .replace("%4", QString::number(t[p].count)));
                QVERIFY(s.TextLine == 6.5 && bench.Outside(bench.text).isEmpty());
                if (m <= 1) {  // "... nummer    ", the number on a yellow disc, a red "?"
                    const TextLogEntry& before = bench.text.textLog()[2];
                    const TextLogEntry* mark = testsupport::Logged(bench.text, "?");
                    QCOMPARE(bench.text.pixel(before.x + Width(before), Y(4) - 10), col::Yellow);
                    QVERIFY(mark && mark->color == col::Red && mark->x > before.x + Width(before) + 10);
                }
                if (drawn) {  // the dots of every layer of every house, P red and Q blue
                    const double row = kav::PercentY(18) / double(layers);
                    for (int h = 0; h < 4; ++h)
                        for (int j = 1; j <= layers; ++j) {
                            const int y = kav::Round(kav::PercentY(20 * h + 20) + row * (j - 1) + row / 2);
                            const QColor c = j == p ? col::Red : j == q ? col::Blue : col::Black;
                            int dots = 0;
                            for (int x = kav::PercentX(31); x < kav::PercentX(79); ++x)
                                dots += bench.picture.pixel(x, y) == c && bench.picture.pixel(x - 1, y) == col::BtnFace;
                            QCOMPARE(dots, DotsAt(t[j], h + 1));
                        }
                    QVERIFY(bench.Outside(bench.picture).isEmpty());
                }
                ++s.ThemeItemCount[4];
            }
            QVERIFY(numbers.size() == 4 * level && starts.size() == 3 && steps.size() == 4);
        }
    }

    // Houses 3 and 4 are houses 1 and 2 with the wall and the gable recoloured: exactly that
    // area of the picture drawn at that size, enclosed, the old colour gone.
    void houses()
    {
        bench.Start(4, 2);
        bench.Generate();
        auto box = [](int h) { return QRect(QPoint(kav::PercentX(7), kav::PercentY(20 * h + 20)), QPoint(kav::PercentX(25) - 1, kav::PercentY(20 * h + 38) - 1)); };
        const std::tuple<const char*, QPoint, QColor, int> recoloured[] = {{"huis1", {20, 30}, col::Gray, 2}, {"huis2", {20, 20}, col::Silver, 3}};
        for (auto [name, marker, colour, h] : recoloured) {
            const QColor old = kav::LoadPicture(name).image().pixelColor(marker);
            kav::Canvas ref, shown;
            ref.image() = QImage(box(h).size(), QImage::Format_ARGB32);
            ref.image().fill(Qt::transparent);
            ref.stretchDraw(0, 0, ref.width(), ref.height(), kav::LoadPicture(name));
            shown.image() = bench.picture.image().copy(box(h));
            QVERIFY(testsupport::CountColour(bench.picture.image().copy(box(h - 2)), old) > 1000);
            QCOMPARE(testsupport::CountColour(shown.image(), old), 0);
            const QColor mark(1, 2, 3);  // the recoloured area filled again: as large, not reaching the edge
            shown.setBrush(mark);
            shown.floodFill(marker.x() * shown.width() / 40, marker.y() * shown.height() / 40, colour, kav::FillMode::Surface);
            QCOMPARE(testsupport::CountColour(shown.image(), mark), testsupport::CountColour(ref.image(), old));
            QVERIFY(testsupport::CountColour(shown.image().copy(0, 0, shown.width(), 1), mark) == 0);
        }
    }

    void explanation()
    {
        kav::SessionState& s = kav::Session();
        bench.Start(4, 3);
        for (int i = 0; i < 60 && !QTest::currentTestFailed(); ++i) {
            kav::SeedRandom(std::uint32_t(900 + i));
            bench.WrongTwice();
            const int n = s.QuestionParams[0], m = s.ThemeMemory[4], layer = m == 1 ? s.QuestionParams[1] : s.QuestionParams[2];
            const kav::DotLayerTable& t = kav::DotLayers();
            int total = 0, rules = 0;
            for (int j = 1; j <= 5; ++j) {  // each layer's rule and count, from line 12 or (variant 4) 14
                total += DotsAt(t[j], n);
                const double line = (m == 4 ? 14 : 12) + j;
                rules += bench.Wrote(QStringLiteral("Laag %1:  %2 + %3 x %4").arg(j).arg(t[j].start).arg(n - 1).arg(t[j].step), col::Black, line) &&
                         bench.Wrote(QString::number(DotsAt(t[j], n)), col::Blue, line);
            }
            QVERIFY(rules == (m == 0 || m == 1 || m == 4 ? 5 : 0) && (m < 2 || bench.Wrote(QStringLiteral("? = %1").arg(n - 1), col::Black, 14)));
            const QString last = m == 0 || m == 4 ? QStringLiteral("Totaal: %1").arg(total)
                                 : m == 2        ? QStringLiteral("Dus het is huis met nummer %1.").arg(n)
                                                 : QStringLiteral("Dus op laag %1 staan %2 stippen.").arg(layer).arg(DotsAt(t[layer], n));
            QVERIFY(bench.explained[0].y == Y(11) && bench.explained.last().text == last && bench.explained.last().color == col::Red);
            QVERIFY(bench.Outside(bench.text).isEmpty());
        }
        s.ThemeMemory[4] = 2;  // values no generator makes: still written, no quotient by a step 0
        s.QuestionParams[1] = 99;
        kav::Theme4Explanation();
        QVERIFY(testsupport::Logged(bench.text, QStringLiteral("? = ?")));
    }
};

QTEST_MAIN(TestRelationsDotland)
#include "tst_relations_dotland.moc"
