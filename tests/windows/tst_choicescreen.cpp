// The session window before START: layout, titles, theme choice, the rule that enables
// START, the level glyph, leaving the window, the help button.
#include <QLabel>
#include <QRadioButton>

#include "draw/numbers.h"
#include "formsfixture.h"

using namespace testsupport;
using kav::Session;

class TestChoiceScreen : public QObject {
    Q_OBJECT
private slots:
    void init() { StartForms(QSize(1024, 768)); }
    void cleanupTestCase() { kav::DestroyForms(); }

    void windowIsLaidOutForTheScreen()
    {
        const QSize sizes[] = {QSize(800, 600), QSize(1024, 768), QSize(1280, 1024), QSize(1366, 768),
                               QSize(1920, 1080), QSize(1024, 740), QSize(640, 480)};
        for (QSize screen : sizes) {
            StartForms(screen);
            auto* t = Test();
            const QString at = QStringLiteral(" at %1x%2").arg(screen.width()).arg(screen.height());
            QCOMPARE(t->size(), screen);
            const int statusTop = t->StatusBalk->y();
            QCOMPARE(statusTop + t->StatusBalk->height(), screen.height());
            // The choice box fills the space right of the text column; the picture keeps the
            // design's shape inside it, as large as fits, centred.
            const QRect space = t->KeuzeBox->geometry();
            QCOMPARE(space.height(), screen.height() - t->StatusBalk->height() - 2 * space.y());
            QCOMPARE(space.x() + space.width(), screen.width() - kav::TextMargin);
            const QRect pic = t->Plaatje->geometry();
            QVERIFY2(space.contains(pic), qPrintable(QStringLiteral("picture outside its space") + at));
            QVERIFY2(pic.width() == space.width() || pic.height() == space.height(), qPrintable(QStringLiteral("picture not as large as fits") + at));
            QVERIFY(qAbs(pic.center().x() - space.center().x()) <= 1 && qAbs(pic.center().y() - space.center().y()) <= 1);
            const double ratio = double(pic.width()) / pic.height();
            QVERIFY2(qAbs(ratio - 403.0 / 404.0) < 0.005, qPrintable(QString::number(ratio) + at));
            // The viewer shows its picture exactly where the session window has it.
            QCOMPARE(Help()->PictureBox->geometry(), pic);
            QCOMPARE(t->Tekst->height(), screen.height() - t->StatusBalk->height());
            QVERIFY(t->NivoBox->y() + t->NivoBox->height() < statusTop);
            QVERIFY(t->NivoBox->y() + t->NivoBox->height() >= statusTop - kav::TextMargin);
            QCOMPARE(t->ScorePanel->y() + t->ScorePanel->height(), statusTop);
            QVERIFY(t->Tekst->geometry().right() < t->Plaatje->x());
            for (QWidget* w : t->findChildren<QWidget*>())
                if (w->parentWidget() == t && !w->isHidden())
                    QVERIFY2(t->rect().contains(w->geometry()), qPrintable(w->objectName() + QStringLiteral(" leaves the screen") + at));
            // The drawing surfaces match their areas; a text line is a 26th of the picture.
            QCOMPARE(t->PictureBitmap.width(), t->Plaatje->width());
            QCOMPARE(t->PictureBitmap.height(), t->Plaatje->height());
            QCOMPARE(t->TextBitmap.height(), t->Tekst->height());
            QCOMPARE(kav::LineHeight, t->PictureBitmap.height() / 26);
            QCOMPARE(kav::PictureWidth, t->PictureBitmap.width());
            // The fitted text font: "Hj" fits a line, one point more would not.
            kav::Canvas c = t->TextBitmap;
            QVERIFY(c.textHeight(QStringLiteral("Hj")) <= kav::LineHeight);
            ++c.font.size;
            QVERIFY(c.textHeight(QStringLiteral("Hj")) > kav::LineHeight || c.font.size > kav::Round(12 * kav::ControlScale(screen)));
            QCOMPARE(kav::CharWidth, t->TextBitmap.textWidth(QStringLiteral("H")));
            const QString problem = LayoutProblem({t->EindButton, t->CalcButton, t->HelpButton});
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            // The level button's picture fits the button.
            const QImage glyph = kav::Glyph(t->NivoButton);
            QVERIFY2(glyph.width() <= t->NivoButton->width() && glyph.height() <= t->NivoButton->height(), qPrintable(at));
        }
    }

