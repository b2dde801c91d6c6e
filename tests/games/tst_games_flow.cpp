// Both games played from the main menu to the end through the session window, with the
// keyboard alone and with the mouse for every button, on two screen sizes; the timer Klok is
// stepped by the test.
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "draw/messages.h"
#include "formsfixture.h"
#include "gamerecorder.h"
#include "games/bookkeeper.h"
#include "games/saldo.h"
#include "session/engine.h"
#include "windows/scrn.h"

using namespace testsupport;
using kav::Session;

namespace {

QStringList Texts()
{
    return TextsOf(Test()->TextBitmap);
}

// A key to whatever has the keyboard focus.
void Press(Qt::Key key)
{
    QWidget* w = QApplication::focusWidget();
    QVERIFY(w);
    QTest::keyClick(w, key);
    QCoreApplication::processEvents();
}

// Steps Klok until it stops (the game waits for the pupil); the number of ticks.
int TickWhileRunning()
{
    int ticks = 0;
    while (Test()->Klok->isActive() && ticks < 1000) {
        Test()->KlokTimer();
        ++ticks;
    }
    return ticks;
}

QString ScreenName(QSize s)
{
    return QStringLiteral("%1x%2").arg(s.width()).arg(s.height());
}

QString GameLayoutProblem()
{
    kav::TTestForm* t = Test();
    return LayoutProblem({t->ContinueButton, t->InvoerPanel, t->GebruikPanel, t->ScorePanel});
}

// The balance of the notes as they lie in the trays.
int TrayBalance()
{
    const kav::BookkeeperGame& g = kav::Bookkeeper();
    int sum = 0;
    for (const auto& row : g.CreditNotes)
        for (int v : row)
            sum += v;
    for (const auto& row : g.DebitNotes)
        for (int v : row)
            sum += v;
    return sum;
}

}  // namespace

class TestGamesFlow : public QObject {
    Q_OBJECT

    void Open(QSize screen)
    {
        StartForms(screen);
        Test()->Klok->blockSignals(true);  // the test steps the clock
        QApplication::setActiveWindow(Main());
    }

private slots:
    void cleanupTestCase() { kav::DestroyForms(); }

