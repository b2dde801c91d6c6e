// "Klasoverzicht…" from the teacher's corner: the code from the filter, from the chosen
// session or asked for; the table of pupils × items with its p-values and colours, the sort
// toggle, "Voortgang…" of one pupil, printing and the PDF; the layout at two screen sizes.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>

#include "formsfixture.h"
#include "results/classsample.h"
#include "results/overviewpages.h"
#include "results/store.h"
#include "ui/filechoice.h"
#include "windows/chartview.h"
#include "windows/classcodeform.h"
#include "windows/classoverviewform.h"
#include "windows/progressform.h"
#include "windows/resultsform.h"
#include "windows/teacherform.h"

using namespace testsupport;
using namespace kav;

namespace {

template <typename Form>
Form* Shown()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<Form*>(w); f && f->isVisible())
            return f;
    return nullptr;
}

void CloseAll()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TKlasoverzichtForm*>(w) || qobject_cast<TVoortgangForm*>(w) || qobject_cast<TKlascodeForm*>(w))
            w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int PdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

QStringList Heads(QTableWidget* t)
{
    QStringList heads;
    for (int c = 0; c < t->columnCount(); ++c)
        heads << t->horizontalHeaderItem(c)->text();
    return heads;
}

}  // namespace

class TestClassOverviewForm : public QObject {
    Q_OBJECT
    QTemporaryDir data_;
    TDocentForm* corner_ = nullptr;

private slots:
    void init()
    {
        StartForms(QSize(1024, 768));
        QVERIFY(data_.isValid());
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
        QFile::remove(ResultStore::DefaultPath());
        {
            ResultStore store;
            using St = SessionStatus;
            for (const SessionResult& r :
                 {Pupil(0, QStringLiteral("Anna"), "112w", St::Completed, 1), Pupil(0, QStringLiteral("Bram"), "1111", St::Completed, 2),
                  Pupil(0, QStringLiteral("Cas"), "2n", St::Stopped, 3), Pupil(0, QStringLiteral("Dirk"), "wwww", St::Completed, 4)})
                QVERIFY(store.save(r) > 0);
            SessionResult other = Pupil(0, QStringLiteral("Eva"), "1111", St::Completed, 5);
            other.code.clear();
            QVERIFY(store.save(other) > 0);
        }
        corner_ = new TDocentForm;
        corner_->refresh();
    }
    void cleanup()
    {
        CloseAll();
        delete corner_;
        corner_ = nullptr;
        SetPrinterChooser({});
        SetSaveFileChooser({});
    }
    void cleanupTestCase() { DestroyForms(); }

    void theCodeFilteredOnOpensItsOverview()
    {
        corner_->CodeFilter->setText(GroupTestCode(Code()).toLower());
        QVERIFY(corner_->KlasButton->isEnabled());
        QTest::mouseClick(corner_->KlasButton, Qt::LeftButton);
        TKlasoverzichtForm* f = Shown<TKlasoverzichtForm>();
        QVERIFY(f);
        QTableWidget* t = f->KlasTabel;
        // The p-values first, then the pupils by name; Eva made no coded test.
        QCOMPARE(t->rowCount(), 5);
        QCOMPARE(Heads(t), (QStringList{"Naam", "Cijfer", "Status", "Tijd", "1", "2", "3", "4"}));
        QCOMPARE(t->item(0, 0)->text(), QStringLiteral("p-waarde"));
        QCOMPARE(t->item(0, 4)->text(), QStringLiteral("0,63"));  // 5 of 8 points
        QCOMPARE(t->item(1, 0)->text(), QStringLiteral("Anna"));
        QCOMPARE(t->item(3, 2)->text(), QStringLiteral("afgebroken"));
        QCOMPARE(t->item(1, 7)->background().color(), MarkColour(ItemMark::Wrong));
        QCOMPARE(t->item(1, 7)->text(), QStringLiteral("\u00d7"));
        QCOMPARE(t->item(3, 5)->background().color(), MarkColour(ItemMark::NotDone));
        QVERIFY(f->NietAfLabel->text().contains(QStringLiteral("Cas")));
        // The marks differ in lightness, not only in colour.
        QVector<int> lightness;
        for (ItemMark m : {ItemMark::RightFirst, ItemMark::Wrong, ItemMark::RightSecond, ItemMark::NotDone})
            lightness << qGray(MarkColour(m).rgb());
        for (int i = 1; i < lightness.size(); ++i)
            QVERIFY2(lightness[i] - lightness[i - 1] >= 25, qPrintable(QString::number(lightness[i])));

        // Most often wrong first: item 4 (once wrong), then by p-value.
        f->SorteerBox->setChecked(true);
        QCOMPARE(Heads(t).mid(4), (QStringList{"4", "3", "2", "1"}));
        QCOMPARE(t->item(1, 4)->background().color(), MarkColour(ItemMark::Wrong));
        f->SorteerBox->setChecked(false);
        QCOMPARE(Heads(t).mid(4), (QStringList{"1", "2", "3", "4"}));

        // Charts drawn: the grade chart has its bars in the colour of right answers.
        const QImage chart = f->CijferGrafiek->image();
        int dark = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x)
                dark += chart.pixel(x, y) == MarkColour(ItemMark::RightFirst).rgb();
        QVERIFY(dark > 100);

