#include "handin.h"

#include <QColor>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdio>
#include <ctime>
#include <functional>
#include <unistd.h>

#include "measure.h"
#include "results/handin.h"
#include "results/schoolserver.h"
#include "results/serveradmin.h"
#include "results/store.h"

namespace bench {

namespace {

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// A finished test of 20 items as the recorder leaves it: texts as drawn and a few hundred
// bytes that draw each item again.
kav::SessionResult TwentyItems(int k)
{
    kav::SessionResult r;
    r.name = QStringLiteral("Leerling %1").arg(k);
    r.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    r.sessionMode = 10;
    r.level = 2;
    r.started = QDateTime::currentDateTime();
    r.ended = r.started.addSecs(900);
    r.status = kav::SessionStatus::Completed;
    r.plannedItems = 20;
    for (int n = 1; n <= 20; ++n) {
        kav::ItemResult i;
        i.number = n;
        i.themeCode = 11 + n % 8;
        i.themeTitle = QStringLiteral("Verhoudingen in een tabel");
        i.firstAnswer = QString::number(7 * n);
        i.right = n % 3 != 0;
        i.rightAnswer = i.firstAnswer;
        i.points = i.right ? 4 : 0;
        i.attempts = 1;
        i.kept = QByteArray(320, char(n));
        for (int line = 0; line < 6; ++line)
            i.texts.append({QStringLiteral("Hoeveel liter benzine gaat er in %1 tanks van 45 liter?").arg(n), 13,
                            26 + 22 * line, QColor(0, 0, 0), 15, false, 0});
        r.points += i.points;
        r.items.append(i);
    }
    r.maxPoints = 80;
    r.scoreText = QStringLiteral("%1 uit 20").arg(r.points / 4);
    return r;
}

}  // namespace

void HandInFigures(int rounds)
{
    QMap<QString, QString> admin;
    QString error;
    const QString given = qEnvironmentVariable("KAVRIN_BENCH_SERVER");
    if (!given.isEmpty()) {
        if (!kav::ParseConnectionString(given, &admin, &error)) {
            std::printf("Hand-in: KAVRIN_BENCH_SERVER: %s\n\n", qPrintable(error));
            return;
        }
    } else if (!qEnvironmentVariable("PGHOST").isEmpty()) {
        admin = {{QStringLiteral("host"), qEnvironmentVariable("PGHOST")},
                 {QStringLiteral("dbname"), QStringLiteral("postgres")}};
    } else {
        std::printf("Hand-in to the school server: skipped (no server: run under pg_virtualenv, or give an\n"
                    "administrator's connection string in KAVRIN_BENCH_SERVER)\n\n");
        return;
    }
    const QString database = QStringLiteral("kavrin2_bench_%1").arg(getpid());
    auto asAdmin = [&](const QString& db, const std::function<void(QSqlDatabase&)>& work) {
        QMap<QString, QString> f = admin;
        if (!db.isEmpty())
            f.insert(QStringLiteral("dbname"), db);
        const QString name = QStringLiteral("bench-admin");
        if (kav::OpenServer(name, f, &error)) {
            QSqlDatabase conn = QSqlDatabase::database(name, false);
            work(conn);
            conn.close();
        }
        QSqlDatabase::removeDatabase(name);
    };
    asAdmin(QString(), [&](QSqlDatabase& db) { QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + database); });
    kav::ServerSettings server;
    asAdmin(database, [&](QSqlDatabase& db) {
        kav::ServerSettings conf;
        conf.host = admin.value(QStringLiteral("host"));
        conf.port = admin.value(QStringLiteral("port"), qEnvironmentVariable("PGPORT", QStringLiteral("5432"))).toInt();
        const kav::ServerSetup done = kav::SetUpServer(db, conf, true);
        error = done.error;
        server = done.settings;
    });
    if (!server.configured()) {
        std::printf("Hand-in to the school server: no database to hand in to (%s)\n\n", qPrintable(error));
    } else {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("resultaten.sqlite"));
        kav::ResultStore store(path);
        kav::HandInQueue queue(server, path);
        std::vector<double> process, window, wall;
        int handedIn = 0;
        for (int k = 0; k < rounds; ++k) {
            store.save(TwentyItems(k));
            const double cpu0 = ProcessCpuMs(), wall0 = WallMs(), own0 = ThreadCpuMs();
            queue.handInWaiting();  // what the window's thread does
            window.push_back(ThreadCpuMs() - own0);
            queue.waitUntilIdle(30000);
            process.push_back(ProcessCpuMs() - cpu0);
            wall.push_back(WallMs() - wall0);
            handedIn = queue.handedInCount();
        }
        std::printf("A session of 20 items handed in to a server on this machine, %d sessions, one at a time,\n"
                    "each on a connection of its own (handed in: %d), median:\n",
                    rounds, handedIn);
        const double cpu = Median(process);
        std::printf("  processor time of the program        %8.1f ms  %s (goal <= 100 ms)\n", cpu, cpu <= 100 ? " " : "!");
        std::printf("    of which in the window's thread    %8.3f ms  %s (goal: none)\n", Median(window),
                    Median(window) < 0.1 ? " " : "!");
        std::printf("  wall time until handed in            %8.1f ms\n\n", Median(wall));
    }
    asAdmin(QString(), [&](QSqlDatabase& db) {
        for (const QString& sql : {QStringLiteral("DROP DATABASE IF EXISTS ") + database,
                                   QStringLiteral("DROP ROLE IF EXISTS ") + kav::HandInRole(database),
                                   QStringLiteral("DROP ROLE IF EXISTS ") + kav::TeacherRole(database)})
            QSqlQuery(db).exec(sql);
    });
}

}  // namespace bench
