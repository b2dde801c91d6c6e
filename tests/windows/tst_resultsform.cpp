// The results window: its summary and list for a session, the right answers left out of a
// pupil's view of a coded test, each item again as drawn, the keyboard (list first, Enter,
// Escape), saving and printing through the report, and its layout on small and wide screens.
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/application.h"
#include "results/player.h"
#include "results/sample.h"
#include "formsfixture.h"
#include "ui/ui.h"
#include "windows/resultsform.h"

using namespace kav;
using testsupport::SampleSession;

namespace {

QString Field(TResultsForm& f, const char* key)
{
    auto* label = f.findChild<QLabel*>(QStringLiteral("Veld_") + QLatin1String(key));
    return label ? label->text() : QStringLiteral("(none)");
}

QString Cell(TResultsForm& f, int row, int column)
{
    QTableWidgetItem* item = f.ResultatenLijst->item(row, column);
    return item ? item->text() : QString();
}

bool TableHolds(TResultsForm& f, const QString& text)
{
    for (int r = 0; r < f.ResultatenLijst->rowCount(); ++r)
        for (int c = 0; c < f.ResultatenLijst->columnCount(); ++c)
            if (Cell(f, r, c) == text)
                return true;
    return false;
}

int PdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

}  // namespace

class TestResultsForm : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        SetUpApplication(*qApp);
        StartRecordingMessages();
        SetNonBlockingModals(true);
        SetScreenOverride(QSize(1024, 768));
    }

    void init()
    {
        ClearRecordedMessages();
        SetScreenOverride(QSize(1024, 768));
    }

    void cleanup()
    {
        SetPdfNameChooser({});
        SetPrinterChooser({});
    }

    void summaryAndList()
    {
        TResultsForm f(SampleSession(QStringLiteral("Jan"), QStringLiteral("ABCDEFGHJK")), ResultsView::Teacher);
        QCOMPARE(f.windowTitle(), QStringLiteral("Resultaten"));
        QCOMPARE(f.TitelLabel->text(), QStringLiteral("Resultaten"));
        QCOMPARE(Field(f, "naam"), QStringLiteral("Naam: Jan"));
        QCOMPARE(Field(f, "datum"), QStringLiteral("Datum: 7 december 2026, 14:05"));
        QCOMPARE(Field(f, "onderdeel"), QStringLiteral("Onderdeel: Verhoudingen, test"));
        QCOMPARE(Field(f, "niveau"), QStringLiteral("Niveau: Durver"));
        QCOMPARE(Field(f, "toetscode"), QStringLiteral("Toetscode: ABCDE-FGHJK"));
        QCOMPARE(Field(f, "score"), QStringLiteral("Score: 006 uit 003"));
        QCOMPARE(Field(f, "punten"), QStringLiteral("Punten: 6 van de 12 (50%)"));
        QCOMPARE(Field(f, "cijfer"), QStringLiteral("Cijfer: 5,5"));
        QCOMPARE(Field(f, "eerste"), QStringLiteral("Goed bij de eerste poging: 1"));
        QCOMPARE(Field(f, "tweede"), QStringLiteral("Goed bij de tweede poging: 1"));
        QCOMPARE(Field(f, "fout"), QStringLiteral("Fout: 1"));
        // A screen reader reads the summary whole, in one piece with the window.
        QVERIFY(f.accessibleDescription().contains(QStringLiteral("Naam: Jan.")));
        QVERIFY(f.accessibleDescription().contains(QStringLiteral(" Cijfer: 5,5. ")));
        QCOMPARE(Field(f, "tijd"), QStringLiteral("Tijd: 12 min 34 s"));
        QCOMPARE(Field(f, "status"), QStringLiteral("Status: voltooid"));

        QTableWidget* t = f.ResultatenLijst;
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(t->columnCount(), 6);
        QStringList headers;
        for (int c = 0; c < t->columnCount(); ++c)
            headers << t->horizontalHeaderItem(c)->text();
        QCOMPARE(headers.join(u'|'), QStringLiteral("Nr.|Thema|1e antwoord|2e antwoord|Goed/fout|Juiste antwoord"));
        QStringList row;
        for (int c = 0; c < t->columnCount(); ++c)
            row << Cell(f, 1, c);
        QCOMPARE(row.join(u'|'), QStringLiteral("2|16  Benzineverbruik van auto's|6,5|-7,25|fout|7,45"));
        QCOMPARE(Cell(f, 0, 3), QString());
        QCOMPARE(Cell(f, 2, 4), QStringLiteral("goed"));

        // Without a class code there is no toetscode, and stopped early says so, with what the
        // grade stands on beside it; an item left between its attempts is niet af.
        SessionResult s = SampleSession(QStringLiteral("Jan"));
        s.status = SessionStatus::Stopped;
        s.plannedItems = 20;
        s.maxPoints = MaxSessionPoints(20, 3, 2);
        s.items[2].unfinished = true;
        TResultsForm g(s, ResultsView::Pupil);
        QCOMPARE(Field(g, "toetscode"), QStringLiteral("(none)"));
        QCOMPARE(Field(g, "status"), QStringLiteral("Status: afgebroken"));
        QCOMPARE(Field(g, "cijfer"), QStringLiteral("Cijfer: 1,7 (opgaven: 3 van 20)"));
        QCOMPARE(Cell(g, 2, 4), QStringLiteral("niet af"));
        QCOMPARE(Field(g, "fout"), QStringLiteral("Fout: 1"));
        testsupport::Shot(&g, QStringLiteral("results-stopped"));
        s.plannedItems = UnknownPlan;  // kept before plans were
        TResultsForm old(s, ResultsView::Teacher);
        QCOMPARE(Field(old, "cijfer"), QStringLiteral("Cijfer: 1,7 (gepland: onbekend)"));
        testsupport::Shot(&old, QStringLiteral("results-old"));
        // Practice has no grade and no status.
        s.practice = true;
        s.status = SessionStatus::None;
        TResultsForm h(s, ResultsView::Pupil);
        QCOMPARE(Field(h, "cijfer"), QStringLiteral("Cijfer: \u2014"));
        QCOMPARE(Field(h, "status"), QStringLiteral("Status: \u2014"));
    }

    // Classmates may still be making a coded test: the pupil's view leaves the right answers
    // out, of the list and of the items drawn again; the teacher sees them.
    void rightAnswersPerView()
    {
        const SessionResult coded = SampleSession(QStringLiteral("Jan"), QStringLiteral("ABCDEFGHJK"));
        TResultsForm pupil(coded, ResultsView::Pupil);
        QVERIFY(!pupil.rightAnswersShown());
        QCOMPARE(pupil.ResultatenLijst->columnCount(), 5);
        QVERIFY(!TableHolds(pupil, QStringLiteral("7,45")));
        QVERIFY(TableHolds(pupil, QStringLiteral("-7,25")));
        TResultsForm teacher(coded, ResultsView::Teacher);
        QVERIFY(teacher.rightAnswersShown());
        QVERIFY(TableHolds(teacher, QStringLiteral("7,45")));
        TResultsForm practice(SampleSession(QStringLiteral("Jan")), ResultsView::Pupil);
        QVERIFY(practice.rightAnswersShown());
        QCOMPARE(practice.ResultatenLijst->columnCount(), 6);

        // A real wrong item: the teacher sees the text area as stored, the pupil without the answer.
        testsupport::SessionPlayer player;
        player.setUp();
        player.start(10, false, 0, QStringLiteral("Jan"), QStringLiteral("ABCDEFGHJK"));
        player.playItem(testsupport::Play::WrongTwice);
        const SessionResult played = player.rec.finish();
        TResultsForm p(played, ResultsView::Pupil), t(played, ResultsView::Teacher);
        p.showItem(0);
        t.showItem(0);
        const QImage stored = played.items[0].textImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(t.OpgaveBeeld->textImage().convertToFormat(QImage::Format_RGB32), stored);
        QVERIFY(p.OpgaveBeeld->textImage().convertToFormat(QImage::Format_RGB32) != stored);
        QCOMPARE(p.OpgaveBeeld->textImage(), ShownTextImage(played.items[0], false));
        QCOMPARE(p.OpgaveBeeld->pictureImage(), played.items[0].pictureImage());  // as the pupil answered on it
        testsupport::Shot(&p, QStringLiteral("results-item-pupil"));
        // In a view larger than the screen it was played on, the item is drawn again larger,
        // the answer still hidden from the pupil.
        p.OpgaveBeeld->resize(p.OpgaveBeeld->size() * 2);
        p.showItem(0);
        const QImage large = p.OpgaveBeeld->textImage();
        QVERIFY(large.width() > played.items[0].textArea().width());
        QCOMPARE(large, ShownTextImage(played.items[0], false, large.width() / double(played.items[0].textArea().width())));
        QVERIFY(large != ShownTextImage(played.items[0], true, large.width() / double(played.items[0].textArea().width())));

        // An item of a coded test kept before its picture was kept as asked may show the answer
        // in its picture: the pupil's window and paper leave that picture out.
        SessionResult old = coded;
        for (ItemResult& i : old.items)
            i.pictureAsAsked = false;
        old.items[1].pictureAsAsked = true;
        TResultsForm oldPupil(old, ResultsView::Pupil), oldTeacher(old, ResultsView::Teacher);
        oldPupil.showItem(0);
        oldTeacher.showItem(0);
        QVERIFY(oldPupil.OpgaveBeeld->pictureImage().isNull());
        QCOMPARE(oldTeacher.OpgaveBeeld->pictureImage(), old.items[0].pictureImage());
        oldPupil.showItem(1);
        QVERIFY(!oldPupil.OpgaveBeeld->pictureImage().isNull());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("plan.pdf")));
        const ReportPlan forPupil = PlanReport(&printer, old, ReportOptions{false});
        const ReportPlan forTeacher = PlanReport(&printer, old, ReportOptions{true});
        QVERIFY(forPupil.items[0].picture.isEmpty() && forPupil.items[2].picture.isEmpty());
        QVERIFY(!forPupil.items[1].picture.isEmpty());
        QVERIFY(!forTeacher.items[0].picture.isEmpty());
    }

    // A click or Enter on an item shows it again; Terug and Escape go back to the list, where
    // Escape closes the window.
    void itemsShownAgain()
    {
        const SessionResult s = SampleSession(QStringLiteral("Jan"));
        TResultsForm f(s, ResultsView::Teacher);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTableWidget* t = f.ResultatenLijst;
        QCOMPARE(QApplication::focusWidget(), t);
        QCOMPARE(f.shownItem(), -1);

        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(1, 1)).center());
        QCOMPARE(f.shownItem(), 1);
        QVERIFY(f.OpgavePanel->isVisible());
        QVERIFY(!t->isVisible());
        QVERIFY(!f.SluitButton->isVisible());
        QCOMPARE(f.OpgaveBeeld->textImage(), s.items[1].textImage());
        QCOMPARE(f.OpgaveBeeld->pictureImage(), s.items[1].pictureImage());
        QVERIFY(f.OpgaveTitel->text().contains(QStringLiteral("Benzineverbruik van auto's")));
        // Side by side, scaled alike, inside the view.
        const QRect tr = f.OpgaveBeeld->textRect(), pr = f.OpgaveBeeld->pictureRect();
        QVERIFY(f.OpgaveBeeld->rect().contains(tr) && f.OpgaveBeeld->rect().contains(pr));
        QCOMPARE(pr.left(), tr.right() + 1);
        QVERIFY(qAbs(double(pr.height()) / tr.height() - 160.0 / 200) < 0.02);

        QTest::mouseClick(f.VolgendeButton, Qt::LeftButton);
        QCOMPARE(f.shownItem(), 2);
        QVERIFY(!f.VolgendeButton->isEnabled());
        QTest::mouseClick(f.VorigeButton, Qt::LeftButton);
        QTest::mouseClick(f.VorigeButton, Qt::LeftButton);
        QCOMPARE(f.shownItem(), 0);
        QVERIFY(!f.VorigeButton->isEnabled());
        QVERIFY(f.focusWidget() && f.focusWidget()->isEnabled());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(f.shownItem(), -1);
        QVERIFY(f.isVisible());
        QCOMPARE(QApplication::focusWidget(), t);
        QCOMPARE(t->currentRow(), 0);

        // Enter on the list shows the current item; Enter on Terug goes back.
        QTest::keyClick(t, Qt::Key_Down);
        QTest::keyClick(t, Qt::Key_Down);
        QTest::keyClick(t, Qt::Key_Return);
        QCOMPARE(f.shownItem(), 2);
        QCOMPARE(QApplication::focusWidget(), f.TerugButton);
        QTest::keyClick(f.TerugButton, Qt::Key_Return);
        QCOMPARE(f.shownItem(), -1);
        QVERIFY(f.isVisible());
        QCOMPARE(t->currentRow(), 2);

        QTest::keyClick(t, Qt::Key_Escape);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Rejected));
    }

    // Tab goes from the list to the buttons; Enter presses the button that has the focus.
    void keyboardOnButtons()
    {
        const QString path = dir.filePath(QStringLiteral("enter.pdf"));
        SetPdfNameChooser([&](QWidget*, const QString&) { return path; });
        TResultsForm f(SampleSession(QStringLiteral("Jan")), ResultsView::Pupil);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTest::keyClick(f.ResultatenLijst, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.AfdrukButton);
        QTest::keyClick(f.AfdrukButton, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.PdfButton);
        QTest::keyClick(f.PdfButton, Qt::Key_Return);
        QVERIFY(QFile::exists(path));
        QVERIFY(f.isVisible());
        QTest::keyClick(f.PdfButton, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.SluitButton);
        QTest::keyClick(f.SluitButton, Qt::Key_Return);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Accepted));
    }

    // "Opslaan als PDF…" offers a name in the home folder and writes the report; a file that
    // can't be written is told through the message helper and changes nothing else.
    void savingAsPdf()
    {
        SessionResult s = SampleSession(QStringLiteral("Jan"), QStringLiteral("ABCDEFGHJK"));
        QCOMPARE(SuggestedPdfPath(s), QDir::home().filePath(QStringLiteral("Resultaten Jan 2026-12-07.pdf")));
        s.name = QStringLiteral(" a/b\\c: \t");
        QCOMPARE(SuggestedPdfPath(s), QDir::home().filePath(QStringLiteral("Resultaten a b c 2026-12-07.pdf")));
        s.name.clear();
        QCOMPARE(SuggestedPdfPath(s), QDir::home().filePath(QStringLiteral("Resultaten 2026-12-07.pdf")));

        QString offered;
        const QString path = dir.filePath(QStringLiteral("rapport"));
        SetPdfNameChooser([&](QWidget*, const QString& suggested) {
            offered = suggested;
            return path;
        });
        TResultsForm f(SampleSession(QStringLiteral("Jan"), QStringLiteral("ABCDEFGHJK")), ResultsView::Pupil);
        QTest::mouseClick(f.PdfButton, Qt::LeftButton);
        QCOMPARE(offered, SuggestedPdfPath(f.session()));
        QCOMPARE(PdfPages(path + QStringLiteral(".pdf")), 1);
        QVERIFY(f.StatusLabel->text().contains(QStringLiteral("rapport.pdf")));
        QVERIFY(RecordedMessages().isEmpty());

        SetPdfNameChooser([&](QWidget*, const QString&) { return dir.filePath(QStringLiteral("geen-map/x.pdf")); });
        QTest::mouseClick(f.PdfButton, Qt::LeftButton);
        QCOMPARE(RecordedMessages().size(), 1);
        QVERIFY(RecordedMessages().first().contains(QStringLiteral("geen-map/x.pdf")));
        QVERIFY(f.StatusLabel->text().isEmpty());
        // Cancelled: nothing happens.
        ClearRecordedMessages();
        SetPdfNameChooser([](QWidget*, const QString&) { return QString(); });
        QTest::mouseClick(f.PdfButton, Qt::LeftButton);
        QVERIFY(RecordedMessages().isEmpty());
    }

    // "Afdrukken…" draws the report on the printer the dialog leaves (here one that prints
    // into a PDF file), A4 with the report's margins.
    void printing()
    {
        const QString path = dir.filePath(QStringLiteral("printer.pdf"));
        bool asked = false;
        SetPrinterChooser([&](QWidget*, QPrinter* printer) {
            asked = true;
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(path);
            return true;
        });
        testsupport::SessionPlayer player;
        player.setUp();
        const SessionResult s = player.playSession(20, true, 1, 12, 5, QStringLiteral("Jan"));
        TResultsForm f(s, ResultsView::Teacher);
        QTest::mouseClick(f.AfdrukButton, Qt::LeftButton);
        QVERIFY(asked);
        QPrinter same(QPrinter::HighResolution);
        same.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                       QPageLayout::Millimeter));
        same.setOutputFormat(QPrinter::PdfFormat);
        same.setOutputFileName(dir.filePath(QStringLiteral("unused.pdf")));
        QCOMPARE(PdfPages(path), PlanReport(&same, s, {}).pages);
        QVERIFY(PdfPages(path) >= 2);
        QCOMPARE(f.StatusLabel->text(), QStringLiteral("Naar de printer gestuurd."));
        // Cancelled in the dialog: nothing printed.
        QFile::remove(path);
        SetPrinterChooser([](QWidget*, QPrinter*) { return false; });
        QTest::mouseClick(f.AfdrukButton, Qt::LeftButton);
        QVERIFY(!QFile::exists(path));
    }

    // The window covers the screen; nothing overlaps or sticks out, no header text is cut, the
    // list's columns fit without scrolling sideways, and the item view fits too.
    void layoutOnScreens_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("1024x768") << QSize(1024, 768);
        QTest::newRow("1366x768") << QSize(1366, 768);
        QTest::newRow("800x600") << QSize(800, 600);
        QTest::newRow("1920x1080") << QSize(1920, 1080);
    }
    void layoutOnScreens()
    {
        QFETCH(QSize, screen);
        SetScreenOverride(screen);
        testsupport::SessionPlayer player;
        player.setUp();
        SessionResult s = player.playSession(-10, false, 0, 20, 8, QStringLiteral("Annemarie van den Heuvel-Smit"),
                                             QStringLiteral("ABCDEFGHJK"));
        TResultsForm f(s, ResultsView::Teacher);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.size(), screen);
        QVERIFY(f.ResultatenLijst->hasFocus());
        QString problem = testsupport::LayoutProblem({f.TitelLabel, f.KopPanel, f.ResultatenLijst, f.AfdrukButton,
                                                      f.PdfButton, f.StatusLabel, f.SluitButton});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        for (QLabel* l : f.KopPanel->findChildren<QLabel*>()) {
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
            QVERIFY2(f.KopPanel->rect().contains(l->geometry()), qPrintable(l->text()));
        }
        for (QPushButton* b : f.findChildren<QPushButton*>())
            QVERIFY2(b->width() >= b->fontMetrics().horizontalAdvance(b->text().remove(u'&')) + 8,
                     qPrintable(b->objectName()));
        QCOMPARE(f.ResultatenLijst->horizontalScrollBar()->maximum(), 0);
        testsupport::Shot(&f, QStringLiteral("results-%1x%2").arg(screen.width()).arg(screen.height()));

        f.showItem(3);
        problem = testsupport::LayoutProblem({f.OpgaveTitel, f.OpgaveBeeld, f.VorigeButton, f.VolgendeButton, f.TerugButton});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(f.OpgaveBeeld->rect().contains(f.OpgaveBeeld->pictureRect()));
        // At 1024 x 768 the drawing is shown nearly at its own size.
        if (screen == QSize(1024, 768))
            QVERIFY(f.OpgaveBeeld->pictureRect().width() > 0.75 * s.items[3].pictureImage().width());
        testsupport::Shot(&f, QStringLiteral("results-item-%1x%2").arg(screen.width()).arg(screen.height()));
    }

    // From the session window: shown modally (here without blocking), closed with Escape and
    // then gone.
    void shownAndClosed()
    {
        ShowResultsWindow(nullptr, SampleSession(QStringLiteral("Jan")), ResultsView::Pupil);
        QPointer<TResultsForm> f;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* r = qobject_cast<TResultsForm*>(w); r && r->isVisible())
                f = r;
        QVERIFY(f);
        QVERIFY(f->isModal() || f->windowModality() == Qt::ApplicationModal);
        QTest::keyClick(f->ResultatenLijst, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f);
    }
};

QTEST_MAIN(TestResultsForm)
#include "tst_resultsform.moc"