        // Voortgang of the chosen pupil: every session of the name.
        t->selectRow(2);
        QVERIFY(f->VoortgangButton->isEnabled());
        QTest::mouseClick(f->VoortgangButton, Qt::LeftButton);
        TVoortgangForm* v = Shown<TVoortgangForm>();
        QVERIFY(v);
        QCOMPARE(v->TitelLabel->text(), QStringLiteral("Voortgang van Bram"));
        QCOMPARE(v->lines().size(), 1);
        QCOMPARE(v->lines()[0].points[0].percentage, 100);
        v->close();
        // The p-value row is no pupil.
        t->selectRow(0);
        QVERIFY(!f->VoortgangButton->isEnabled());
    }

    void withoutACodeItIsAskedFor()
    {
        QTest::mouseClick(corner_->KlasButton, Qt::LeftButton);
        TKlascodeForm* ask = Shown<TKlascodeForm>();
        QVERIFY(ask);
        QCOMPARE(ask->CodeKeuze->count(), 1);  // the one code in the store
        ask->CodeKeuze->setEditText(QStringLiteral("ABCDE-FGHJJ"));
        QTest::keyClick(ask->CodeKeuze->lineEdit(), Qt::Key_Return);
        QCOMPARE(RecordedMessages().last(), UnknownTestCodeMessage());
        QVERIFY(ask->isVisible());
        ask->CodeKeuze->setCurrentIndex(0);
        QTest::keyClick(ask->CodeKeuze->lineEdit(), Qt::Key_Return);
        QVERIFY(Shown<TKlasoverzichtForm>());
        CloseAll();

        // The chosen session's code; a valid code without results says so.
        corner_->NaamFilter->setText(QStringLiteral("Cas"));
        corner_->ResultatenTabel->selectAll();
        QTest::mouseClick(corner_->KlasButton, Qt::LeftButton);
        QCOMPARE(Shown<TKlasoverzichtForm>()->overview().pupils.size(), 4);
        CloseAll();
        TestCodeSettings s = *DecodeTestCode(Code());
        s.seed += 1;
        ClearRecordedMessages();
        corner_->CodeFilter->setText(*EncodeTestCode(s));
        QTest::mouseClick(corner_->KlasButton, Qt::LeftButton);
        QVERIFY(!Shown<TKlasoverzichtForm>());
        QCOMPARE(RecordedMessages(), QStringList{QStringLiteral("Er zijn geen resultaten met de toetscode ") +
                                                 GroupTestCode(*EncodeTestCode(s)) + u'.'});
    }

    void printAndPdf()
    {
        const QString code = Code();
        ShowClassOverview(corner_, corner_->store(), code);
        TKlasoverzichtForm* f = Shown<TKlasoverzichtForm>();
        QVERIFY(f);
        QTemporaryDir dir;
        const QString printed = dir.filePath(QStringLiteral("printer.pdf"));
        SetPrinterChooser([&](QWidget*, QPrinter* printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(printed);
            return true;
        });
        QTest::mouseClick(f->AfdrukButton, Qt::LeftButton);
        QCOMPARE(f->StatusLabel->text(), QStringLiteral("Naar de printer gestuurd."));
        QVERIFY(PdfPages(printed) >= 1);

        QString suggested;
        SetSaveFileChooser([&](const QString&, const QString& path) {
            suggested = path;
            return dir.filePath(QStringLiteral("overzicht"));
        });
        QTest::mouseClick(f->PdfButton, Qt::LeftButton);
        QVERIFY(suggested.contains(QStringLiteral("klasoverzicht-") + GroupTestCode(code)));
        const QString saved = dir.filePath(QStringLiteral("overzicht.pdf"));
        QCOMPARE(PdfPages(saved), PdfPages(printed));
        QVERIFY(f->StatusLabel->text().startsWith(QStringLiteral("Opgeslagen: ")));
        const QByteArray shots = qgetenv("KAVRIN_SHOTS");
        if (!shots.isEmpty())
            QFile::copy(saved, QString::fromLocal8Bit(shots) + QStringLiteral("/klasoverzicht.pdf"));
    }

    void layoutAtTwoScreenSizes()
    {
        for (const QSize screen : {QSize(1024, 768), QSize(1366, 768), QSize(640, 480)}) {
            SetScreenOverride(screen);
            ShowClassOverview(corner_, corner_->store(), Code());
            TKlasoverzichtForm* f = Shown<TKlasoverzichtForm>();
            QVERIFY(f);
            QCOMPARE(f->size(), screen);
            QList<QWidget*> parts = {f->TitelLabel,   f->NotitieLabel, f->KlasTabel,       f->LegendaLabel,
                                     f->SorteerBox,   f->CijferGrafiek, f->ThemaGrafiek,   f->ThemaTabel,
                                     f->NietAfLabel,  f->VoortgangButton, f->AfdrukButton, f->PdfButton,
                                     f->StatusLabel,  f->SluitButton};
            QVERIFY2(LayoutProblem(parts).isEmpty(), qPrintable(LayoutProblem(parts)));
            Shot(f, QStringLiteral("klasoverzicht-%1x%2").arg(screen.width()).arg(screen.height()));
            f->close();
        }
    }
};

QTEST_MAIN(TestClassOverviewForm)
#include "tst_classoverview.moc"
