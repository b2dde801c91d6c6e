// The bookkeeper game without a window: the notes by level, the choice between adding and
// taking away, the ledger, the ladder and the ranks, checked against the test's own count of
// the notes in the trays.
#include <QTest>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "games/bookkeeper.h"
#include "gamerecorder.h"
#include "session/engine.h"
#include "session/random.h"

using namespace kav;
using namespace testsupport;

namespace {

int StepOfLevel(int level)
{
    static const int steps[] = {0, 10, 6, 9};
    return steps[level];
}

struct Count {
    int credit = 0, debit = 0, creditSum = 0, debitSum = 0;
    int perK[2][10] = {};
};

// The test's own count of what lies in the two trays.
Count CountNotes(const BookkeeperGame& g)
{
    Count c;
    for (int row = 0; row < NoteRows; ++row)
        for (int col = 0; col < NoteColumns; ++col) {
            const int cr = g.CreditNotes[row][col], db = g.DebitNotes[row][col];
            if (cr != 0) {
                ++c.credit;
                c.creditSum += cr;
                ++c.perK[Credit][cr / g.NoteStep];
            }
            if (db != 0) {
                ++c.debit;
                c.debitSum += db;
                ++c.perK[Debit][-db / g.NoteStep];
            }
        }
    return c;
}

QString Problem(const BookkeeperGame& g)
{
    const Count c = CountNotes(g);
    if (c.credit != g.CreditCount || c.debit != g.DebitCount)
        return QStringLiteral("counts differ from the trays");
    if (c.creditSum != g.CreditTotal || c.debitSum != g.DebitTotal)
        return QStringLiteral("totals differ from the trays");
    for (int side : {0, 1})
        for (int k = 1; k <= 9; ++k)
            if (c.perK[side][k] != g.NoteValueCount[side][k])
                return QStringLiteral("amount %1 on side %2 counted %3, lies %4 times")
                    .arg(k)
                    .arg(side)
                    .arg(g.NoteValueCount[side][k])
                    .arg(c.perK[side][k]);
    for (int row = 0; row < NoteRows; ++row)
        for (int col = 0; col < NoteColumns; ++col) {
            const int cr = g.CreditNotes[row][col], db = g.DebitNotes[row][col];
            if (cr < 0 || db > 0 || cr % g.NoteStep != 0 || db % g.NoteStep != 0 || cr > 9 * g.NoteStep ||
                db < -9 * g.NoteStep)
                return QStringLiteral("a note of %1 / %2").arg(cr).arg(db);
        }
    if (g.CreditCount > NotesPerSide || g.DebitCount > NotesPerSide)
        return QStringLiteral("a tray overflows");
    return QString();
}

}  // namespace

class TestBookkeeper : public QObject {
    Q_OBJECT
    Canvas picture{645, 688};
    Canvas text{366, 709};
    GameRecorder rec;

    void Begin(int level, std::uint32_t seed)
    {
        SessionState& s = Session();
        s.LevelIndex = level - 1;
        ResetSession(level);
        Bookkeeper().Running = false;
        SeedRandom(seed);
        BookkeeperNext();  // START's Doorgaan: a new game
    }

    // One step as Doorgaan plays it, answered (so the item count goes on).
    void Step()
    {
        BookkeeperNext();
        ++Session().ItemCount;
    }

    // The game's rules without drawing: thousands of steps in a moment.
    void Headless()
    {
        SetContext(nullptr, nullptr, &rec);
    }

    void Answer(bool right)
    {
        SessionState& s = Session();
        s.Attempt = 1;
        s.GivenAnswer = right ? s.ExpectedAnswer : s.ExpectedAnswer - 1;
        Judge(QString::number(s.GivenAnswer));
    }

private slots:
    void initTestCase()
    {
        UseBuildPictures();
        QVERIFY(OpenLibrary(Library::Boekhoud));
    }

    void init()
    {
        UseRecorder(picture, text, rec);
        SessionState& s = Session();
        s.BookkeeperMode = true;
        s.SessionMode = 40;
        s.QuestionParams.fill(7);  // left over from another session
        Bookkeeper() = BookkeeperGame();
        ClearBitmap(&picture, col::BtnFace);
        ClearBitmap(&text, col::BtnFace);
    }

