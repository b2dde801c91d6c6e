// Saldo Plus without a window: the explanation page, rounds of dice stepped tick by tick with
// a seeded random source, the payments, the bonus and malus, the end of the game.
#include <QTest>
#include <optional>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "games/saldo.h"
#include "gamerecorder.h"
#include "session/engine.h"
#include "session/random.h"

using namespace kav;
using namespace testsupport;

namespace {

// The first seed whose first throws of a die are these (the test's own search).
std::optional<std::uint32_t> SeedForThrows(const QList<int>& throws)
{
    for (std::uint32_t seed = 0; seed < 2000000; ++seed) {
        SeedRandom(seed);
        bool all = true;
        for (int t : throws)
            if (Random(6) + 1 != t) {
                all = false;
                break;
            }
        if (all)
            return seed;
    }
    return std::nullopt;
}

int Count(const QStringList& l, const QString& text)
{
    return int(l.count(text));
}

}  // namespace

class TestSaldo : public QObject {
    Q_OBJECT
    Canvas picture{645, 688};
    Canvas text{366, 709};
    GameRecorder rec;

    // Ticks Klok until the balance is asked; the number of ticks it took.
    int TickUntilAsked()
    {
        const int before = rec.answersOpened;
        int ticks = 0;
        while (rec.answersOpened == before && ticks < 10000) {
            if (!rec.klokOn) {
                QTest::qFail("the dice stopped before the balance was asked", __FILE__, __LINE__);
                return -1;
            }
            SaldoTick();
            ++ticks;
        }
        return ticks;
    }

    void NewGame()
    {
        SaldoNext();
        QVERIFY(Saldo().Running);
        QCOMPARE(Saldo().Saldo, -100);
    }

    void Answer(bool right)
    {
        SessionState& s = Session();
        if (s.Attempt == 0)
            s.Attempt = 1;  // as entering the answer field does
        s.GivenAnswer = right ? s.ExpectedAnswer : s.ExpectedAnswer + 1;
        Judge(QString::number(s.GivenAnswer));
    }

private slots:
    void init()
    {
        UseRecorder(picture, text, rec);
        SessionState& s = Session();
        s.SaldoMode = true;
        s.SessionMode = 1;
        ResetSession(1);
        s.SaldoRight = s.SaldoWrong = 0;
        Saldo() = SaldoGame();
        ClearBitmap(&picture, col::BtnFace);
        ClearBitmap(&text, col::BtnFace);
    }

    void explanationIsBuiltUpByTheClockTheFirstTime()
    {
        SaldoIntro();
        QCOMPARE(rec.title, QStringLiteral(" Saldo Plus ! "));
        QVERIFY(rec.klokOn);
        QCOMPARE(rec.klokInterval, 750);
        QCOMPARE(rec.windowHint, QStringLiteral("|Je krijgt eerst uitleg"));
        QVERIFY(!rec.shown(Control::StartButton));
        QVERIFY(!rec.shown(Control::NivoBox) && !rec.enabled.value(Control::NivoBox, true));
        QVERIFY(!Session().SessionRunning);
        QCOMPARE(TextsOf(picture), QStringList({QStringLiteral("SALDO PLUS !   UITLEG")}));
        int ticks = 0;
        while (rec.klokOn && ticks < 100) {
            SaldoTick();
            ++ticks;
        }
        QCOMPARE(ticks, 33);  // elements 100 .. 131 and the closing row
        QVERIFY(rec.explained);
        QVERIFY(rec.shown(Control::StartButton));
        QCOMPARE(rec.focused, Control::StartButton);
        QCOMPARE(rec.windowHint, QStringLiteral("|Druk op START om te beginnen"));
        const QStringList animatedPicture = TextsOf(picture), animatedText = TextsOf(text);
        QVERIFY(animatedPicture.contains(QStringLiteral(" Dat kan aardig oplopen !")));
        QVERIFY(animatedText.contains(QStringLiteral("Jij wint 3 keer 4 = 12 punten !")));

        // The second visit shows the same page at once.
        rec = GameRecorder();
        rec.explained = true;
        SaldoIntro();
        QVERIFY(!rec.klokOn);
        QCOMPARE(TextsOf(picture), animatedPicture);
        QCOMPARE(TextsOf(text), animatedText);
        QVERIFY(rec.shown(Control::StartButton));
        // START stands between the example and the closing line.
        const TextLogEntry* closing = Logged(text, QStringLiteral("Druk op "));
        const TextLogEntry* example = Logged(text, QStringLiteral("Jij wint 3 keer 4 = 12 punten !"));
        QVERIFY(closing && example);
        QVERIFY(rec.startTop > example->y + LineHeight);
        QVERIFY(rec.startTop + rec.StartButtonHeight() <= closing->y);
    }

