// The recorder beside the real engine: sessions played item by item as the session window
// plays them (generator, judge, second attempt, worked explanation), and the result checked
// against the engine's own score.
#include <QTest>
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
        // Stopped in the middle of an item: that item is left out.
        next();
        answer(false);
        const SessionResult r = rec.finish(false, QDateTime(QDate(2026, 12, 7), QTime(14, 25, 30)));
        QVERIFY(!rec.running());
        QCOMPARE(r.items.size(), items);
        QCOMPARE(r.points, Session().Points);
        QCOMPARE(r.scoreText, port.score);
        QCOMPARE(r.scoreText, ScoreText(Session().Points, Session().ItemCount));
        QCOMPARE(r.maxPoints, items * MaxItemPoints(level));
        QCOMPARE(r.level, mode < 0 ? 3 : levelIndex + 1);
        QCOMPARE(r.rightAtFirst() + r.rightAtSecond() + r.wrong(), items);
        QVERIFY(!r.finished);
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
        rec.start(QStringLiteral("Bram"), QString(), 20, false, 1);
        next();
        answer(false);
        rec.start(QStringLiteral("Bram"), QString(), 20, false, 1);
        Session().Attempt = 0;
        next();
        answer(true);
        QCOMPARE(rec.current().items.size(), 1);
        QCOMPARE(rec.current().items[0].attempts, 1);
        QCOMPARE(rec.finish(true).scoreText, QStringLiteral("002 uit 001"));
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
