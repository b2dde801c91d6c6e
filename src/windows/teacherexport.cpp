// The teacher's corner's exports: the chosen sessions (or every one shown) as a CSV file, a
// grade book or a PDF report, read from the store one session at a time. A long PDF shows
// its progress and can be cancelled, leaving no file.
#include <QApplication>
#include <QFile>
#include <QProgressDialog>

#include "draw/messages.h"
#include "results/csvexport.h"
#include "results/report.h"
#include "ui/filechoice.h"
#include "windows/teacherform.h"

namespace kav {

namespace {

// A PDF of more pages than this is announced before it is made.
constexpr int ManyPages = 100;

}  // namespace

bool TDocentForm::writePdf(const QString& path, const QVector<qint64>& ids, QString* error, bool* cancelled)
{
    bool failed = false;
    const ReportOptions options{true};
    if (ids.size() > 1) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const int pages = CountReportPages(store_->source(ids, true, &failed), options);
        QApplication::restoreOverrideCursor();
        if (pages > ManyPages &&
            !AskYesNo(QStringLiteral("Het PDF-bestand wordt %1 pagina's lang. Wil je het maken?").arg(pages))) {
            *cancelled = true;
            return false;
        }
    }
    QProgressDialog progress(QStringLiteral("PDF-bestand maken…"), QStringLiteral("Annuleren"), 0, int(ids.size()), this);
    progress.setWindowTitle(QStringLiteral("Resultaten exporteren als PDF"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const QString title = ids.size() == 1 ? QStringLiteral("Resultaten") : QStringLiteral("Resultaten van de klas");
    const bool ok = !failed && WriteReportPdf(path, title, store_->source(ids, true, &failed), options, error,
                                              [&progress](int done) {
                                                  progress.setValue(done);
                                                  QCoreApplication::processEvents();
                                                  return !progress.wasCanceled();
                                              });
    *cancelled = progress.wasCanceled();
    return ok && !failed;
}

void TDocentForm::exportSessions(const QString& title, const QString& base, Export kind)
{
    if (!store_ || !store_->available())
        return;
    QVector<qint64> ids = selectedIds();
    if (ids.isEmpty())
        ids = shownIds();
    if (ids.isEmpty())
        return;
    const QString suffix = kind == Export::Pdf ? QStringLiteral("pdf") : QStringLiteral("csv");
    const QString path = ChooseSaveFile(this, title, suggestedFileName(base, suffix), suffix,
                                        suffix.toUpper() + QStringLiteral("-bestanden (*.") + suffix + QLatin1Char(')'));
    if (path.isEmpty())
        return;
    QString error;
    bool failed = false, cancelled = false, written = false;
    if (kind == Export::Pdf) {
        written = writePdf(path, ids, &error, &cancelled);
        failed = !written && !cancelled && error.isEmpty();
    } else {
        // No picture is read for a CSV file.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const SessionSource next = store_->source(ids, false, &failed);
        written = kind == Export::Csv ? writeCsvFrom(path, next, &error) : writeGradeBookFrom(path, next, &error);
        QApplication::restoreOverrideCursor();
    }
    if (failed) {
        QFile::remove(path);  // a file without a session that was chosen is no export
        ShowMessage(QStringLiteral("Een resultaat kon niet worden gelezen; er is niets bewaard."));
        return;
    }
    if (cancelled)
        return;
    if (!written) {
        ShowMessage(error.isEmpty() ? FileWriteError(path) : error);
        return;
    }
    ShowMessage(QStringLiteral("De resultaten zijn bewaard in\r") + path, MessageKind::Information);
}

void TDocentForm::CsvButtonClick()
{
    exportSessions(QStringLiteral("Resultaten exporteren als CSV"), QStringLiteral("resultaten"), Export::Csv);
}

void TDocentForm::PdfButtonClick()
{
    exportSessions(QStringLiteral("Resultaten exporteren als PDF"), QStringLiteral("resultaten"), Export::Pdf);
}

void TDocentForm::CijferButtonClick()
{
    exportSessions(QStringLiteral("Cijferlijst exporteren (CSV)"), QStringLiteral("cijferlijst"), Export::GradeBook);
}

}  // namespace kav
