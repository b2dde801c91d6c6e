// "Lees voor" in the session window and the lesson viewer, heard through a recording speaker:
// the question, then the judgement (and in practice the explanation), a second press stops; a
// coded test never hears the right answer, and a code can switch it off.
#include <QAction>
#include <QMenu>
#include <QToolButton>

#include "draw/speechtext.h"
#include "formsfixture.h"
#include "session/engine.h"
#include "session/testcode.h"
#include "ui/speaker.h"
#include "windows/readaloud.h"

using namespace testsupport;
using kav::Session;
using kav::Speaker;

namespace {

// Keeps what it was told to say; it speaks until told to stop or finish().
class RecordingSpeaker : public Speaker {
public:
    void say(const QString& text) override
    {
        said << text;
        speeds << speed;
        speaking_ = true;
        emit changed();
    }
    void stop() override
    {
        ++stops;
        speaking_ = false;
        emit changed();
    }
    void finish()
    {
        speaking_ = false;
        emit changed();
    }
    bool speaking() const override { return speaking_; }
    Availability availability() const override { return availability_; }
    QString unavailableReason() const override { return reason_; }
    void setSpeed(Speed s) override { speed = s; }
    void makeUnavailable(const QString& reason)
    {
        availability_ = Availability::Unavailable;
        reason_ = reason;
        emit changed();
    }

    QStringList said;
    QList<Speed> speeds;
    Speed speed = Speed::Normal;
    int stops = 0;

private:
    bool speaking_ = false;
    Availability availability_ = Availability::Available;
    QString reason_;
};

RecordingSpeaker* Made = nullptr;

RecordingSpeaker* Voice()
{
    return static_cast<RecordingSpeaker*>(kav::ProgramSpeaker());
}

QToolButton* Button()
{
    return Test()->findChild<QToolButton*>(QStringLiteral("LeesVoorButton"));
}

void Press()
{
    QTest::mouseClick(Button(), Qt::LeftButton, {}, QPoint(8, Button()->height() / 2));
}

// The words of the canvases now, as the speech step makes them.
QString Shown()
{
    return kav::CanvasSpeech(Test()->TextBitmap.textLog(), Test()->PictureBitmap.textLog());
}

void StartRelations(bool practice, const QString& code = QString())
{
    QTest::mouseClick(practice ? Main()->Button3 : Main()->Button4, Qt::LeftButton);
    QApplication::setActiveWindow(Test());
    if (!practice) {
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Noor"));
        Test()->CodeVeld->setText(code);
    } else {
        Tick(1);
    }
    QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
}

QString Code(bool readAloud)
{
    kav::TestCodeSettings s{0, 0b0000111u, 1, 10, 424242u};
    s.readAloud = readAloud;
    return *kav::EncodeTestCode(s);
}

QString Wrong()
{
    return QString::number(Session().ExpectedAnswer == 1 ? 2 : 1);
}

}  // namespace

