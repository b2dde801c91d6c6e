// The ratio themes 15 to 17 through the session window: practice cycles through them, every
// item ends with its picture drawn and the answer field open under the question, a second
// wrong answer brings the correct answer with its unit and the explanation; a test has none.
#include <QLabel>
#include <QLineEdit>

#include "draw/numbers.h"
#include "formsfixture.h"

using namespace testsupport;
using kav::Session;

namespace {

bool Written(const QString& text)
{
    return Logged(Test()->TextBitmap, text) != nullptr;
}

}  // namespace

class TestRatiosFlow : public QObject {
    Q_OBJECT
private slots:
    void init() { StartForms(QSize(1024, 768)); }
    void cleanupTestCase() { kav::DestroyForms(); }

    void practice() { Run(true); }
    void test() { Run(false); }

private:
    // Six items of practice or a test at "Prof !" with the boxes of themes 15 to 17 ticked.
    void Run(bool practice)
    {
        QTest::mouseClick(practice ? Main()->Button5 : Main()->Button6, Qt::LeftButton);
        Test()->activateWindow();
        QApplication::setActiveWindow(Test());
        for (int n = 1; n <= 8; ++n)
            Tick(n, n >= 5 && n <= 7);
        Test()->NivoBox->buttons[2]->click();
        Test()->NaamVeld->setText(QStringLiteral("Noor"));  // a test starts with a name
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        for (int k = 0; k < 6; ++k) {
            const int code = Session().ThemeCode;
            QVERIFY(practice ? code == 15 + k % 3 : code >= 15 && code <= 17);
            const QImage pic = Test()->PictureBitmap.image();
            QVERIFY(CountColour(pic, kav::col::BtnFace) < pic.width() * pic.height() * 95 / 100);
            for (int attempt = 1; attempt <= 2; ++attempt) {
                kav::TTestForm* t = Test();
                const bool km = code == 16 && Session().ThemeMemory[16] == 1;
                const QStringList captions{"Prijsverschil: ", km ? "Aantal km: " : "Aantal liter: ", "Afstand: "};
                QVERIFY(t->InvoerPanel->isVisible() && t->InvoerVeld->hasFocus() && t->InvoerVeld->text() == "?");
                QVERIFY(t->InvoerLabel->text() == captions[code - 15] && t->GebruikPanel->isVisible());
                QCOMPARE(t->InvoerPanel->y(), t->Tekst->y() + kav::Round(Session().TextLine * kav::LineHeight));
                QCOMPARE(t->PictureBitmap.image(), pic);
                const QString right = QString::number(Session().ExpectedAnswer) + Session().AnswerSuffix;
                TypeInto(t->InvoerVeld, QString::number(Session().ExpectedAnswer + 1));
                if (attempt == 2) {
                    QVERIFY(Written(right) && Written("Toelichting:") == practice);
                    Shot(t, QStringLiteral("ratios-flow-%1").arg(k));
                }
                QVERIFY(t->ContinueButton->isVisible());
                QTest::mouseClick(t->ContinueButton, Qt::LeftButton);
            }
        }
        QVERIFY(Session().PracticeMode == practice && Test()->ScoreLabel->text() == QStringLiteral("000 uit 006"));
    }
};

QTEST_MAIN(TestRatiosFlow)
#include "tst_ratios_flow.moc"
