#include "app/export.h"

#include <QCoreApplication>
#include <QFile>
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

bool StoredSessionIds(ResultStore& store, const QString& name, QVector<qint64>* ids)
{
    ids->clear();
    ResultFilter filter;
    filter.name = name;
    QVector<SessionSummary> found = store.list(filter);
    if (store.lastFailure() != StoreFailure::None)
        return false;
    // The store finds every name that holds the given one; one pupil's are the whole name.
    if (!name.isEmpty())
        found.removeIf([&name](const SessionSummary& s) {
            return s.name.trimmed().compare(name.trimmed(), Qt::CaseInsensitive) != 0;
        });
    std::stable_sort(found.begin(), found.end(), [](const SessionSummary& a, const SessionSummary& b) {
        const int byName = a.name.trimmed().compare(b.name.trimmed(), Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.started < b.started;
    });
    for (const SessionSummary& s : found)
        ids->append(s.id);
    return true;
}

bool StoredSessions(const QString& path, const QString& name, QVector<SessionResult>* sessions, QString* notice)
{
    sessions->clear();
    notice->clear();
    // An export only reads: where nothing was ever stored, no store is made.
    if (!QFileInfo::exists(path))
        return true;
    ResultStore store(path);
    *notice = store.takeNotice();
    QVector<qint64> ids;
    if (!store.available() || !StoredSessionIds(store, name, &ids)) {
        if (notice->isEmpty())
            *notice = QStringLiteral("de resultaten in %1 kunnen niet worden gelezen").arg(path);
        return false;
    }
    bool failed = false;
    const SessionSource next = store.source(ids, true, &failed);
    for (SessionResult s; next(s);)
        sessions->append(s);
    return !failed;
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
    const QString path = ResultStore::DefaultPath();
    QVector<qint64> ids;
    std::unique_ptr<ResultStore> store;
    // An export only reads: where nothing was ever stored, no store is made.
    if (QFileInfo::exists(path)) {
        store = std::make_unique<ResultStore>(path);
        const QString notice = store->takeNotice();
        if (!notice.isEmpty())
            Say(stderr, notice);
        if (!store->available() || !StoredSessionIds(*store, o.name, &ids)) {
            if (notice.isEmpty())
                Say(stderr, QStringLiteral("de resultaten in %1 kunnen niet worden gelezen").arg(path));
            return 1;
        }
    }
    if (!o.name.isEmpty() && ids.isEmpty()) {
        Say(stderr, QStringLiteral("Geen sessies van %1").arg(o.name));
        return 1;
    }
    // Session by session: a CSV file reads no picture at all.
    bool failed = false;
    const SessionSource next = store ? store->source(ids, o.pdf(), &failed)
                                     : SessionSource([](SessionResult&) { return false; });
    QString error;
    ReportOptions report;
    report.rightAnswers = true;
    const QString title = o.name.isEmpty() ? QStringLiteral("Resultaten") : QStringLiteral("Resultaten van ") + o.name;
    bool ok = o.pdf()          ? WriteReportPdf(o.file, title, next, report, &error)
              : o.perSession ? writeGradeBookFrom(o.file, next, &error)
                             : writeCsvFrom(o.file, next, &error);
    if (failed) {
        // A session that could not be read is no reason to leave a file without it.
        QFile::remove(o.file);
        error = QStringLiteral("de resultaten in %1 kunnen niet worden gelezen").arg(path);
        ok = false;
    }
    if (!ok) {
        Say(stderr, error);
        return 1;
    }
    Say(stdout, QStringLiteral("%1 %2 geschreven naar %3")
                    .arg(ids.size())
                    .arg(ids.size() == 1 ? QStringLiteral("sessie") : QStringLiteral("sessies"))
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
