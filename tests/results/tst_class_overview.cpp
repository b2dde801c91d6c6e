// The class overview's figures: against a small class with known answers (p-values, theme
// averages, grade counts, one row per pupil, who did not finish, items that differ) and
// against a class played with the real generators and judge; a pupil's progress per topic;
// the overview's pages.
#include <QBuffer>
#include <QPdfWriter>
#include <QTest>

#include "classsample.h"
#include "player.h"
#include "results/classoverview.h"
#include "results/overviewpages.h"
#include "results/pages.h"
#include "results/store.h"
#include "session/testcode.h"

using namespace kav;
using testsupport::Play;
using testsupport::Code;
using testsupport::Pupil;

namespace {

QVector<SessionResult> SmallClass()
{
    using St = SessionStatus;
    SessionResult fenna = Pupil(9, QStringLiteral("Fenna"), "1111", St::Completed, 9);
    fenna.items[1].rightAnswer = QStringLiteral("99");  // another item 2: another version's test
    SessionResult practice = Pupil(10, QStringLiteral("Gijs"), "1111", St::None, 10);
    practice.practice = true;
    return {Pupil(1, QStringLiteral("Anna"), "112w", St::Completed, 1),
            Pupil(2, QStringLiteral("Bram"), "1111", St::Completed, 2),
            // Bram tried again later and stopped: the finished one counts.
            Pupil(3, QStringLiteral("Bram"), "w", St::Stopped, 30),
            Pupil(4, QStringLiteral("Cas"), "2n", St::Stopped, 4),
            // Dirk twice, typed differently: the last finished one counts.
            Pupil(5, QStringLiteral("Dirk"), "wwww", St::Completed, 5),
            Pupil(6, QStringLiteral(" dirk "), "1111", St::Completed, 20),
            Pupil(7, QStringLiteral("Eva"), "", St::NotStarted, 7),
            fenna,
            practice};
}

QVector<ItemMark> Marks(const OverviewPupil& p)
{
    return p.marks;
}

}  // namespace

