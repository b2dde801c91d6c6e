// Whole sessions through the window: START, answering with the keyboard, Doorgaan, the
// level button and Einde, on the triangular-number themes.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "formsfixture.h"
#include "session/engine.h"
#include "themes/verdeler.h"

using namespace testsupport;
using kav::Session;

namespace {

QStringList Texts()
{
    QStringList l;
    for (const auto& e : Test()->TextBitmap.textLog())
        l << e.text;
    return l;
}

void Type(const QString& text)
{
    TypeInto(Test()->InvoerVeld, text);
}

void Answer(bool right)
{
    const kav::SessionState& s = Session();
    if (s.AnswerKind == 2) {
        Type(kav::FormatDecimal(right ? s.ExpectedDecimal : s.ExpectedDecimal + 1, s.AnswerDecimals,
                                kav::DecimalSeparator));
        return;
    }
    const int expected = s.ExpectedAnswer;
    Type(QString::number(right ? expected : expected + 1));
}

void Doorgaan()
{
    QVERIFY(Test()->ContinueButton->isVisible());
    QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
}

// Opens practice or test of the triangular topic with the given boxes ticked and presses START.
void StartTriangular(bool practice, QList<int> boxes, int levelIndex = 0)
{
    QTest::mouseClick(practice ? Main()->Button8 : Main()->Button9, Qt::LeftButton);
    for (int n = 1; n <= 8; ++n)
        Tick(n, boxes.contains(n));
    Test()->NivoBox->buttons[levelIndex]->click();
    if (!practice)
        Test()->NaamVeld->setText(QStringLiteral("Daan"));  // a test starts with a name
    QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
}

}  // namespace

