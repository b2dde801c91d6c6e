// The viewer window with its callers and its entry field, on small scripts written into a
// temporary folder that stands in for the program's data folder (and is the working folder).
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include "draw/numbers.h"
#include "formsfixture.h"
#include "session/engine.h"

using namespace testsupport;
using kav::Session;

namespace {

void WriteScript(const QString& name, const QStringList& lines)
{
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (const QString& l : lines)
        f.write(l.toLatin1() + "\r\n");
}

// Every file demo0 .. demo4 with one text and one pause in each step 0 .. 10.
void WriteStepScripts()
{
    for (int k = 0; k < 5; ++k) {
        QStringList lines;
        for (int s = 0; s <= 10; ++s) {
            lines << QStringLiteral("%1,tekst,l,1,demo%2 stap %3,1,Black,,").arg(s * 100).arg(k).arg(s);
            lines << QStringLiteral("%1,[toets]").arg(s * 100 + 1);
        }
        lines << QStringLiteral("1099,[end]");
        WriteScript(QStringLiteral("demo%1.txt").arg(k), lines);
    }
}

QStringList Texts(const kav::Canvas& c)
{
    QStringList l;
    for (const auto& e : c.textLog())
        if (!e.text.isEmpty())
            l << e.text;
    return l;
}

// Lets the viewer start its script (it does so once it is on the screen).
void Settle()
{
    QApplication::setActiveWindow(Help());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// Opens the viewer directly on a script and step, as the session window's help button does.
void Open(int number, int step)
{
    Help()->setScriptNumber(number);
    Help()->setScriptStep(step);
    kav::ShowModal(Help());
    Settle();
}

// Opens the viewer with the help button of a triangular practice session (on its choice screen).
void OpenFromTriangularPractice()
{
    QTest::mouseClick(Main()->Button8, Qt::LeftButton);
    Test()->HelpButton->show();
    QTest::mouseClick(Test()->HelpButton, Qt::LeftButton);
    Settle();
}

void Type(const QString& text)
{
    TypeInto(Help()->InvoerVeld2, text);
}

void Doorgaan()
{
    QVERIFY(Help()->ContinueButton->isVisible());
    QTest::mouseClick(Help()->ContinueButton, Qt::LeftButton);
    QCoreApplication::processEvents();
}

}  // namespace

class TestViewer : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString oldDir_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
    }
    void cleanupTestCase()
    {
        kav::DestroyForms();
        QDir::setCurrent(oldDir_);
    }
    void init()
    {
        StartForms(QSize(1024, 768));
        kav::SetDataFolders({dir_.path()});
        kav::DecimalSeparator = u',';
        kav::ClearRecordedMessages();
        WriteStepScripts();
    }

    // ---- callers -----------------------------------------------------------------

    void mainMenuShowsTheIntroductionOnly()
    {
        QTest::mouseClick(Main()->HelpButton, Qt::LeftButton);
        Settle();
        QVERIFY(Help()->isVisible());
        QCOMPARE(Texts(Help()->ViewerTextBitmap), QStringList{"demo0 stap 0"});
        QVERIFY(Help()->ContinueButton->isVisible());
        QVERIFY(Help()->ContinueButton->hasFocus());
        // The next press (Enter on the focused button) reaches line 100: the viewer closes, the
        // main menu is back.
        QTest::keyClick(Help()->ContinueButton, Qt::Key_Return);
        QVERIFY(!Help()->isVisible());
        QVERIFY(Main()->isVisible());
        QVERIFY(!Help()->IntroOnly);
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    void sessionHelpButtonPlaysTheTopicsStep_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("themeCode");
        QTest::addColumn<QString>("shown");
        QTest::newRow("relations, choice screen") << "Button3" << false << 0 << "demo1 stap 0";
        QTest::newRow("relations practice, theme 4") << "Button3" << true << 4 << "demo1 stap 4";
        QTest::newRow("ratios practice, theme 17") << "Button5" << true << 17 << "demo2 stap 7";
        QTest::newRow("triangular practice, theme 30") << "Button8" << true << 30 << "demo3 stap 10";
        QTest::newRow("mixed challenge") << "AllesButton" << false << 0 << "demo0 stap 1";
        QTest::newRow("bookkeeper") << "Button1" << false << 0 << "demo0 stap 2";
    }
    void sessionHelpButtonPlaysTheTopicsStep()
    {
        QFETCH(QString, button);
        QFETCH(bool, running);
        QFETCH(int, themeCode);
        QFETCH(QString, shown);
        QTest::mouseClick(Main()->findChild<QPushButton*>(button), Qt::LeftButton);
        Session().SessionRunning = running;
        Session().ThemeCode = themeCode;
        Test()->HelpButton->show();
        QTest::mouseClick(Test()->HelpButton, Qt::LeftButton);
        Settle();
        QCOMPARE(Texts(Help()->ViewerTextBitmap), QStringList{shown});
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(!Help()->isVisible());
        QVERIFY(Test()->isVisible());
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    void demonstrationStartPlaysTheSumAnimation()
    {
        WriteScript(QStringLiteral("demo4.txt"),
                    {"300,tekst,l,1,Hoeveel rijen?,1,Black,,", "302,[invoer],1,3,Aantal rijen",
                     "305,[3hoeksgetal],?,0,1,60,Blue,True,R", "303,[toets]", "310,tekst,l,12,Klaar,1,Black,,",
                     "311,[toets]", "399,[end]"});
        QTest::mouseClick(Main()->Button7, Qt::LeftButton);
        Tick(3);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        Settle();
        QCOMPARE(Session().SessionMode, 30);
        QCOMPARE(Help()->scriptStep(), 3);
        QVERIFY(Help()->InvoerPanel2->isVisible());
        Type("5");
        QCOMPARE(Session().GivenAnswer, 5);
        QCOMPARE(Texts(Help()->ViewerPictureBitmap), QStringList({"0 + ", "1", "= 1"}));
        for (int row = 2; row <= 5; ++row)
            Doorgaan();
        QCOMPARE(Texts(Help()->ViewerPictureBitmap).mid(12), QStringList({"10 + ", "5", "= 15"}));
        Shot(Help(), QStringLiteral("viewer-sum"));
        Doorgaan();
        QVERIFY(Texts(Help()->ViewerTextBitmap).contains("Let op de regelmaat!"));
        Doorgaan();
        QVERIFY(Texts(Help()->ViewerTextBitmap).contains("Klaar"));
        Doorgaan();
        QVERIFY(!Help()->isVisible());
        QVERIFY(Test()->isVisible());
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    void everyOpeningHasTheSameTitle()
    {
        // Opened from the session window before the main menu's information button was ever
        // used, and from that button after something else changed the title.
        OpenFromTriangularPractice();
        QVERIFY(Help()->isVisible());
        QCOMPARE(Help()->windowTitle(), QStringLiteral("Kavrin deel 2: Aanvullende informatie"));
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(Main()->isVisible());
        Help()->setWindowTitle(QStringLiteral("iets anders"));
        QTest::mouseClick(Main()->HelpButton, Qt::LeftButton);
        Settle();
        QCOMPARE(Help()->windowTitle(), QStringLiteral("Kavrin deel 2: Aanvullende informatie"));
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    void theViewerShowsItsOwnHint()
    {
        // Back in the session window after a lesson, the pointer over START asks for START in
        // the session window's status bar, and the lesson opened again shows its own hint.
        OpenFromTriangularPractice();
        const QString own = Help()->StatusBalk->caption();
        QVERIFY(!own.isEmpty() && own == Help()->OwnHint());
        QVERIFY(!own.contains(QStringLiteral("START")));
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(Test()->isVisible());
        Help()->StatusBalk->setCaption(QString());
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(Test()->StartButton, &enter);
        QCOMPARE(Test()->StatusBalk->caption(), QStringLiteral("Druk op START om te beginnen"));
        QCOMPARE(Help()->StatusBalk->caption(), QString());
        QTest::mouseClick(Test()->HelpButton, Qt::LeftButton);
        Settle();
        QCOMPARE(Help()->StatusBalk->caption(), own);
        QCoreApplication::sendEvent(Help()->EindButton, &enter);
        QCOMPARE(Help()->StatusBalk->caption(), QStringLiteral("Klik voor Einde"));
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        // The about panel says how to leave it.
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        Main()->ProgInfoPanelClick();
        QVERIFY(Help()->HelpPanel->isVisible());
        QVERIFY(Help()->StatusBalk->caption().contains(QStringLiteral("Einde")));
        Help()->reject();
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    // ---- the entry ---------------------------------------------------------------

    void entryOnLine302MustLieBetween5And25()
    {
        WriteScript(QStringLiteral("demo3.txt"),
                    {"300,tekst,l,1,Kies een getal,1,Black,,", "302,[invoer],1,5,Aantal", "310,[?],l,8,N = ,1,Blue,,",
                     "311,[toets]", "399,[end]"});
        Open(3, 3);
        auto* panel = Help()->InvoerPanel2;
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->y(), Help()->TextBox->y() + 5 * kav::LineHeight);
        QCOMPARE(Help()->InvoerLabel2->text(), QStringLiteral("Aantal:"));
        QCOMPARE(Help()->InvoerVeld2->text(), QStringLiteral("0"));
        QCOMPARE(Help()->StatusBalk->caption(), QStringLiteral("Aantal ?"));
        QVERIFY(Help()->ContinueButton->isHidden());  // the entry cannot be passed by

        Type("4");
        QCOMPARE(kav::RecordedMessages(), QStringList{"Voer (geheel) getal in tussen 5 en 25."});
        QVERIFY(panel->isVisible());
        QVERIFY(Help()->InvoerVeld2->hasFocus());
        QVERIFY(!Texts(Help()->ViewerTextBitmap).contains("N = "));
        QCOMPARE(Help()->StatusBalk->caption(), QStringLiteral("Aantal ?"));  // open again, so asked again
        Shot(Help(), QStringLiteral("viewer-entry"));

        Type("25");
        QCOMPARE(kav::RecordedMessages().size(), 1);
        QVERIFY(!panel->isVisible());
        QCOMPARE(Texts(Help()->ViewerTextBitmap), QStringList({"Kies een getal", "N = ", "25"}));
        QVERIFY(Help()->ContinueButton->isVisible());
        // The entry is over: no prompt left behind, the window's own hint instead.
        QCOMPARE(Help()->StatusBalk->caption(), Help()->OwnHint());
    }

    void entryOnOtherLinesGoesOnAtOnce()
    {
        // Enter shows what follows the entry at once; Doorgaan comes with the next pause.
        WriteScript(QStringLiteral("demo2.txt"),
                    {"203,[invoer],1,5,Getal", "204,[?],l,8,Het getal is ,1,Black,,", "205,[toets]", "299,[end]"});
        Open(2, 2);
        Type("4");
        QVERIFY(kav::RecordedMessages().isEmpty());
        QCOMPARE(Session().GivenAnswer, 4);
        QCOMPARE(Texts(Help()->ViewerTextBitmap), QStringList({"Het getal is ", "4"}));
        QVERIFY(!Help()->InvoerPanel2->isVisible());
        QVERIFY(Help()->ContinueButton->isVisible());
        QVERIFY(Help()->ContinueButton->hasFocus());
        QCOMPARE(Help()->StatusBalk->caption(), Help()->OwnHint());
        Doorgaan();
        QVERIFY(!Help()->isVisible());
    }

    void unreadableEntriesAreRefused()
    {
        WriteScript(QStringLiteral("demo2.txt"),
                    {"203,[invoer],1,5,Getal", "204,[invoer],2,5,Lengte", "205,[toets]", "299,[end]"});
        Open(2, 2);
        Type("12a");
        QCOMPARE(kav::RecordedMessages(), QStringList{"Foutieve invoer !\rGeef een geheel getal in !"});
        QVERIFY(Help()->InvoerPanel2->isVisible());
        Type("7");
        QCOMPARE(Help()->InvoerLabel2->text(), QStringLiteral("Lengte:"));
        QVERIFY(Help()->InvoerPanel2->isVisible());
        kav::ClearRecordedMessages();
        Type("2,5,1");
        QCOMPARE(kav::RecordedMessages(),
                 QStringList{"Foutieve invoer !\rGeef een getal in !\rGebruik eventueel de komma als decimaal "
                             "scheidingsteken !"});
        QVERIFY(Help()->InvoerVeld2->hasFocus());
        // With the separator "," a point is taken for it and shown as a comma.
        Type("2.5");
        QCOMPARE(Help()->InvoerVeld2->text(), QStringLiteral("2,5"));
        QCOMPARE(Session().GivenDecimal, 2.5);
        QCOMPARE(kav::RecordedMessages().size(), 1);
        QVERIFY(Help()->ContinueButton->isVisible());
    }

    void eindeWhileTheEntryIsOpenClosesQuietly()
    {
        WriteScript(QStringLiteral("demo3.txt"), {"302,[invoer],1,5,Aantal", "399,[end]"});
        Open(3, 3);
        Help()->InvoerVeld2->setText(QStringLiteral("abc"));
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!Help()->isVisible());
        QVERIFY(Test()->isVisible());
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    void escapeFromTheEntryLeavesNoStaleHint()
    {
        // Shown again, the window hands the focus back to the (now hidden) field: that must not
        // ask for an entry in the status bar.
        WriteScript(QStringLiteral("demo3.txt"), {"302,[invoer],1,5,Aantal", "399,[end]"});
        Open(3, 3);
        QVERIFY(Help()->InvoerVeld2->hasFocus());
        const QString asked = kav::LongHint(kav::Hint(Help()->InvoerVeld2));
        QCOMPARE(Help()->StatusBalk->caption(), asked);
        QTest::keyClick(Help()->InvoerVeld2, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(!Help()->isVisible());
        Open(2, 2);
        QVERIFY(!Help()->InvoerPanel2->isVisible());
        QVERIFY(Help()->StatusBalk->caption() != asked);
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    void tabToEindeKeepsTheEntry()
    {
        WriteScript(QStringLiteral("demo3.txt"), {"302,[invoer],1,5,Aantal", "303,[toets]", "399,[end]"});
        Open(3, 3);
        QTest::keyClick(Help()->InvoerVeld2, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QVERIFY(Help()->EindButton->hasFocus());
        QVERIFY(Help()->InvoerPanel2->isVisible());
        QVERIFY(kav::RecordedMessages().isEmpty());
        Help()->InvoerVeld2->setFocus(Qt::MouseFocusReason);
        Type("6");
        QCOMPARE(Session().GivenAnswer, 6);
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    // ---- failures and waiting ----------------------------------------------------

    void missingScriptIsNamed()
    {
        QFile::remove(QStringLiteral("demo2.txt"));
        Open(2, 1);
        QCOMPARE(kav::RecordedMessages(), QStringList{"De les demo2.txt is niet gevonden."});
        QVERIFY(Help()->isVisible());
        QVERIFY(Help()->ContinueButton->isHidden());
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(!Help()->isVisible());
    }

    void scriptFaultLeavesTheViewerUsable()
    {
        WriteScript(QStringLiteral("demo1.txt"), {"100,tekst,l,1,Goed,1,Black,,", "101,[box],x,2,3,4,Red,1,R"});
        Open(1, 1);
        QCOMPARE(kav::RecordedMessages(), QStringList{"Fout in regel 101 van demo1.txt:\r'x' is geen geldig getal (veld 3)."});
        QCOMPARE(Texts(Help()->ViewerTextBitmap), QStringList{"Goed"});
        QVERIFY(Help()->isVisible());
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(!Help()->isVisible());
    }

    void eindeDuringAWaitEndsTheRun()
    {
        WriteScript(QStringLiteral("demo1.txt"),
                    {"100,tekst,l,1,Voor,1,Black,,", "101,[wait],2", "102,tekst,l,2,Na,1,Black,,", "103,[toets]", "199,[end]"});
        QTimer::singleShot(50, Help()->EindButton, [] {
            QVERIFY(Help()->ContinueButton->isHidden());
            QVERIFY(Texts(Help()->ViewerTextBitmap).contains("Voor"));
            QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        });
        Open(1, 1);
        QVERIFY(!Help()->isVisible());
        QVERIFY(!Help()->script().running());
        QVERIFY(!Texts(Help()->ViewerTextBitmap).contains("Na"));
        QVERIFY(kav::RecordedMessages().isEmpty());
        // Opened again, it plays from the start.
        Open(1, 1);
        QVERIFY(Texts(Help()->ViewerTextBitmap).contains("Voor"));
        Help()->reject();
    }

    // While the steps are drawn the focus is not on Einde: an Enter meant for the next
    // Doorgaan does not end the lesson, at its start nor after Doorgaan.
    void enterWhileStepsAreDrawnKeepsTheLesson()
    {
        WriteScript(QStringLiteral("demo1.txt"),
                    {"100,tekst,l,1,Voor,1,Black,,", "101,[wait],0.4", "102,tekst,l,2,Na,1,Black,,", "103,[toets]",
                     "104,tekst,l,3,Verder,1,Black,,", "105,[wait],0.4", "106,tekst,l,4,Klaar,1,Black,,", "107,[toets]",
                     "199,[end]"});
        auto pressEnterDuringTheWait = [] {
            QTimer::singleShot(100, Help(), [] {
                QVERIFY(Help()->script().running());
                QWidget* focus = QApplication::focusWidget();
                QVERIFY(focus != Help()->EindButton);
                QTest::keyClick(focus ? focus : static_cast<QWidget*>(Help()), Qt::Key_Return);
            });
        };
        pressEnterDuringTheWait();
        Open(1, 1);
        QTRY_VERIFY(Texts(Help()->ViewerTextBitmap).contains("Na"));
        QVERIFY(Help()->isVisible());
        QTRY_VERIFY(Help()->ContinueButton->hasFocus());
        pressEnterDuringTheWait();
        QTest::keyClick(Help()->ContinueButton, Qt::Key_Return);
        QTRY_VERIFY(Texts(Help()->ViewerTextBitmap).contains("Klaar"));
        QVERIFY(Help()->isVisible());
        Help()->reject();
    }

    // ---- the screen ----------------------------------------------------------------

    void paintsTheCanvasesWhereTheSessionWindowHasThem()
    {
        WriteScript(QStringLiteral("demo3.txt"),
                    {"300,tekst,c,1,Driehoeksgetallen,1.3,Blue,Vet,", "301,tekst,l,3,Een driehoek van 4 rijen:,1,Black,,",
                     "302,[3hoeksgetal],4,4,1,70,Red,True,R", "303,[pijl],80,5,65,12,Green,1.5,R",
                     "304,[box],1,4,10,90,Black/Yellow,1,R", "305,tekst,c,1.8,1 + 2 + 3 + 4 = 10,1,Purple,Vet,R",
                     "306,[delta],l,5,4,1,Blue,,", "307,tekst,p,5,= 10,1,Blue,,", "308,[toets]", "399,[end]"});
        Open(3, 3);
        QVERIFY(kav::RecordedMessages().isEmpty());
        QCOMPARE(Help()->TextBox->geometry(), Test()->Tekst->geometry());
        QCOMPARE(Help()->PictureBox->geometry(), Test()->Plaatje->geometry());
        const QImage screen = Help()->grab().toImage();
        const QPoint p = Help()->PictureBox->pos();
        const kav::Canvas& pic = Help()->ViewerPictureBitmap;
        int same = 0, yellow = 0;
        for (int y = 0; y < pic.height(); y += 3)
            for (int x = 0; x < pic.width(); x += 3) {
                same += screen.pixel(p.x() + x, p.y() + y) == pic.image().pixel(x, y);
                yellow += pic.image().pixel(x, y) == kav::col::Yellow.rgb();
            }
        QVERIFY(yellow > 0);
        QCOMPARE(same, ((pic.width() + 2) / 3) * ((pic.height() + 2) / 3));
        QCOMPARE(At(pic.image(), 0, 0), kav::col::Black);  // the picture's frame
        Shot(Help(), QStringLiteral("viewer-demo"));
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
