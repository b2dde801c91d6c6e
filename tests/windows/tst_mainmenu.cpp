// The main menu: scaling to the screen, its layout, and every button's way into a session.
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>

#include "draw/numbers.h"
#include "formsfixture.h"

using namespace testsupport;
using kav::Session;

class TestMainMenu : public QObject {
    Q_OBJECT
private slots:
    void init() { StartForms(QSize(1024, 740)); }
    void cleanupTestCase() { kav::DestroyForms(); }

    void scalesToTheUsableScreen()
    {
        QCOMPARE(kav::ScreenScale, 1.6);
        QCOMPARE(kav::TextMargin, 13);
        QCOMPARE(Main()->size(), QSize(1024, 740));
        QCOMPARE(Main()->windowTitle(), QStringLiteral("Kavrin 2: V1.1"));
        QCOMPARE(Main()->VersieLabel->text(), QStringLiteral("V1.1"));
        QCOMPARE(Main()->DatumLabel->text(), QStringLiteral("augustus 2003"));
        // Controls grow by the smaller ratio: 740 / 480 is smaller than 1024 / 640.
        QCOMPARE(Main()->LogoPanel->width(), kav::Round(200 * 740.0 / 480));
    }

    // The main menu starts alone: the other windows are made when they are first needed, and a
    // message before then still has the session window's text size.
    void otherWindowsAreMadeWhenNeeded()
    {
        QVERIFY(!kav::AppForms().Test && !kav::AppForms().Help && !kav::AppForms().Scrn);
        QTest::mouseClick(Main()->Button8, Qt::LeftButton);
        QVERIFY(kav::AppForms().Test && kav::AppForms().Test->isVisible());
        QVERIFY(!kav::AppForms().Help);
        StartForms(QSize(1366, 768));
        kav::MakeMessageBox(QStringLiteral("Let op"), kav::MessageKind::Information);
        QVERIFY(kav::AppForms().Test && !kav::AppForms().Test->isVisible());
        QVERIFY(kav::BaseFontSize > 10);
    }

    void widthRatioSmallerStillScalesByWidth()
    {
        StartForms(QSize(1366, 768));
        QCOMPARE(kav::ScreenScale, 1366 / 640.0);
        QCOMPARE(kav::TextMargin, 17);
        QCOMPARE(Main()->LogoPanel->width(), 320);  // 200 * 768 / 480
    }

    void groupsAreLaidOutBetweenLogoAndStatusBar()
    {
        for (QSize screen : {QSize(1024, 740), QSize(1024, 768), QSize(1366, 768), QSize(640, 480), QSize(800, 600)}) {
            StartForms(screen);
            auto* m = Main();
            const QString problem = LayoutProblem({m->LogoPanel, m->ProgInfoPanel, m->GroupBox1, m->GroupBox2,
                                                   m->GroupBox3, m->GroupBox4, m->GroupBox5, m->StatusBalk});
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            const int logoBottom = m->LogoPanel->geometry().bottom() + 1;
            QCOMPARE(m->GroupBox1->height(), m->StatusBalk->y() - logoBottom - 2 * m->LogoPanel->y());
            QCOMPARE(m->GroupBox5->geometry().top(), m->GroupBox1->geometry().top());
            QCOMPARE(m->GroupBox5->x() + m->GroupBox5->width(), screen.width() - kav::TextMargin);
            QCOMPARE(m->GroupBox4->y() + m->GroupBox4->height(), m->GroupBox1->y() + m->GroupBox1->height());
            QCOMPARE(m->GroupBox2->x(), m->GroupBox3->x());
            // The topics' titles, in the bold font of the buttons below them at the screen's size.
            QCOMPARE(m->GroupBox2->title(), QStringLiteral("  Verbanden  "));
            QCOMPARE(m->GroupBox3->title(), QStringLiteral("  Verhoudingen  "));
            QCOMPARE(m->GroupBox4->title(), QStringLiteral("  Driehoeksgetallen  "));
            QCOMPARE(m->GroupBox4->font(), m->Button7->font());
            QVERIFY(m->GroupBox4->font().bold() && !m->GroupBox4->font().italic());
            QCOMPARE(m->StatusBalk->font().italic(), true);
            // The game buttons line up with the rows of the topics beside them.
            QCOMPARE(m->Button2->mapTo(m, QPoint(0, m->Button2->height())).y(),
                     m->Button7->mapTo(m, QPoint(0, m->Button7->height())).y());
            QCOMPARE(m->Button1->mapTo(m, QPoint(0, m->Button1->height())).y(),
                     m->Button5->mapTo(m, QPoint(0, m->Button5->height())).y());
            QCOMPARE(m->HelpButton->x() + m->HelpButton->width(), screen.width() - kav::TextMargin);
            for (QPushButton* b : m->findChildren<QPushButton*>())
                QVERIFY2(b->parentWidget()->rect().contains(b->geometry()), qPrintable(b->objectName()));
        }
    }

