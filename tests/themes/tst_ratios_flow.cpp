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

QStringList Texts()
{
    QStringList l;
    for (const auto& e : Test()->TextBitmap.textLog())
        l << e.text;
    return l;
}

void Answer(int value)
{
    TypeInto(Test()->InvoerVeld, QString::number(value));
}

void Doorgaan()
{
    QVERIFY(Test()->ContinueButton->isVisible());
    QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
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
    void init()
    {
        StartForms(QSize(1024, 768));
        Test()->activateWindow();
        QApplication::setActiveWindow(Test());
    }
    void cleanupTestCase() { kav::DestroyForms(); }

    void practiceWithExplanations()
    {
        QTest::mouseClick(Main()->Button5, Qt::LeftButton);
        for (int n = 1; n <= 8; ++n)
            Tick(n, n >= 5 && n <= 7);
        Test()->NivoBox->buttons[2]->click();
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
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
            QVERIFY(Texts().contains(QStringLiteral("Jammer! Tweede poging!")));
            Doorgaan();
            QCOMPARE(Session().Attempt, 2);
            QCOMPARE(Test()->PictureBitmap.image(), pic);
            QVERIFY(Test()->InvoerPanel->isVisible() && Test()->InvoerVeld->hasFocus());
            Answer(expected + 1);
            const QStringList t = Texts();
            QVERIFY(t.contains(QString::number(expected) + unit) && t.contains(QStringLiteral("Toelichting:")));
            Shot(Test(), QStringLiteral("ratios-flow-%1").arg(k));
            Doorgaan();
        }
        QCOMPARE(Test()->ScoreLabel->text(), QStringLiteral("000 uit 006"));
    }

    // A test shows no explanation, and a right answer scores.
    void testWithoutExplanations()
    {
        QTest::mouseClick(Main()->Button6, Qt::LeftButton);
        for (int n = 1; n <= 8; ++n)
            Tick(n, n >= 5 && n <= 7);
        Test()->NivoBox->buttons[0]->click();
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        for (int k = 0; k < 6; ++k) {
            QVERIFY(Session().ThemeCode >= 15 && Session().ThemeCode <= 17);
            const int expected = Session().ExpectedAnswer;
            Answer(expected + 1);
            Doorgaan();
            Answer(expected + 1);
            QVERIFY(!Texts().contains(QStringLiteral("Toelichting:")));
            Doorgaan();
            Answer(Session().ExpectedAnswer);
            QVERIFY(Texts().contains(QStringLiteral("2 punten erbij.")));
            Doorgaan();
        }
    }
};

QTEST_MAIN(TestRatiosFlow)
#include "tst_ratios_flow.moc"