    void notesByLevel()
    {
        for (int level = 1; level <= 3; ++level)
            for (std::uint32_t seed = 1; seed <= 300; ++seed) {
                init();
            Headless();
                Begin(level, seed);
                const BookkeeperGame& g = Bookkeeper();
                QCOMPARE(g.NoteStep, StepOfLevel(level));
                QVERIFY(g.CreditCount >= 3 && g.CreditCount <= 8);
                QVERIFY(g.DebitCount >= 3 && g.DebitCount <= 8);
                QVERIFY2(Problem(g).isEmpty(), qPrintable(Problem(g)));
                // Notes fill the cells in order from the bottom row.
                for (int i = 0; i < NotesPerSide; ++i) {
                    QCOMPARE(g.CreditNotes[i / 3][i % 3] != 0, i < g.CreditCount);
                    QCOMPARE(g.DebitNotes[i / 3][i % 3] != 0, i < g.DebitCount);
                }
                QCOMPARE(Session().QuestionParams[0], 0);
                QVERIFY(rec.shown(Control::ContinueButton));
            }
    }

    void theFirstThreeStepsAdd()
    {
        for (std::uint32_t seed = 1; seed <= 300; ++seed) {
            init();
            Headless();
            Begin(1 + seed % 3, seed);
            for (int i = 0; i < 3; ++i) {
                const int before = Bookkeeper().CreditCount + Bookkeeper().DebitCount;
                Step();
                QCOMPARE(Bookkeeper().CreditCount + Bookkeeper().DebitCount, before + 1);
                QCOMPARE(Session().QuestionParams[3], 1);
            }
        }
    }

    void aFullSideGivesWayToTheOther()
    {
        for (std::uint32_t seed = 1; seed <= 200; ++seed) {
            init();
            Headless();
            Begin(1, seed);
            BookkeeperGame& g = Bookkeeper();
            // Fifteen credit notes of 10.
            for (int i = 0; i < NotesPerSide; ++i)
                g.CreditNotes[i / 3][i % 3] = 10;
            g.CreditCount = NotesPerSide;
            g.CreditTotal = 150;
            g.NoteValueCount[Credit].fill(0);
            g.NoteValueCount[Credit][1] = NotesPerSide;
            Session().ItemCount = 0;  // so a note is added
            Step();
            QCOMPARE(g.CreditCount, NotesPerSide);
            QCOMPARE(Session().QuestionParams[3], 1);
            QVERIFY(Session().QuestionParams[0] < 0);
            QVERIFY2(Problem(g).isEmpty(), qPrintable(Problem(g)));
            // Later on, a full tray has a note taken away.
            Session().ItemCount = 5;
            QVERIFY(!NextStepAdds());
        }
    }

    void stepsKeepTheTraysTrue()
    {
        for (std::uint32_t seed = 1; seed <= 300; ++seed) {
            init();
            Headless();
            Begin(1 + seed % 3, seed);
            int removals = 0;
            for (int i = 0; i < 300; ++i) {
                const BookkeeperGame before = Bookkeeper();
                Step();
                const BookkeeperGame& g = Bookkeeper();
                const auto& q = Session().QuestionParams;
                const int amount = q[0], row = q[1], col = q[2];
                const bool credit = amount > 0;
                const auto& was = credit ? before.CreditNotes : before.DebitNotes;
                const auto& now = credit ? g.CreditNotes : g.DebitNotes;
                if (q[3] == -1) {
                    ++removals;
                    QCOMPARE(was[row][col], amount);  // it was there
                    QCOMPARE(now[row][col], 0);
                } else {
                    QCOMPARE(q[3], 1);
                    QCOMPARE(was[row][col], 0);
                    QCOMPARE(now[row][col], amount);
                }
                QVERIFY2(Problem(g).isEmpty(), qPrintable(Problem(g)));
                const Count c = CountNotes(g);
                QCOMPARE(Session().ExpectedAnswer, c.creditSum + c.debitSum);
                QVERIFY(c.credit + c.debit <= 21);
                if (c.credit + c.debit < 6 || c.credit == 0 || c.debit == 0)
                    QVERIFY(NextStepAdds());
            }
            QVERIFY(removals > 50);
        }
    }