    void windowsLeaveRoomForTheirFrame()
    {
        // On a real desktop the frame is learnt once the window manager has framed the menu.
        kav::SetScreenOverride(QSize());
        kav::LearnFrameMargins(QMargins(1, 20, 1, 1));
        QWidget plain;
        QCOMPARE(kav::ClientSizeFor(&plain, QSize(1024, 768)), QSize(1022, 747));
        kav::LearnFrameMargins(QMargins());
        QCOMPARE(kav::ClientSizeFor(&plain, QSize(1024, 768)), QSize(1024, 768));
        // A size given on the command line is the client size itself.
        kav::SetScreenOverride(QSize(800, 600));
        kav::LearnFrameMargins(QMargins(1, 20, 1, 1));
        QCOMPARE(kav::ClientSizeFor(&plain, QSize(800, 600)), QSize(800, 600));
        kav::LearnFrameMargins(QMargins());
    }

    void picturesAreOnTheButtons()
    {
        QCOMPARE(kav::Glyph(Main()->AllesButton).size(), QSize(80, 91));  // 50 x 57 at scale 1.6
        QCOMPARE(kav::Glyph(Main()->HelpButton).size(), QSize(138, 50));  // 86 x 31
        QVERIFY(!Main()->HelpButton->icon().isNull());
        // The logo carries the maker's name: dark text on the light band at its bottom.
        const QImage logo = Main()->logoImage();
        QCOMPARE(logo.size(), Main()->LogoPanel->size());
        QVERIFY(CountColour(logo.copy(0, logo.height() * 2 / 3, logo.width(), logo.height() / 3), kav::col::Navy) > 100);
        Shot(Main(), QStringLiteral("mainmenu"));
    }

    void hintsGoToTheStatusBar()
    {
        QCOMPARE(Main()->Button3->toolTip(), QStringLiteral("Oefenen"));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(Main()->Button3, &enter);
        QCOMPARE(Main()->StatusBalk->caption(), QStringLiteral("Oefenen met Verbanden"));
        QApplication::sendEvent(Main()->GroupBox3, &enter);  // no hint of its own: the window's
        QCOMPARE(Main()->StatusBalk->caption(), QStringLiteral("Maak een keuze"));
    }