class TestReadAloud : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        kav::SetSpeakerFactory([] { return std::make_unique<RecordingSpeaker>(); });
        StartForms(QSize(1024, 768));
        Test()->Klok->blockSignals(true);
    }
    void cleanupTestCase()
    {
        kav::DestroyForms();
        kav::SetSpeakerFactory({});
    }

    // Practice: the question, the first judgement, the question again for the second attempt,
    // then the final judgement with the explanation; the focus stays where Enter goes on.
    void aPracticeItemIsReadStageByStage()
    {
        StartRelations(true);
        QVERIFY(!kav::SpeakerMade());  // nothing speaks before the first press
        QVERIFY(Button()->isVisible() && Button()->isEnabled());
        QVERIFY(Button()->toolTip().contains(QStringLiteral("F5")));
        Press();
        QVERIFY(Test()->InvoerVeld->hasFocus());
        QCOMPARE(Voice()->said, QStringList{Shown()});
        const QString question = Voice()->said.first();
        QVERIFY2(question.contains(QStringLiteral("Hoe groot is")), qPrintable(question));
        QVERIFY(Button()->isChecked());
        Press();  // pressed while speaking: stops, says nothing new
        QCOMPARE(Voice()->stops, 1);
        QCOMPARE(Voice()->said.size(), 1);
        QVERIFY(!Button()->isChecked());

        TypeInto(Test()->InvoerVeld, Wrong());
        QTest::keyClick(Test(), Qt::Key_F5);
        QCOMPARE(Voice()->said.size(), 2);
        QVERIFY2(Voice()->said[1].endsWith(QStringLiteral("Jammer! Tweede poging!")), qPrintable(Voice()->said[1]));
        QVERIFY(!Voice()->said[1].contains(QStringLiteral("Hoe groot")));
        Voice()->finish();
        QVERIFY(Test()->ContinueButton->hasFocus());
        QTest::keyClick(Test()->ContinueButton, Qt::Key_Return);  // Enter still goes on
        QVERIFY(Test()->InvoerVeld->hasFocus());
        Press();
        QCOMPARE(Voice()->said.last(), question);
        Voice()->finish();

        TypeInto(Test()->InvoerVeld, Wrong());
        Press();
        const QString last = Voice()->said.last();
        QVERIFY2(last.contains(QStringLiteral("Het juiste antwoord was: ")), qPrintable(last));
        QVERIFY2(last.contains(QStringLiteral("Toelichting")), qPrintable(last));
        QVERIFY(!last.contains(QStringLiteral("Tweede poging")));
        // The next item: its question, and what was still being said stops.
        QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
        QCOMPARE(Voice()->stops, 2);
        Press();
        QCOMPARE(Voice()->said.last(), Shown());
    }

    // A coded test: what is read comes from the screen, which never shows the right answer.
    void aCodedTestNeverSaysTheAnswer()
    {
        StartRelations(false, Code(true));
        QVERIFY(Session().AnswersHidden);
        QVERIFY(Button()->isEnabled());
        for (int item = 0; item < 3; ++item) {
            TypeInto(Test()->InvoerVeld, Wrong());
            if (Test()->InvoerVeld->isVisible() && Test()->InvoerVeld->hasFocus())
                TypeInto(Test()->InvoerVeld, Wrong());
            else
                QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton), TypeInto(Test()->InvoerVeld, Wrong());
            Press();
            const QString said = Voice()->said.last();
            QVERIFY2(!said.contains(QStringLiteral("juiste antwoord")), qPrintable(said));
            QVERIFY2(said.contains(QStringLiteral("Fout")), qPrintable(said));
            Voice()->finish();
            QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
        }
    }

    // The teacher switched it off in the code: the button is off and says why; F5 says nothing.
    void aCodeCanSwitchItOff()
    {
        StartRelations(false, Code(false));
        QVERIFY(!Button()->isEnabled());
        QCOMPARE(Button()->toolTip(), QStringLiteral("Voorlezen staat uit"));
        QVERIFY(kav::LongHint(kav::Hint(Button())).contains(QStringLiteral("Je docent heeft voorlezen")));
        QTest::keyClick(Test(), Qt::Key_F5);
        Test()->readAloud()->press();
        QVERIFY(!kav::SpeakerMade() || Voice()->said.isEmpty());
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        // The same pupil practising afterwards may use it again.
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        StartRelations(true);
        QVERIFY(Button()->isEnabled());
    }

    // Without a voice the button says what to install, and the program goes on.
    void anUnavailableVoiceSaysWhatToInstall()
    {
        StartRelations(true);
        Press();  // the first press makes the speaker, which then finds it has no voice
        Voice()->finish();
        Voice()->makeUnavailable(QStringLiteral("Voorlezen kan niet: er is geen Nederlandse stem. ") + kav::SpeechPackageHint());
        QVERIFY(!Button()->isEnabled());
        QVERIFY(kav::LongHint(kav::Hint(Button())).contains(QStringLiteral("speech-dispatcher-espeak-ng")));
        Test()->readAloud()->press();
        QTest::keyClick(Test(), Qt::Key_F5);
        QCOMPARE(Voice()->said.size(), 1);
        TypeInto(Test()->InvoerVeld, QString::number(Session().ExpectedAnswer));
        QVERIFY(Test()->ContinueButton->isVisible());
    }

    // The speed is chosen in the button's menu and kept in the program's settings.
    void theSpeedIsKept()
    {
        StartRelations(true);
        QMenu* menu = Button()->menu();
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions()[1]->text(), QStringLiteral("Langzaam voorlezen"));
        menu->actions()[1]->trigger();
        QCOMPARE(kav::ReadAloud::SavedSpeed(), Speaker::Speed::Slow);
        Press();
        QCOMPARE(Voice()->speeds.last(), Speaker::Speed::Slow);
        Voice()->finish();
        menu->actions()[0]->trigger();
        Press();
        QCOMPARE(Voice()->speeds.last(), Speaker::Speed::Normal);
    }

    // The lesson viewer reads its page.
    void theViewerReadsItsPage()
    {
        QTest::mouseClick(Main()->Button7, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        Tick(1);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QApplication::setActiveWindow(Help());
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(Help()->isVisible());
        auto* b = Help()->findChild<QToolButton*>(QStringLiteral("LeesVoorButton"));
        QVERIFY(b && b->isVisible());
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
        QCOMPARE(Voice()->said.size(), 1);
        QCOMPARE(Voice()->said[0],
                 kav::CanvasSpeech(Help()->ViewerTextBitmap.textLog(), Help()->ViewerPictureBitmap.textLog()));
        QVERIFY(!Voice()->said[0].isEmpty());
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QCOMPARE(Voice()->stops, 1);  // leaving stops the voice
    }
};

QTEST_MAIN(TestReadAloud)
#include "tst_read_aloud.moc"
