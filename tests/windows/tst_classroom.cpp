// Tests a teacher can use, through the real session window: a test of set length played with
// the keyboard alone to its results, kept in the store; the class code; and no key that loses
// work (Escape, the close button and a level change ask first; Einde ends at once).
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "formsfixture.h"
#include "games/saldo.h"
#include "results/store.h"
#include "session/engine.h"
#include "session/testcode.h"
#include "windows/resultsform.h"

using namespace testsupport;
using kav::Session;

namespace {

const QString kStop = QStringLiteral("Wil je stoppen met deze sessie?");

// A key to whatever has the keyboard focus.
void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* w = QApplication::focusWidget();
    QVERIFY(w);
    QTest::keyClick(w, key, mods);
    QCoreApplication::processEvents();
}

// Alt+S: START's mnemonic, which clicks it a moment later as buttons do.
void AltS()
{
    Press(Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(Session().SessionRunning);
}

QString RightAnswer()
{
    const kav::SessionState& s = Session();
    if (s.AnswerKind == 2)
        return kav::FormatDecimal(s.ExpectedDecimal, s.AnswerDecimals, kav::DecimalSeparator);
    return QString::number(s.ExpectedAnswer);
}

QVector<kav::SessionResult> Stored()
{
    QVector<kav::SessionResult> sessions;
    kav::ResultStore* store = Test()->store();
    for (const auto& row : store->list({}))
        sessions << store->load(row.id).value_or(kav::SessionResult());
    return sessions;
}

// The test choice screen of the relations topic, opened from the main menu.
void OpenRelationsTest()
{
    QApplication::setActiveWindow(Main());
    Main()->Button4->setFocus();
    Press(Qt::Key_Space);
    // Shortcuts (Alt+S) go to the window that has the system's focus.
    Test()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Test()));
}

// A relations test started by the pupil, with n items answered right and Doorgaan after each.
void StartAndAnswer(int n)
{
    OpenRelationsTest();
    QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Ali"));
    AltS();
    for (int item = 1; item <= n; ++item) {
        TypeInto(Test()->InvoerVeld, RightAnswer());
        Press(Qt::Key_Return);
    }
}

}  // namespace

