// The recorder beside the real engine: sessions played item by item as the session window
// plays them (generator, judge, second attempt, worked explanation), and the result checked
// against the engine's own score.
#include <QTest>
#include <QUuid>
#include <random>

#include "results/player.h"
#include "session/catalogue.h"

using namespace kav;
using testsupport::Play;

class TestResultsRecorder : public QObject {
    Q_OBJECT
    testsupport::SessionPlayer player;
    SessionRecorder& rec = player.rec;
    const testsupport::ScorePort& port = player.port;
    const Canvas& text = player.text;
    const Canvas& picture = player.picture;

    void next() { player.next(); }
    QString answer(bool right) { return player.answer(right); }
    void startSession(int mode, bool practice, int levelIndex) { player.start(mode, practice, levelIndex); }

private slots:
    void initTestCase() { player.setUp(); }

    void sessionsComeOutAsTheyWerePlayed_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("practice");
        QTest::addColumn<int>("levelIndex");
        QTest::newRow("Driehoeksgetallen, oefenen, Durver") << 20 << true << 1;
        QTest::newRow("Verhoudingen, test, Prof !") << 10 << false << 2;
        QTest::newRow("Verbanden, test, Starter") << 0 << false << 0;
        QTest::newRow("Grote uitdaging") << -10 << false << 0;
    }

    void sessionsComeOutAsTheyWerePlayed()
    {
        QFETCH(int, mode);
        QFETCH(bool, practice);
        QFETCH(int, levelIndex);
        SeedRandom(std::uint32_t(40 + mode));
        startSession(mode, practice, levelIndex);
        const int level = Level();
        std::mt19937 rng(std::uint32_t(mode + 100));
        const int items = testsupport::Sweep(30);
        int decimals = 0;
        for (int n = 1; n <= items; ++n) {
            next();
            const Play play = Play(rng() % 3);
            const QString first = answer(play == Play::RightAtOnce);
            QString second;
            if (play != Play::RightAtOnce) {
                QCOMPARE(rec.current().items.size(), n - 1);  // the item isn't done yet
                next();
                second = answer(play == Play::RightAtSecond);
            }
            const SessionState& s = Session();
            QCOMPARE(rec.current().items.size(), n);
            const ItemResult& i = rec.current().items.last();
            QCOMPARE(i.number, n);
            QCOMPARE(i.themeCode, s.ThemeCode);
            QVERIFY(!i.themeTitle.isEmpty());
            QCOMPARE(i.themeTitle, ThemeTitle(s.ThemeCode));
            QCOMPARE(i.firstAnswer, first);
            QCOMPARE(i.secondAnswer, second);
            QCOMPARE(i.attempts, play == Play::RightAtOnce ? 1 : 2);
            QCOMPARE(i.right, play != Play::WrongTwice);
            QCOMPARE(i.points, play == Play::RightAtOnce ? MaxItemPoints(level) : play == Play::RightAtSecond ? level : 0);
            if (s.AnswerKind == 2) {
                ++decimals;
                QCOMPARE(i.rightAnswer, FormatDecimal(s.ExpectedDecimal, s.AnswerDecimals, u','));
                QVERIFY(!i.rightAnswer.contains(u'.'));
            } else {
                QCOMPARE(i.rightAnswer, QString::number(s.ExpectedAnswer));
            }
            // The canvases as they stood after the judgement, the worked explanation included.
            QCOMPARE(i.textImage().convertToFormat(QImage::Format_RGB32), text.image().convertToFormat(QImage::Format_RGB32));
            QCOMPARE(i.pictureImage().size(), picture.image().size());
            QCOMPARE(i.texts.size(), text.textLog().size());
            QVERIFY(testsupport::Logged(text, QStringLiteral("Ingegeven: ")));
            const bool explained = std::any_of(i.texts.begin(), i.texts.end(), [](const TextLogEntry& e) {
                return e.text.startsWith(QStringLiteral("Toelichting"));
            });
            if (mode == 20)
                QCOMPARE(explained, practice && play == Play::WrongTwice);
        }
        // Stopped in the middle of an item: it is kept niet af, with its first answer.
        next();
        const QString half = answer(false);
        const SessionResult r = rec.finish(QDateTime(QDate(2026, 12, 7), QTime(14, 25, 30)));
        QVERIFY(!rec.running());
        QCOMPARE(r.items.size(), items + 1);
        const ItemResult& last = r.items.last();
        QVERIFY(last.unfinished && !last.right);
        QCOMPARE(last.firstAnswer, half);
        QCOMPARE(last.secondAnswer, QString());
        QCOMPARE(last.points, 0);
        QCOMPARE(last.number, items + 1);
        QCOMPARE(last.themeCode, Session().ThemeCode);
        // Drawn again as it stood after its first answer; no pictures are kept.
        QVERIFY(last.redrawn() && last.textPng.isEmpty() && last.picturePng.isEmpty());
        QCOMPARE(last.textImage().convertToFormat(QImage::Format_RGB32), text.image().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(r.points, Session().Points);
        QCOMPARE(r.scoreText, port.score);
        QCOMPARE(r.scoreText, ScoreText(Session().Points, Session().ItemCount));
        // No set length: graded over the judged items, and voltooid however it is left.
        QCOMPARE(r.maxPoints, (items + 1) * MaxItemPoints(level));
        QCOMPARE(r.level, mode < 0 ? 3 : levelIndex + 1);
        QCOMPARE(r.rightAtFirst() + r.rightAtSecond() + r.wrong(), items);
        QCOMPARE(r.status, practice ? SessionStatus::None : SessionStatus::Completed);
        QVERIFY(!QUuid::fromString(r.uuid).isNull());
        QCOMPARE(r.durationSeconds(), 20 * 60 + 30);
        QCOMPARE(r.name, QStringLiteral("Anna"));
        QCOMPARE(r.code, QStringLiteral("ABCDEFGHJK"));
        QCOMPARE(r.sessionMode, mode);
        QCOMPARE(r.practice, practice);
        if (mode == 10 && items >= 20)
            QVERIFY(decimals > 0);
    }

    void judgementsOutsideASessionAreIgnored()
    {
        SessionRecorder idle;
        startSession(20, false, 0);
        next();
        answer(true);
        idle.judged(QStringLiteral("12"));
        QVERIFY(idle.current().items.isEmpty());
        // A new start forgets what was half done.
        rec.start(QStringLiteral("Bram"), QString(), 20, false, 1, 10);
        next();
        answer(false);
        rec.start(QStringLiteral("Bram"), QString(), 20, false, 1, 10);
        Session().Attempt = 0;
        next();
        answer(true);
        QCOMPARE(rec.current().items.size(), 1);
        QCOMPARE(rec.current().items[0].attempts, 1);
        QCOMPARE(rec.finish().scoreText, QStringLiteral("002 uit 001"));
    }

    // A test of set length is graded over its plan, however far it came; its status says how
    // it ended.
    void gradesAndStatusesOfTestsOfSetLength()
    {
        struct Case {
            int planned, done;
            bool halfDone;  // the next item answered once, wrong
            SessionStatus status;
        };
        for (const Case& c : {Case{3, 3, false, SessionStatus::Completed}, Case{20, 3, false, SessionStatus::Stopped},
                              Case{10, 0, false, SessionStatus::NotStarted}, Case{5, 4, true, SessionStatus::Stopped},
                              Case{10, 0, true, SessionStatus::Stopped}}) {
            SeedRandom(std::uint32_t(c.planned * 10 + c.done));
            player.start(10, false, 1, QStringLiteral("Anna"), QStringLiteral("ABCDEFGHJK"), c.planned);
            for (int n = 0; n < c.done; ++n) {
                next();
                answer(true);
            }
            if (c.halfDone) {
                next();
                answer(false);
            }
            const SessionResult r = rec.finish();
            QCOMPARE(r.status, c.status);
            QCOMPARE(r.plannedItems, c.planned);
            QCOMPARE(int(r.items.size()), c.done + (c.halfDone ? 1 : 0));
            QCOMPARE(r.maxPoints, c.planned * MaxItemPoints(2));
            QCOMPARE(r.points, c.done * MaxItemPoints(2));
            QCOMPARE(r.gradeText(), GradeText(c.done * 4, c.planned * 4));
        }
        // Three of twenty right: not a 10,0.
        player.start(10, false, 1, QStringLiteral("Anna"), QString(), 20);
        for (int n = 0; n < 3; ++n) {
            next();
            answer(true);
        }
        QCOMPARE(rec.finish().gradeText(), QStringLiteral("2,4"));
        // Practice keeps no plan, no status and no grade.
        player.start(10, true, 1, QStringLiteral("Anna"), QString(), 20);
        next();
        answer(true);
        const SessionResult practice = rec.finish();
        QCOMPARE(practice.status, SessionStatus::None);
        QCOMPARE(practice.plannedItems, 0);
        QCOMPARE(practice.maxPoints, MaxItemPoints(2));
        QCOMPARE(practice.gradeText(), QString());
        QCOMPARE(practice.percentage(), 100);
    }

    // In a coded test an item keeps the picture the pupil answered on, which no judgement has
    // drawn on; without a code, the picture as it stood after the judgement.
    void aCodedTestKeepsThePictureAsAsked()
    {
        for (const QString& code : {QStringLiteral("ABCDEFGHJK"), QString()}) {
            SeedRandom(7);
            // The mouse in the grid, which the judge draws in.
            player.start(0, false, 0, QStringLiteral("Anna"), code, 10, 0b10);
            QImage asked;
            for (int n = 0; n < 3; ++n) {
                next();
                QCOMPARE(Session().ThemeCode, 2);
                asked = picture.image().copy();
                answer(n == 1);
                if (n != 1) {
                    next();
                    answer(false);
                }
            }
            const SessionResult r = rec.finish();
            for (const ItemResult& i : r.items) {
                QCOMPARE(i.pictureAsAsked, !code.isEmpty());
                QVERIFY(i.redrawn());
            }
            const QImage kept = r.items.last().pictureImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(kept, (code.isEmpty() ? picture.image() : asked).convertToFormat(QImage::Format_RGB32));
        }
    }

    void rightAnswersAsTheProgramWritesThem()
    {
        SessionState s;
        s.AnswerKind = 2;
        s.ExpectedDecimal = 7.449999;
        s.AnswerDecimals = 2;
        s.AnswerSuffix = QStringLiteral(" km");
        QCOMPARE(RightAnswerText(s), QStringLiteral("7,45"));
        s.AnswerKind = 1;
        s.ExpectedAnswer = -12;
        QCOMPARE(RightAnswerText(s), QStringLiteral("-12"));
    }
};

QTEST_MAIN(TestResultsRecorder)
#include "tst_results_recorder.moc"