    // A square terrace (theme 25) is drawn square at every screen shape: its tiles' outline
    // has the same width/height ratio everywhere.
    void squareTerraceStaysSquare()
    {
        const QSize sizes[] = {QSize(800, 600), QSize(1024, 768), QSize(1280, 1024), QSize(1366, 768), QSize(1920, 1080)};
        QList<double> ratios;
        for (QSize screen : sizes) {
            StartForms(screen);
            QTest::mouseClick(Main()->Button8, Qt::LeftButton);  // triangular numbers, practice
            Tick(5);
            QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
            QCOMPARE(kav::Session().ThemeCode, 25);
            Shot(Test(), QStringLiteral("terrace-%1x%2").arg(screen.width()).arg(screen.height()));
            // The tiles are yellow or blue: the box round them, above the caption lines.
            const QImage img = Test()->PictureBitmap.image();
            QRect box;
            for (int y = 0; y < img.height() * 21 / 26; ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const QColor c = At(img, x, y);
                    if (c == kav::col::Yellow)
                        box |= QRect(x, y, 1, 1);
                }
            QVERIFY(!box.isEmpty());
            ratios.append(double(box.width()) / box.height());
            QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
            QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        }
        for (double r : ratios)
            QVERIFY2(qAbs(r / ratios[1] - 1) < 0.03, qPrintable(QString::number(r) + QStringLiteral(" against ") + QString::number(ratios[1])));
    }

    void practiceNeedsOneTheme()
    {
        QTest::mouseClick(Main()->Button8, Qt::LeftButton);
        for (QCheckBox* c : Test()->CheckBoxes)
            QVERIFY(!c->isChecked());
        QVERIFY(!Test()->StartButton->isEnabled());
        Tick(5);
        QVERIFY(Test()->StartButton->isEnabled());
        QCOMPARE(Session().TickedThemes, 1u << 4);
        QCOMPARE(Session().TickedCount, 1);
        Tick(5, false);
        QVERIFY(!Test()->StartButton->isEnabled());
        QCOMPARE(Test()->KeuzeBox->title(), QStringLiteral(" Oefenen met Driehoeksgetallen « Selectie » "));
        QCOMPARE(kav::Hint(Test()->KeuzeBox), QStringLiteral("|Kies minstens één thema om te oefenen"));
        // The START button sits in the level box's lower right corner.
        auto* t = Test();
        QCOMPARE(t->StartButton->x() + t->StartButton->width(),
                 t->NivoBox->x() + t->NivoBox->width() - kav::TextMargin);
        QCOMPARE(t->StartButton->y() + t->StartButton->height(),
                 t->NivoBox->y() + t->NivoBox->height() - kav::TextMargin / 2);
    }

    void testNeedsThreeThemes()
    {
        QTest::mouseClick(Main()->Button4, Qt::LeftButton);
        QCOMPARE(VisibleCheckBoxes(), 7);
        QVERIFY(Test()->CheckBoxes[7]->isHidden());
        QVERIFY(Test()->CheckBoxes[7]->isChecked());  // ticked with all others, but hidden: not counted
        QCOMPARE(Session().TickedCount, 7);
        QVERIFY(!Test()->StartButton->isEnabled());  // a test starts with a name
        Test()->NaamVeld->setText(QStringLiteral("  "));
        QVERIFY(!Test()->StartButton->isEnabled());
        Test()->NaamVeld->setText(QStringLiteral("Ali"));
        QVERIFY(Test()->StartButton->isEnabled());
        for (int n = 1; n <= 5; ++n)
            Tick(n, false);
        QCOMPARE(Session().TickedCount, 2);
        QVERIFY(!Test()->StartButton->isEnabled());
        Tick(3);
        QVERIFY(Test()->StartButton->isEnabled());
        QCOMPARE(Session().TickedThemes, (1u << 2) | (1u << 5) | (1u << 6));
        QCOMPARE(kav::Hint(Test()->KeuzeBox), QStringLiteral("|Kies minstens drie thema's voor de TEST"));
    }