class TestClassroom : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StartForms(QSize(1024, 768));
        Test()->Klok->blockSignals(true);  // the test steps no clock
        QApplication::setActiveWindow(Main());
        kav::SetRecordedAnswer(false);
    }
    void cleanupTestCase() { kav::DestroyForms(); }

    void aTenItemTestByKeyboardEndsWithItsResults()
    {
        const int before = int(Stored().size());
        OpenRelationsTest();
        // The name comes first, and START waits for it.
        QVERIFY(Test()->NaamVeld->isVisible() && Test()->NaamVeld->hasFocus());
        QVERIFY(Test()->NaamVeld->text().isEmpty());
        QCOMPARE(Test()->AantalBox->currentText(), QStringLiteral("10"));
        QVERIFY(!Test()->StartButton->isEnabled());
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Sanne de Vries"));
        QVERIFY(Test()->StartButton->isEnabled());
        Shot(Test(), QStringLiteral("classroom-choice-1024x768"));
        AltS();
        for (int item = 1; item <= 10; ++item) {
            QVERIFY2(Test()->InvoerVeld->hasFocus(), qPrintable(QString::number(item)));
            // The first item wrong once, so the results hold a second answer.
            if (item == 1) {
                TypeInto(Test()->InvoerVeld, QStringLiteral("999999"));
                QVERIFY(Test()->ContinueButton->hasFocus());
                Press(Qt::Key_Return);
            }
            TypeInto(Test()->InvoerVeld, RightAnswer());
            QVERIFY(Test()->ContinueButton->hasFocus());
            QCOMPARE(Session().ItemCount, item);
            Press(Qt::Key_Return);  // Doorgaan
        }
        // After the tenth: back on the choice screen, the session kept and shown.
        QVERIFY(!Session().SessionRunning);
        QVERIFY(Test()->StartButton->isVisible());
        QVERIFY(Test()->NaamVeld->text().isEmpty());
        const QVector<kav::SessionResult> stored = Stored();
        QCOMPARE(int(stored.size()), before + 1);
        const kav::SessionResult& r = stored.first();
        QCOMPARE(r.name, QStringLiteral("Sanne de Vries"));
        QCOMPARE(int(r.items.size()), 10);
        QVERIFY(r.status == kav::SessionStatus::Completed && !r.practice && r.sessionMode == 0 && r.level == 1);
        QCOMPARE(r.plannedItems, 10);
        QCOMPARE(r.maxPoints, 20);
        QVERIFY(!r.uuid.isEmpty());
        QCOMPARE(r.items[0].firstAnswer, QStringLiteral("999999"));
        QVERIFY(r.items[0].rightAtSecond() && r.rightAtFirst() == 9);
        QCOMPARE(r.scoreText, Test()->ScoreLabel->text());
        QVERIFY(QApplication::topLevelWidgets().contains(QApplication::activeModalWidget()));
        QVERIFY(QApplication::activeModalWidget() != Test());  // the results window is up
    }

    // The name, code and length stand below the choice screen's five lines of text and clear
    // of the level box, on screens of either shape; in the mixed challenge beside its picture.
    void theTestSettingsFitTheTextColumn()
    {
        for (QSize screen : {QSize(1024, 768), QSize(1366, 768), QSize(800, 600), QSize(1920, 1080)}) {
            StartForms(screen);
            for (QPushButton* b : {Main()->Button4, Main()->AllesButton}) {
                QTest::mouseClick(b, Qt::LeftButton);
                kav::TTestForm* t = Test();
                QVERIFY(t->ToetsPanel->isVisible() && t->AantalBox->isVisible());
                QVERIFY(t->rect().contains(t->ToetsPanel->geometry()));
                for (QWidget* other : {static_cast<QWidget*>(t->NivoBox), static_cast<QWidget*>(t->StartButton),
                                       static_cast<QWidget*>(t->ScorePanel)})
                    QVERIFY2(other->isHidden() || !t->ToetsPanel->geometry().intersects(other->geometry()),
                             qPrintable(other->objectName()));
                if (b == Main()->Button4)
                    QVERIFY(t->ToetsPanel->y() >= kav::Round(6 * kav::LineHeight));
                else
                    QVERIFY(t->KeuzeBox->geometry().contains(t->ToetsPanel->geometry()));
                for (QWidget* w : t->ToetsPanel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    QVERIFY2(w->isHidden() || t->ToetsPanel->rect().contains(w->geometry()), qPrintable(w->objectName()));
                QTest::mouseClick(t->EindButton, Qt::LeftButton);
            }
        }
    }

    void unlimitedKeepsGoingAndEindeStopsAtOnce()
    {
        OpenRelationsTest();
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Ali"));
        Test()->AantalBox->setCurrentIndex(Test()->AantalBox->findText(QStringLiteral("Onbeperkt")));
        AltS();
        for (int item = 1; item <= 11; ++item) {
            TypeInto(Test()->InvoerVeld, RightAnswer());
            Press(Qt::Key_Return);
        }
        QVERIFY(Session().SessionRunning && Test()->InvoerVeld->isVisible());
        const int before = int(Stored().size());
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(!kav::RecordedMessages().contains(kStop));
        QCOMPARE(int(Stored().size()), before + 1);
        // Onbeperkt: graded over the items judged, and voltooid however it is left.
        const kav::SessionResult r = Stored().first();
        QCOMPARE(r.status, kav::SessionStatus::Completed);
        QCOMPARE(r.items.size(), 11);
        QCOMPARE(r.maxPoints, 22);
        QCOMPARE(r.gradeText(), QStringLiteral("10,0"));
    }

    void escapeAndTheCloseButtonAskFirst()
    {
        OpenRelationsTest();
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Ali"));
        AltS();
        TypeInto(Test()->InvoerVeld, RightAnswer());
        const int before = int(Stored().size());
        // Nee: nothing changes.
        Press(Qt::Key_Escape);
        QCOMPARE(kav::RecordedMessages().count(kStop), 1);
        QVERIFY(Test()->isVisible() && Session().SessionRunning && Test()->ContinueButton->hasFocus());
        Test()->close();
        QCOMPARE(kav::RecordedMessages().count(kStop), 2);
        QVERIFY(Test()->isVisible() && Session().SessionRunning);
        QCOMPARE(int(Stored().size()), before);
        // Ja: the session ends, is kept, and the main menu comes back.
        kav::SetRecordedAnswer(true);
        Press(Qt::Key_Escape);
        QVERIFY(!Test()->isVisible() && Main()->isVisible());
        QCOMPARE(int(Stored().size()), before + 1);
        // One of ten: graded over the ten.
        const kav::SessionResult r = Stored().first();
        QCOMPARE(r.status, kav::SessionStatus::Stopped);
        QCOMPARE(r.items.size(), 1);
        QCOMPARE(r.maxPoints, 20);
        QCOMPARE(r.gradeText(), QStringLiteral("1,9"));
    }

    // Einde in a test of set length with items to come asks first; after the last judgement
    // every way out keeps the test as voltooid, without a question.
    void eindeAsksWhileItemsAreToCome()
    {
        StartAndAnswer(3);
        TypeInto(Test()->InvoerVeld, QStringLiteral("999999"));  // the fourth wrong once
        const int before = int(Stored().size());
        kav::ClearRecordedMessages();
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QCOMPARE(kav::RecordedMessages(), QStringList{kStop});  // Nee is the default
        QVERIFY(Session().SessionRunning);
        QCOMPARE(int(Stored().size()), before);
        kav::SetRecordedAnswer(true);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(!Session().SessionRunning);
        QCOMPARE(int(Stored().size()), before + 1);
        // The item in hand was answered once: kept, niet af.
        const kav::SessionResult r = Stored().first();
        QCOMPARE(r.status, kav::SessionStatus::Stopped);
        QCOMPARE(r.items.size(), 4);
        QVERIFY(r.items[3].unfinished && r.items[3].firstAnswer == QStringLiteral("999999"));
        QCOMPARE(r.maxPoints, 20);
        QCOMPARE(kav::GradeWithNote(r), QStringLiteral("3,7 (opgaven: 4 van 10)"));
    }

    void allItemsJudgedIsCompletedHoweverItIsLeft()
    {
        enum Way { Einde, Escape, Close };
        for (Way way : {Einde, Escape, Close}) {
            StartForms(QSize(1024, 768));
            Test()->Klok->blockSignals(true);
            StartAndAnswer(9);
            TypeInto(Test()->InvoerVeld, RightAnswer());  // the tenth, and no Doorgaan
            const int before = int(Stored().size());
            kav::ClearRecordedMessages();
            if (way == Einde)
                QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
            else if (way == Escape)
                Press(Qt::Key_Escape);
            else
                Test()->close();
            QVERIFY2(!kav::RecordedMessages().contains(kStop), qPrintable(QString::number(way)));
            QCOMPARE(int(Stored().size()), before + 1);
            QCOMPARE(Stored().first().status, kav::SessionStatus::Completed);
            QCOMPARE(Stored().first().items.size(), 10);
        }
    }

    // A coded test left before its first answer is kept as niet begonnen, without a results
    // window; an uncoded one leaves nothing.
    void aCodedTestLeftAtOnceIsNotStarted()
    {
        kav::TestCodeSettings settings;
        settings.sessionMode = 0;
        settings.themes = 0b0000111;
        settings.length = 20;
        settings.seed = 12345u;
        const QString code = kav::EncodeTestCode(settings).value();
        kav::SetRecordedAnswer(true);
        for (const QString& typed : {code, QString()}) {
            OpenRelationsTest();
            QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Bo"));
            Test()->CodeVeld->setText(typed);
            AltS();
            const int before = int(Stored().size());
            Press(Qt::Key_Escape);
            QVERIFY(!Test()->isVisible());
            QCOMPARE(int(Stored().size()), before + (typed.isEmpty() ? 0 : 1));
            QCOMPARE(QApplication::activeModalWidget(), nullptr);
            if (typed.isEmpty())
                continue;
            const kav::SessionResult r = Stored().first();
            QCOMPARE(r.status, kav::SessionStatus::NotStarted);
            QVERIFY(r.items.isEmpty());
            QCOMPARE(r.plannedItems, 20);
            QCOMPARE(r.code, code);
            QCOMPARE(r.name, QStringLiteral("Bo"));
        }
    }

    void aLevelChangeAsksFirst()
    {
        OpenRelationsTest();
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Ali"));
        AltS();
        TypeInto(Test()->InvoerVeld, RightAnswer());
        const QString score = Test()->ScoreLabel->text();
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        Test()->NivoBox->buttons[2]->click();
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        // Nee: the session goes on at its own level with its score.
        QCOMPARE(kav::RecordedMessages().count(kStop), 1);
        QVERIFY(Session().SessionRunning);
        QCOMPARE(Test()->ScoreLabel->text(), score);
        QCOMPARE(Test()->NivoBox->itemIndex(), 0);
        // Ja: the session ends and the choice screen shows the new level.
        kav::SetRecordedAnswer(true);
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        Test()->NivoBox->buttons[2]->click();
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(!Session().SessionRunning && Test()->StartButton->isVisible() && Test()->KeuzeBox->isVisible());
        QCOMPARE(Test()->NivoBox->itemIndex(), 2);
    }

    void theClassCode()
    {
        kav::TestCodeSettings settings;
        settings.sessionMode = 0;
        settings.themes = 0b0010110;  // boxes 2, 3 and 5
        settings.level = 2;
        settings.length = 20;
        settings.seed = 987654321u;
        const QString code = kav::EncodeTestCode(settings).value();
        // Two pupils with one code: the same items in the same order, whatever they tick.
        QList<QList<int>> runs;
        for (int pupil = 0; pupil < 2; ++pupil) {
            OpenRelationsTest();
            QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Leerling %1").arg(pupil));
            Tick(1, pupil == 0);
            Test()->CodeVeld->setText(code.toLower());  // read without regard to case
            // The settings are filled in and locked.
            QVERIFY(!Test()->CheckBoxes[0]->isChecked() && Test()->CheckBoxes[1]->isChecked() &&
                    Test()->CheckBoxes[4]->isChecked());
            QVERIFY(!Test()->CheckBoxes[1]->isEnabled() && !Test()->NivoBox->isEnabled() &&
                    !Test()->AantalBox->isEnabled());
            QCOMPARE(Test()->NivoBox->itemIndex(), 1);
            QCOMPARE(Test()->AantalBox->currentText(), QStringLiteral("20"));
            QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
            QList<int> items;
            for (int item = 0; item < 6; ++item) {
                items << Session().ThemeCode << Session().ExpectedAnswer;
                TypeInto(Test()->InvoerVeld, RightAnswer());
                QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
            }
            runs << items;
            kav::SetRecordedAnswer(true);  // Einde asks: items are still to come
            QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
            kav::SetRecordedAnswer(false);
            QCOMPARE(Stored().first().code, code);
            QTest::mouseClick(Test()->EindButton, Qt::LeftButton);  // back to the main menu
        }
        QCOMPARE(runs[0], runs[1]);
        // A mistyped code: the message, and no test.
        OpenRelationsTest();
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Ali"));
        QString typo = code;
        typo[3] = typo[3] == u'A' ? u'B' : u'A';
        Test()->CodeVeld->setText(typo);
        QVERIFY(Test()->CheckBoxes[1]->isEnabled());  // nothing locked
        kav::ClearRecordedMessages();
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(kav::RecordedMessages(), QStringList{QStringLiteral("Deze toetscode bestaat niet.")});
        QVERIFY(!Session().SessionRunning && Test()->CodeVeld->hasFocus());
    }

    void spaceWhileTheDiceRollLosesNothing()
    {
        // Saldo Plus: Start hides while the dice roll; the focus must not land on Einde.
        QTest::mouseClick(Main()->Button2, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);  // the explanation's START
        QVERIFY(Test()->ContinueButton->isVisible());
        Test()->ContinueButton->setFocus();
        Press(Qt::Key_Space);  // "Start": the dice roll
        QVERIFY(Test()->Klok->isActive());
        QVERIFY(QApplication::focusWidget() != Test()->EindButton);
        Press(Qt::Key_Space);
        Press(Qt::Key_Return);
        QVERIFY(Test()->isVisible() && Session().SessionRunning && kav::Saldo().Running);
    }

    // A session the store can't keep is told every time with its cause, offered as a PDF, and
    // written with the next session once the store takes it again.
    void everyLostSessionIsTold()
    {
        const int before = int(Stored().size());
        Test()->store()->injectFailure(kav::StoreFailure::DiskFull);
        for (int k = 0; k < 2; ++k) {
            kav::ClearRecordedMessages();
            StartAndAnswer(10);
            const QStringList told = kav::RecordedMessages();
            QCOMPARE(told.size(), 1);
            QVERIFY(told[0].startsWith(QStringLiteral("Het resultaat kon niet worden bewaard: de schijf is vol.")));
            auto* results = qobject_cast<kav::TResultsForm*>(QApplication::activeModalWidget());
            QVERIFY(results);
            QCOMPARE(results->StatusLabel->text(), QStringLiteral("Niet bewaard: sla het op als PDF."));
            QVERIFY(results->StatusLabel->fontMetrics().horizontalAdvance(results->StatusLabel->text()) <=
                    results->StatusLabel->width());
            QTRY_VERIFY(results->PdfButton->hasFocus());
            Shot(results, QStringLiteral("results-not-stored"));
            results->close();
        }
        Test()->store()->injectFailure(kav::StoreFailure::None);
        kav::ClearRecordedMessages();
        StartAndAnswer(10);
        QVERIFY(kav::RecordedMessages().isEmpty());
        QCOMPARE(int(Stored().size()), before + 3);
        if (auto* results = qobject_cast<kav::TResultsForm*>(QApplication::activeModalWidget()))
            results->close();
    }
};

QTEST_MAIN(TestClassroom)
#include "tst_classroom.moc"