    void saldoPlusWithTheKeyboard_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("1024x768") << QSize(1024, 768);
        QTest::newRow("1366x768") << QSize(1366, 768);
    }
    void saldoPlusWithTheKeyboard()
    {
        QFETCH(QSize, screen);
        Open(screen);
        const QString at = ScreenName(screen);
        Main()->Button2->setFocus();
        Press(Qt::Key_Space);
        QVERIFY(Test()->isVisible());
        QApplication::setActiveWindow(Test());
        QCOMPARE(Test()->windowTitle(), QStringLiteral("Kavrin 2:  Saldo Plus ! "));
        QVERIFY(Test()->StartButton->isHidden());
        QCOMPARE(Test()->Klok->interval(), 750);
        Shot(Test(), QStringLiteral("saldo-intro-start-") + at);
        QCOMPARE(TickWhileRunning(), 33);
        QVERIFY(Test()->StartButton->isVisible());
        QVERIFY(Test()->StartButton->hasFocus());
        QCOMPARE(kav::Tag(Main()->Button2), 1);
        Shot(Test(), QStringLiteral("saldo-intro-") + at);

        Press(Qt::Key_Space);  // START
        QVERIFY(Session().SessionRunning);
        QCOMPARE(Test()->ContinueButton->text(), QStringLiteral("Start"));
        QVERIFY(Test()->ContinueButton->hasFocus());
        QVERIFY(Test()->StartButton->isHidden());
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 000"));
        QVERIFY2(GameLayoutProblem().isEmpty(), qPrintable(GameLayoutProblem()));
        Shot(Test(), QStringLiteral("saldo-new-") + at);

        kav::ClearRecordedMessages();
        Press(Qt::Key_Space);  // Start: the first round
        int rounds = 0, wrong = 0;
        bool shotRound = false, shotJudged = false;
        while (!kav::CelebrationWindow()->isVisible() && rounds < 500) {
            QVERIFY(Test()->Klok->isActive());
            QCOMPARE(Test()->Klok->interval(), qMax(500, 1000 - 25 * Session().ItemCount));
            TickWhileRunning();
            QVERIFY(Test()->InvoerVeld->isVisible());
            QVERIFY(Test()->InvoerVeld->hasFocus());
            QVERIFY2(GameLayoutProblem().isEmpty(), qPrintable(GameLayoutProblem()));
            if (!shotRound) {
                Shot(Test(), QStringLiteral("saldo-round-") + at);
                shotRound = true;
            }
            // Every fourth balance wrong, so the malus comes too; negative ones typed with "-".
            const int balance = kav::Saldo().Saldo;
            const bool right = rounds % 4 != 3;
            TypeInto(Test()->InvoerVeld, QString::number(right ? balance : balance - 7));
            wrong += right ? 0 : 1;
            QVERIFY(Test()->ContinueButton->hasFocus());
            QCOMPARE(Test()->ScoreLabel->text(), kav::ScoreText(rounds + 1 - wrong, rounds + 1));
            if (!right && !shotJudged) {
                Shot(Test(), QStringLiteral("saldo-judged-") + at);
                shotJudged = true;
            }
            ++rounds;
            Press(Qt::Key_Space);  // Doorgaan
        }
        QVERIFY(kav::CelebrationWindow()->isVisible());
        QVERIFY(kav::Saldo().Saldo > 0);
        const QStringList messages = kav::RecordedMessages();
        QVERIFY(messages.contains(QStringLiteral("BONUS-regeling !\r5 goede antwoorden,\rdus 40 punten erbij !")));
        QVERIFY(messages.contains(QStringLiteral("MALUS-regeling !\r3 foute antwoorden\rdus 10 punten eraf !")));
        QVERIFY(!Test()->Klok->isActive());

        // The celebration: the pointer hidden until a key is pressed; then back to the menu.
        kav::TScrn* scrn = kav::CelebrationWindow();
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(scrn->geometry().size(), screen);
        for (int i = 0; i < 40; ++i)
            scrn->DrawDisc();
        scrn->update();
        Shot(scrn, QStringLiteral("saldo-celebration-") + at);
        QTest::keyClick(scrn, Qt::Key_Return);
        QCoreApplication::processEvents();
        QVERIFY(!scrn->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!Session().SessionRunning);
        QVERIFY(!Test()->isVisible());
        QVERIFY(Main()->isVisible());

        // The next game shows the explanation at once.
        QTest::mouseClick(Main()->Button2, Qt::LeftButton);
        QVERIFY(!Test()->Klok->isActive());
        QVERIFY(Test()->StartButton->isVisible());
        QVERIFY(Texts().contains(QStringLiteral("Jij wint 3 keer 4 = 12 punten !")));
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(kav::Saldo().Saldo, -100);
        QCOMPARE(Session().ItemCount, 0);
    }

    void saldoPlusEindeOnTheWay()
    {
        Open(QSize(1024, 768));
        QTest::mouseClick(Main()->Button2, Qt::LeftButton);
        Test()->KlokTimer();
        // Leaving during the explanation: the next visit shows it at once.
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(!Test()->isVisible());
        QVERIFY(!Test()->Klok->isActive());
        QCOMPARE(kav::Tag(Main()->Button2), 1);
        QTest::mouseClick(Main()->Button2, Qt::LeftButton);
        QVERIFY(Test()->StartButton->isVisible());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
        QVERIFY(Test()->Klok->isActive());
        Test()->KlokTimer();
        // The level button shows the balance and does nothing in this game.
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        QVERIFY(Test()->NivoBox->isHidden());
        // Einde during the dice: the clock stops and the explanation comes back.
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(Test()->isVisible());
        QVERIFY(!Test()->Klok->isActive());
        QVERIFY(!Session().SessionRunning);
        QVERIFY(Test()->StartButton->isVisible());
        QVERIFY(Texts().contains(QStringLiteral("Druk op ")));
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(kav::Saldo().Saldo, -100);  // a new game
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(Main()->isVisible());
        // The next session's level button shows its level again, not the balance.
        QTest::mouseClick(Main()->Button8, Qt::LeftButton);
        const QImage shown = kav::Glyph(Test()->NivoButton);
        Test()->SetLevelGlyph(QStringLiteral("NIVEAU"), QStringLiteral("Starter"));
        QCOMPARE(shown, kav::Glyph(Test()->NivoButton));
    }

    void bookkeeperWithTheMouse_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("1024x768") << QSize(1024, 768);
        QTest::newRow("1366x768") << QSize(1366, 768);
    }
    void bookkeeperWithTheMouse()
    {
        QFETCH(QSize, screen);
        Open(screen);
        const QString at = ScreenName(screen);
        QTest::mouseClick(Main()->Button1, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        QCOMPARE(Test()->windowTitle(), QStringLiteral("Kavrin 2:  Boekhoudersspel "));
        QVERIFY(Test()->NivoBox->isVisible());
        QVERIFY(Test()->StartButton->isEnabled());
        Shot(Test(), QStringLiteral("book-intro-") + at);
        Test()->NivoBox->buttons[1]->click();  // Durver
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(kav::Bookkeeper().NoteStep, 6);
        QCOMPARE(Session().Rank, 1);
        QVERIFY(Texts().contains(QStringLiteral("Controleer eerst de boekhouding")));
        QVERIFY(Test()->ContinueButton->isVisible());
        QVERIFY2(GameLayoutProblem().isEmpty(), qPrintable(GameLayoutProblem()));
        Shot(Test(), QStringLiteral("book-new-") + at);

        int rank = 1, points = 0;
        for (int step = 0; step < 40; ++step) {
            QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
            QVERIFY(Test()->InvoerVeld->isVisible());
            QCOMPARE(Session().ExpectedAnswer, TrayBalance());
            QVERIFY2(GameLayoutProblem().isEmpty(), qPrintable(GameLayoutProblem()));
            if (step == 0)
                QVERIFY(Texts().contains(QStringLiteral("ERBIJ")));
            if (step == 3)
                Shot(Test(), QStringLiteral("book-step-") + at);
            const bool right = step % 5 != 4;
            TypeInto(Test()->InvoerVeld, QString::number(Session().ExpectedAnswer + (right ? 0 : 6)));
            rank = right ? qMin(rank + 1, 23) : qMax(rank - 2, 1);
            points += right ? 1 : 0;
            QCOMPARE(Session().Rank, rank);
            QCOMPARE(Test()->ScoreLabel->text(), kav::ScoreText(points, step + 1));
            if (step == 4)
                Shot(Test(), QStringLiteral("book-judged-") + at);
        }
        QVERIFY(rank > 10);
        QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
        Shot(Test(), QStringLiteral("book-ladder-") + at);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);  // back to the explanation
        QVERIFY(Test()->NivoBox->isVisible());
        QVERIFY(!Session().SessionRunning);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(Main()->isVisible());
    }

    // The bookkeeper's lesson opens from the game, before and during it, and the game goes on.
    void bookkeeperLessonFromTheGame()
    {
        Open(QSize(1024, 768));
        QTest::mouseClick(Main()->Button1, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        QVERIFY(Test()->HelpButton->isVisible());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
        QVERIFY(Test()->InvoerVeld->isVisible());
        QVERIFY(Test()->HelpButton->isVisible());
        const int expected = Session().ExpectedAnswer;
        QTest::mouseClick(Test()->HelpButton, Qt::LeftButton);
        QVERIFY(Help()->isVisible());
        QCOMPARE(Help()->scriptFileName(), QStringLiteral("demo0.txt"));
        QCOMPARE(Help()->scriptStep(), 2);
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(Test()->isVisible() && Session().SessionRunning);
        QVERIFY(Test()->InvoerVeld->isVisible());
        QCOMPARE(Session().ExpectedAnswer, expected);
    }

    void bookkeeperWithTheKeyboard()
    {
        Open(QSize(1024, 768));
        Main()->Button1->setFocus();
        Press(Qt::Key_Space);
        QApplication::setActiveWindow(Test());
        QCOMPARE(QApplication::focusWidget(), Test()->NivoBox->buttons[0]);
        Press(Qt::Key_Down);  // Durver
        Press(Qt::Key_Down);  // Prof !
        QCOMPARE(Session().LevelIndex, 2);
        Press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Test()->StartButton);
        Press(Qt::Key_Space);
        QCOMPARE(kav::Bookkeeper().NoteStep, 9);
        QVERIFY(Test()->ContinueButton->hasFocus());
        int minusSigns = 0;
        for (int step = 0; step < 12; ++step) {
            Press(Qt::Key_Space);  // Doorgaan
            QVERIFY(Test()->InvoerVeld->hasFocus());
            // Stray blanks and the typographic minus are read as a pupil means them.
            QString typed = QString::number(TrayBalance());
            if (step % 3 == 1) {
                typed = QStringLiteral(" ") + typed + QStringLiteral(" ");
            } else if (step % 3 == 2 && typed.startsWith(u'-')) {
                typed.replace(0, 1, QChar(0x2212));
                ++minusSigns;
            }
            TypeInto(Test()->InvoerVeld, typed);
            QVERIFY(kav::RecordedMessages().isEmpty());
            QVERIFY(Test()->ContinueButton->hasFocus());
        }
        QCOMPARE(Session().Rank, 13);
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("012 uit 012"));
        QVERIFY(minusSigns > 0);
    }

    void bookkeeperLevelButton()
    {
        Open(QSize(1024, 768));
        QTest::mouseClick(Main()->Button1, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
        const int expected = Session().ExpectedAnswer;
        // Same level: the question in hand is asked again.
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        QVERIFY(Test()->NivoBox->isVisible());
        QVERIFY(Test()->InvoerPanel->isHidden());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Test()->InvoerVeld->isVisible());
        QCOMPARE(Session().ExpectedAnswer, expected);
        TypeInto(Test()->InvoerVeld, QString::number(expected));
        QCOMPARE(Session().Rank, 2);
        // Judged: Doorgaan again.
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Test()->ContinueButton->isVisible());
        QVERIFY(Test()->InvoerPanel->isHidden());
        QCOMPARE(Session().Rank, 2);
        // Another level: asked first; Ja ends the game with its short results, the game's
        // start screen shows the new level, and START gives a new game at its amounts, score
        // and rank from the start.
        kav::SetRecordedAnswer(true);
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        Test()->NivoBox->buttons[2]->click();
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(kav::RecordedMessages().contains(QStringLiteral("Wil je stoppen met deze sessie?")));
        QVERIFY(kav::RecordedMessages().last().startsWith(QStringLiteral("Boekhouderspel\rGoede antwoorden: 1 van de 1")));
        QCOMPARE(Test()->NivoBox->itemIndex(), 2);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(kav::Bookkeeper().NoteStep, 9);
        QCOMPARE(Session().Rank, 1);
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 000"));
        QVERIFY(Texts().contains(QStringLiteral("Controleer eerst de boekhouding")));
    }

    void largeBalanceFitsTheLevelButton()
    {
        Open(QSize(1024, 768));
        Test()->SetLevelGlyph(QStringLiteral("SALDO"), QStringLiteral("-123456789"));
        const QImage g = kav::Glyph(Test()->NivoButton);
        // Blue ink on the glyph, but none in its outermost columns.
        int ink = 0;
        for (int y = 0; y < g.height(); ++y) {
            QVERIFY(QColor(g.pixel(0, y)) == kav::col::BtnFace);
            QVERIFY(QColor(g.pixel(g.width() - 1, y)) == kav::col::BtnFace);
            for (int x = 0; x < g.width(); ++x)
                ink += QColor(g.pixel(x, y)).blue() > 200 && QColor(g.pixel(x, y)).red() < 100;
        }
        QVERIFY(ink > 20);
    }
};

QTEST_MAIN(TestGamesFlow)
#include "tst_games_flow.moc"