    void checkBoxesShowTheCatalogue()
    {
        QTest::mouseClick(Main()->Button6, Qt::LeftButton);
        QCOMPARE(Test()->CheckBoxes[0]->text(), QStringLiteral(" Een foutje in een verhoudingstabel"));
        QCOMPARE(Test()->CheckBoxes[6]->text(), QStringLiteral(" Een vogel en zijn schaduw"));
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QTest::mouseClick(Main()->Button7, Qt::LeftButton);
        QCOMPARE(Test()->CheckBoxes[5]->text(), QStringLiteral(" Truc van Gauss voor rijen"));
        QVERIFY(Test()->CheckBoxes[6]->isHidden());
    }

    void demonstrationIsASingleChoice()
    {
        QTest::mouseClick(Main()->Button7, Qt::LeftButton);
        QVERIFY(!Test()->StartButton->isEnabled());
        QVERIFY(Test()->NivoBox->isHidden());
        QVERIFY(Test()->ScorePanel->isHidden());
        Tick(2);
        QVERIFY(Test()->StartButton->isEnabled());
        Tick(4);
        QVERIFY(!Test()->CheckBoxes[1]->isChecked());
        QVERIFY(Test()->CheckBoxes[3]->isChecked());
        QCOMPARE(Session().TickedThemes, 1u << 3);
        QVERIFY(Test()->StartButton->isEnabled());
        Tick(4, false);
        QVERIFY(!Test()->StartButton->isEnabled());
        // The text of the choice screen, in its colours.
        const auto& log = Test()->TextBitmap.textLog();
        QCOMPARE(log.value(0).text, QStringLiteral("Kies één onderwerp voor"));
        QCOMPARE(log.value(0).color, kav::col::Blue);
        QCOMPARE(log.value(0).y, kav::LineHeight);
        QCOMPARE(log.value(1).text, QStringLiteral("de uitleg of de demonstratie."));
    }

    void startInTheDemonstrationOpensTheViewer()
    {
        QTest::mouseClick(Main()->Button7, Qt::LeftButton);
        Tick(3);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QCOMPARE(Session().ThemeCode, 3);
        QVERIFY(Help()->isVisible());
        QVERIFY(!Test()->isVisible());
        QCOMPARE(Help()->scriptNumber(), 4);
        QCOMPARE(Help()->scriptStep(), 3);
        QCOMPARE(Help()->scriptFileName(), QStringLiteral("demo4.txt"));
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(Test()->isVisible());
        QVERIFY(!Session().SessionRunning);  // back on the choice screen
        QVERIFY(Test()->KeuzeBox->isVisible());
    }

    void mixedChallengeHasNoChoice()
    {
        QTest::mouseClick(Main()->AllesButton, Qt::LeftButton);
        for (QCheckBox* c : Test()->CheckBoxes) {
            QCOMPARE(c->text(), QStringLiteral(" Alles door elkaar !"));
            QVERIFY(!c->isHidden());
            QVERIFY(!c->isEnabled());
        }
        Test()->NaamVeld->setText(QStringLiteral("Ali"));
        QVERIFY(Test()->StartButton->isEnabled());
        QCOMPARE(Test()->Level(), 3);
        QCOMPARE(Test()->NivoBox->itemIndex(), 2);
        QVERIFY(Test()->NivoBox->isHidden());
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 000"));
        QCOMPARE(kav::Hint(Test()->KeuzeBox), QStringLiteral("|Je hebt geen keus: ALLES!"));
        QCOMPARE(Test()->StatusBalk->caption(), QStringLiteral("Druk op START om te beginnen"));
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        QVERIFY(Test()->NivoBox->isHidden());  // the level button does nothing here
        // "Jij hebt lef !" in red bold under the winner's picture, START centred.
        bool found = false;
        for (const auto& e : Test()->TextBitmap.textLog())
            if (e.text == QStringLiteral("Jij hebt lef !")) {
                found = true;
                QCOMPARE(e.color, kav::col::Red);
                QVERIFY(e.bold);
            }
        QVERIFY(found);
        const QImage glyph = kav::Glyph(Main()->AllesButton);
        QVERIFY(CountColour(Test()->TextBitmap.image(), kav::col::BtnFace) <
                Test()->TextBitmap.width() * Test()->TextBitmap.height() - glyph.width() * glyph.height());
        QCOMPARE(Test()->StartButton->x(),
                 (Test()->Tekst->width() - Test()->StartButton->width() - kav::TextMargin) / 2);
    }