    void equalNotesCanAllBeTakenAway()
    {
        Begin(1, 3);
        BookkeeperGame& g = Bookkeeper();
        g = BookkeeperGame();
        g.Running = true;
        g.GameLevel = 1;
        // Eight credit notes of +40 and eight debit notes of -70, as a new game may leave them.
        SeedRandom(5);
        for (int i = 0; i < 8; ++i) {
            g.CreditNotes[i / 3][i % 3] = 40;
            g.DebitNotes[i / 3][i % 3] = -70;
        }
        g.CreditCount = g.DebitCount = 8;
        g.CreditTotal = 320;
        g.DebitTotal = -560;
        g.NoteValueCount[Credit][4] = 8;
        g.NoteValueCount[Debit][7] = 8;
        for (int i = 0; i < 16; ++i) {
            RemoveNote();
            QCOMPARE(Session().QuestionParams[3], -1);
            QVERIFY2(Problem(g).isEmpty(), qPrintable(Problem(g)));
        }
        QCOMPARE(g.CreditCount + g.DebitCount, 0);
        QCOMPARE(g.Balance(), 0);
        RemoveNote();  // nothing left: nothing happens
        QCOMPARE(g.CreditCount + g.DebitCount, 0);
    }

    void ranksAtEveryLevelAndBothEnds()
    {
        for (int level = 1; level <= 3; ++level)
            for (int rank = 1; rank <= TopRank; ++rank)
                for (bool right : {true, false}) {
                    init();
                    Begin(level, 7);
                    Step();
                    --Session().ItemCount;
                    Session().Rank = rank;
                    Answer(right);
                    const int expected = right ? qMin(rank + 1, 23) : qMax(rank - level, 1);
                    QCOMPARE(Session().Rank, expected);
                    const QStringList t = TextsOf(text);
                    QCOMPARE(t.contains(QStringLiteral(" Promotie !")), right && rank < 23);
                    bool demoted = false;
                    for (const QString& line : t)
                        demoted |= line.startsWith(QStringLiteral("Degradatie: "));
                    QCOMPARE(demoted, !right && rank > 1);
                    QVERIFY(!t.contains(QStringLiteral("Jammer! Tweede poging!")));
                    QCOMPARE(Session().ItemCount, 1);
                }
    }

    void balanceBoxShowsTheSign()
    {
        Begin(1, 11);
        BookkeeperGame& g = Bookkeeper();
        const QList<std::tuple<int, QColor, QString>> cases = {
            {0, col::Yellow, QStringLiteral("0")}, {-30, col::Red, QStringLiteral("-30")},
            {30, col::Green, QStringLiteral("+30")}};
        for (const auto& [balance, fill, shown] : cases) {
            ClearBitmap(&picture, col::BtnFace);
            g.CreditTotal = 100 + qMax(balance, 0);
            g.DebitTotal = -100 + qMin(balance, 0);
            DrawLedger();
            QVERIFY(TextsOf(picture).contains(shown));
            QCOMPARE(At(picture.image(), PercentX(42), PercentY(32)), fill);
        }
    }

    void ladderShowsTheRank()
    {
        Begin(1, 13);
        int previousY = text.height();
        for (int rank = 1; rank <= TopRank; ++rank) {
            ClearBitmap(&text, col::BtnFace);
            Session().Rank = rank;
            DrawLedger();
            // The red rung: where the middle of the ladder is red.
            const int x = Round(0.875 * text.width());
            int rungY = -1;
            for (int y = 0; y < text.height() && rungY < 0; ++y)
                if (At(text.image(), x, y) == col::Red)
                    rungY = y;
            QVERIFY(rungY > 0);
            QVERIFY(rungY < previousY);  // a higher rank stands higher
            previousY = rungY;
            // The arrow points at it.
            QCOMPARE(At(text.image(), Round(0.765 * text.width()), rungY + 1), col::Red);
            QVERIFY(TextsOf(text).contains(RankName(rank)));
            // The ladder ends a margin above Doorgaan.
            QVERIFY(rungY < rec.ScorePanelTop() - rec.ContinueHeight() - TextMargin);
        }
    }