class TestClassOverview : public QObject {
    Q_OBJECT
private slots:
    void figuresOfASmallClass()
    {
        const ClassOverview o = MakeClassOverview(SmallClass());
        QCOMPARE(o.code, Code());
        QCOMPARE(o.items.size(), 4);
        // One row per pupil, by name; the practice session left out.
        QStringList names;
        for (const OverviewPupil& p : o.pupils)
            names << p.name;
        QCOMPARE(names, (QStringList{"Anna", "Bram", "Cas", "dirk", "Eva", "Fenna"}));
        const OverviewPupil &bram = o.pupils[1], &cas = o.pupils[2], &dirk = o.pupils[3], &eva = o.pupils[4];
        QCOMPARE(bram.id, 2);
        QCOMPARE(bram.sessions, 2);
        QCOMPARE(dirk.id, 6);
        QCOMPARE(dirk.sessions, 2);
        QCOMPARE(PupilNameText(dirk), QStringLiteral("dirk (2\u00d7)"));
        QCOMPARE(o.repeated, 2);
        using M = ItemMark;
        QCOMPARE(Marks(o.pupils[0]), (QVector<M>{M::RightFirst, M::RightFirst, M::RightSecond, M::Wrong}));
        QCOMPARE(Marks(cas), (QVector<M>{M::RightSecond, M::NotDone, M::NotDone, M::NotDone}));
        QVERIFY(!eva.begun());
        QCOMPARE(cas.status, SessionStatus::Stopped);
        QCOMPARE(cas.gradeText, QStringLiteral("2,1"));  // 1 of 8 points
        // Fenna's item 2 is not the class's: she is shown and marked, not counted.
        QVERIFY(o.pupils[5].itemsDiffer);
        QCOMPARE(o.differing, 1);
        QCOMPARE(o.counted, 4);  // Anna, Bram, Cas, dirk

        // p = mean points / 2, not done counting 0.
        const double p[] = {7 / 8.0, 6 / 8.0, 5 / 8.0, 4 / 8.0};
        for (int k = 0; k < 4; ++k)
            QCOMPARE(o.items[k].pValue, p[k]);
        QCOMPARE(PValueText(o.items[2].pValue), QStringLiteral("0,63"));
        QCOMPARE(o.items[0].count(M::RightFirst), 3);
        QCOMPARE(o.items[3].count(M::Wrong), 1);
        QCOMPARE(o.items[3].count(M::NotDone), 1);
        QCOMPARE(o.items[1].themeCode, 14);

        QCOMPARE(o.themes.size(), 2);
        QCOMPARE(o.themes[0].themeCode, 11);
        QCOMPARE(o.themes[0].average, 12 / 16.0);
        QCOMPARE(o.themes[0].rightFirst, 5 / 8.0);
        QCOMPARE(o.themes[0].rightSecond, 2 / 8.0);
        QCOMPARE(o.themes[1].average, 10 / 16.0);
        QCOMPARE(ShareText(o.themes[1].average), QStringLiteral("63%"));

        // Grades: Anna 6,6 -> 7; Bram, dirk and Fenna 10; Cas 2,1 -> 2; Eva did nothing.
        std::array<int, 10> grades{};
        grades[7 - 1] = 1;
        grades[10 - 1] = 3;
        grades[2 - 1] = 1;
        QCOMPARE(o.gradeCounts, grades);
        QCOMPARE(o.notFinished, (QStringList{"Cas", "Eva"}));
        QVERIFY(NotFinishedText(o).contains(QStringLiteral("Cas, Eva")));

        // Most often wrong first, then the lowest p-value.
        QCOMPARE(o.itemOrder(true), (QVector<int>{3, 2, 1, 0}));
        QCOMPARE(o.itemOrder(false), (QVector<int>{0, 1, 2, 3}));
        QCOMPARE(GradeChart(o).values[9], QVector<double>{3});
        QCOMPARE(ThemeChart(o).categories, (QStringList{"11", "14"}));

        // No sessions, or practice only: an empty overview, not a crash.
        QVERIFY(MakeClassOverview({}).pupils.isEmpty());
        QVERIFY(MakeClassOverview({SmallClass().last()}).items.isEmpty());
    }

    void gradesRoundToWholeAsOnAReportCard()
    {
        QCOMPARE(WholeGrade(10), 1);
        QCOMPARE(WholeGrade(54), 5);
        QCOMPARE(WholeGrade(55), 6);
        QCOMPARE(WholeGrade(100), 10);
        QCOMPARE(ClockText(65), QStringLiteral("1:05"));
        QCOMPARE(ClockText(3725), QStringLiteral("1:02:05"));
    }

