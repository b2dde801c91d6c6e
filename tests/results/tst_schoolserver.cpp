// The school server against a real PostgreSQL: the suite runs this under pg_virtualenv, which
// starts a throwaway cluster for it (PGHOST, PGPORT, PGUSER, PGPASSWORD) and removes it after.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

#include "app/commandline.h"
#include "formsfixture.h"
#include "results/handin.h"
#include "results/schoolserver.h"
#include "results/serveradmin.h"
#include "results/store.h"
#include "results/sample.h"
#include "windows/resultsform.h"

using namespace kav;

namespace {

// A connection of the test's own to a database of the cluster, as its administrator or as
// the given login; removed at the end of its scope.
struct Conn {
    Conn(const QString& database, const QString& user = QString(), const QString& password = QString())
    {
        static int n = 0;
        name = QStringLiteral("test-server-%1").arg(++n);
        QMap<QString, QString> f{{QStringLiteral("host"), qEnvironmentVariable("PGHOST")},
                                 {QStringLiteral("port"), qEnvironmentVariable("PGPORT")},
                                 {QStringLiteral("dbname"), database}};
        if (!user.isEmpty())
            f.insert({{QStringLiteral("user"), user}, {QStringLiteral("password"), password}});
        ok = OpenServer(name, f, &error);
        db = QSqlDatabase::database(name, false);
    }
    ~Conn()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    bool exec(const QString& sql)
    {
        QSqlQuery q(db);
        if (q.exec(sql))
            return true;
        error = q.lastError().databaseText();
        return false;
    }
    qint64 number(const QString& sql)
    {
        QSqlQuery q(db);
        return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
    }
    QString name, error;
    QSqlDatabase db;
    bool ok = false;
};

// A finished test of 20 items, each with its bytes to draw it again.
SessionResult TwentyItems(const QString& name, int keptBytes = 2000)
{
    SessionResult r = testsupport::SampleSession(name);
    const ItemResult model = r.items[1];
    r.items.clear();
    std::mt19937 rng(qHash(r.uuid));
    for (int n = 1; n <= 20; ++n) {
        ItemResult i = model;
        i.number = n;
        i.textPng.clear();
        i.picturePng.clear();
        i.kept.resize(keptBytes);
        for (char& c : i.kept)
            c = char(rng());
        r.items.append(i);
    }
    r.plannedItems = 20;
    return r;
}

}  // namespace