    void levelGlyphFollowsTheLevel()
    {
        QTest::mouseClick(Main()->Button3, Qt::LeftButton);
        QCOMPARE(Test()->Level(), 1);
        QCOMPARE(kav::Tag(Test()->NivoButton), 0);
        const QImage starter = kav::Glyph(Test()->NivoButton);
        const int w = kav::Round(60 * Test()->NivoButton->width() / 66.0);
        QCOMPARE(starter.size(), QSize(w, kav::Round(0.7 * w)));
        QTest::mouseClick(Test()->NivoBox->buttons[2], Qt::LeftButton);
        QCOMPARE(Test()->Level(), 3);
        QCOMPARE(kav::Tag(Test()->NivoButton), 2);
        const QImage prof = kav::Glyph(Test()->NivoButton);
        QVERIFY(prof != starter);
        QVERIFY(CountColour(prof, kav::col::Purple) > 0);
        // Leaving the window and coming back starts at "Starter" again.
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QTest::mouseClick(Main()->Button3, Qt::LeftButton);
        QCOMPARE(Test()->Level(), 1);
        QCOMPARE(kav::Glyph(Test()->NivoButton), starter);
    }

    void levelButtonShowsTheLevelBox()
    {
        QTest::mouseClick(Main()->Button9, Qt::LeftButton);
        Test()->NivoBox->hide();
        Test()->ContinueButton->show();
        Test()->InvoerPanel->show();
        QTest::mouseClick(Test()->NivoButton, Qt::LeftButton);
        QVERIFY(Test()->NivoBox->isVisible());
        QVERIFY(Test()->StartButton->isVisible());
        QVERIFY(Test()->ContinueButton->isHidden());
        QVERIFY(Test()->InvoerPanel->isHidden());
        QVERIFY(Test()->GebruikPanel->isHidden());
    }

    void eindeStopsARunningSessionFirst()
    {
        QTest::mouseClick(Main()->Button8, Qt::LeftButton);
        Tick(1);
        Session().SessionRunning = true;
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(Test()->isVisible());  // back to the choice screen, not the main menu
        QVERIFY(!Session().SessionRunning);
        QVERIFY(Test()->KeuzeBox->isVisible());
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
        QVERIFY(!Test()->isVisible());
        QVERIFY(Main()->isVisible());
    }

    void closingTheWindowEndsTheSession()
    {
        QTest::mouseClick(Main()->Button9, Qt::LeftButton);
        Session().SessionRunning = true;
        kav::SetRecordedAnswer(true);  // "Wil je stoppen met deze sessie?" Ja
        Test()->close();
        QCOMPARE(kav::RecordedMessages(), QStringList{QStringLiteral("Wil je stoppen met deze sessie?")});
        QVERIFY(!Session().SessionRunning);
        QVERIFY(Main()->isVisible());
        QTest::mouseClick(Main()->Button9, Qt::LeftButton);
        QTest::keyClick(Test(), Qt::Key_Escape);
        QVERIFY(!Test()->isVisible());
        QVERIFY(Main()->isVisible());
    }