    // Twelve pupils play the same coded test with the real generators, each answering in their
    // own way: the items are the same for all, and the figures match the sessions' own counts.
    void aClassPlayedByTheTests()
    {
        testsupport::SessionPlayer player;
        player.setUp();
        TestCodeSettings settings;
        settings.sessionMode = 10;
        settings.themes = 0b1111111;
        settings.level = 2;
        settings.length = 10;
        settings.seed = 31337u;
        const QString code = EncodeTestCode(settings).value();
        QVector<SessionResult> sessions;
        for (int pupil = 0; pupil < 12; ++pupil) {
            SeedRandom(TestSeed(settings));
            player.start(10, false, 1, QStringLiteral("Leerling %1").arg(pupil), code, 10, settings.themes);
            std::mt19937 rng(pupil * 7 + 1);
            const int items = pupil == 11 ? 4 : 10;  // the last one stops early
            for (int n = 0; n < items; ++n)
                player.playItem(Play(rng() % 3));
            SessionResult r = player.rec.finish(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
            r.id = pupil + 1;
            if (pupil == 11)
                r.status = SessionStatus::Stopped;
            sessions.append(r);
        }
        const ClassOverview o = MakeClassOverview(sessions);
        QCOMPARE(o.differing, 0);
        QCOMPARE(o.counted, 12);
        QCOMPARE(o.items.size(), 10);
        QCOMPARE(o.notFinished, QStringList{QStringLiteral("Leerling 11")});
        std::array<int, 10> grades{};
        for (const SessionResult& s : sessions)
            ++grades[WholeGrade(GradeTenths(s.points, s.maxPoints)) - 1];
        QCOMPARE(o.gradeCounts, grades);
        for (int k = 0; k < 10; ++k) {
            int points = 0, wrong = 0;
            for (const SessionResult& s : sessions)
                if (k < s.items.size()) {
                    points += s.items[k].points;
                    wrong += !s.items[k].right && !s.items[k].unfinished;
                    QCOMPARE(s.items[k].themeCode, o.items[k].themeCode);
                }
            QCOMPARE(o.items[k].pValue, points / (12.0 * MaxItemPoints(sessions.first().level)));
            QCOMPARE(o.items[k].count(ItemMark::Wrong), wrong);
        }
        double total = 0;
        for (const OverviewTheme& t : o.themes)
            total += t.average * t.items;
        double sum = 0;
        for (const OverviewItem& i : o.items)
            sum += i.pValue;
        QVERIFY(qAbs(total - sum) < 1e-9);  // a theme's average is the mean p-value of its items
    }

    void progressPerTopicOverAllSessionsOfTheName()
    {
        auto summary = [](const QString& name, int mode, bool practice, int points, int day) {
            SessionSummary s;
            s.name = name;
            s.sessionMode = mode;
            s.practice = practice;
            s.points = points;
            s.maxPoints = 40;
            s.items = 20;
            s.started = QDateTime(QDate(2026, 11, day), QTime(9, 0));
            return s;
        };
        const QVector<SessionSummary> list = {summary("Anna", 10, false, 30, 20), summary("ANNA ", 10, true, 10, 3),
                                              summary("Annabel", 10, false, 40, 4), summary("anna", -10, false, 20, 5),
                                              summary("Anna", 0, false, 41, 6)};
        const QVector<ProgressLine> lines = MakeProgress(list, QStringLiteral("Anna"));
        QCOMPARE(lines.size(), 3);  // in the order of the main menu
        QCOMPARE(lines[0].sessionMode, 0);
        QCOMPARE(lines[0].points[0].percentage, 100);  // never more than all points
        QCOMPARE(lines[1].sessionMode, 10);
        QCOMPARE(lines[1].points.size(), 2);  // not Annabel's
        QCOMPARE(lines[1].points[0].percentage, 25);  // oldest first
        QVERIFY(lines[1].points[0].practice);
        QCOMPARE(lines[2].sessionMode, -10);
        const LineChart chart = ProgressChart(lines, QStringLiteral("Anna"));
        QCOMPARE(chart.series.size(), 3);
        QCOMPARE(chart.series[1].label, QStringLiteral("Verhoudingen"));
        QVERIFY(chart.series[0].marker != chart.series[1].marker && chart.series[1].style != chart.series[2].style);
        QVERIFY(chart.xTicks.size() >= 2 && chart.xMin < chart.xMax);
    }

    // Thirty pupils fill more than a page; every page has its footer and the table's head.
    void thePagesOfAWholeClass()
    {
        QVector<SessionResult> sessions;
        for (int pupil = 0; pupil < 70; ++pupil)
            sessions.append(Pupil(pupil + 1, QStringLiteral("Leerling %1").arg(pupil, 2, 10, QLatin1Char('0')),
                                  QByteArray("12wn").left(1 + pupil % 4), SessionStatus::Completed, pupil % 60));
        const ClassOverview o = MakeClassOverview(sessions);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        SetA4Layout(&writer);
        const int pages = CountClassOverviewPages(&writer, o, true);
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
        QVERIFY(PaintClassOverview(&writer, o, true));
        QCOMPARE(int(buffer.data().count("/Type /Page") - buffer.data().count("/Type /Pages")), pages);
        QVERIFY(!PaintClassOverview(nullptr, o, false));
    }
};

QTEST_MAIN(TestClassOverview)
#include "tst_class_overview.moc"
