// Reading lesson files: only from the program's data folders, never from the working folder;
// only small regular files whose lines have a sensible length. Every refusal names the file
// and says why, and leaves nothing of an earlier lesson to play on.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include "draw/datafolders.h"
#include "draw/messages.h"
#include "viewer/scriptreader.h"

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString Refused(const char* file, const char* why)
{
    return QStringLiteral("De les %1 kan niet worden gelezen: %2.").arg(QLatin1String(file), QString::fromUtf8(why));
}

}  // namespace

class TestScriptFiles : public QObject {
    Q_OBJECT
    QTemporaryDir data_, work_;
    QString oldDir_;

    QString data(const char* name) const { return data_.filePath(QLatin1String(name)); }

    // Reads a lesson by its bare name, as the viewer does, over the remains of an earlier one.
    bool read(kav::ScriptReader& r, const char* name)
    {
        r.setQueue({QStringLiteral("1,oud")});
        kav::ClearRecordedMessages();
        return r.LeesFile(QLatin1String(name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(data_.isValid() && work_.isValid());
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(work_.path());
        kav::SetDataFolders({data_.path()});
        kav::StartRecordingMessages();
    }
    void cleanupTestCase()
    {
        QDir::setCurrent(oldDir_);
        kav::SetDataFolders({});
    }

    // Each test starts with both folders empty.
    void init()
    {
        for (const QTemporaryDir* dir : {&data_, &work_}) {
            QVERIFY(QDir(dir->path()).removeRecursively());
            QVERIFY(QDir().mkpath(dir->path()));
        }
    }

    void fileIsReadUpToEnd()
    {
        // LF alone also ends a line; blank lines are left out; Windows-1252 letters survive.
        Write(data("demo1.txt"),
              QByteArray("1,tekst,l,1,\x80 3 caf\xe9,1,Black,,\n\r\n   \n2,[toets]\r\n3,x [end] y\r\n4,na het einde\r\n"));
        kav::ScriptReader r;
        QVERIFY(read(r, "demo1.txt"));
        QCOMPARE(r.queue().size(), 3);
        QCOMPARE(r.queue().last(), QStringLiteral("3,x [end] y"));
        r.LeesRegel();
        QCOMPARE(r.F[5], QString::fromUtf8("€ 3 café"));
        QCOMPARE(r.queue().first(), QStringLiteral("2,[toets]"));
        QCOMPARE(r.fileName(), QStringLiteral("demo1.txt"));

        // A lesson saved as UTF-8 by an editor is recognised by its byte order mark; the last
        // line needs no line end.
        Write(data("demo1.txt"), QByteArray("\xEF\xBB\xBF" "1,tekst,l,1,caf\xC3\xA9,1,Black,,\r\n2,[end]"));
        QVERIFY(read(r, "demo1.txt"));
        QCOMPARE(r.queue().size(), 2);
        r.LeesRegel();
        QCOMPARE(r.F[1], QStringLiteral("1"));
        QCOMPARE(r.F[5], QString::fromUtf8("café"));
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    // A lesson of the same name in the working folder never takes the place of the program's.
    void onlyTheDataFoldersCount()
    {
        Write(data("demo0.txt"), "1,tekst,l,1,Echt,1,Black,,\r\n2,[end]\r\n");
        Write(work_.filePath(QStringLiteral("demo0.txt")), "1,tekst,l,1,Nep,1,Black,,\r\n2,[end]\r\n");
        kav::ScriptReader r;
        QVERIFY(read(r, "demo0.txt"));
        QCOMPARE(r.queue().first(), QStringLiteral("1,tekst,l,1,Echt,1,Black,,"));

        QVERIFY(QFile::remove(data("demo0.txt")));
        QVERIFY(!read(r, "demo0.txt"));
        QCOMPARE(kav::RecordedMessages(), QStringList{"De les demo0.txt is niet gevonden."});
        QVERIFY(r.atEnd());  // nothing of the earlier lesson plays on

        // The program's own folders: beside it, and never the working folder.
        kav::SetDataFolders({});
        const QStringList own = kav::DataFolders();
        kav::SetDataFolders({data_.path()});
        QVERIFY(!own.isEmpty());
        QCOMPARE(own.first(), QCoreApplication::applicationDirPath());
        QVERIFY(!own.contains(work_.path()) && !own.contains(QStringLiteral(".")));
    }

    // A FIFO would keep the program waiting for good and /dev/zero never ends: both, and a
    // folder, are refused before they are read. A link to a real lesson is followed.
    void onlyRegularFilesAreRead()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(data("demo1.txt")).constData(), 0600), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), data("demo2.txt")));
        QVERIFY(QDir(data_.path()).mkdir(QStringLiteral("demo3.txt")));
        kav::ScriptReader r;
        for (const char* name : {"demo1.txt", "demo2.txt", "demo3.txt"}) {
            QVERIFY2(!read(r, name), name);
            QCOMPARE(kav::RecordedMessages(), QStringList{Refused(name, "het is geen gewoon bestand")});
            QVERIFY(r.atEnd());
        }

        Write(work_.filePath(QStringLiteral("elders.txt")), "1,[end]\r\n");
        QVERIFY(QFile::link(work_.filePath(QStringLiteral("elders.txt")), data("demo4.txt")));
        QVERIFY(read(r, "demo4.txt"));
        QCOMPARE(r.queue(), QStringList{"1,[end]"});
    }

    void largeFilesAndLongLinesAreRefused()
    {
        kav::ScriptReader r;
        // 2 MB of short lines.
        QByteArray big;
        while (big.size() < 2 * 1024 * 1024)
            big += "1,[toets]\r\n";
        Write(data("demo2.txt"), big);
        QVERIFY(!read(r, "demo2.txt"));
        QCOMPARE(kav::RecordedMessages(), QStringList{Refused("demo2.txt", "het is groter dan 1 MB")});
        QVERIFY(r.atEnd());

        // Exactly 1 MB is still a lesson.
        big.truncate(1024 * 1024 - 2);
        big.truncate(big.lastIndexOf('\n') + 1);
        const qsizetype lines = big.count("[toets]");
        big += QByteArray(1024 * 1024 - big.size(), '\n');
        QCOMPARE(big.size(), 1024 * 1024);
        Write(data("demo2.txt"), big);
        QVERIFY(read(r, "demo2.txt"));
        QCOMPARE(r.queue().size(), lines);

        // A line of 5 kB, with the line number counted from the top, blank lines too.
        const QByteArray first = "1,tekst,l,1,Hallo,1,Black,,\r\n\r\n";
        Write(data("demo3.txt"), first + "3,tekst,l,1," + QByteArray(5000, 'a') + ",1,Black,,\r\n4,[end]\r\n");
        QVERIFY(!read(r, "demo3.txt"));
        QCOMPARE(kav::RecordedMessages(), QStringList{Refused("demo3.txt", "regel 3 is langer dan 4 kB")});
        QVERIFY(r.atEnd());

        // 4 kB is allowed, and what stands after "[end]" is never read.
        const QByteArray head = "3,tekst,l,1,", tail = ",1,Black,,";
        const QByteArray full = head + QByteArray(4096 - head.size() - tail.size(), 'a') + tail;
        QCOMPARE(full.size(), 4096);
        Write(data("demo3.txt"), first + full + "\r\n4,[end]\r\n" + QByteArray(5000, 'b') + "\r\n");
        QVERIFY(read(r, "demo3.txt"));
        QCOMPARE(r.queue().size(), 3);
        QVERIFY(kav::RecordedMessages().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestScriptFiles)
#include "tst_scriptfiles.moc"