    void escapeFromTheAnswerFieldLeavesNoStaleCaption()
    {
        // Escape while the answer field has the focus; on the next session the window gives the
        // focus back to that (now hidden) field, which must not count as entering it.
        QTest::mouseClick(Main()->Button4, Qt::LeftButton);
        const QString title = Test()->windowTitle();
        Test()->NaamVeld->setText(QStringLiteral("Ali"));
        kav::SetRecordedAnswer(true);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Test()->InvoerVeld->isVisible());
        QApplication::setActiveWindow(Test());
        Test()->InvoerVeld->setFocus();
        QVERIFY(Test()->windowTitle().contains(QStringLiteral("Poging: 1")));
        QTest::keyClick(Test()->InvoerVeld, Qt::Key_Escape);
        QVERIFY(!Test()->isVisible());
        QTest::mouseClick(Main()->Button4, Qt::LeftButton);
        QVERIFY(Test()->KeuzeBox->isVisible());
        QCOMPARE(Test()->windowTitle(), title);
        QVERIFY(Test()->NaamVeld->text().isEmpty());  // a shared computer: the name is asked again
        Test()->NaamVeld->setText(QStringLiteral("Ali"));
        QApplication::setActiveWindow(Test());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Session().ThemeCode >= 1 && Session().ThemeCode <= 7);
        QVERIFY(Test()->windowTitle().endsWith(QStringLiteral("(Item: %1  Poging: 1)").arg(Session().ThemeCode)));
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
    }

    void helpButtonChoosesScriptAndStep_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("themeCode");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("step");
        QTest::newRow("relations, choice screen") << "Button3" << false << 0 << 1 << 0;
        QTest::newRow("relations practice, theme 4") << "Button3" << true << 4 << 1 << 4;
        QTest::newRow("ratios practice, theme 17") << "Button5" << true << 17 << 2 << 7;
        QTest::newRow("triangular practice, theme 28") << "Button8" << true << 28 << 3 << 8;
        QTest::newRow("theme code ending in 0") << "Button8" << true << 30 << 3 << 10;
        QTest::newRow("demonstration topic 5") << "Button7" << true << 5 << 4 << 5;
        QTest::newRow("mixed challenge") << "AllesButton" << false << 0 << 5 << 1;
        QTest::newRow("bookkeeper") << "Button1" << false << 0 << 5 << 2;
    }

    void helpButtonChoosesScriptAndStep()
    {
        QFETCH(QString, button);
        QFETCH(bool, running);
        QFETCH(int, themeCode);
        QFETCH(int, number);
        QFETCH(int, step);
        QTest::mouseClick(Main()->findChild<QPushButton*>(button), Qt::LeftButton);
        Session().SessionRunning = running;
        Session().ThemeCode = themeCode;
        Test()->HelpButton->show();
        QTest::mouseClick(Test()->HelpButton, Qt::LeftButton);
        QVERIFY(Help()->isVisible());
        QVERIFY(!Test()->isVisible());
        QCOMPARE(Help()->scriptNumber(), number);
        QCOMPARE(Help()->scriptStep(), step);
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(Test()->isVisible());
    }

    void helpInARunningTestKeepsTheStep()
    {
        QTest::mouseClick(Main()->Button9, Qt::LeftButton);
        Help()->setScriptStep(6);
        Session().SessionRunning = true;
        Session().ThemeCode = 23;
        Test()->HelpButton->show();
        QTest::mouseClick(Test()->HelpButton, Qt::LeftButton);
        QCOMPARE(Help()->scriptStep(), 6);
        // Back from the viewer during a running item: the focus returns to Doorgaan.
        Test()->ContinueButton->show();
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(Session().SessionRunning);
        QVERIFY(Test()->ContinueButton->isVisible());
    }

    void continueButtonHint()
    {
        QTest::mouseClick(Main()->Button3, Qt::LeftButton);
        Test()->ContinueButton->show();
        Test()->ContinueButtonEnter();
        QCOMPARE(kav::Hint(Test()->ContinueButton), QStringLiteral("|Druk op  'Doorgaan'  of  'Einde'"));
        QCOMPARE(Test()->windowHint(), QStringLiteral("|Druk op  'Doorgaan'  of  'Einde'"));
        // The pointer on Einde and off it again: the status bar follows.
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QApplication::sendEvent(Test()->EindButton, &enter);
        QCOMPARE(Test()->StatusBalk->caption(), QStringLiteral("Terug naar het keuzescherm of het hoofdmenu"));
        QApplication::sendEvent(Test()->EindButton, &leave);
        QCOMPARE(Test()->StatusBalk->caption(), QStringLiteral("Druk op  'Doorgaan'  of  'Einde'"));
    }
};

QTEST_MAIN(TestChoiceScreen)
#include "tst_choicescreen.moc"