    void explanationTextsStayClearOfTheBox()
    {
        rec.explained = true;
        SaldoIntro();
        const TextLogEntry* last = Logged(picture, QStringLiteral("Dan profiteer je van de Bonus / Malusregeling."));
        const TextLogEntry* boxTitle = Logged(picture, QStringLiteral("Bonus / Malus regeling:"));
        const TextLogEntry* luck = Logged(picture, QStringLiteral("Veel succes !"));
        QVERIFY(last && boxTitle && luck);
        // The box's top lies below the last line of text, its bottom above the wish.
        const int boxTop = boxTitle->y - LineHeight / 4;
        QVERIFY(boxTop >= last->y + LineHeight);
        QVERIFY(boxTitle->y + 3 * LineHeight <= luck->y);
        // Every text of the page lies inside its area.
        for (const Canvas* c : {&picture, &text})
            for (const TextLogEntry& e : c->textLog()) {
                Canvas probe(c->width(), c->height());
                probe.font = c->font;
                probe.font.size = e.size;
                probe.font.bold = e.bold;
                QVERIFY2(e.x >= 0 && e.x + probe.textWidth(e.text) <= c->width(), qPrintable(e.text));
            }
    }

    void newGameStartsAtMinusHundred()
    {
        Session().SaldoRight = 4;
        Session().SaldoWrong = 2;
        NewGame();
        QCOMPARE(Session().SaldoRight, 0);
        QCOMPARE(Session().SaldoWrong, 0);
        QCOMPARE(Session().SessionMode, -1);  // no level: the level button stays as it is
        QVERIFY(!rec.klokOn);
        QCOMPARE(rec.glyph, QStringLiteral("SALDO -100"));
        QVERIFY(TextsOf(text).contains(QStringLiteral("-100 punten")));
    }

    void smallDifferenceIsThrownAgainWithAGrowingFactor()
    {
        NewGame();
        const auto seed = SeedForThrows({2, 4, 6, 1});
        QVERIFY(seed);
        SaldoNext();  // the round starts
        QVERIFY(rec.klokOn);
        SeedRandom(*seed);
        SaldoTick();  // the pupil throws 2
        QCOMPARE(Saldo().PlayerDie, 2);
        SaldoTick();  // the opponent throws 4: again
        QCOMPARE(Saldo().OpponentDie, 4);
        QVERIFY(rec.klokOn);
        SaldoTick();  // "Opnieuw!", factor 2
        QCOMPARE(Saldo().PayFactor, 2);
        QCOMPARE(Count(TextsOf(picture), QStringLiteral("Opnieuw!")), 1);
        QVERIFY(TextsOf(text).contains(QStringLiteral("2 keer!")));
        SaldoTick();  // the dice are cleared
        SaldoTick();  // 6
        SaldoTick();  // against 1: pays 5 x 2
        QCOMPARE(Saldo().PlayerDie, 6);
        QCOMPARE(Saldo().OpponentDie, 1);
        QVERIFY(!rec.klokOn);
        QCOMPARE(Saldo().Saldo, -90);
        QCOMPARE(Session().ExpectedAnswer, -90);
        QCOMPARE(rec.caption, QStringLiteral("Nieuw saldo: "));
        QCOMPARE(rec.hint, QStringLiteral("|Het saldo wordt ?"));
        QCOMPARE(Session().TextLine, 5.0);
        QCOMPARE(Session().AnswerKind, 1);
    }

    void differenceOfThreeIsPaidAtOnce()
    {
        NewGame();
        const auto seed = SeedForThrows({1, 4});
        QVERIFY(seed);
        SaldoNext();
        SeedRandom(*seed);
        QCOMPARE(TickUntilAsked(), 2);
        QCOMPARE(Saldo().PayFactor, 1);
        QCOMPARE(Saldo().Saldo, -103);
        QCOMPARE(Count(TextsOf(picture), QStringLiteral("Opnieuw!")), 0);
    }

    void everyRoundPaysTheDifferenceTimesTheRethrows()
    {
        for (std::uint32_t seed = 1; seed <= 400; ++seed) {
            init();
            NewGame();
            SaldoNext();
            SeedRandom(seed);
            const int before = Saldo().Saldo;
            TickUntilAsked();
            const int rethrows = Count(TextsOf(picture), QStringLiteral("Opnieuw!"));
            const SaldoGame& g = Saldo();
            QVERIFY(std::abs(g.PlayerDie - g.OpponentDie) >= 3);
            QVERIFY(g.PlayerDie >= 1 && g.PlayerDie <= 6 && g.OpponentDie >= 1 && g.OpponentDie <= 6);
            QCOMPARE(g.Saldo, before + (g.PlayerDie - g.OpponentDie) * (1 + rethrows));
            QCOMPARE(Session().ExpectedAnswer, g.Saldo);
        }
    }