class TestSessionFlow : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StartForms(QSize(1024, 768));
        Test()->activateWindow();
        QApplication::setActiveWindow(Test());
    }
    void cleanupTestCase() { kav::DestroyForms(); }

    void practiceCyclesThroughTheTickedThemes()
    {
        StartTriangular(true, {2, 5});
        QList<int> codes;
        for (int i = 0; i < 5; ++i) {
            codes << Session().ThemeCode;
            Answer(true);
            Doorgaan();
        }
        QCOMPARE(codes, QList<int>({22, 25, 22, 25, 22}));
        QVERIFY(Test()->CalcButton->isVisible());
        QCOMPARE(Test()->InfoLabel->text(), QStringLiteral("Gebruik: Pen, Papier en event. een Rekenmachine"));
        Shot(Test(), QStringLiteral("flow-item"));
    }

    void rightFirstTimeScoresTwiceTheLevel()
    {
        StartTriangular(true, {1}, 1);
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 000"));
        QVERIFY(Test()->KeuzeBox->isHidden());
        Answer(true);
        QVERIFY(Texts().contains(QStringLiteral("Prima !")));
        QVERIFY(Texts().contains(QStringLiteral("4 punten erbij.")));
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("004 uit 001"));
        QVERIFY(Test()->ContinueButton->hasFocus());
        QCOMPARE(Test()->ContinueButton->y() + Test()->ContinueButton->height() + 1, Test()->ScorePanel->y());
    }

    void secondAttemptKeepsThePicture()
    {
        StartTriangular(true, {3}, 2);
        const QImage picture = Test()->PictureBitmap.image();
        const int expected = Session().ExpectedAnswer;
        Answer(false);
        QVERIFY(Texts().contains(QStringLiteral("Jammer! Tweede poging!")));
        Doorgaan();
        QCOMPARE(Session().Attempt, 2);
        QCOMPARE(Session().ExpectedAnswer, expected);
        QCOMPARE(Test()->PictureBitmap.image(), picture);
        QCOMPARE(Test()->windowTitle(), QStringLiteral(" Oefenen met Driehoeksgetallen (Item: 23  Poging: 2)"));
        Answer(true);
        QVERIFY(Texts().contains(QStringLiteral("3 punten erbij.")));
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("003 uit 001"));
    }

    void enterPressesTheFocusedButton()
    {
        // START and Doorgaan by keyboard: Enter on the focused button, also from the keypad.
        QTest::mouseClick(Main()->Button8, Qt::LeftButton);
        Tick(3, true);
        Test()->StartButton->setFocus();
        QTest::keyClick(Test()->StartButton, Qt::Key_Return);
        QVERIFY(Session().SessionRunning);
        QCOMPARE(Session().Attempt, 1);
        Answer(false);
        QVERIFY(Test()->ContinueButton->isVisible());
        Test()->ContinueButton->setFocus();
        QTest::keyClick(Test()->ContinueButton, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(Session().Attempt, 2);
        // A modified Enter is not a press.
        Answer(false);
        const int attempt = Session().Attempt;
        Test()->ContinueButton->setFocus();
        QTest::keyClick(Test()->ContinueButton, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(Test()->ContinueButton->isVisible());
        QCOMPARE(Session().Attempt, attempt);
        QTest::keyClick(Test()->ContinueButton, Qt::Key_Return);
        QVERIFY(!Test()->ContinueButton->isVisible());
        QVERIFY(Test()->InvoerVeld->isVisible());
        QCOMPARE(Session().Attempt, 1);
        // Enter on Einde does not throw the session away.
        Test()->EindButton->setFocus();
        QTest::keyClick(Test()->EindButton, Qt::Key_Return);
        QVERIFY(Test()->isVisible());
        QVERIFY(Session().SessionRunning);
    }

    void finalWrongInPracticeShowsTheExplanation()
    {
        StartTriangular(true, {1});
        const int expected = Session().ExpectedAnswer;
        Answer(false);
        Doorgaan();
        Answer(false);
        const QStringList t = Texts();
        QVERIFY(t.contains(QStringLiteral("Het juiste antwoord was: ")));
        QVERIFY(t.contains(QString::number(expected)));
        QVERIFY(t.contains(QStringLiteral("Toelichting:")));
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 001"));
        Shot(Test(), QStringLiteral("flow-explanation"));
    }

    void finalWrongInATestExplainsNothing()
    {
        StartTriangular(false, {1, 2, 3});
        QVERIFY(Test()->HelpButton->isHidden());
        Answer(false);
        Doorgaan();
        Answer(false);
        QVERIFY(Texts().contains(QStringLiteral("Het juiste antwoord was: ")));
        QVERIFY(!Texts().contains(QStringLiteral("Toelichting:")));
    }

    void caption()
    {
        StartTriangular(false, {1, 2, 3, 4});
        while (Session().ThemeCode != 23) {
            Answer(true);
            Doorgaan();
        }
        Answer(false);
        Doorgaan();
        QCOMPARE(Test()->windowTitle(), QStringLiteral(" Driehoeksgetallen - Test (Item: 23  Poging: 2)"));
    }

    void levelButtonAndStart()
    {
        StartTriangular(true, {1, 2}, 0);
        Answer(true);
        Doorgaan();
        Answer(true);
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("004 uit 002"));
        // Same level: the session goes on.
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        QVERIFY(Test()->NivoBox->isVisible());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("004 uit 002"));
        QVERIFY(Test()->InvoerVeld->isVisible());
        // Half-way an item, the same level redraws the item in hand.
        const int expected = Session().ExpectedAnswer;
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(Session().ExpectedAnswer, expected);
        QVERIFY(Test()->InvoerVeld->isVisible());
        // Another level: asked first; Ja ends the session (kept, with its results), and the
        // choice screen's START begins a new one at the new level.
        kav::SetRecordedAnswer(true);
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        Test()->NivoBox->buttons[1]->click();
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Test()->KeuzeBox->isVisible() && !Session().SessionRunning);
        QCOMPARE(Test()->NivoBox->itemIndex(), 1);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 000"));
        QCOMPARE(Session().LevelAtStart, 2);
    }

    void eindeDoesNotJudge()
    {
        StartTriangular(true, {1});
        QTest::keyClicks(Test()->InvoerVeld, QStringLiteral("12"));
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(!Texts().contains(QStringLiteral("Ingegeven: ")));
        QVERIFY(Test()->KeuzeBox->isVisible());  // the session stopped at the choice screen
        QCOMPARE(Session().ItemCount, 0);
    }

    void leavingTheFieldJudges()
    {
        StartTriangular(true, {1});
        Test()->InvoerVeld->setText(QString::number(Session().ExpectedAnswer));
        Test()->ContinueButton->show();
        Test()->ContinueButton->setFocus(Qt::TabFocusReason);
        QVERIFY(Texts().contains(QStringLiteral("Ingegeven: ")));
        QCOMPARE(Session().ItemCount, 1);
    }

    void otherWindowsDoNotJudge()
    {
        StartTriangular(true, {1});
        QTest::mouseClick(Test()->CalcButton, Qt::LeftButton);
        QVERIFY(!Texts().contains(QStringLiteral("Ingegeven: ")));
        QVERIFY(Test()->InvoerVeld->isVisible());
        QTest::mouseClick(Test()->HelpButton, Qt::LeftButton);
        QVERIFY(!Texts().contains(QStringLiteral("Ingegeven: ")));
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QCOMPARE(Test()->focusWidget(), Test()->InvoerVeld);
    }

    void unreadableAnswersChangeNothing()
    {
        StartTriangular(true, {1});
        for (const QString& bad : {QStringLiteral("12.0"), QString(), QStringLiteral("3/4")}) {
            kav::ClearRecordedMessages();
            Test()->InvoerVeld->setText(bad);
            QTest::keyClick(Test()->InvoerVeld, Qt::Key_Return);
            QCoreApplication::processEvents();
            QCOMPARE(kav::RecordedMessages(), QStringList({kav::WholeNumberError()}));
            QVERIFY(Test()->InvoerVeld->isVisible());
            QVERIFY(Test()->InvoerVeld->hasFocus());
            QCOMPARE(Session().Attempt, 1);
            QCOMPARE(Session().ItemCount, 0);
            QVERIFY(!Texts().contains(QStringLiteral("Ingegeven: ")));
        }
        Answer(true);
        QCOMPARE(Session().ItemCount, 1);
    }

    void mixedChallengeRunsTheThemesThatExist()
    {
        QTest::mouseClick(Main()->AllesButton, Qt::LeftButton);
        Test()->NaamVeld->setText(QStringLiteral("Daan"));
        Test()->AantalBox->setCurrentIndex(3);  // "Onbeperkt": as long as the pupil likes
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        for (int i = 0; i < 12; ++i) {
            QVERIFY(kav::HasGenerator(Session().ThemeCode));
            QCOMPARE(kav::Level(), 3);
            Answer(true);
            Doorgaan();
        }
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("072 uit 012"));
    }

    // Relations practice with Dotland, the diagonals and the nail board ticked: the three come
    // in turn, with pen and paper and no calculator, and a final wrong answer is explained.
    void relationsPractice()
    {
        QTest::mouseClick(Main()->Button3, Qt::LeftButton);
        for (int n = 1; n <= 8; ++n)
            Tick(n, n == 4 || n == 6 || n == 7);
        Test()->NivoBox->buttons[1]->click();
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        for (int code : {4, 6, 7, 4}) {
            QCOMPARE(Session().ThemeCode, code);
            QCOMPARE(Test()->InfoLabel->text(), QStringLiteral("Gebruik Pen en Papier !"));
            QVERIFY(Test()->CalcButton->isHidden());
            Answer(false);
            Doorgaan();
            Answer(false);
            QVERIFY(Texts().contains(QStringLiteral("Toelichting:")));
            Shot(Test(), QStringLiteral("flow-relations-%1").arg(code));
            Doorgaan();
        }
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 004"));
    }
};

QTEST_MAIN(TestSessionFlow)
#include "tst_session_flow.moc"