    void buttonsOpenTheirSessions_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("practice");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("boxes");
        QTest::newRow("relations practice") << "Button3" << 0 << true << false << "Kavrin 2:  Oefenen met Verbanden" << 7;
        QTest::newRow("relations test") << "Button4" << 0 << false << false << "Kavrin 2:  Verbanden - Test" << 7;
        QTest::newRow("ratios practice") << "Button5" << 10 << true << false << "Kavrin 2:  Oefenen met Verhoudingen" << 7;
        QTest::newRow("ratios test") << "Button6" << 10 << false << false << "Kavrin 2:  Verhoudingen - Test" << 7;
        QTest::newRow("demo") << "Button7" << 30 << false << true
                              << "Kavrin 2:  Demonstratie en uitleg driehoeksgetallen " << 6;
        QTest::newRow("triangular practice") << "Button8" << 20 << true << false
                                             << "Kavrin 2:  Oefenen met Driehoeksgetallen" << 8;
        QTest::newRow("triangular test") << "Button9" << 20 << false << false << "Kavrin 2:  Driehoeksgetallen - Test"
                                         << 8;
        QTest::newRow("mixed challenge") << "AllesButton" << -10 << false << false << "Kavrin 2:  GROTE UITDAGING "
                                         << 8;
    }

    void buttonsOpenTheirSessions()
    {
        QFETCH(QString, button);
        QFETCH(int, mode);
        QFETCH(bool, practice);
        QFETCH(bool, demo);
        QFETCH(QString, title);
        QFETCH(int, boxes);
        auto* b = Main()->findChild<QPushButton*>(button);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(Test()->isVisible());
        QVERIFY(!Main()->isVisible());
        QCOMPARE(Session().SessionMode, mode);
        QCOMPARE(Session().PracticeMode, practice);
        QCOMPARE(Session().DemoMode, demo);
        QVERIFY(!Session().BookkeeperMode && !Session().SaldoMode && !Session().SessionRunning);
        QCOMPARE(Test()->windowTitle(), title);
        QCOMPARE(VisibleCheckBoxes(), boxes);
        Shot(Test(), QStringLiteral("choice-") + button);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(!Test()->isVisible());
        QVERIFY(Main()->isVisible());
    }

    void gameButtonsSetTheirModesAndEindeLeaves()
    {
        QTest::mouseClick(Main()->Button1, Qt::LeftButton);
        QVERIFY(Session().BookkeeperMode);
        QCOMPARE(Session().SessionMode, 40);
        QVERIFY(Test()->isVisible());
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(Main()->isVisible());
        QCOMPARE(kav::Tag(Main()->Button2), 0);

        QTest::mouseClick(Main()->Button2, Qt::LeftButton);
        QVERIFY(Session().SaldoMode);
        QCOMPARE(Session().SessionMode, 0);  // set to 0 when the session window was made
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(Main()->isVisible());
        QCOMPARE(kav::Tag(Main()->Button2), 1);  // left with Einde while no session ran
        QTest::mouseClick(Main()->Button2, Qt::LeftButton);
        QCOMPARE(Session().SessionMode, 1);
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
    }

    void activationResetsTheThemeCode()
    {
        Session().ThemeCode = 7;
        Main()->hide();
        Main()->show();
        QCOMPARE(Session().ThemeCode, -1);
    }

    void helpButtonOpensTheViewerOnTheIntroduction()
    {
        QTest::mouseClick(Main()->HelpButton, Qt::LeftButton);
        QVERIFY(Help()->isVisible());
        QVERIFY(!Main()->isVisible());
        QCOMPARE(Help()->windowTitle(), QStringLiteral("Kavrin deel 2: Aanvullende informatie"));
        QCOMPARE(Help()->scriptNumber(), 0);
        QCOMPARE(Help()->scriptStep(), 0);
        QCOMPARE(Help()->scriptFileName(), QStringLiteral("demo0.txt"));
        QVERIFY(Help()->IntroOnly);
        QCOMPARE(Help()->FromMainMenu, -1);
        QVERIFY(Help()->HelpPanel->isHidden());
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(!Help()->isVisible());
        QVERIFY(Main()->isVisible());
        QCOMPARE(Help()->FromMainMenu, 0);
        QVERIFY(!Help()->IntroOnly);
    }

    void infoPanelOpensTheAboutPanel()
    {
        QTest::mouseClick(Main()->ProgNaamLabel, Qt::LeftButton);
        QVERIFY(Help()->isVisible());
        QCOMPARE(Help()->scriptNumber(), -1);
        QVERIFY(!Help()->HelpPanel->isHidden());
        const QStringList lines = Help()->ProgMemo->toPlainText().split(u'\n');
        QCOMPARE(lines.value(4), QStringLiteral("Zolbix   Versie: V1.1"));
        QCOMPARE(lines.value(5), QStringLiteral("augustus 2003"));
        QVERIFY(Help()->InfoMemo->toPlainText().contains(QStringLiteral("Orvelaan")));
        Shot(Help(), QStringLiteral("about"));
        // Closing by the window's own button brings the main menu back too.
        Help()->reject();
        QVERIFY(Main()->isVisible());
        QVERIFY(Help()->HelpPanel->isHidden());
    }

    void missingPictureLibraryStopsTheProgram()
    {
        kav::DestroyForms();
        // Good libraries in the working folder do not stand in for the program's own.
        QTemporaryDir empty, working;
        for (const char* name : {"reskav2.rcc", "boekhoud.rcc"})
            QVERIFY(QFile::copy(QStringLiteral(KAVRIN_BUILD_DIR "/") + QLatin1String(name),
                                working.filePath(QLatin1String(name))));
        kav::SetDataFolders({empty.path()});
        const QString here = QDir::currentPath();
        QDir::setCurrent(working.path());
        kav::StartRecordingMessages();
        const bool created = kav::CreateForms();
        QDir::setCurrent(here);
        UseBuildPictures();
        QVERIFY(!created);
        const QStringList msgs = kav::RecordedMessages();
        QCOMPARE(msgs.size(), 1);
        QVERIFY(msgs[0].startsWith(QStringLiteral("ERROR bij lezen van DLL\r")));
        QVERIFY(msgs[0].contains(QStringLiteral("reskav2.rcc\r")));
        QVERIFY(msgs[0].endsWith(QStringLiteral("\rNeem contact op met \"Orvelaan\"")));
    }

    void programExitsWithStatusOneWithoutItsLibraries()
    {
        QTemporaryDir dir;
        const QString exe = dir.filePath(QStringLiteral("kavrin2"));
        QVERIFY(QFile::copy(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), exe));
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(exe, {QStringLiteral("--screen"), QStringLiteral("800x600")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("ERROR bij lezen van DLL\n") + dir.filePath(QStringLiteral("reskav2.rcc"))),
                 qPrintable(err));

        // With only the first library, the second one is named.
        QVERIFY(QFile::copy(QStringLiteral(KAVRIN_BUILD_DIR "/reskav2.rcc"), dir.filePath(QStringLiteral("reskav2.rcc"))));
        p.start(exe, {});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QStringLiteral("boekhoud.rcc")));
    }

    void badCommandLineIsRefused()
    {
        QCOMPARE(kav::ParseCommandLine({"kavrin2", "--screen", "1024x768"}).screen, QSize(1024, 768));
        QCOMPARE(kav::ParseCommandLine({"kavrin2", "--seed", "42"}).seed.value(), 42u);
        QVERIFY(!kav::ParseCommandLine({"kavrin2", "--screen", "groot"}).error.isEmpty());
        QVERIFY(!kav::ParseCommandLine({"kavrin2", "--screen"}).error.isEmpty());
        QVERIFY(!kav::ParseCommandLine({"kavrin2", "--seed", "-3"}).error.isEmpty());
        QVERIFY(!kav::ParseCommandLine({"kavrin2", "--kleur"}).error.isEmpty());
        // The window options also go with the item dump, whose options need --items.
        const kav::CommandLine dump =
            kav::ParseCommandLine({"kavrin2", "--items", "21-23,25", "--level", "3", "--count", "4", "--seed", "7", "--practice", "--screen", "800x600"});
        QVERIFY2(dump.error.isEmpty(), qPrintable(dump.error));
        QVERIFY(dump.action == kav::CommandLine::Action::ItemDump);
        QCOMPARE(dump.dump.codes, (QList<int>{21, 22, 23, 25}));
        QCOMPARE(dump.dump.level, 3);
        QCOMPARE(dump.dump.count, 4);
        QVERIFY(dump.dump.seedGiven && dump.dump.seed == 7u && dump.dump.practice);
        QCOMPARE(dump.screen, QSize(800, 600));
        QCOMPARE(kav::ParseCommandLine({"kavrin2", "--count", "3"}).error, QStringLiteral("--count hoort bij --items"));
        QCOMPARE(kav::ParseCommandLine({"kavrin2", "--items", "21-20"}).error,
                 QStringLiteral("--items verwacht themanummers, bijvoorbeeld 21,22 of 21-28"));
        QVERIFY(kav::ParseCommandLine({"kavrin2", "--help", "--kleur"}).error.startsWith(QStringLiteral("onbekende optie")));
    }
};

QTEST_MAIN(TestMainMenu)
#include "tst_mainmenu.moc"
