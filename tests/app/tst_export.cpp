// The results export run as a teacher runs it: the program without a window, reading the store
// of a temporary XDG_DATA_HOME, writing CSV or PDF, everyone's or one pupil's; and the exit
// status with its message when the file can't be written or the arguments are wrong.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/commandline.h"
#include "app/export.h"
#include "results/csvexport.h"
#include "results/sample.h"
#include "results/store.h"

using namespace kav;
using testsupport::SampleSession;

namespace {

struct Run {
    int code = -1;
    QString out, err;
};

}  // namespace

class TestExport : public QObject {
    Q_OBJECT
    QTemporaryDir home;

    QString storePath() const { return home.filePath(QStringLiteral("kavrin2/resultaten.sqlite")); }

    // The program with the store of the temporary folder; without a display when asked.
    Run run(const QStringList& args, bool display = true)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!display) {
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        }
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), args);
        Run r;
        if (!p.waitForFinished(120000))
            return r;
        r.code = p.exitCode();
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        r.err.remove(QRegularExpression(QStringLiteral("QStandardPaths:[^\n]*\n")));
        return r;
    }

    static QStringList CsvLines(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        ResultStore store(storePath());
        QVERIFY(store.available());
        const QDateTime t(QDate(2026, 12, 7), QTime(9, 0));
        QVERIFY(store.save(SampleSession(QStringLiteral("Jan"), QString(), t.addDays(1))) > 0);
        QVERIFY(store.save(SampleSession(QStringLiteral("Jannie"), QStringLiteral("ABCDEFGHJK"), t)) > 0);
        QVERIFY(store.save(SampleSession(QStringLiteral("jan"), QString(), t)) > 0);
    }

    void csvOfEveryoneAndOfOnePupil()
    {
        const QString all = home.filePath(QStringLiteral("alle.csv"));
        Run r = run({QStringLiteral("--export-results"), all}, false);
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.isEmpty());
        QVERIFY(r.out.contains(QStringLiteral("3 sessies")));
        QStringList lines = CsvLines(all);
        QCOMPARE(lines.size(), 1 + 3 * 3);
        QCOMPARE(lines[0].remove(QChar(0xFEFF)), CsvHeader());
        // By pupil, each pupil's sessions oldest first: jan (7th), Jan (8th), Jannie.
        QVERIFY(lines[1].startsWith(QStringLiteral("jan;2026-12-07")));
        QVERIFY(lines[4].startsWith(QStringLiteral("Jan;2026-12-08")));
        QVERIFY(lines[7].startsWith(QStringLiteral("Jannie;")));

        const QString one = home.filePath(QStringLiteral("jan.csv"));
        r = run({QStringLiteral("--export-results"), one, QStringLiteral("--name"), QStringLiteral(" JAN ")}, false);
        QCOMPARE(r.code, 0);
        lines = CsvLines(one);
        QCOMPARE(lines.size(), 1 + 2 * 3);  // Jan and jan, not Jannie
        for (const QString& line : lines.mid(1))
            QVERIFY(line.startsWith(QStringLiteral("Jan;")) || line.startsWith(QStringLiteral("jan;")));
    }

    // The grade book: one line per session; a name that matches nobody writes nothing.
    void gradeBookAndANameOfNobody()
    {
        const QString book = home.filePath(QStringLiteral("cijfers.csv"));
        Run r = run({QStringLiteral("--export-results"), book, QStringLiteral("--per-session")}, false);
        QCOMPARE(r.code, 0);
        QStringList lines = CsvLines(book);
        QCOMPARE(lines.size(), 1 + 3);
        QCOMPARE(lines[0].remove(QChar(0xFEFF)), GradeBookHeader());
        QCOMPARE(lines[3], QStringLiteral("Jannie;2026-12-07 09:00;Verhoudingen;toets;Durver;ABCDE-FGHJK;3;3;6;12;50;\"5,5\";voltooid;13"));

        const QString none = home.filePath(QStringLiteral("niemand.csv"));
        for (const QString& file : {none, home.filePath(QStringLiteral("niemand.pdf"))}) {
            r = run({QStringLiteral("--export-results"), file, QStringLiteral("--name"), QStringLiteral("Piet")}, false);
            QCOMPARE(r.code, 1);
            QCOMPARE(r.err, QStringLiteral("kavrin2: Geen sessies van Piet\n"));
            QVERIFY(!QFile::exists(file));
        }
    }

    void pdfOfEveryoneAndOfOnePupil()
    {
        const QString all = home.filePath(QStringLiteral("alle.pdf"));
        Run r = run({QStringLiteral("--export-results"), all}, false);
        QCOMPARE(r.code, 0);
        QFile f(all);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 3);

        const QString one = home.filePath(QStringLiteral("jannie.pdf"));
        r = run({QStringLiteral("--export-results"), one, QStringLiteral("--name"), QStringLiteral("jannie")});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(QStringLiteral("1 sessie ")));
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (tool.isEmpty())
            QSKIP("pdftotext is not installed");
        QProcess p;
        p.start(tool, {one, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(60000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
        QVERIFY(text.contains(QStringLiteral("Jannie")));
        // The teacher's copy: the right answers are there, also for a coded test.
        QVERIFY(text.contains(QStringLiteral("Juiste antwoord: 7,45")));
    }

    // No store yet: an empty export, and no store made by reading.
    void nothingStoredYet()
    {
        QTemporaryDir other;
        QVector<SessionResult> sessions;
        QString notice;
        const QString path = other.filePath(QStringLiteral("kavrin2/resultaten.sqlite"));
        QVERIFY(StoredSessions(path, QString(), &sessions, &notice));
        QVERIFY(sessions.isEmpty() && notice.isEmpty());
        QVERIFY(!QFile::exists(path));
        QVERIFY(StoredSessions(storePath(), QStringLiteral("Piet"), &sessions, &notice));
        QVERIFY(sessions.isEmpty());
    }

    void fileThatCantBeWritten()
    {
        for (const QString& name : {QStringLiteral("x.csv"), QStringLiteral("x.pdf")}) {
            const QString path = home.filePath(QStringLiteral("geen-map/") + name);
            const Run r = run({QStringLiteral("--export-results"), path});
            QCOMPARE(r.code, 1);
            QCOMPARE(r.err.count(u'\n'), 1);
            QVERIFY(r.err.startsWith(QStringLiteral("kavrin2: Het bestand")));
            QVERIFY(r.err.contains(path));
            QVERIFY(!QFile::exists(path));
        }
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("other extension") << QStringList{"--export-results", "uit.txt"};
        QTest::newRow("no extension") << QStringList{"--export-results", "uit"};
        QTest::newRow("only an extension") << QStringList{"--export-results", ".csv"};
        QTest::newRow("no file") << QStringList{"--export-results"};
        QTest::newRow("empty file") << QStringList{"--export-results", ""};
        QTest::newRow("name alone") << QStringList{"--name", "Jan"};
        QTest::newRow("empty name") << QStringList{"--export-results", "uit.csv", "--name", " "};
        QTest::newRow("with the dump") << QStringList{"--export-results", "uit.csv", "--items", "21"};
        QTest::newRow("with a dump option") << QStringList{"--export-results", "uit.csv", "--level", "2"};
        QTest::newRow("grade book as PDF") << QStringList{"--export-results", "uit.pdf", "--per-session"};
        QTest::newRow("grade book alone") << QStringList{"--per-session"};
    }
    void badArguments()
    {
        QFETCH(QStringList, args);
        const CommandLine cl = ParseCommandLine(QStringList{QStringLiteral("kavrin2")} + args);
        QVERIFY(!cl.error.isEmpty());
        const Run r = run(args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.startsWith(QStringLiteral("kavrin2: ")));
        QVERIFY(r.out.isEmpty());
    }

    void goodArguments()
    {
        CommandLine cl = ParseCommandLine({QStringLiteral("kavrin2"), QStringLiteral("--export-results"),
                                           QStringLiteral("Uit.PDF"), QStringLiteral("--name"), QStringLiteral("Jan")});
        QVERIFY(cl.error.isEmpty());
        QCOMPARE(cl.action, CommandLine::Action::Export);
        QVERIFY(cl.exportResults.pdf());
        QCOMPARE(cl.exportResults.name, QStringLiteral("Jan"));
        cl = ParseCommandLine({QStringLiteral("kavrin2"), QStringLiteral("--export-results"), QStringLiteral("a.csv")});
        QVERIFY(!cl.exportResults.pdf());
        QVERIFY(HelpText().contains(QStringLiteral("--export-results")));
        QVERIFY(HelpText().contains(QStringLiteral("--name")));
        cl = ParseCommandLine({QStringLiteral("kavrin2"), QStringLiteral("--export-results"), QStringLiteral("a.csv"),
                               QStringLiteral("--per-session")});
        QVERIFY(cl.error.isEmpty() && cl.exportResults.perSession);
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
