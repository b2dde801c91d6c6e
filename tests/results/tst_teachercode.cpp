// The teacher code: kept only as a salted hash in the settings under XDG_CONFIG_HOME, checked
// right and wrong, a new salt on every set, cleared by a reset and by the command line.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/commandline.h"
#include "results/teachercode.h"

using namespace kav;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Entry {
    QString salt, hash;
};

Entry Stored()
{
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    return {s.value(QStringLiteral("Docent/codeSalt")).toString(), s.value(QStringLiteral("Docent/codeHash")).toString()};
}

}  // namespace

class TestTeacherCode : public QObject {
    Q_OBJECT
    QTemporaryDir config_;

private slots:
    void init()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        QVERIFY(resetTeacherCode());
    }

    // The key derivation is PBKDF2-HMAC-SHA-256: the published vectors, and a key longer
    // than the hash's block.
    void derivationVectors()
    {
        auto hex = [](const char* p, const char* s, int rounds) {
            return Pbkdf2Sha256(QByteArray(p), QByteArray(s), rounds).toHex();
        };
        QCOMPARE(hex("password", "salt", 1), QByteArray("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"));
        QCOMPARE(hex("password", "salt", 2), QByteArray("ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"));
        QCOMPARE(hex("password", "salt", 4096), QByteArray("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"));
        QCOMPARE(Pbkdf2Sha256(QByteArray(100, 'a'), QByteArray("saltSALTsaltSALTsaltSALTsaltSALTsalt"), 3).toHex(),
                 QByteArray("8e0be602e01960ad073e97533353505380265ceca70a0d52d01d634786200749"));
    }

    void setAndCheck()
    {
        QVERIFY(!hasTeacherCode());
        QVERIFY(!checkTeacherCode(QStringLiteral("geheim")));  // nothing set: nothing is right
        QString error;
        QVERIFY2(setTeacherCode(QStringLiteral("geheim€1"), &error), qPrintable(error));
        QVERIFY(hasTeacherCode());
        QVERIFY(checkTeacherCode(QStringLiteral("geheim€1")));
        for (const char* wrong : {"", "geheim", "Geheim€1", "geheim€1 ", "geheim€12"})
            QVERIFY2(!checkTeacherCode(QString::fromUtf8(wrong)), wrong);
        // The file holds neither the code nor its plain hash.
        const QByteArray file = FileBytes(SettingsFilePath());
        QVERIFY(!file.isEmpty());
        QVERIFY(!file.contains("geheim"));
        QVERIFY(SettingsFilePath().startsWith(config_.path() + QStringLiteral("/Kavrin/")));
    }

    void tooShortIsRefused()
    {
        QString error;
        QVERIFY(!setTeacherCode(QStringLiteral("abc"), &error));
        QCOMPARE(error, QStringLiteral("Een docentcode heeft minstens 4 tekens."));
        QVERIFY(!hasTeacherCode());
        QVERIFY(setTeacherCode(QStringLiteral("abcd")));
        QVERIFY(checkTeacherCode(QStringLiteral("abcd")));
    }

    // The same code set twice gets another salt, and so another hash.
    void saltDiffers()
    {
        QVERIFY(setTeacherCode(QStringLiteral("klas1b")));
        const Entry first = Stored();
        QVERIFY(setTeacherCode(QStringLiteral("klas1b")));
        const Entry second = Stored();
        QCOMPARE(QByteArray::fromBase64(first.salt.toLatin1()).size(), 16);
        QVERIFY(first.salt != second.salt);
        QVERIFY(first.hash != second.hash);
        QVERIFY(checkTeacherCode(QStringLiteral("klas1b")));
    }

    void resetForgets()
    {
        QVERIFY(setTeacherCode(QStringLiteral("klas1b")));
        QVERIFY(resetTeacherCode());
        QVERIFY(!hasTeacherCode());
        QVERIFY(!checkTeacherCode(QStringLiteral("klas1b")));
    }

    // A damaged entry is no code (and lets nobody in); the teacher chooses a new one.
    void damagedEntryIsNoCode()
    {
        QVERIFY(setTeacherCode(QStringLiteral("klas1b")));
        {
            QSettings s(SettingsFilePath(), QSettings::IniFormat);
            s.setValue(QStringLiteral("Docent/codeRounds"), 1);
        }
        QVERIFY(!hasTeacherCode());
        QVERIFY(!checkTeacherCode(QStringLiteral("klas1b")));
        QVERIFY(setTeacherCode(QStringLiteral("klas1b")));
        {
            QSettings s(SettingsFilePath(), QSettings::IniFormat);
            s.setValue(QStringLiteral("Docent/codeHash"), QStringLiteral("AAAA"));
        }
        QVERIFY(!hasTeacherCode());
        QVERIFY(!checkTeacherCode(QStringLiteral("klas1b")));
    }

    // A settings file that can't be written is reported, never taken for kept.
    void unwritableSettings()
    {
        QFile::remove(SettingsFilePath());
        QVERIFY(QDir().mkpath(SettingsFilePath()));  // a folder in its place
        QString error;
        QVERIFY(!setTeacherCode(QStringLiteral("klas1b"), &error));
        QVERIFY2(error.startsWith(QStringLiteral("De docentcode kon niet worden bewaard: ")), qPrintable(error));
        QVERIFY(!hasTeacherCode());
        QVERIFY(QDir(SettingsFilePath()).removeRecursively());
        QFile blocker(config_.path() + QStringLiteral("/blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_CONFIG_HOME", (config_.path() + QStringLiteral("/blocker/sub")).toLocal8Bit());
        QVERIFY(!setTeacherCode(QStringLiteral("klas1b"), &error));
        QVERIFY(error.contains(QStringLiteral("kan niet worden gemaakt")));
    }

    void commandLine()
    {
        const CommandLine reset = ParseCommandLine({"kavrin2", "--reset-teacher-code"});
        QVERIFY(reset.error.isEmpty());
        QVERIFY(reset.action == CommandLine::Action::ResetTeacherCode);
        QVERIFY(!ParseCommandLine({"kavrin2", "--reset-teacher-code", "--items", "21"}).error.isEmpty());
        QVERIFY(HelpText().contains(QStringLiteral("--reset-teacher-code")));

        QVERIFY(setTeacherCode(QStringLiteral("klas1b")));
        auto run = [this](int expectedStatus) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), {QStringLiteral("--reset-teacher-code")});
            if (!p.waitForFinished(60000))
                return QString();
            return p.exitCode() == expectedStatus ? QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError())
                                                  : QStringLiteral("status %1").arg(p.exitCode());
        };
        QCOMPARE(run(0), QStringLiteral("De docentcode is gewist.\n"));
        QVERIFY(!hasTeacherCode());
        QCOMPARE(run(0), QStringLiteral("De docentcode is gewist.\n"));  // nothing left to clear
        // A settings file that can't be written: a message and status 1.
        QVERIFY(QFile::remove(SettingsFilePath()));
        QVERIFY(QDir().mkpath(SettingsFilePath()));
        QVERIFY(run(1).startsWith(QStringLiteral("kavrin2: De docentcode kon niet worden gewist: ")));
        QVERIFY(QDir(SettingsFilePath()).removeRecursively());
    }
};

QTEST_GUILESS_MAIN(TestTeacherCode)
#include "tst_teachercode.moc"