class TestSchoolServer : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    int databases = 0;

    // A new database set up as an administrator would; its conf settings.
    ServerSettings newSchool(QString* database = nullptr)
    {
        const QString name = QStringLiteral("school%1").arg(++databases);
        {
            Conn admin(QStringLiteral("postgres"));
            if (!admin.exec(QStringLiteral("CREATE DATABASE ") + name))
                qWarning() << admin.error;
        }
        Conn admin(name);
        ServerSettings conf;
        conf.host = qEnvironmentVariable("PGHOST");
        conf.port = qEnvironmentVariableIntValue("PGPORT");
        const ServerSetup done = SetUpServer(admin.db, conf, false);
        if (!done.ok)
            qWarning() << done.error;
        if (database)
            *database = name;
        return done.settings;
    }

    QString storePath(const QString& name) { return dir.filePath(name + QStringLiteral(".sqlite")); }

    static QString pgctl(const char* action)
    {
        QProcess p;
        p.start(QStringLiteral("pg_ctlcluster"), {qEnvironmentVariable("PGVERSION"), QStringLiteral("regress"),
                                                  QLatin1String(action), QStringLiteral("-m"), QStringLiteral("immediate")});
        p.waitForFinished(60000);
        return QString::fromLocal8Bit(p.readAllStandardError());
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariable("PGHOST").isEmpty() || qEnvironmentVariable("PGVERSION").isEmpty())
            QSKIP("runs in the throwaway cluster of pg_virtualenv, as the test suite starts it");
        QVERIFY(dir.isValid());
    }

    void readsTheServerCommands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        const QString server = QStringLiteral("host=school dbname=kavrin2 user=beheer");
        QTest::newRow("set up") << QStringList{"--setup-server", server, "--new-password"} << QString();
        QTest::newRow("old results") << QStringList{"--remove-results-before", "1-8-2025", "--server", server} << QString();
        QTest::newRow("server alone") << QStringList{"--server", server} << "--server hoort bij";
        QTest::newRow("no server") << QStringList{"--add-teacher", "jansen"} << "verwacht --server";
        QTest::newRow("two servers") << QStringList{"--setup-server", server, "--server", server} << "niet nodig";
        QTest::newRow("two commands") << QStringList{"--add-teacher", "a", "--remove-teacher", "b", "--server", server}
                                      << "gaan niet samen";
        QTest::newRow("open quote") << QStringList{"--setup-server", "host='school"} << "aanhalingsteken";
        QTest::newRow("no key") << QStringList{"--setup-server", "school"} << "sleutel=waarde";
        QTest::newRow("no date") << QStringList{"--remove-results-before", "gisteren", "--server", server} << "datum";
        QTest::newRow("odd login") << QStringList{"--add-teacher", "jan; DROP ROLE x", "--server", server} << "login van";
        QTest::newRow("password elsewhere") << QStringList{"--add-teacher", "jan", "--new-password", "--server", server}
                                            << "hoort bij --setup-server";
        QTest::newRow("with the dump") << QStringList{"--setup-server", server, "--items", "21"} << "gaat niet samen";
    }

    void readsTheServerCommands()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        const CommandLine cl = ParseCommandLine(QStringList{QStringLiteral("kavrin2")} + args);
        QVERIFY2(error.isEmpty() ? cl.error.isEmpty() : cl.error.contains(error), qPrintable(cl.error));
        QCOMPARE(cl.action, error.isEmpty() ? CommandLine::Action::Server : CommandLine::Action::Run);
    }


    void readsTheConfFile()
    {
        const QString conf = dir.filePath(QStringLiteral("kavrin2.conf"));
        QFile f(conf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        ServerSettings s;
        s.host = QStringLiteral("school.example");
        s.port = 5433;
        s.database = QStringLiteral("kavrin2");
        s.user = QStringLiteral("kavrin2_leerling");
        s.password = QStringLiteral("Ab3,xYz");  // as an administrator may have typed it
        f.write(ServerConfText(s, true).toUtf8());
        f.close();
        qputenv("KAVRIN2_CONF", conf.toLocal8Bit());
        const ServerSettings back = ReadServerSettings();
        QVERIFY(back.configured());
        QCOMPARE(back.host + back.database + back.user + back.password + back.sslmode,
                 QStringLiteral("school.examplekavrin2kavrin2_leerlingAb3,xYzprefer"));
        QCOMPARE(back.port, 5433);
        // Another file, none at all: the local store only.
        qputenv("KAVRIN2_CONF", dir.filePath(QStringLiteral("geen.conf")).toLocal8Bit());
        QVERIFY(!ReadServerSettings().configured());
        qunsetenv("KAVRIN2_CONF");
        qputenv("XDG_CONFIG_DIRS", (QStringLiteral("relatief:") + dir.path()).toLocal8Bit());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("kavrin2")));
        QVERIFY(QFile::copy(conf, dir.filePath(QStringLiteral("kavrin2/kavrin2.conf"))));
        QCOMPARE(ReadServerSettings().host, QStringLiteral("school.example"));
        qunsetenv("XDG_CONFIG_DIRS");
    }

    // Set up twice (roles and password kept), upgraded from the version before, and refused
    // on a database with tables of something else.
    void setsUpAndUpgrades()
    {
        const QString name = QStringLiteral("oudeschool");
        {
            Conn admin(QStringLiteral("postgres"));
            QVERIFY(admin.exec(QStringLiteral("CREATE DATABASE oudeschool")));
            QVERIFY(admin.exec(QStringLiteral("CREATE DATABASE vreemd")));
        }
        Conn admin(name);
        QVERIFY2(admin.ok, qPrintable(admin.error));
        ServerSetup first = SetUpServer(admin.db, {}, false, ServerSchemaVersion - 1);
        QVERIFY2(first.ok, qPrintable(first.error));
        QVERIFY(admin.exec(QStringLiteral("INSERT INTO sessions (uuid, name, mode, practice, level, finished, score,"
                                          " points, max_points, planned, status, item_count)"
                                          " VALUES ('oud-1', 'Oud', 10, false, 1, true, '', 4, 4, 1, 'voltooid', 0)")));
        ServerSettings conf;
        conf.host = qEnvironmentVariable("PGHOST");
        conf.port = qEnvironmentVariableIntValue("PGPORT");
        const ServerSetup up = SetUpServer(admin.db, conf, false);
        QVERIFY2(up.ok, qPrintable(up.error));
        QCOMPARE(up.fromVersion, ServerSchemaVersion - 1);
        QVERIFY(up.passwordMade);
        QCOMPARE(up.settings.user, HandInRole(name));
        QCOMPARE(admin.number(QStringLiteral("SELECT version FROM kavrin2_schema")), ServerSchemaVersion);
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM sessions WHERE uuid = 'oud-1' AND computer = ''")), 1);

        // Again: nothing to upgrade, the password stays and still works.
        const ServerSetup again = SetUpServer(admin.db, conf, false);
        QVERIFY2(again.ok, qPrintable(again.error));
        QCOMPARE(again.fromVersion, ServerSchemaVersion);
        QVERIFY(!again.passwordMade);
        QVERIFY(!ServerConfText(again.settings, again.passwordMade).contains(QStringLiteral("wachtwoord=")));
        QVERIFY(Conn(name, up.settings.user, up.settings.password).ok);
        // A new password: the old one no longer opens.
        const ServerSetup renewed = SetUpServer(admin.db, conf, true);
        QVERIFY(renewed.ok && renewed.passwordMade && renewed.settings.password != up.settings.password);
        QVERIFY(!Conn(name, up.settings.user, up.settings.password).ok);
        QVERIFY(Conn(name, renewed.settings.user, renewed.settings.password).ok);

        Conn other(QStringLiteral("vreemd"));
        QVERIFY(other.exec(QStringLiteral("CREATE TABLE leerlingen (naam text)")));
        const ServerSetup refused = SetUpServer(other.db, conf, false);
        QVERIFY(!refused.ok);
        QVERIFY2(refused.error.contains(QStringLiteral("public.leerlingen")), qPrintable(refused.error));
        QCOMPARE(other.number(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'")), 1);
    }

    // The hand-in role adds through its function and can do nothing else; a teacher's own
    // login sees all and removes; a wrong password is refused.
    void rightsOfTheRoles()
    {
        QString database;
        const ServerSettings school = newSchool(&database);
        {
            // In the catalogue: no right on any table of the database, the sequence included.
            Conn admin(database);
            QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'")), 3);
            for (const char* right : {"SELECT", "UPDATE", "DELETE", "TRUNCATE", "INSERT"})
                QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
                                                     " WHERE n.nspname = 'public' AND c.relkind IN ('r', 'v', 'm', 'p')"
                                                     " AND has_table_privilege('%1', c.oid, '%2')")
                                          .arg(school.user, QLatin1String(right))),
                         0);
            QCOMPARE(admin.number(QStringLiteral("SELECT has_sequence_privilege('%1', 'sessions_id_seq', 'USAGE')::int")
                                      .arg(school.user)),
                     0);
        }
        Conn pupil(database, school.user, school.password);
        QVERIFY2(pupil.ok, qPrintable(pupil.error));
        QCOMPARE(HandInSession(pupil.db, TwentyItems(QStringLiteral("Anna")), QStringLiteral("pc-12"), QStringLiteral("anna")),
                 HandInOutcome::HandedIn);
        for (const char* sql : {"SELECT * FROM sessions", "SELECT * FROM items", "UPDATE sessions SET name = 'x'",
                                "DELETE FROM sessions", "DELETE FROM items", "TRUNCATE sessions",
                                "INSERT INTO items (session_id) VALUES (1)"})
            QVERIFY2(!pupil.exec(QLatin1String(sql)) && pupil.error.contains(QStringLiteral("permission denied")), sql);

        QString error;
        Conn admin(database);
        QVERIFY2(AddTeacher(admin.db, QStringLiteral("jansen"), QStringLiteral("geheim-123"), &error), qPrintable(error));
        QVERIFY(!AddTeacher(admin.db, QStringLiteral("jansen"), QStringLiteral("geheim-123"), &error));
        QVERIFY(!AddTeacher(admin.db, QStringLiteral("kort"), QStringLiteral("kort"), &error));
        QVERIFY(!Conn(database, QStringLiteral("jansen"), QStringLiteral("fout-wachtwoord")).ok);
        QVERIFY(!Conn(database, school.user, QStringLiteral("fout-wachtwoord")).ok);
        {
            Conn teacher(database, QStringLiteral("jansen"), QStringLiteral("geheim-123"));
            QVERIFY2(teacher.ok, qPrintable(teacher.error));
            QCOMPARE(teacher.number(QStringLiteral("SELECT count(*) FROM items")), 20);
            QCOMPARE(teacher.number(QStringLiteral("SELECT count(*) FROM sessions WHERE computer = 'pc-12' AND login = 'anna'")), 1);
            QVERIFY(teacher.exec(QStringLiteral("UPDATE sessions SET name = 'Anna de Wit'")));
            QVERIFY(!teacher.exec(QStringLiteral("UPDATE sessions SET points = 99")));
            QVERIFY(teacher.exec(QStringLiteral("DELETE FROM sessions")));
            QCOMPARE(teacher.number(QStringLiteral("SELECT count(*) FROM items")), 0);
        }
        // A password with quotes in it is a password, and only a teacher's login is reset.
        const QString odd = QStringLiteral("o'k\\\"; DROP ROLE jansen; --");
        QVERIFY2(ResetTeacher(admin.db, QStringLiteral("jansen"), odd, &error), qPrintable(error));
        QVERIFY(Conn(database, QStringLiteral("jansen"), odd).ok);
        QVERIFY(!ResetTeacher(admin.db, school.user, QStringLiteral("nieuw-wachtwoord"), &error));
        QVERIFY(!RemoveTeacher(admin.db, QStringLiteral("postgres"), &error));
        QVERIFY(RemoveTeacher(admin.db, QStringLiteral("jansen"), &error));
        QVERIFY(!Conn(database, QStringLiteral("jansen"), odd).ok);
    }

    // A session of 20 items arrives whole, once, however often it is handed in, also from two
    // computers at the same moment; the results window says so.
    void handsInOnce()
    {
        QString database;
        const ServerSettings school = newSchool(&database);
        const SessionResult anna = TwentyItems(QStringLiteral("Anna"));
        {
            ResultStore store(storePath(QStringLiteral("een")));
            QVERIFY(store.save(anna) > 0);
        }
        HandInQueue queue(school, storePath(QStringLiteral("een")));
        TResultsForm form(anna, ResultsView::Pupil);
        form.followHandIn(&queue);
        queue.handInWaiting();
        QVERIFY(queue.waitUntilIdle(30000));
        QTRY_COMPARE(form.InleverLabel->text(), QStringLiteral("Ingeleverd bij school."));
        Conn admin(database);
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM sessions")), 1);
        QSqlQuery q(admin.db);
        QVERIFY(q.exec(QStringLiteral("SELECT s.name, s.uuid, s.started, s.item_count, s.computer, s.login, i.kept, i.texts"
                                      " FROM sessions s JOIN items i ON i.session_id = s.id WHERE i.number = 7")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), anna.name);
        QCOMPARE(q.value(1).toString(), anna.uuid);
        QCOMPARE(q.value(2).toDateTime().toMSecsSinceEpoch(), anna.started.toMSecsSinceEpoch());
        QCOMPARE(q.value(3).toInt(), 20);
        QCOMPARE(q.value(4).toString() + u'/' + q.value(5).toString(), ComputerName() + u'/' + LoginName());
        QCOMPARE(q.value(6).toByteArray(), anna.items[6].kept);
        QCOMPARE(q.value(7).toString(), TextsJson(anna.items[6].texts));

        // The mark lost (the program killed before it was written): handed in again, kept once.
        {
            ResultStore store(storePath(QStringLiteral("een")));
            QVERIFY(store.notHandedIn().isEmpty());
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(storePath(QStringLiteral("een")));
            QVERIFY(raw.open() && QSqlQuery(raw).exec(QStringLiteral("UPDATE sessions SET handed_in = 0")));
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        queue.handInWaiting();
        QVERIFY(queue.waitUntilIdle(30000));
        QCOMPARE(queue.state(anna.uuid), HandInState::HandedIn);
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM sessions")), 1);
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM items")), 20);

        // Two computers at once, each with 8 sessions of its own and the same 8 copied.
        QVector<SessionResult> shared;
        for (int k = 0; k < 8; ++k)
            shared << TwentyItems(QStringLiteral("Gedeeld %1").arg(k));
        for (const char* who : {"twee", "drie"}) {
            ResultStore store(storePath(QLatin1String(who)));
            for (int k = 0; k < 8; ++k) {
                QVERIFY(store.save(TwentyItems(QLatin1String(who))) > 0);
                QVERIFY(store.save(shared[k]) > 0);
            }
        }
        HandInQueue two(school, storePath(QStringLiteral("twee"))), three(school, storePath(QStringLiteral("drie")));
        two.handInWaiting();
        three.handInWaiting();
        QVERIFY(two.waitUntilIdle(60000) && three.waitUntilIdle(60000));
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM sessions")), 1 + 8 + 8 + 8);
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM items")), 25 * 20);
        for (const char* who : {"twee", "drie"})
            QVERIFY(ResultStore(storePath(QLatin1String(who))).notHandedIn().isEmpty());
    }

    // The server stopped before and during a hand-in: what waits arrives when it is back, once.
    void waitsForTheServer()
    {
        QString database;
        const ServerSettings school = newSchool(&database);
        const QString path = storePath(QStringLiteral("wacht"));
        QVector<SessionResult> sessions;
        {
            ResultStore store(path);
            for (int k = 0; k < 40; ++k) {
                sessions << TwentyItems(QStringLiteral("Leerling %1").arg(k), 40000);
                QVERIFY(store.save(sessions.last()) > 0);
            }
        }
        HandInQueue queue(school, path);
        TResultsForm form(sessions.first(), ResultsView::Pupil);
        form.followHandIn(&queue);
        QCOMPARE(pgctl("stop"), QString());
        queue.handInWaiting();
        QVERIFY(queue.waitUntilIdle(30000));
        QTRY_VERIFY(form.InleverLabel->text().startsWith(QStringLiteral("Nog niet ingeleverd: de schoolserver is niet bereikbaar.")));
        // The longest line fits between the list and the buttons.
        form.show();
        for (QSize screen : {QSize(1024, 768), QSize(1366, 768)}) {
            form.layoutForScreen(screen);
            const QString problem = testsupport::LayoutProblem(
                QList<QWidget*>{form.ResultatenLijst, form.InleverLabel, form.AfdrukButton, form.PdfButton, form.StatusLabel,
                                form.SluitButton});
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            QVERIFY(form.InleverLabel->width() >= form.InleverLabel->sizeHint().width());
            testsupport::Shot(&form, QStringLiteral("results-handin-%1x%2").arg(screen.width()).arg(screen.height()));
        }
        QCOMPARE(ResultStore(path).notHandedIn().size(), 40);

        // Back, and stopped again as soon as the first sessions are in.
        QCOMPARE(pgctl("start"), QString());
        queue.handInWaiting();
        QElapsedTimer waited;
        waited.start();
        while (queue.handedInCount() < 3 && waited.elapsed() < 30000)
            QTest::qWait(2);
        QCOMPARE(pgctl("stop"), QString());
        QVERIFY(queue.waitUntilIdle(30000));
        const int first = queue.handedInCount();
        QVERIFY(first >= 3 && first < 40);
        QCOMPARE(pgctl("start"), QString());
        queue.handInWaiting();
        QVERIFY(queue.waitUntilIdle(60000));
        QCOMPARE(queue.handedInCount(), 40);
        QVERIFY(ResultStore(path).notHandedIn().isEmpty());
        Conn admin(database);
        QVERIFY2(admin.ok, qPrintable(admin.error));
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM sessions")), 40);
        // Every session whole: none half there.
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM sessions s WHERE item_count <>"
                                             " (SELECT count(*) FROM items WHERE session_id = s.id)")),
                 0);
        QTRY_COMPARE(form.InleverLabel->text(), QStringLiteral("Ingeleverd bij school."));
    }

    // A wrong password keeps the session waiting; a server that can't be reached never holds
    // up the program's end.
    void refusedOrUnreachable()
    {
        QString database;
        ServerSettings school = newSchool(&database);
        school.password = QStringLiteral("fout");
        const QString path = storePath(QStringLiteral("fout"));
        { QVERIFY(ResultStore(path).save(TwentyItems(QStringLiteral("Bram"))) > 0); }
        {
            HandInQueue queue(school, path);
            queue.handInWaiting();
            QVERIFY(queue.waitUntilIdle(30000));
            QCOMPARE(queue.handedInCount(), 0);
        }
        QCOMPARE(ResultStore(path).notHandedIn().size(), 1);
        school.host = QStringLiteral("10.255.255.1");  // nobody answers there
        QElapsedTimer ended;
        {
            HandInQueue queue(school, path);
            queue.handInWaiting();
            QTest::qWait(100);
            ended.start();
        }
        QVERIFY(ended.elapsed() < 2500);
    }

    void removesOldResults()
    {
        QString database;
        const ServerSettings school = newSchool(&database);
        Conn pupil(database, school.user, school.password);
        for (int year : {2024, 2026}) {
            SessionResult r = TwentyItems(QStringLiteral("Jaar %1").arg(year));
            r.started = QDateTime(QDate(year, 3, 1), QTime(10, 0));
            QCOMPARE(HandInSession(pupil.db, r, QString(), QString()), HandInOutcome::HandedIn);
        }
        QString error;
        Conn admin(database);
        QCOMPARE(RemoveResultsBefore(admin.db, QDate(2025, 8, 1), &error), 1);
        QCOMPARE(admin.number(QStringLiteral("SELECT count(*) FROM items")), 20);
        QCOMPARE(admin.number(QStringLiteral("SELECT min(extract(year FROM started))::int FROM sessions")), 2026);
    }

    // The administrator's command prints the lines of kavrin2.conf; the program reads them back.
    void theSetupCommandPrintsTheConfFile()
    {
        {
            Conn admin(QStringLiteral("postgres"));
            QVERIFY(admin.exec(QStringLiteral("CREATE DATABASE opdracht")));
        }
        QProcess p;
        p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"),
                {QStringLiteral("--setup-server"), QStringLiteral("host=%1 port=%2 dbname=opdracht user=%3")
                                                       .arg(qEnvironmentVariable("PGHOST"), qEnvironmentVariable("PGPORT"),
                                                            qEnvironmentVariable("PGUSER"))});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(out.startsWith(QStringLiteral("[Schoolserver]\nhost=")), qPrintable(out));
        const QString conf = dir.filePath(QStringLiteral("opdracht.conf"));
        QFile f(conf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(out.toUtf8());
        f.close();
        qputenv("KAVRIN2_CONF", conf.toLocal8Bit());
        const ServerSettings read = ReadServerSettings();
        qunsetenv("KAVRIN2_CONF");
        QCOMPARE(read.user, QStringLiteral("opdracht_leerling"));
        QVERIFY(Conn(QStringLiteral("opdracht"), read.user, read.password).ok);
    }
};

QTEST_MAIN(TestSchoolServer)
#include "tst_schoolserver.moc"
