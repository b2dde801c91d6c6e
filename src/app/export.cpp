#include "app/export.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/commandline.h"
#include "draw/pictures.h"
#include "results/csvexport.h"
#include "results/report.h"
#include "results/store.h"
#include "results/worksheet.h"
#include "session/session.h"

namespace kav {

namespace {

void Say(std::FILE* to, const QString& text)
{
    std::fprintf(to, "%s\n", OneLine(text).toLocal8Bit().constData());
}

}  // namespace

bool StoredSessions(const QString& path, const QString& name, QVector<SessionResult>* sessions, QString* notice)
{
    sessions->clear();
    notice->clear();
    // An export only reads: where nothing was ever stored, no store is made.
    if (!QFileInfo::exists(path))
        return true;
    ResultStore store(path);
    *notice = store.takeNotice();
    if (!store.available()) {
        if (notice->isEmpty())
            *notice = QStringLiteral("de resultaten in %1 kunnen niet worden gelezen").arg(path);
        return false;
    }
    ResultFilter filter;
    filter.name = name;
    // The store finds every name that holds the given one; one pupil's are the whole name.
    for (const SessionSummary& summary : store.list(filter)) {
        if (!name.isEmpty() && summary.name.trimmed().compare(name.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        if (std::optional<SessionResult> s = store.load(summary.id))
            sessions->append(*s);
    }
    std::stable_sort(sessions->begin(), sessions->end(), [](const SessionResult& a, const SessionResult& b) {
        const int byName = a.name.trimmed().compare(b.name.trimmed(), Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.started < b.started;
    });
    return true;
}

int RunExport(int argc, char** argv, const ExportOptions& o)
{
    // A PDF needs the fonts of a graphical application, but never a screen; a CSV file needs
    // neither.
    std::unique_ptr<QCoreApplication> app;
    if (o.pdf()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QString notice;
    QVector<SessionResult> sessions;
    const bool read = StoredSessions(ResultStore::DefaultPath(), o.name, &sessions, &notice);
    if (!notice.isEmpty())
        Say(stderr, notice);
    if (!read)
        return 1;
    if (!o.name.isEmpty() && sessions.isEmpty()) {
        Say(stderr, QStringLiteral("Geen sessies van %1").arg(o.name));
        return 1;
    }
    QString error;
    ReportOptions report;
    report.rightAnswers = true;
    const bool ok = o.pdf()          ? WriteReportPdf(o.file, sessions, report, &error)
                    : o.perSession ? writeGradeBook(o.file, sessions, &error)
                                   : writeCsv(o.file, sessions, &error);
    if (!ok) {
        Say(stderr, error);
        return 1;
    }
    Say(stdout, QStringLiteral("%1 %2 geschreven naar %3")
                    .arg(sessions.size())
                    .arg(sessions.size() == 1 ? QStringLiteral("sessie") : QStringLiteral("sessies"))
                    .arg(o.file));
    return 0;
}

int RunWorksheet(int argc, char** argv, const WorksheetOptions& o)
{
    // Fonts and drawing, but never a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (Library lib : {Library::Reskav2, Library::Boekhoud})
        if (!OpenLibrary(lib)) {
            Say(stderr, LibraryErrorMessage(lib));
            CloseLibraries();
            return 1;
        }
    ReadDecimalSeparator();
    const Worksheet sheet = MakeWorksheet(o.request);
    if (!sheet.leftOut.isEmpty()) {
        QString left = LeftOutMessage(sheet.leftOut);
        left[0] = left[0].toLower();
        Say(stderr, left);
    }
    QString error;
    const bool ok = WriteWorksheetPdf(o.file, sheet, o.key ? WorksheetParts::Both : WorksheetParts::Sheet, &error);
    CloseLibraries();
    if (!ok) {
        Say(stderr, error);
        return 1;
    }
    Say(stdout, QStringLiteral("werkblad met %1 geschreven naar %2")
                    .arg(sheet.items.size() == 1 ? QStringLiteral("1 opgave") : QStringLiteral("%1 opgaven").arg(sheet.items.size()))
                    .arg(o.file));
    return 0;
}

}  // namespace kav
