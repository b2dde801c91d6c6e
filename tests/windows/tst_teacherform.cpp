// The teacher's corner through its widgets: the teacher code on the way in, the table of
// stored sessions and its filters, removing with a question, the CSV export of the choice,
// and "Toets maken" with codes that decode to what was chosen.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>

#include "formsfixture.h"
#include "results/csvexport.h"
#include "results/sample.h"
#include "results/store.h"
#include "results/teachercode.h"
#include "ui/filechoice.h"
#include "windows/renameform.h"
#include "windows/resultsform.h"
#include "windows/teachercodeform.h"
#include "windows/teacherform.h"
#include "windows/testmakerform.h"

using namespace testsupport;
using namespace kav;

namespace {

TDocentCodeForm* CodeForm()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (TDocentCodeForm* f : Main()->findChildren<TDocentCodeForm*>())
        if (f->isVisible())
            return f;
    return nullptr;
}

TDocentForm* Corner()
{
    TDocentForm* c = Main()->docentForm();
    return c && c->isVisible() ? c : nullptr;
}

// A cell of the table as its model gives it.
QString Cell(QTableView* t, int row, int column, int role = Qt::DisplayRole)
{
    return t->model()->index(row, column).data(role).toString();
}

int Rows(QTableView* t)
{
    return t->model()->rowCount();
}

QStringList Column(QTableView* t, int column)
{
    QStringList texts;
    for (int row = 0; row < Rows(t); ++row)
        texts << Cell(t, row, column);
    return texts;
}

