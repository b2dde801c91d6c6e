// "Werkblad maken" through its widgets: reached from the teacher's corner, a class code that
// fixes the choice, a wrong code, saving and printing the sheet and the key; and the worksheet
// of a code against the very test a pupil plays on screen with that code.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>

#include "draw/messages.h"
#include "formsfixture.h"
#include "results/teachercode.h"
#include "session/catalogue.h"
#include "session/engine.h"
#include "session/testcode.h"
#include "ui/filechoice.h"
#include "windows/resultsform.h"
#include "windows/teachercodeform.h"
#include "windows/teacherform.h"
#include "windows/worksheetform.h"

using namespace testsupport;
using namespace kav;

namespace {

QString CodeOf(int sessionMode, unsigned themes, int level, int length, std::uint32_t seed)
{
    TestCodeSettings t{sessionMode, themes, level, length, seed};
    return EncodeTestCode(t).value_or(QString());
}

// The pupil's side: the test of the main menu's button with the code, every item answered
// right; the themes and right answers in their order.
QStringList PlayCodedTest(QPushButton* menuButton, const QString& code, int items)
{
    QApplication::setActiveWindow(Main());
    QTest::mouseClick(menuButton, Qt::LeftButton);
    Test()->activateWindow();
    if (!QTest::qWaitForWindowActive(Test()))
        return {};
    QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Sanne"));
    Test()->CodeVeld->setText(code);
    QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
    QStringList seen;
    for (int i = 0; i < items; ++i) {
        seen << QStringLiteral("%1:%2").arg(Session().ThemeCode).arg(ExpectedAnswerText(Session(), u','));
        TypeInto(Test()->InvoerVeld, ExpectedAnswerText(Session(), DecimalSeparator));
        QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
    }
    QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
    QTest::mouseClick(Test()->EindButton, Qt::LeftButton);
    return seen;
}

QStringList SheetItems(const Worksheet& w)
{
    QStringList items;
    for (const WorksheetItem& i : w.items)
        items << QStringLiteral("%1:%2").arg(i.themeCode).arg(i.answer);
    return items;
}

QString PdfText(const QString& file)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QString();
    QProcess p;
    p.start(tool, {file, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestWorksheetForm : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    TWerkbladForm* openForm()
    {
        if (!hasTeacherCode())
            setTeacherCode(QStringLiteral("klas1b"));
        QTest::mouseClick(Main()->ResultatenButton, Qt::LeftButton);
        TDocentCodeForm* codeForm = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (TDocentCodeForm* f : Main()->findChildren<TDocentCodeForm*>())
            if (f->isVisible())
                codeForm = f;
        if (!codeForm)
            return nullptr;
        QTest::keyClicks(codeForm->CodeVeld, QStringLiteral("klas1b"));
        QTest::keyClick(codeForm->CodeVeld, Qt::Key_Return);
        TDocentForm* corner = Main()->docentForm();
        if (!corner || !corner->isVisible() || !corner->WerkbladButton->isEnabled())
            return nullptr;
        QTest::mouseClick(corner->WerkbladButton, Qt::LeftButton);
        return corner->werkbladForm();
    }

private slots:
    void init()
    {
        StartForms(QSize(1024, 768));
        Test()->Klok->blockSignals(true);
        QApplication::setActiveWindow(Main());
        QVERIFY(dir_.isValid());
    }
    void cleanup()
    {
        SetSaveFileChooser({});
        SetPrinterChooser({});
    }
    void cleanupTestCase() { DestroyForms(); }

    // A code's worksheet holds the test a pupil gets on screen with it, item for item.
    void theSameItemsAsTheTestOnScreen()
    {
        const QString relations = CodeOf(0, 0b1011001, 2, 10, 4242);  // themes 1, 4, 5, 7
        const QStringList played = PlayCodedTest(Main()->Button4, relations, 10);
        WorksheetRequest r;
        r.test = DecodeTestCode(relations);
        r.count = 10;
        QCOMPARE(SheetItems(MakeWorksheet(r)), played);

        const QString mixed = CodeOf(-10, 0, 3, 20, 777);
        const QStringList challenge = PlayCodedTest(Main()->AllesButton, mixed, 8);
        r.test = DecodeTestCode(mixed);
        r.count = 8;
        QCOMPARE(SheetItems(MakeWorksheet(r)), challenge);
    }

    void aCodeFixesTheChoice()
    {
        TWerkbladForm* f = openForm();
        QVERIFY(f && f->isVisible());
        QVERIFY(f->PlaatjesBox->isChecked());
        QCOMPARE(f->AantalBox->value(), 20);
        QCOMPARE(f->AantalBox->maximum(), MaxWorksheetItems);
        // Nothing ticked: no worksheet yet.
        QVERIFY(!f->PdfButton->isEnabled());
        f->ThemaBoxes[1]->setChecked(true);
        QVERIFY(f->PdfButton->isEnabled());
        const std::optional<WorksheetRequest> own = f->request();
        QVERIFY(own && own->test && own->test->themes == 0b10 && own->count == 20);

        const QString code = CodeOf(10, 0b1110000, 1, 30, 99);  // Verhoudingen 15, 16, 17
        QTest::keyClicks(f->CodeVeld, GroupTestCode(code).toLower());
        QVERIFY(f->code().has_value());
        QCOMPARE(f->CodeVeld->text(), GroupTestCode(code));
        QCOMPARE(f->OnderdeelBox->currentText(), QStringLiteral("Verhoudingen"));
        QCOMPARE(f->NiveauBox->currentIndex(), 0);
        QCOMPARE(f->AantalBox->value(), 30);
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(f->ThemaBoxes[n - 1]->isChecked(), n >= 5);
        QVERIFY(!f->OnderdeelBox->isEnabled() && !f->NiveauBox->isEnabled() && !f->AantalBox->isEnabled() &&
                !f->ThemaBoxes[0]->isEnabled());
        QVERIFY(f->CodeMelding->text().contains(QStringLiteral("Verhoudingen")));
        const std::optional<WorksheetRequest> coded = f->request();
        QVERIFY(coded && coded->test == DecodeTestCode(code) && coded->count == 30);

        // One character wrong: the code doesn't exist, and saving says so.
        f->CodeVeld->setText(QString(code).replace(3, 1, code[3] == u'Z' ? u'Y' : u'Z'));
        QCOMPARE(f->CodeMelding->text(), UnknownTestCodeMessage());
        QVERIFY(f->OnderdeelBox->isEnabled());
        bool asked = false;
        SetSaveFileChooser([&](const QString&, const QString&) {
            asked = true;
            return QString();
        });
        QTest::mouseClick(f->PdfButton, Qt::LeftButton);
        QVERIFY(RecordedMessages().contains(UnknownTestCodeMessage()));
        QVERIFY(!asked);
        f->reject();
    }

    // Saved and printed, the sheet and then its key: the same items, whatever is pressed in
    // between, until "Andere opgaven".
    void saveAndPrintTheSheetAndTheKey()
    {
        TWerkbladForm* f = openForm();
        QVERIFY(f);
        f->OnderdeelBox->setCurrentIndex(2);  // Driehoeksgetallen
        for (int n : {1, 4, 6})
            f->ThemaBoxes[n - 1]->setChecked(true);
        f->AantalBox->setValue(6);
        const QString sheet = dir_.filePath(QStringLiteral("blad.pdf")), key = dir_.filePath(QStringLiteral("sleutel.pdf"));
        QString suggested;
        SetSaveFileChooser([&](const QString&, const QString& path) {
            suggested = path;
            return sheet;
        });
        f->DeelBox->setCurrentIndex(1);  // the sheet alone
        QVERIFY(!f->ToelichtingBox->isEnabled());
        QTest::mouseClick(f->PdfButton, Qt::LeftButton);
        QVERIFY(QFile::exists(sheet));
        QVERIFY(suggested.contains(QStringLiteral("Werkblad Driehoeksgetallen")));
        QVERIFY(f->StatusLabel->text().startsWith(QStringLiteral("Opgeslagen")));
        const std::uint32_t seed = f->request()->test->seed;

        // The key through the print dialog, into a PDF printer.
        f->DeelBox->setCurrentIndex(2);
        f->ToelichtingBox->setChecked(true);
        SetPrinterChooser([&](QWidget*, QPrinter* printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(key);
            return true;
        });
        QTest::mouseClick(f->AfdrukButton, Qt::LeftButton);
        QCOMPARE(f->StatusLabel->text(), QStringLiteral("Naar de printer gestuurd."));
        QCOMPARE(f->request()->test->seed, seed);
        QVERIFY(QFile::exists(key));

        const QString sheetText = PdfText(sheet), keyText = PdfText(key);
        if (sheetText.isEmpty())
            QSKIP("pdftotext is not installed");
        QCOMPARE(sheetText.count(QRegularExpression(QStringLiteral("Opgave \\d"))), 6);
        QVERIFY(!sheetText.contains(QStringLiteral("Antwoorden")));
        QVERIFY(keyText.contains(QStringLiteral("Antwoorden")) && !keyText.contains(QStringLiteral("Opgave 1")));
        // The key printed holds the answers of the items saved before.
        for (const WorksheetItem& i : MakeWorksheet(*f->request()).items)
            QVERIFY2(keyText.contains(i.answer), qPrintable(i.answer));

        QTest::mouseClick(f->NieuwButton, Qt::LeftButton);
        QVERIFY(f->request()->test->seed != seed);
        f->reject();
    }

    // "Met plaatjes" off: the window names the themes left out, refuses a choice with none
    // left, and a class code keeps its pictures. Saving shows its progress and a wait cursor
    // and leaves neither behind.
    void withoutPictures()
    {
        TWerkbladForm* f = openForm();
        QVERIFY(f);
        f->OnderdeelBox->setCurrentIndex(2);  // Driehoeksgetallen: the boxes carry the theme codes
        QCOMPARE(f->ThemaBoxes[0]->text(), QStringLiteral("21. ") + ThemeTitle(21));
        for (int n : {1, 4, 6})
            f->ThemaBoxes[n - 1]->setChecked(true);
        f->PlaatjesBox->setChecked(false);
        QCOMPARE(f->StatusLabel->text(), QStringLiteral("Zonder plaatjes vallen weg: thema 24."));
        QVERIFY(f->StatusLabel->toolTip().contains(ThemeTitle(24)));
        Shot(f, QStringLiteral("werkblad-zonder-plaatjes"));
        f->AantalBox->setValue(5);
        f->DeelBox->setCurrentIndex(0);
        const QString pdf = dir_.filePath(QStringLiteral("zonder.pdf"));
        SetSaveFileChooser([&](const QString&, const QString&) { return pdf; });
        QTest::mouseClick(f->PdfButton, Qt::LeftButton);
        QVERIFY(f->StatusLabel->text().startsWith(QStringLiteral("Opgeslagen")));
        QVERIFY(!f->Voortgang->isVisible() && f->StatusLabel->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(f->Voortgang->maximum(), 5 * 3);
        QCOMPARE(f->Voortgang->value(), f->Voortgang->maximum());
        QVERIFY(f->PdfButton->isEnabled() && f->SluitButton->isEnabled());
        const QString text = PdfText(pdf);
        if (!text.isEmpty()) {
            QCOMPARE(text.count(QRegularExpression(QStringLiteral("Opgave \\d"))), 5);
            QVERIFY(!text.contains(QStringLiteral("hiernaast")));
            QVERIFY(!text.contains(QStringLiteral("thema 24:")));
        }

        // Only themes that need their picture: nothing to make.
        for (int n : {1, 6})
            f->ThemaBoxes[n - 1]->setChecked(false);
        QVERIFY(!f->PdfButton->isEnabled());
        QVERIFY(f->StatusLabel->text().contains(QStringLiteral("plaatjes nodig")));
        f->PlaatjesBox->setChecked(true);
        QVERIFY(f->PdfButton->isEnabled());

        // The mixed challenge names the few themes that stay.
        f->PlaatjesBox->setChecked(false);
        f->OnderdeelBox->setCurrentIndex(3);
        QCOMPARE(f->StatusLabel->text(), QStringLiteral("Zonder plaatjes blijven alleen de thema's 16, 17, 21, 26 en 27 over."));
        QVERIFY(f->PdfButton->isEnabled());
        f->OnderdeelBox->setCurrentIndex(2);

        // A class code: the test's own items with their pictures.
        f->PlaatjesBox->setChecked(false);
        QTest::keyClicks(f->CodeVeld, CodeOf(20, 0b1111, 1, 10, 5));
        QVERIFY(f->code().has_value());
        QVERIFY(f->PlaatjesBox->isChecked() && !f->PlaatjesBox->isEnabled());
        QVERIFY(f->request()->pictures);
        f->CodeVeld->clear();
        QVERIFY(f->PlaatjesBox->isEnabled());
        f->reject();
    }

    void layoutFitsTheScreen()
    {
        for (QSize screen : {QSize(1024, 768), QSize(1366, 768), QSize(640, 480)}) {
            StartForms(screen);
            TWerkbladForm* f = openForm();
            QVERIFY(f);
            QVERIFY(f->width() <= screen.width() && f->height() <= screen.height());
            for (int topic = 0; topic < 4; ++topic) {
                f->OnderdeelBox->setCurrentIndex(topic);
                QList<QWidget*> top;
                for (QWidget* w : f->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    if (!w->isHidden() && !w->objectName().isEmpty())
                        top << w;
                const QString problem = LayoutProblem(top);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
                for (QCheckBox* box : f->findChildren<QCheckBox*>())
                    if (!box->isHidden())
                        QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) + 24 < box->width(),
                                 qPrintable(box->objectName()));
            }
            for (QPushButton* b : f->findChildren<QPushButton*>())
                QVERIFY2(b->fontMetrics().horizontalAdvance(b->text().remove(u'&')) < b->width(), qPrintable(b->objectName()));
            Shot(f, QStringLiteral("werkblad-%1x%2").arg(screen.width()).arg(screen.height()));
            Shot(Main()->docentForm(), QStringLiteral("corner-werkblad-%1x%2").arg(screen.width()).arg(screen.height()));
            f->reject();
        }
    }
};

QTEST_MAIN(TestWorksheetForm)
#include "tst_worksheetform.moc"