    // The rank's name stands in its yellow box with room to spare, at every size of the text
    // (the font is fitted to the line in whole steps): the two pixel rows above the bottom
    // border and below the top border are all yellow, descenders ("jongste knecht") included,
    // and the column just inside the left border is all yellow too (no long rank runs out).
    void rankBoxHoldsItsName()
    {
        for (int line = 15; line <= 44; ++line) {
            picture = Canvas(645, 26 * line);
            text = Canvas(366 * line / 26, 709);  // as wide as the column; Doorgaan where the recorder has it
            UseRecorder(picture, text, rec);
            kav::StatusFontSize = Round(12 * line / 15.54);  // the main menu's status bar, scaled alike
            Begin(1, 13);
            for (int rank = 1; rank <= TopRank; ++rank) {
                ClearBitmap(&text, col::BtnFace);
                Session().Rank = rank;
                DrawLedger();
                const int left = TextMargin + 2, right = Round(0.74 * text.width()) - 3;
                int rankY = -1;
                for (const kav::TextLogEntry& e : text.textLog())
                    if (e.text == RankName(rank))
                        rankY = e.y;
                QVERIFY(rankY > 0);
                int bottom = rankY, top = rankY;
                while (bottom < text.height() - 1 && At(text.image(), left, bottom) == col::Yellow)
                    ++bottom;
                while (top > 0 && At(text.image(), left, top) == col::Yellow)
                    --top;
                QVERIFY(bottom - top > 2 * kav::LineHeight);  // the borders, not a letter in the way
                for (int x = left; x <= right; ++x)
                    for (int y : {top + 1, top + 2, bottom - 2, bottom - 1})
                        QVERIFY2(At(text.image(), x, y) == col::Yellow,
                                 qPrintable(QStringLiteral("%1 at line height %2, row %3 of %4-%5").arg(RankName(rank)).arg(line).arg(y).arg(top).arg(bottom)));
            }
        }
    }

    void rankPicturesByRank()
    {
        const QList<std::pair<int, QString>> pictures = {
            {5, QStringLiteral("hulp")},       {6, QStringLiteral("bediende")}, {9, QStringLiteral("assistent")},
            {12, QStringLiteral("chef")},      {17, QStringLiteral("chef")},    {18, QStringLiteral("bedrijfsleider")},
            {22, QStringLiteral("bedrijfsleider")}, {23, QStringLiteral("directeur")}};
        for (const auto& [rank, name] : pictures) {
            QCOMPARE(RankPictureName(rank), name);
            QVERIFY(!LoadPicture(Library::Boekhoud, name).isNull());
        }
    }

    void theChangedNoteIsHighlightedUntilDoorgaan()
    {
        Begin(2, 17);
        Step();
        const auto q = Session().QuestionParams;
        const QString amount = (q[0] > 0 ? QStringLiteral("+") : QStringLiteral(" ")) + QString::number(q[0]);
        QVERIFY(TextsOf(text).contains(QStringLiteral("ERBIJ")));
        QCOMPARE(int(TextsOf(text).count(amount)), 1);
        QCOMPARE(int(TextsOf(picture).count(amount)), 1);
        const bool credit = q[0] > 0;
        const int cx = PercentX((credit ? 6 : 66) + 10 * q[2]);
        const int cy = PercentY(61.5 - 10 * q[1]);
        QCOMPARE(At(picture.image(), cx, cy), col::Yellow);
        BookkeeperNext();
        // Drawn again in the normal colours (and the next step changed another cell or this one).
        const auto q2 = Session().QuestionParams;
        if (q2[0] != q[0] || q2[1] != q[1] || q2[2] != q[2])
            QCOMPARE(At(picture.image(), cx, cy), col::BtnFace);
    }

    void anotherLevelStartsANewGame()
    {
        Begin(1, 19);
        Step();
        Session().LevelIndex = 2;
        ResetSession(3);
        BookkeeperNext();
        QCOMPARE(Bookkeeper().NoteStep, 9);
        QCOMPARE(Bookkeeper().GameLevel, 3);
        QVERIFY(TextsOf(text).contains(QStringLiteral("Controleer eerst de boekhouding")));
        QVERIFY2(Problem(Bookkeeper()).isEmpty(), qPrintable(Problem(Bookkeeper())));
    }

};

QTEST_MAIN(TestBookkeeper)
#include "tst_bookkeeper.moc"