void Select(QTableView* t, const QStringList& names)
{
    t->clearSelection();
    for (int row = 0; row < Rows(t); ++row)
        if (names.contains(Cell(t, row, 0)))
            t->selectionModel()->select(t->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TypeCode(QLineEdit* field, const QString& code)
{
    field->clear();
    QTest::keyClicks(field, code);
}

}  // namespace

class TestTeacherForm : public QObject {
    Q_OBJECT
    QTemporaryDir data_, config_;

    // Opens the corner with the code "klas1b" (chosen on the first visit).
    void openCorner()
    {
        if (Corner())
            return;
        if (!hasTeacherCode())
            QVERIFY(setTeacherCode(QStringLiteral("klas1b")));
        QTest::mouseClick(Main()->ResultatenButton, Qt::LeftButton);
        TDocentCodeForm* f = CodeForm();
        QVERIFY(f);
        TypeCode(f->CodeVeld, QStringLiteral("klas1b"));
        QTest::keyClick(f->CodeVeld, Qt::Key_Return);
        QVERIFY(Corner());
    }

    void fillStore()
    {
        QFile::remove(ResultStore::DefaultPath());
        ResultStore store;
        QVERIFY(store.available());
        SessionResult practice = SampleSession(QStringLiteral("Bram"), QString(), QDateTime(QDate(2026, 12, 6), QTime(9, 30)));
        practice.practice = true;
        practice.status = SessionStatus::None;
        practice.plannedItems = 0;
        practice.sessionMode = 20;
        practice.level = 1;
        practice.maxPoints = MaxSessionPoints(0, 3, 1);
        SessionResult stopped = SampleSession(QStringLiteral("Chris"), QStringLiteral("abcde fghjk"),
                                              QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
        stopped.status = SessionStatus::Stopped;  // 3 of 20
        stopped.plannedItems = 20;
        stopped.maxPoints = MaxSessionPoints(20, 3, 2);
        for (const SessionResult& r : {SampleSession(QStringLiteral("Anna"), QStringLiteral("ABCDEFGHJK")), practice, stopped,
                                       SampleSession(QStringLiteral("Daan"), QStringLiteral("23456-789AB"),
                                                     QDateTime(QDate(2026, 12, 7), QTime(8, 15)))})
            QVERIFY(store.save(r) > 0);
    }

private slots:
    void init()
    {
        StartForms(QSize(1024, 768));
        QVERIFY(data_.isValid() && config_.isValid());
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        fillStore();
    }

    void cleanupTestCase() { DestroyForms(); }

    // First visit: the teacher chooses a code, typed twice; later the code is asked for, a
    // wrong one keeps the corner closed, Escape goes back to the menu.
    void teacherCodeGuardsTheCorner()
    {
        QVERIFY(resetTeacherCode());
        QTest::mouseClick(Main()->ResultatenButton, Qt::LeftButton);
        TDocentCodeForm* f = CodeForm();
        QVERIFY(f);
        QVERIFY(f->choosing());
        QCOMPARE(f->CodeLabel->text(), QStringLiteral("Kies een docentcode"));
        // What the code does and what it cannot do, said where it is chosen.
        QVERIFY(f->UitlegLabel->isVisible());
        QVERIFY(f->UitlegLabel->text().startsWith(TeacherCodeExplanation()));
        QVERIFY(TeacherCodeExplanation().contains(QStringLiteral("eigen account van een leerling")));
        QVERIFY(TeacherCodeExplanation().contains(QStringLiteral("Een toetscode is geen geheim")));
        Shot(f, QStringLiteral("code-choose"));
        TypeCode(f->CodeVeld, QStringLiteral("abc"));
        QTest::keyClick(f->CodeVeld, Qt::Key_Return);
        QCOMPARE(RecordedMessages().last(), QStringLiteral("Een docentcode heeft minstens 4 tekens."));
        TypeCode(f->CodeVeld, QStringLiteral("klas1b"));
        QTest::keyClick(f->CodeVeld, Qt::Key_Return);  // on to the second field
        QCOMPARE(f->focusWidget(), f->HerhaalVeld);
        TypeCode(f->HerhaalVeld, QStringLiteral("klas1c"));
        QTest::keyClick(f->HerhaalVeld, Qt::Key_Return);
        QVERIFY(RecordedMessages().last().startsWith(QStringLiteral("De twee codes zijn niet gelijk.")));
        QVERIFY(!hasTeacherCode());
        QVERIFY(!Corner());
        TypeCode(f->HerhaalVeld, QStringLiteral("klas1b"));
        QTest::keyClick(f->HerhaalVeld, Qt::Key_Return);
        QVERIFY(hasTeacherCode());
        QVERIFY(Corner());
        Shot(Corner(), QStringLiteral("corner-1024x768"));
        QTest::keyClick(Corner(), Qt::Key_Escape);
        QVERIFY(!Corner());

        QTest::mouseClick(Main()->ResultatenButton, Qt::LeftButton);
        f = CodeForm();
        QVERIFY(f && !f->choosing());
        QCOMPARE(f->CodeLabel->text(), QStringLiteral("Docentcode:"));
        Shot(f, QStringLiteral("code-ask"));
        QVERIFY(f->HerhaalVeld->isHidden());
        ClearRecordedMessages();
        TypeCode(f->CodeVeld, QStringLiteral("klas1c"));
        QTest::keyClick(f->CodeVeld, Qt::Key_Return);
        QCOMPARE(RecordedMessages(), QStringList{QStringLiteral("Deze docentcode klopt niet.")});
        QVERIFY(!Corner());
        QVERIFY(f->CodeVeld->text().isEmpty());
        QTest::keyClick(f->CodeVeld, Qt::Key_Escape);
        QVERIFY(!CodeForm());
        QVERIFY(!Corner());
        openCorner();
    }

    void tableShowsEverySession()
    {
        openCorner();
        QTableView* t = Corner()->ResultatenTabel;
        QCOMPARE(Rows(t), 4);
        QCOMPARE(Column(t, 0), (QStringList{"Chris", "Anna", "Daan", "Bram"}));  // newest first
        QCOMPARE(t->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Cijfer"));
        QStringList anna;
        for (int c = 0; c < t->model()->columnCount(); ++c)
            anna << Cell(t, 1, c);
        QCOMPARE(anna, (QStringList{"Anna", "2026-12-07 14:05", "Verhoudingen", "Durver", "ABCDE-FGHJK", "5,5", "voltooid"}));
        QCOMPARE(Cell(t, 3, 2), QStringLiteral("Driehoeksgetallen (oefenen)"));
        QCOMPARE(Cell(t, 3, 3), QStringLiteral("Starter"));
        QCOMPARE(Cell(t, 3, 4), QString());
        // A stopped test's grade with what it stands on; practice is not assessed.
        QCOMPARE(Cell(t, 0, 5), QStringLiteral("1,7 (3 van 20)"));
        QCOMPARE(Cell(t, 0, 5, Qt::ToolTipRole), QStringLiteral("opgaven: 3 van 20"));
        QCOMPARE(Cell(t, 0, 6), QStringLiteral("afgebroken"));
        QCOMPARE(Cell(t, 3, 5), QStringLiteral("\u2014"));
        QCOMPARE(Cell(t, 3, 6), QStringLiteral("\u2014"));
        SessionSummary old;  // kept before plans were
        old.points = old.maxPoints = 4;
        old.items = 1;
        old.status = SessionStatus::Stopped;
        old.plannedItems = UnknownPlan;
        QCOMPARE(GradeCellText(old), QStringLiteral("10,0 (1 van ?)"));
        old.status = SessionStatus::NotStarted;
        old.plannedItems = 10;
        old.items = old.points = 0;
        QCOMPARE(GradeCellText(old), QStringLiteral("1,0 (0 van 10)"));
        QCOMPARE(StatusCellText(old), QStringLiteral("niet begonnen"));
        QCOMPARE(Corner()->AantalLabel->text(), QStringLiteral("4 resultaten"));
        QVERIFY(Corner()->MeldingLabel->isHidden());
        // Nothing chosen: only what works on everything shown is on.
        QVERIFY(!Corner()->OpenButton->isEnabled());
        QVERIFY(!Corner()->VerwijderButton->isEnabled());
        QVERIFY(Corner()->CsvButton->isEnabled());
        // Sorting by name, and back by date.
        t->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(Column(t, 0), (QStringList{"Anna", "Bram", "Chris", "Daan"}));
        t->sortByColumn(1, Qt::DescendingOrder);
        QCOMPARE(Column(t, 0), (QStringList{"Chris", "Anna", "Daan", "Bram"}));
    }

    void filtersNarrowAsTheyAreTyped()
    {
        openCorner();
        TDocentForm* c = Corner();
        QTableView* t = c->ResultatenTabel;
        QTest::keyClicks(c->NaamFilter, QStringLiteral("AN"));
        QCOMPARE(Column(t, 0), (QStringList{"Anna", "Daan"}));
        QCOMPARE(c->AantalLabel->text(), QStringLiteral("2 resultaten"));
        QTest::keyClicks(c->CodeFilter, QStringLiteral("abc"));
        QCOMPARE(Column(t, 0), QStringList{"Anna"});
        QCOMPARE(c->AantalLabel->text(), QStringLiteral("1 resultaat"));
        c->NaamFilter->clear();
        QCOMPARE(Column(t, 0), (QStringList{"Chris", "Anna"}));  // the code with or without its dash
        TypeCode(c->CodeFilter, QStringLiteral("abcde-fghjk"));
        QCOMPARE(Column(t, 0), (QStringList{"Chris", "Anna"}));
        TypeCode(c->CodeFilter, QStringLiteral("zzz"));
        QCOMPARE(Rows(t), 0);
        QCOMPARE(c->AantalLabel->text(), QStringLiteral("Geen resultaten"));
        QVERIFY(!c->CsvButton->isEnabled());
        c->CodeFilter->clear();
        QCOMPARE(Rows(t), 4);
        // The choice outlives the filter for the rows that stay.
        Select(t, {"Anna", "Bram", "Daan"});
        QTest::keyClicks(c->NaamFilter, QStringLiteral("a"));
        QCOMPARE(c->selectedIds().size(), 3);
        QTest::keyClicks(c->NaamFilter, QStringLiteral("n"));
        QCOMPARE(c->selectedIds().size(), 2);
        QCOMPARE(c->AantalLabel->text(), QStringLiteral("2 resultaten, 2 gekozen"));
    }

    // A store that counts slowly is asked in another thread with a wait cursor, the rows read a
    // page at a time as the table scrolls; the choice is kept by session through filters and
    // sorting, Ctrl+A chooses rows that were never read.
    void aLargeStoreIsReadInPages()
    {
        constexpr int Extra = 2 * SessionTableModel::PageSize + 30;
        {
            ResultStore store;
            for (int k = 0; k < Extra; ++k)
                QVERIFY(store.save(SampleSession(QStringLiteral("Leerling %1").arg(k, 3, 10, QLatin1Char('0')), QString(),
                                                 QDateTime(QDate(2025, 1, 1), QTime(8, 0)).addSecs(k * 60))) > 0);
        }
        ResultStore::SetSlowFrom(0);
        openCorner();
        TDocentForm* c = Corner();
        QTableView* t = c->ResultatenTabel;
        auto settle = [c] { QTRY_VERIFY(!c->model()->busy()); };
        settle();
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(Rows(t), Extra + 4);
        QCOMPARE(c->AantalLabel->text(), QStringLiteral("%1 resultaten").arg(Extra + 4));
        // The oldest at the bottom, read when it is scrolled to.
        t->scrollToBottom();
        QCOMPARE(Cell(t, Extra + 3, 0), QStringLiteral("Leerling 000"));
        QCOMPARE(Cell(t, Extra + 1, 0), QStringLiteral("Leerling 002"));
        // Chosen in two pages; a filter keeps those it still shows, typed fast only its last
        // state counts.
        Select(t, {"Leerling 001", "Leerling 201", "Leerling 150", "Anna"});
        QCOMPARE(c->selectedCount(), 4);
        QTest::keyClicks(c->NaamFilter, QStringLiteral("ing 2"));
        settle();
        QCOMPARE(Rows(t), Extra - 200);
        QCOMPARE(c->AantalLabel->text(), QStringLiteral("%1 resultaten, 1 gekozen").arg(Extra - 200));
        QCOMPARE(Column(t, 0)[c->model()->rowCount() - 2], QStringLiteral("Leerling 201"));
        c->NaamFilter->clear();
        settle();
        QCOMPARE(c->selectedCount(), 1);
        Select(t, {"Leerling 001", "Leerling 150", "Leerling 201", "Anna"});
        const QVector<qint64> chosen = c->selectedIds();
        t->sortByColumn(SessionTableModel::NaamCol, Qt::AscendingOrder);
        settle();
        QCOMPARE(Cell(t, 0, 0), QStringLiteral("Anna"));
        const QVector<qint64> after = c->selectedIds();
        QCOMPARE(QSet<qint64>(after.begin(), after.end()), QSet<qint64>(chosen.begin(), chosen.end()));
        t->sortByColumn(SessionTableModel::DatumCol, Qt::DescendingOrder);
        settle();
        // Everything chosen at once: the numbers of rows not read yet come from the store.
        c->model()->setListing(nullptr);
        c->refresh();
        settle();
        t->setFocus();
        QTest::keyClick(t, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(c->selectedCount(), Extra + 4);
        QCOMPARE(c->selectedIds().size(), Extra + 4);
        QCOMPARE(c->selectedIds(), c->shownIds());
        QCOMPARE(c->shownIds(), c->store()->ids({}, {}));
        ResultStore::SetSlowFrom(8 << 20);
        QTest::keyClick(c, Qt::Key_Escape);
    }

    // Verwijderen asks first; Nee keeps everything, Ja removes the chosen sessions only.
    void removeAfterTheQuestion()
    {
        openCorner();
        TDocentForm* c = Corner();
        QTableView* t = c->ResultatenTabel;
        Select(t, {"Anna", "Daan"});
        QCOMPARE(c->AantalLabel->text(), QStringLiteral("4 resultaten, 2 gekozen"));
        QVERIFY(c->VerwijderButton->isEnabled());
        QVERIFY(!c->OpenButton->isEnabled());  // one at a time
        ClearRecordedMessages();
        SetRecordedAnswer(false);
        QTest::mouseClick(c->VerwijderButton, Qt::LeftButton);
        QCOMPARE(RecordedMessages(), QStringList{QStringLiteral("Wil je de gekozen resultaten verwijderen?")});
        QCOMPARE(Rows(t), 4);
        QCOMPARE(c->store()->list().size(), 4);
        SetRecordedAnswer(true);
        QTest::mouseClick(c->VerwijderButton, Qt::LeftButton);
        QCOMPARE(Column(t, 0), (QStringList{"Chris", "Bram"}));
        ResultStore fresh;
        QCOMPARE(fresh.list().size(), 2);
        QVERIFY(!c->VerwijderButton->isEnabled());
        // The Delete key asks the same question.
        Select(t, {"Bram"});
        ClearRecordedMessages();
        SetRecordedAnswer(false);
        t->setFocus();
        QTest::keyClick(t, Qt::Key_Delete);
        QCOMPARE(RecordedMessages().size(), 1);
        QCOMPARE(Rows(t), 2);
    }

    // The CSV holds the chosen sessions, or every one shown when none is chosen.
    void csvExportWritesTheChoice()
    {
        openCorner();
        TDocentForm* c = Corner();
        QTemporaryDir out;
        QString asked;
        int calls = 0;
        SetSaveFileChooser([&](const QString&, const QString& suggested) {
            asked = suggested;
            return out.filePath(QStringLiteral("klas-%1").arg(++calls));  // the suffix is added
        });
        auto lines = [&out](int n) {
            QFile f(out.filePath(QStringLiteral("klas-%1.csv").arg(n)));
            if (!f.open(QIODevice::ReadOnly))
                return QStringList();
            QStringList l = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            l.removeFirst();  // the header
            return l;
        };
        Select(c->ResultatenTabel, {"Anna", "Bram"});
        ClearRecordedMessages();
        QTest::mouseClick(c->CsvButton, Qt::LeftButton);
        QVERIFY(asked.endsWith(QStringLiteral(".csv")));
        QCOMPARE(RecordedMessages().size(), 1);
        QVERIFY(RecordedMessages().first().startsWith(QStringLiteral("De resultaten zijn bewaard in")));
        QStringList written = lines(1);
        QCOMPARE(written.size(), 6);  // three items each
        QCOMPARE(written.filter(QRegularExpression(QStringLiteral("^Anna;"))).size(), 3);
        QCOMPARE(written.filter(QRegularExpression(QStringLiteral("^Bram;"))).size(), 3);
        c->ResultatenTabel->clearSelection();
        TypeCode(c->CodeFilter, QStringLiteral("ABCDE"));
        QTest::mouseClick(c->CsvButton, Qt::LeftButton);
        QVERIFY(asked.contains(QStringLiteral("resultaten-")));
        written = lines(2);
        QCOMPARE(written.size(), 6);
        QCOMPARE(written.filter(QRegularExpression(QStringLiteral("^(Anna|Chris);"))).size(), 6);
        // A file that can't be written is said so.
        SetSaveFileChooser([&](const QString&, const QString&) { return out.filePath(QStringLiteral("nergens/x.csv")); });
        ClearRecordedMessages();
        QTest::mouseClick(c->CsvButton, Qt::LeftButton);
        QCOMPARE(RecordedMessages().size(), 1);
        QVERIFY(!RecordedMessages().first().startsWith(QStringLiteral("De resultaten zijn bewaard")));
        // Cancelled: nothing happens.
        SetSaveFileChooser([](const QString&, const QString&) { return QString(); });
        ClearRecordedMessages();
        QTest::mouseClick(c->CsvButton, Qt::LeftButton);
        QVERIFY(RecordedMessages().isEmpty());
        SetSaveFileChooser({});
    }

    // The grade book: one line per session of the choice, with its grade.
    void gradeBookExport()
    {
        openCorner();
        TDocentForm* c = Corner();
        QTemporaryDir out;
        QString asked;
        SetSaveFileChooser([&](const QString&, const QString& suggested) {
            asked = suggested;
            return out.filePath(QStringLiteral("cijfers"));
        });
        Select(c->ResultatenTabel, {"Chris", "Bram"});
        ClearRecordedMessages();
        QTest::mouseClick(c->CijferButton, Qt::LeftButton);
        SetSaveFileChooser({});
        QVERIFY(asked.endsWith(QStringLiteral(".csv")) && QFileInfo(asked).fileName().startsWith(QStringLiteral("cijferlijst-")));
        QCOMPARE(RecordedMessages().size(), 1);
        QVERIFY(RecordedMessages().first().startsWith(QStringLiteral("De resultaten zijn bewaard in")));
        // One line per session chosen (the lines themselves: tst_results_csv).
        QFile f(out.filePath(QStringLiteral("cijfers.csv")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(QString(lines[0]).remove(QChar(0xFEFF)), GradeBookHeader());
    }

    // Naam wijzigen: one session's name corrected, or many given one name at once; Annuleren
    // and an empty name change nothing.
    void renameSessions()
    {
        openCorner();
        TDocentForm* c = Corner();
        QTableView* t = c->ResultatenTabel;
        QVERIFY(!c->NaamButton->isEnabled());
        auto dialog = [c]() { return c->findChild<TNaamForm*>(); };
        Select(t, {"Anna"});
        QVERIFY(c->NaamButton->isEnabled());
        QTest::mouseClick(c->NaamButton, Qt::LeftButton);
        TNaamForm* d = dialog();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->NaamVeld->text(), QStringLiteral("Anna"));
        QCOMPARE(d->UitlegLabel->text(), QStringLiteral("De nieuwe naam van de gekozen sessie:"));
        TypeCode(d->NaamVeld, QStringLiteral("Anna de Vries"));
        QTest::keyClick(d->NaamVeld, Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog());
        QCOMPARE(Column(t, 0), (QStringList{"Chris", "Anna de Vries", "Daan", "Bram"}));
        QCOMPARE(c->selectedIds().size(), 1);  // still chosen

        // "akker" -> "Daan Bakker": everything the filter finds, at once.
        Select(t, {"Chris", "Daan", "Bram"});
        QTest::mouseClick(c->NaamButton, Qt::LeftButton);
        d = dialog();
        QVERIFY(d);
        QCOMPARE(d->UitlegLabel->text(), QStringLiteral("Eén naam voor alle 3 gekozen sessies:"));
        QCOMPARE(d->NaamVeld->text(), QString());  // names differ: none offered
        Shot(d, QStringLiteral("rename-many"));
        ClearRecordedMessages();
        QTest::mouseClick(d->OkButton, Qt::LeftButton);
        QCOMPARE(RecordedMessages(), QStringList{QStringLiteral("Typ de naam van de leerling.")});
        QVERIFY(d->isVisible());
        TypeCode(d->NaamVeld, QStringLiteral("Daan Bakker"));
        QTest::mouseClick(d->OkButton, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(Column(t, 0), (QStringList{"Daan Bakker", "Anna de Vries", "Daan Bakker", "Daan Bakker"}));
        ResultStore fresh;
        QCOMPARE(fresh.list({QStringLiteral("daan bakker"), {}}).size(), 3);
        // Annuleren keeps the names.
        Select(t, {"Anna de Vries"});
        QTest::mouseClick(c->NaamButton, Qt::LeftButton);
        d = dialog();
        TypeCode(d->NaamVeld, QStringLiteral("Niemand"));
        QTest::mouseClick(d->AnnuleerButton, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(fresh.list({QStringLiteral("niemand"), {}}).size(), 0);
    }

    // Openen (the button, Enter or a double click) shows the one chosen session in the results
    // window, with the right answers even for a coded test.
    void openShowsTheResultsWindow()
    {
        openCorner();
        TDocentForm* c = Corner();
        auto shown = [c]() -> TResultsForm* {
            for (TResultsForm* f : c->findChildren<TResultsForm*>())
                if (f->isVisible())
                    return f;
            return nullptr;
        };
        Select(c->ResultatenTabel, {"Anna"});
        QVERIFY(c->OpenButton->isEnabled());
        QTest::mouseClick(c->OpenButton, Qt::LeftButton);
        TResultsForm* r = shown();
        QVERIFY(r);
        QCOMPARE(r->session().name, QStringLiteral("Anna"));
        QCOMPARE(r->session().items.size(), 3);
        QVERIFY(r->rightAnswersShown());
        r->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!shown());
        Select(c->ResultatenTabel, {"Bram"});
        QTest::keyClick(c->ResultatenTabel, Qt::Key_Return);
        QVERIFY(shown());
        QCOMPARE(shown()->session().name, QStringLiteral("Bram"));
        shown()->close();
    }

    // The PDF holds the report of the chosen sessions.
    void pdfExport()
    {
        openCorner();
        TDocentForm* c = Corner();
        QTemporaryDir out;
        SetSaveFileChooser([&out](const QString&, const QString& suggested) {
            return suggested.endsWith(QStringLiteral(".pdf")) ? out.filePath(QStringLiteral("verslag")) : QString();
        });
        Select(c->ResultatenTabel, {"Anna", "Chris"});
        ClearRecordedMessages();
        QTest::mouseClick(c->PdfButton, Qt::LeftButton);
        SetSaveFileChooser({});
        QCOMPARE(RecordedMessages().size(), 1);
        QVERIFY(RecordedMessages().first().startsWith(QStringLiteral("De resultaten zijn bewaard in")));
        QFile pdf(out.filePath(QStringLiteral("verslag.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        // Each session begins on a page of its own.
        const QString text = QString::fromLatin1(bytes);
        QVERIFY(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))) >= 2);
    }

    // "Toets maken": the code decodes to the choice, a new one each time; fewer than three
    // themes make no code; the mixed challenge has no choice and is always Prof !.
    void makeATest()
    {
        openCorner();
        QTest::mouseClick(Corner()->ToetsButton, Qt::LeftButton);
        TToetsMakenForm* m = Corner()->toetsForm();
        QVERIFY(m && m->isVisible());
        m->OnderdeelBox->setCurrentIndex(1);  // Verhoudingen
        m->NiveauBox->setCurrentIndex(1);     // Durver
        m->LengteBox->setCurrentIndex(1);     // 20
        QCOMPARE(m->ThemaBoxes[0]->text(), QStringLiteral("11. ") + ThemeTitle(11));
        QVERIFY(m->ThemaBoxes[7]->isHidden());
        m->ThemaBoxes[0]->setChecked(true);
        m->ThemaBoxes[1]->setChecked(true);
        QVERIFY(!m->MaakButton->isEnabled());
        QCOMPARE(m->RegelLabel->text(), QStringLiteral("Kies minstens drie thema's."));
        ClearRecordedMessages();
        m->MaakButtonClick();  // even when called: no code for two themes
        QVERIFY(m->code().isEmpty());
        QCOMPARE(RecordedMessages(), QStringList{QStringLiteral("Kies minstens drie thema's.")});
        m->ThemaBoxes[4]->setChecked(true);
        QVERIFY(m->MaakButton->isEnabled());
        QTest::keyClick(m, Qt::Key_Return);  // Enter makes the code
        const QString first = m->code();
        QCOMPARE(first.size(), 10);
        const auto decoded = DecodeTestCode(first);
        QVERIFY(decoded);
        QCOMPARE(decoded->sessionMode, 10);
        QCOMPARE(decoded->themes, 0b10011u);
        QCOMPARE(decoded->level, 2);
        QCOMPARE(decoded->length, 20);
        QCOMPARE(m->CodeLabel->text(), GroupTestCode(first));
        QCOMPARE(m->InhoudLabel->text(), QStringLiteral("Verhoudingen, thema's 11, 12, 15, Durver, 20 opgaven"));
        Shot(m, QStringLiteral("toets-code"));
        QTest::mouseClick(m->MaakButton, Qt::LeftButton);
        QVERIFY(m->code() != first);  // a new seed
        QCOMPARE(DecodeTestCode(m->code())->themes, 0b10011u);
        QVERIFY(DecodeTestCode(m->code())->readAloud);
        // A test without "Lees voor": a code of its own, said so under it.
        QVERIFY(m->VoorlezenBox->isChecked());
        m->VoorlezenBox->setChecked(false);
        QVERIFY(m->code().isEmpty());
        QTest::mouseClick(m->MaakButton, Qt::LeftButton);
        QCOMPARE(m->code().size(), 11);
        QVERIFY(!DecodeTestCode(m->code())->readAloud);
        QCOMPARE(m->InhoudLabel->text(), QStringLiteral("Verhoudingen, thema's 11, 12, 15, Durver, 20 opgaven, zonder voorlezen"));
        Shot(m, QStringLiteral("toets-code-zonder-voorlezen"));
        m->VoorlezenBox->setChecked(true);
        QTest::mouseClick(m->MaakButton, Qt::LeftButton);
        QTest::mouseClick(m->KopieerButton, Qt::LeftButton);
        if (QGuiApplication::clipboard()->text() != QString())
            QCOMPARE(QGuiApplication::clipboard()->text(), GroupTestCode(m->code()));
        // A changed choice takes the shown code away.
        m->LengteBox->setCurrentIndex(3);
        QVERIFY(m->code().isEmpty());
        QVERIFY(m->CodeLabel->text().isEmpty());
        QVERIFY(!m->KopieerButton->isEnabled());

        m->OnderdeelBox->setCurrentIndex(3);  // Grote uitdaging
        QVERIFY(!m->NiveauBox->isEnabled());
        QCOMPARE(m->NiveauBox->currentText(), QStringLiteral("Prof !"));
        QVERIFY(m->AllesLabel->isVisible());
        QVERIFY(m->MaakButton->isEnabled());
        QTest::mouseClick(m->MaakButton, Qt::LeftButton);
        const auto mixed = DecodeTestCode(m->code());
        QVERIFY(mixed);
        QCOMPARE(mixed->sessionMode, -10);
        QCOMPARE(mixed->themes, 0u);
        QCOMPARE(mixed->level, 3);
        QCOMPARE(mixed->length, 0);
        QCOMPARE(m->InhoudLabel->text(), QStringLiteral("Grote uitdaging, alle thema's, Prof !, onbeperkt aantal opgaven"));
        Shot(m, QStringLiteral("toets-mixed"));
        m->OnderdeelBox->setCurrentIndex(2);  // back: the teacher's level returns, the boxes are empty
        QVERIFY(m->NiveauBox->isEnabled());
        QCOMPARE(m->NiveauBox->currentIndex(), 1);
        QVERIFY(m->ThemaBoxes[7]->isVisible());
        QCOMPARE(m->settings().themes, 0u);
        QTest::keyClick(m, Qt::Key_Escape);
        QVERIFY(!m->isVisible());
        QVERIFY(Corner());
    }

    // A file set aside earlier stays in view, with its name and date, until the teacher hides it.
    void aSetAsideFileIsShownUntilDismissed()
    {
        const QString aside = ResultStore::DefaultPath() + QStringLiteral(".beschadigd-20261201-101500");
        QFile f(aside);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        for (int visit = 0; visit < 2; ++visit) {
            openCorner();
            QVERIFY(Corner()->MeldingLabel->isVisible());
            QVERIFY(Corner()->MeldingLabel->text().contains(QStringLiteral("resultaten.sqlite.beschadigd-20261201-101500 (2026-12-01 10:15)")));
            QVERIFY(Corner()->MeldingLabel->geometry().bottom() < Corner()->ResultatenTabel->y());
            Shot(Corner(), QStringLiteral("corner-set-aside"));
            QTest::keyClick(Corner(), Qt::Key_Escape);
        }
        openCorner();
        emit Corner()->MeldingLabel->linkActivated(QStringLiteral("verbergen"));
        QVERIFY(Corner()->MeldingLabel->isHidden());
        QTest::keyClick(Corner(), Qt::Key_Escape);
        openCorner();
        QVERIFY(Corner()->MeldingLabel->isHidden());
        QVERIFY(QFile::exists(aside));  // only the notice goes
        QFile::remove(aside);
        ResultStore::WaitForBackgroundWork();
    }

    // Without a store the window says so and offers only what needs none.
    void unavailableStore()
    {
        QFile blocker(data_.filePath(QStringLiteral("geen-map")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", blocker.fileName().toLocal8Bit());
        openCorner();
        TDocentForm* c = Corner();
        QVERIFY(c->MeldingLabel->isVisible());
        QVERIFY(!c->MeldingLabel->text().isEmpty());
        QCOMPARE(Rows(c->ResultatenTabel), 0);
        for (QWidget* w : {static_cast<QWidget*>(c->ResultatenTabel), static_cast<QWidget*>(c->NaamFilter),
                           static_cast<QWidget*>(c->CodeFilter), static_cast<QWidget*>(c->OpenButton),
                           static_cast<QWidget*>(c->CsvButton), static_cast<QWidget*>(c->PdfButton),
                           static_cast<QWidget*>(c->VerwijderButton)})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(c->ToetsButton->isEnabled());
        QVERIFY(c->MeldingLabel->geometry().bottom() < c->ResultatenTabel->y());
        Shot(c, QStringLiteral("corner-unavailable"));
    }

    void layoutFitsTheScreen()
    {
        for (QSize screen : {QSize(1024, 768), QSize(1366, 768), QSize(640, 480)}) {
            StartForms(screen);
            fillStore();
            openCorner();
            TDocentForm* c = Corner();
            QCOMPARE(c->size(), screen);
            const QString problem =
                LayoutProblem({c->NaamLabel, c->NaamFilter, c->CodeLabel, c->CodeFilter, c->AantalLabel, c->ResultatenTabel,
                               c->OpenButton, c->NaamButton, c->VerwijderButton, c->CsvButton, c->CijferButton,
                               c->PdfButton, c->WerkbladButton, c->ToetsButton, c->StatusBalk});
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            QCOMPARE(c->ToetsButton->geometry().right(), c->ResultatenTabel->geometry().right());
            // Every column's text fits, nothing cut off with dots; from 1024 wide on the columns
            // fit the window's width too (at 640 x 480 the table scrolls sideways a little).
            QHeaderView* h = c->ResultatenTabel->horizontalHeader();
            int total = 0;
            for (int col = 0; col < h->count(); ++col)
                total += h->sectionSize(col);
            if (screen.width() >= 1024)
                QVERIFY2(total <= c->ResultatenTabel->viewport()->width(),
                         qPrintable(QStringLiteral("%1 > %2").arg(total).arg(c->ResultatenTabel->viewport()->width())));
            for (int col = 1; col < h->count(); ++col)
                for (int row = 0; row < Rows(c->ResultatenTabel); ++row)
                    QVERIFY(c->ResultatenTabel->fontMetrics().horizontalAdvance(Cell(c->ResultatenTabel, row, col)) + 6 <
                            h->sectionSize(col));
            // Each button's caption fits it.
            for (QPushButton* b : c->findChildren<QPushButton*>())
                QVERIFY2(b->fontMetrics().horizontalAdvance(b->text().remove(u'&')) < b->width(), qPrintable(b->objectName()));
            const QString size = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
            Shot(c, QStringLiteral("corner-") + size);
            QTest::mouseClick(c->ToetsButton, Qt::LeftButton);
            TToetsMakenForm* m = c->toetsForm();
            QVERIFY(m->height() <= screen.height() && m->width() <= screen.width());
            for (QWidget* w : m->findChildren<QWidget*>())
                if (w->parentWidget() == m && !w->isHidden())
                    QVERIFY2(m->rect().contains(w->geometry()), qPrintable(w->objectName()));
            for (QCheckBox* box : m->ThemaBoxes)
                QVERIFY(box->fontMetrics().horizontalAdvance(box->text()) + 30 < box->width());
            Shot(m, QStringLiteral("toets-") + size);
            m->reject();
        }
    }

    // The results button stands beside the information button, and every hint of the main
    // menu still fits in the status bar between it and Einde.
    void mainMenuButtonLeavesRoomForHints()
    {
        for (QSize screen : {QSize(640, 480), QSize(1024, 768), QSize(1366, 768)}) {
            StartForms(screen);
            TKavrin2MainForm* m = Main();
            QVERIFY(!Glyph(m->ResultatenButton).isNull());
            QCOMPARE(m->ResultatenButton->toolTip(), QStringLiteral("Resultaten"));
            QVERIFY(m->ResultatenButton->geometry().right() < m->HelpButton->x());
            QVERIFY(m->ResultatenButton->y() >= 0 && m->ResultatenButton->geometry().bottom() < m->StatusBalk->height());
            const int room = m->ResultatenButton->x() - (m->EindButton->x() + m->EindButton->width());
            const QFontMetrics fm(m->StatusBalk->font());
            for (QWidget* w : m->findChildren<QWidget*>())
                if (!Hint(w).isEmpty())
                    QVERIFY2(fm.horizontalAdvance(LongHint(Hint(w))) < room, qPrintable(Hint(w)));
        }
    }

    void describeTest()
    {
        TestCodeSettings s;
        s.sessionMode = 20;
        s.themes = 0b11100000u;
        s.level = 1;
        s.length = 10;
        QCOMPARE(DescribeTest(s), QStringLiteral("Driehoeksgetallen, thema's 26, 27, 28, Starter, 10 opgaven"));
    }
};

QTEST_MAIN(TestTeacherForm)
#include "tst_teacherform.moc"
