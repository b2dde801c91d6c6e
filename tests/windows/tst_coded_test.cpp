// A test with a class code in the session window: no right answer shows (no text, no mouse in
// its cell), the locked settings say why they do not change, the whole code shows in its
// field; and what the choice screen shows once a test is over.
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>

#include "draw/messages.h"
#include "formsfixture.h"
#include "games/saldo.h"
#include "session/engine.h"
#include "session/testcode.h"

using namespace testsupport;
using kav::Session;

namespace {

QString RelationsCode()
{
    kav::TestCodeSettings settings;
    settings.sessionMode = 0;
    settings.themes = 0b0000111;  // the grid (box 2) between two others
    settings.level = 1;
    settings.length = 10;
    settings.seed = 424242u;
    return kav::EncodeTestCode(settings).value();
}

QStringList Texts(const kav::Canvas& c)
{
    QStringList l;
    for (const auto& e : c.textLog())
        l << e.text;
    return l;
}

// The relations test's choice screen with a name, and the code when one is given.
void OpenRelationsTest(const QString& code)
{
    QTest::mouseClick(Main()->Button4, Qt::LeftButton);
    QApplication::setActiveWindow(Test());
    QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Noor"));
    if (!code.isEmpty())
        Test()->CodeVeld->setText(code);
}

// Plays right answers until the grid (theme 2) is asked, then answers it wrong twice. Returns
// whether the picture changed with the final judgement (the mouse drawn in its cell).
bool GridWrongTwice()
{
    for (int item = 0; item < 3 && Session().ThemeCode != 2; ++item) {
        TypeInto(Test()->InvoerVeld, QString::number(Session().ExpectedAnswer));
        QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
    }
    if (Session().ThemeCode != 2)
        return false;
    const QString wrong = QString::number(Session().ExpectedAnswer == 1 ? 2 : 1);
    TypeInto(Test()->InvoerVeld, wrong);
    QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
    const QImage before = Test()->PictureBitmap.image().copy();
    TypeInto(Test()->InvoerVeld, wrong);
    return Test()->PictureBitmap.image() != before;
}

}  // namespace

class TestCodedTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StartForms(QSize(1024, 768));
        Test()->Klok->blockSignals(true);
        kav::ClearRecordedMessages();
    }
    void cleanupTestCase() { kav::DestroyForms(); }

    void aCodedTestHidesTheRightAnswer()
    {
        OpenRelationsTest(RelationsCode());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Session().AnswersHidden);
        QVERIFY2(!GridWrongTwice(), "the mouse showed the answer");
        QCOMPARE(Session().ThemeCode, 2);
        const QStringList t = Texts(Test()->TextBitmap);
        QVERIFY(t.contains(QStringLiteral("Fout.")));
        QVERIFY(!t.contains(QStringLiteral("Het juiste antwoord was: ")));
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
    }

    // The same test without a code, and practice, keep showing the answer and the mouse.
    void withoutACodeTheAnswerShows()
    {
        OpenRelationsTest(QString());
        for (int box = 4; box <= 7; ++box)
            Tick(box, false);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(!Session().AnswersHidden);
        QVERIFY(GridWrongTwice());
        QVERIFY(Texts(Test()->TextBitmap).contains(QStringLiteral("Het juiste antwoord was: ")));
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        // Practice of the grid alone.
        QTest::mouseClick(Main()->Button3, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        Tick(2);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(!Session().AnswersHidden);
        QVERIFY(GridWrongTwice());
        QVERIFY(Texts(Test()->TextBitmap).contains(QStringLiteral("Toelichting:")));
    }

    // What the code fixes says so when clicked: the level (its buttons and the level button),
    // the themes and the length.
    void lockedSettingsSayWhy()
    {
        OpenRelationsTest(RelationsCode());
        QVERIFY(!Test()->NivoBox->isEnabled());
        QTest::mouseClick(Test()->NivoBox->buttons[2], Qt::LeftButton);
        QCOMPARE(kav::RecordedMessages(), QStringList{QStringLiteral("De toetscode bepaalt het niveau.")});
        QCOMPARE(Test()->NivoBox->itemIndex(), 0);
        kav::ClearRecordedMessages();
        QTest::mouseClick(Test()->CheckBoxes[4], Qt::LeftButton, {}, QPoint(8, Test()->CheckBoxes[4]->height() / 2));
        QCOMPARE(kav::RecordedMessages(), QStringList{QStringLiteral("De toetscode bepaalt de thema's.")});
        QVERIFY(!Test()->CheckBoxes[4]->isChecked());
        kav::ClearRecordedMessages();
        QTest::mouseClick(Test()->AantalBox, Qt::LeftButton);
        QCOMPARE(kav::RecordedMessages(), QStringList{QStringLiteral("De toetscode bepaalt het aantal opgaven.")});
        // During the test the level button says it too, and opens no level box.
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        kav::ClearRecordedMessages();
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        QCOMPARE(kav::RecordedMessages(), QStringList{QStringLiteral("De toetscode bepaalt het niveau.")});
        QVERIFY(Test()->NivoBox->isHidden());
        QVERIFY(Test()->InvoerVeld->isVisible());
        // Without a code the level buttons just work, without a word. (Einde asks first: items
        // are still to come.)
        kav::SetRecordedAnswer(true);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        kav::SetRecordedAnswer(false);
        kav::ClearRecordedMessages();
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Noor"));
        QTest::mouseClick(Test()->NivoBox->buttons[2], Qt::LeftButton);
        QCOMPARE(Test()->NivoBox->itemIndex(), 2);
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    // The whole code shows in its field; in the mixed challenge the panel lies over none of
    // the theme boxes.
    void theCodeFieldAndThePanelFit()
    {
        for (QSize screen : {QSize(1024, 768), QSize(1366, 768)}) {
            StartForms(screen);
            const QString at = QStringLiteral(" at %1x%2").arg(screen.width()).arg(screen.height());
            for (QPushButton* b : {Main()->Button4, Main()->AllesButton}) {
                QTest::mouseClick(b, Qt::LeftButton);
                QLineEdit* field = Test()->CodeVeld;
                int widest = 0;
                for (const char* c = kav::TestCodeSymbols; *c; ++c)
                    widest = qMax(widest, QFontMetrics(field->font()).horizontalAdvance(QLatin1Char(*c)));
                const int room = field->contentsRect().width() - field->textMargins().left() - field->textMargins().right();
                QVERIFY2(10 * widest + QFontMetrics(field->font()).horizontalAdvance(u'-') < room - 4, qPrintable(at));
                const QRect panel = Test()->ToetsPanel->geometry();
                for (QCheckBox* c : Test()->CheckBoxes) {
                    const QRect box(c->mapTo(Test(), QPoint(0, 0)), c->size());
                    QVERIFY2(c->isHidden() || !box.intersects(panel), qPrintable(c->objectName() + at));
                }
                QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
            }
        }
    }

    // After a test the caption names the session again, not its last item.
    void theTitleFollowsTheChoiceScreen()
    {
        OpenRelationsTest(QString());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Test()->windowTitle().contains(QStringLiteral("Poging")));
        kav::SetRecordedAnswer(true);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        kav::SetRecordedAnswer(false);
        QCOMPARE(Test()->windowTitle(), QStringLiteral("Kavrin 2:  Verbanden - Test"));
    }

    // Saldo Plus: the closing message's balance is the level button's, also while a balance
    // is asked for; and no test's name hint is left in the game.
    void saldoEndsWithTheBalanceOnTheButton()
    {
        OpenRelationsTest(QString());
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QTest::mouseClick(Main()->Button2, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        QVERIFY(Test()->ToetsPanel->isHidden());
        QVERIFY(!kav::Hint(Test()->StartButton).contains(QStringLiteral("naam")));
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);  // the explanation's START
        QVERIFY(!Test()->StatusBalk->caption().contains(QStringLiteral("naam")));
        Test()->ContinueButton->click();                         // "Start": the dice roll
        QVERIFY(!Test()->StatusBalk->caption().contains(QStringLiteral("naam")));
        for (int round = 0; round < 2; ++round) {
            for (int tick = 0; tick < 200 && !Test()->InvoerVeld->isVisible(); ++tick)
                Test()->KlokTimer();
            QVERIFY(Test()->InvoerVeld->isVisible());
            if (round == 1)
                break;  // the second balance stays unanswered
            TypeInto(Test()->InvoerVeld, QString::number(Session().ExpectedAnswer));
            QCOMPARE(kav::Saldo().Shown, kav::Saldo().Saldo);
            Test()->ContinueButton->click();
        }
        const int shown = kav::Saldo().Shown;
        QVERIFY(shown != kav::Saldo().Saldo);
        kav::ClearRecordedMessages();
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        const QStringList said = kav::RecordedMessages();
        QVERIFY(!said.isEmpty());
        QVERIFY2(said.last().contains(QStringLiteral("Eindsaldo: %1\r").arg(shown)), qPrintable(said.last()));
    }
};

QTEST_MAIN(TestCodedTest)
#include "tst_coded_test.moc"
