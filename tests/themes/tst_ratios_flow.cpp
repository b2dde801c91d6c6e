// The ratio themes 15 to 17 through the session window: practice cycles through them, every
// item ends with its picture shown and the answer field open under the question, the
// caption and the unit where they belong, and two wrong answers bring the explanation.
#include <QLabel>
#include <QLineEdit>

#include "draw/numbers.h"
#include "formsfixture.h"
#include "session/engine.h"

using namespace testsupport;
using kav::Session;

namespace {

bool Written(const QString& text)
{
    return Logged(Test()->TextBitmap, text) != nullptr;
}

// Types a number and presses Enter, or presses Doorgaan.
void Answer(int value)
{
    TypeInto(Test()->InvoerVeld, QString::number(value));
}

void Next()
{
    QVERIFY(Test()->ContinueButton->isVisible());
    QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
}

// Practice (or a test) of the ratio topic with the boxes of themes 15 to 17 ticked, at a level.
void StartRatios(bool practice, int levelIndex)
{
    QTest::mouseClick(practice ? Main()->Button5 : Main()->Button6, Qt::LeftButton);
    Test()->activateWindow();
    QApplication::setActiveWindow(Test());
    for (int n = 1; n <= 8; ++n)
        Tick(n, n >= 5 && n <= 7);
    Test()->NivoBox->buttons[levelIndex]->click();
    QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
}

// The answer field open at the item's text line, with its caption, "?" and the focus.
void CheckAnswerOpen(const QString& caption)
{
    kav::TTestForm* t = Test();
    QVERIFY(t->InvoerPanel->isVisible() && t->InvoerVeld->isEnabled() && t->InvoerVeld->hasFocus());
    QCOMPARE(t->InvoerVeld->text(), QStringLiteral("?"));
    QCOMPARE(t->InvoerLabel->text(), caption);
    QCOMPARE(t->InvoerPanel->y(), t->Tekst->y() + kav::Round(Session().TextLine * kav::LineHeight));
    QVERIFY(t->GebruikPanel->isVisible());
}

}  // namespace

class TestRatiosFlow : public QObject {
    Q_OBJECT
private slots:
    void init() { StartForms(QSize(1024, 768)); }
    void cleanupTestCase() { kav::DestroyForms(); }

    void practiceWithExplanations()
    {
        StartRatios(true, 2);
        const QStringList captions{"Prijsverschil: ", "Aantal liter: ", "Afstand: "};
        for (int k = 0; k < 6; ++k) {
            const int code = 15 + k % 3;
            QCOMPARE(Session().ThemeCode, code);
            QVERIFY(Test()->CalcButton->isVisible());
            // The picture is drawn, not just framed.
            const QImage pic = Test()->PictureBitmap.image();
            QVERIFY(CountColour(pic, kav::col::BtnFace) < pic.width() * pic.height() * 95 / 100);
            const bool kilometres = code == 16 && Session().ThemeMemory[16] == 1;
            CheckAnswerOpen(kilometres ? QStringLiteral("Aantal km: ") : captions[k % 3]);
            const int expected = Session().ExpectedAnswer;
            const QString unit = Session().AnswerSuffix;
            Answer(expected + 1);
            QVERIFY(Written(QStringLiteral("Jammer! Tweede poging!")));
            Next();
            QCOMPARE(Session().Attempt, 2);
            QCOMPARE(Test()->PictureBitmap.image(), pic);
            QVERIFY(Test()->InvoerPanel->isVisible() && Test()->InvoerVeld->hasFocus());
            Answer(expected + 1);
            QVERIFY(Written(QString::number(expected) + unit) && Written(QStringLiteral("Toelichting:")));
            Shot(Test(), QStringLiteral("ratios-flow-%1").arg(k));
            Next();
        }
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 006"));
    }

    // A test shows no explanation, and a right answer scores.
    void testWithoutExplanations()
    {
        StartRatios(false, 0);
        for (int k = 0; k < 6; ++k) {
            QVERIFY(Session().ThemeCode >= 15 && Session().ThemeCode <= 17);
            const int expected = Session().ExpectedAnswer;
            Answer(expected + 1);
            Next();
            Answer(expected + 1);
            QVERIFY(!Written(QStringLiteral("Toelichting:")));
            Next();
            Answer(Session().ExpectedAnswer);
            QVERIFY(Written(QStringLiteral("2 punten erbij.")));
            Next();
        }
    }
};

QTEST_MAIN(TestRatiosFlow)
#include "tst_ratios_flow.moc"