    void rethrowTextsStayInThePicture()
    {
        NewGame();
        SaldoNext();
        Saldo().PlayerDie = Saldo().OpponentDie = 3;
        for (int k = 2; k <= 80; ++k) {
            Saldo().KlokTag = 3;
            SaldoRoundTick();
            QCOMPARE(Saldo().PayFactor, k);
            QCOMPARE(Saldo().KlokTag, 5);
        }
        Canvas probe(1, 1);
        probe.font = picture.font;
        for (const TextLogEntry& e : picture.textLog())
            if (e.text == QStringLiteral("Opnieuw!")) {
                probe.font.size = e.size;
                probe.font.bold = e.bold;
                QVERIFY(e.x + probe.textWidth(e.text) < picture.width());
            }
        // After 25 re-throws the band starts again: column 1 of the 26th is at the left.
        QCOMPARE(picture.textLog().last().text, QStringLiteral("Opnieuw!"));
        QCOMPARE(picture.textLog().last().x, PercentX(((80 - 2) / 5 % 5) * 17 + 5));
    }

    void theClockSpeedsUpWithTheItems()
    {
        NewGame();
        const QList<std::pair<int, int>> expected = {{0, 1000}, {4, 900}, {19, 525}, {20, 500}, {21, 500}, {300, 500}};
        for (const auto& [items, ms] : expected) {
            Session().ItemCount = items;
            SaldoNext();
            QCOMPARE(rec.klokInterval, ms);
            QVERIFY(rec.klokOn);
            rec.klokOn = false;
        }
    }

    void answersAreCountedAndOneAttemptIsFinal()
    {
        NewGame();
        SaldoNext();
        TickUntilAsked();
        Answer(false);
        QCOMPARE(Session().SaldoWrong, 1);
        QCOMPARE(Session().ItemCount, 1);
        QVERIFY(!TextsOf(text).contains(QStringLiteral("Jammer! Tweede poging!")));
        QVERIFY(TextsOf(text).contains(QString::number(Saldo().Saldo)));  // the true balance
        const int booked = Saldo().Saldo;
        SaldoNext();
        QCOMPARE(Saldo().Saldo, booked);  // the next round starts from the true balance
        TickUntilAsked();
        Answer(true);
        QCOMPARE(Session().SaldoRight, 1);
        QCOMPARE(Session().ItemCount, 2);
        QVERIFY(!TextsOf(text).contains(QStringLiteral("1 punt erbij.")));
        QCOMPARE(rec.score, QStringLiteral("001 uit 002"));
    }

    void bonusComesBeforeMalus()
    {
        NewGame();
        Session().SaldoRight = 5;
        Session().SaldoWrong = 3;
        Saldo().Saldo = -200;
        SaldoNext();
        QCOMPARE(RecordedMessages(),
                 QStringList({QStringLiteral("BONUS-regeling !\r5 goede antwoorden,\rdus 40 punten erbij !"),
                              QStringLiteral("MALUS-regeling !\r3 foute antwoorden\rdus 10 punten eraf !")}));
        QCOMPARE(Saldo().Saldo, -170);
        QCOMPARE(Session().SaldoRight, 0);
        QCOMPARE(Session().SaldoWrong, 0);
        QCOMPARE(rec.glyph, QStringLiteral("SALDO -170"));
        // The new round's screen was on the way before the first message showed.
        QVERIFY(!rec.messagesAtRepaint.isEmpty());
        QCOMPARE(rec.messagesAtRepaint.first(), 0);
        QVERIFY(rec.klokOn);
        QCOMPARE(rec.windowHint, QStringLiteral("|De dobbelstenen rollen ..."));
        QCOMPARE(rec.celebrations, 0);
    }

    void noBonusOrMalusBetweenTheCounts()
    {
        NewGame();
        Session().SaldoRight = 4;
        Session().SaldoWrong = 2;
        SaldoNext();
        QVERIFY(RecordedMessages().isEmpty());
        QCOMPARE(Saldo().Saldo, -100);
    }

    void bonusAboveZeroEndsTheGame()
    {
        NewGame();
        Session().SaldoRight = 5;
        Session().SaldoWrong = 3;
        Saldo().Saldo = -20;
        SaldoNext();
        QCOMPARE(RecordedMessages().size(), 1);  // the bonus only
        QCOMPARE(Saldo().Saldo, 20);
        QCOMPARE(rec.celebrations, 1);
        QVERIFY(!rec.klokOn);
        QVERIFY(!Saldo().Running);
        QVERIFY(Saldo().Ended);
        QCOMPARE(Saldo().KlokTag, 0);  // no round started
    }

    void balanceOfOneEndsTheGameAtTheNextRound()
    {
        NewGame();
        Saldo().Saldo = 1;
        SaldoNext();
        QCOMPARE(rec.celebrations, 1);
        QVERIFY(RecordedMessages().isEmpty());
        QVERIFY(!rec.klokOn);
        init();
        NewGame();
        Saldo().Saldo = 0;  // zero is not yet won
        SaldoNext();
        QCOMPARE(rec.celebrations, 0);
        QVERIFY(rec.klokOn);
    }

};

QTEST_MAIN(TestSaldo)
#include "tst_saldo.moc"
