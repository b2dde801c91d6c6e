#include "store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdio>
#include <ctime>
#include <functional>
#include <cstdlib>
#include <string>
#include <tuple>

#include "measure.h"
#include "overview.h"
#include "results.h"
#include "results/store.h"
#include "windows/teacherform.h"

namespace bench {

namespace {

constexpr int ItemsPerSession = 20;
constexpr int Pupils = 600;

// A session as a pupil leaves it, its items with the texts of their question and answers.
kav::SessionResult Session(const QString& name, int k)
{
    kav::SessionResult r;
    r.name = name;
    r.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    r.sessionMode = QVector<int>{0, 10, 20}[k % 3];
    r.level = 1 + k % 3;
    r.started = QDateTime(QDate(2022, 8, 20), QTime(8, 30)).addSecs(qint64(k) * 1200);
    r.ended = r.started.addSecs(900);
    r.status = kav::SessionStatus::Completed;
    r.plannedItems = ItemsPerSession;
    for (int i = 1; i <= ItemsPerSession; ++i) {
        kav::ItemResult item;
        item.number = i;
        item.themeCode = 1 + (k + i) % 7;
        item.themeTitle = QStringLiteral("Omrekenen van geld");
        item.firstAnswer = QString::number(12 + i);
        item.right = (k + i) % 4 != 0;
        item.rightAnswer = QString::number(12 + i);
        item.points = item.right ? 2 * r.level : 0;
        r.points += item.points;
        for (int line = 0; line < 4; ++line)
            item.texts.append({QStringLiteral("Een klas van %1 leerlingen betaalt samen € %2,50 voor de bus.").arg(20 + i).arg(k % 900),
                               8, 20 + 24 * line, QColor(0, 0, 128), 12, line == 0, 0});
        r.items.append(item);
    }
    r.maxPoints = 2 * r.level * ItemsPerSession;
    r.scoreText = QStringLiteral("%1 uit %2").arg(r.points).arg(r.maxPoints);
    return r;
}

// The process's resident memory now, in MB.
double ResidentMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void Line(const char* what, double value, const char* unit, double goal)
{
    std::printf("  %-44s %10.1f %-3s %s (goal <= %.0f %s)\n", what, value, unit, value <= goal ? " " : "!", goal, unit);
}

// Fills the store: a first part written session by session through the store as the program
// writes them, the rest copied from it inside SQLite (the same rows under new numbers and
// names), which takes minutes less than 120,000 separate transactions on disk.
bool Fill(const QString& path, int sessions)
{
    const int written = std::min(sessions, 2000);
    {
        kav::ResultStore store(path);
        if (!store.available())
            return false;
        for (int k = 0; k < written; ++k)
            if (store.save(Session(QStringLiteral("Leerling %1").arg(k % Pupils, 3, 10, QLatin1Char('0')), k)) == 0)
                return false;
        store.save(Session(QStringLiteral("Eenling"), 1));
        for (int k = 0; k < 100; ++k)
            store.save(Session(QStringLiteral("Honderd"), k));
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
    db.setDatabaseName(path);
    bool ok = db.open();
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        for (int done = written; ok && done < sessions; done += written) {
            const int n = std::min(written, sessions - done);
            ok = db.transaction();
            ok = ok && q.exec(QStringLiteral("INSERT INTO items (session_id, number, theme, title, answer1, answer2, correct,"
                                             " right_answer, points, attempts, text_png, picture_png, texts, unfinished,"
                                             " picture_as_asked, kept, pictures_packed) SELECT session_id + %1, number,"
                                             " theme, title, answer1, answer2, correct, right_answer, points, attempts,"
                                             " text_png, picture_png, texts, unfinished, picture_as_asked, kept,"
                                             " pictures_packed FROM items WHERE session_id <= %2")
                                  .arg(done + 101).arg(n));
            ok = ok && q.exec(QStringLiteral("INSERT INTO sessions (id, name, code, mode, practice, level, started, ended,"
                                             " finished, score, points, max_points, uuid, planned, status, item_count)"
                                             " SELECT id + %1, 'Leerling ' || substr('00' || ((id + %1) % %3), -3),"
                                             " code, mode, practice, level, started, ended, finished, score, points,"
                                             " max_points, lower(hex(randomblob(16))), planned, status, item_count"
                                             " FROM sessions WHERE id <= %2")
                                  .arg(done + 101).arg(n).arg(Pupils));
            ok = ok && db.commit();
        }
        // As in a store in use for years: its pictures' conversion went through long ago.
        ok = ok && q.exec(QStringLiteral("INSERT OR REPLACE INTO store_notes (key, value)"
                                         " SELECT 'plaatjes-tot', MAX(rowid) FROM items"));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
    return ok;
}

// The corner on the store in XDG_DATA_HOME: its first table, filtering, scrolling, sorting and
// its memory.
void CornerFigures()
{
    const double before = ResidentMb();
    auto* corner = new kav::TDocentForm;
    corner->layoutForScreen(QSize(1920, 1080));
    // From the teacher's action until the table shows its rows (counted in another thread on a
    // store this size): wall time, and the processor time of the whole process meanwhile.
    auto timed = [corner](const char* what, double goal, const std::function<void()>& action) {
        QElapsedTimer clock;
        clock.start();
        const std::clock_t cpu = std::clock();
        action();
        while (corner->model()->busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        corner->ResultatenTabel->grab();  // the rows in view read and drawn
        const double ms = clock.nsecsElapsed() / 1e6;
        std::printf("  %-44s %10.1f ms  %s (goal <= %.0f ms; %.0f ms processor)\n", what, ms, ms <= goal ? " " : "!", goal,
                    (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
    };
    timed("the corner's first table", 300, [corner] { corner->refresh(); });
    std::printf("  %-44s %10d\n", "  rows", corner->model()->rowCount());
    timed("one filter keystroke", 100, [corner] { corner->NaamFilter->setText(QStringLiteral("Leerling 12")); });
    timed("the filter cleared", 100, [corner] { corner->NaamFilter->clear(); });
    timed("scrolled to the last row", 100, [corner] { corner->ResultatenTabel->scrollToBottom(); });
    timed("sorted by grade", 300, [corner] {
        corner->ResultatenTabel->sortByColumn(kav::SessionTableModel::CijferCol, Qt::AscendingOrder);
    });
    Line("memory with the corner open (process)", ResidentMb(), "MB", 150);
    std::printf("  %-44s %10.1f MB\n", "  of which the corner", ResidentMb() - before);
    delete corner;
    kav::ResultStore::WaitForBackgroundWork();  // the corner's daily check
}

}  // namespace

void StoreFigures(const std::string& program, int sessions)
{
    // Only the corner, on a store kept before: KAVRIN_BENCH_CORNER=<folder>.
    if (qEnvironmentVariableIsSet("KAVRIN_BENCH_CORNER")) {
        qputenv("XDG_DATA_HOME", qgetenv("KAVRIN_BENCH_CORNER"));
        std::printf("\nThe corner on the store in %s:\n", qgetenv("KAVRIN_BENCH_CORNER").constData());
        CornerFigures();
        return;
    }
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kavrin-bench-store-XXXXXX"));
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    const QString path = kav::ResultStore::DefaultPath();
    // Kept for a look at the corner by hand: XDG_DATA_HOME=<folder> kavrin2.
    if (qEnvironmentVariableIsSet("KAVRIN_BENCH_KEEP_STORE")) {
        dir.setAutoRemove(false);
        std::printf("  (the store is kept: XDG_DATA_HOME=%s)\n", qPrintable(dir.path()));
    }
    std::printf("\nThe results store with %d sessions of %d items (texts, no pictures):\n", sessions, ItemsPerSession);
    QElapsedTimer clock;
    clock.start();
    if (!Fill(path, sessions)) {
        std::printf("  the store could not be filled\n");
        return;
    }
    std::printf("  %-44s %10.1f s    (%.0f MB on disk)\n", "filled in", clock.elapsed() / 1000.0,
                QFileInfo(path).size() / 1048576.0);

    clock.restart();
    {
        kav::ResultStore store(path);
        Line("opening the store", clock.nsecsElapsed() / 1e6, "ms", 200);
    }
    const std::string out = dir.path().toStdString() + "/export";
    const ChildRun csv = RunChild(program, {"--export-results", out + ".csv"});
    if (csv.status == 0) {
        Line("CSV export of every session", csv.wallMs / 1000.0, "s", 30);
        Line("CSV export's peak memory", csv.peakKb / 1024.0, "MB", 100);
    } else {
        std::printf("  the CSV export failed\n");
    }
    // A PDF: the whole process for one session, and per item what 100 sessions take more; of
    // items with their texts only, and of items kept by playing them, drawn again in the PDF.
    const bool played = PlayIntoStore(path, QStringLiteral("Getekend"), 1, ItemsPerSession) &&
                        PlayIntoStore(path, QStringLiteral("Honderd getekend"), 100, ItemsPerSession);
    if (!played)
        std::printf("  the played sessions could not be stored\n");
    for (const auto& [one, hundred, what] :
         {std::tuple{"Eenling", "Honderd", "texts only"}, std::tuple{"Getekend", "Honderd getekend", "items drawn again"}}) {
        if (!played && std::string(one) == "Getekend")
            break;
        const ChildRun first = RunChild(program, {"--export-results", out + "-1.pdf", "--name", one});
        const ChildRun all = RunChild(program, {"--export-results", out + "-100.pdf", "--name", hundred});
        if (first.status != 0 || all.status != 0) {
            std::printf("  the PDF of %s failed\n", what);
            continue;
        }
        std::printf("  PDF, %s:\n", what);
        std::printf("  %-44s %10.2f s    (%.0f MB peak, whole process)\n", "  of 1 session", first.wallMs / 1000.0,
                    first.peakKb / 1024.0);
        std::printf("  %-44s %10.2f s    (%.0f MB peak, whole process)\n", "  of 100 sessions", all.wallMs / 1000.0,
                    all.peakKb / 1024.0);
        Line("  per item (100 sessions less 1)", (all.wallMs - first.wallMs) / (99 * ItemsPerSession), "ms", 5);
    }
    // The corner last: a child started from a large process would count its memory as its own.
    CornerFigures();
    kav::ResultStore::WaitForBackgroundWork();
    ClassOverviewFigures(path);
}

}  // namespace bench
