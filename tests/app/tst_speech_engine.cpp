// "Lees voor" end to end: an item's words spoken by espeak-ng's Dutch voice into a WAV file
// hold speech of a plausible length, all in Dutch; and Qt's speech finds the speech-dispatcher
// engine with a Dutch voice. Skipped, with a message, where the voice or the engine is missing;
// nothing here can hang (every wait has a limit).
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>

#include "draw/speechtext.h"
#include "ui/speaker.h"

namespace {

QString Espeak()
{
    return QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
}

// espeak-ng's output for the text: its phonemes (-x) or a WAV file (-w).
QByteArray RunEspeak(const QStringList& args, bool* ok)
{
    QProcess p;
    p.start(Espeak(), args);
    *ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!*ok)
        p.kill();
    return p.readAllStandardOutput();
}

QString Phonemes(const QString& text)
{
    bool ok = false;
    const QByteArray out = RunEspeak({QStringLiteral("-v"), QStringLiteral("nl"), QStringLiteral("-q"),
                                      QStringLiteral("-x"), text},
                                     &ok);
    return ok ? QString::fromUtf8(out) : QStringLiteral("<espeak-ng failed>");
}

struct Wave {
    int rate = 0;
    QVector<qint16> samples;
};

// The 16-bit mono samples of a RIFF WAVE file; empty when the file is not one.
Wave ReadWave(const QString& file)
{
    QFile f(file);
    Wave w;
    if (!f.open(QIODevice::ReadOnly))
        return w;
    const QByteArray b = f.readAll();
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return w;
    int bits = 0, channels = 0;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(b.constData() + at + 4);
        const qsizetype body = at + 8;
        // espeak-ng writing to a file leaves the data chunk's size open (0x7fffffff or 0).
        const qsizetype end = std::min<qsizetype>(b.size(), body + qsizetype(size == 0 ? b.size() : size));
        if (id == "fmt " && end - body >= 16) {
            channels = qFromLittleEndian<quint16>(b.constData() + body + 2);
            w.rate = int(qFromLittleEndian<quint32>(b.constData() + body + 4));
            bits = qFromLittleEndian<quint16>(b.constData() + body + 14);
        } else if (id == "data" && bits == 16 && channels == 1) {
            for (qsizetype i = body; i + 1 < end; i += 2)
                w.samples.append(qFromLittleEndian<qint16>(b.constData() + i));
            break;
        }
        at = end + (size & 1);
    }
    return w;
}

// The words of every stage of one item of each theme, answered wrong in practice.
QStringList EveryThemesWords()
{
    QProcess p;
    p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), {"--items", "1-7,11-17,21-28", "--level", "3", "--count", "22",
                                                           "--seed", "4", "--wrong", "--practice", "--speech"});
    QStringList words;
    if (!p.waitForFinished(120000))
        return words;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QJsonObject speech = QJsonDocument::fromJson(line).object()["speech"].toObject();
        for (const QString& stage : speech.keys())
            words << speech[stage].toString();
    }
    return words;
}

QString ItemWords()
{
    QProcess p;
    p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"),
            {"--items", "27", "--level", "2", "--count", "1", "--seed", "8", "--speech"});
    if (!p.waitForFinished(120000))
        return {};
    return QJsonDocument::fromJson(p.readAllStandardOutput().trimmed()).object()["speech"].toObject()["question"].toString();
}

}  // namespace

class TestSpeechEngine : public QObject {
    Q_OBJECT
private slots:
    // The words of a question, spoken to a file: about as long as the words need, with sound
    // in most of it, and never a switch to the English voice that signs cause.
    void anItemIsSpokenInDutch()
    {
        if (Espeak().isEmpty())
            QSKIP("espeak-ng is not installed (apt-get install espeak-ng)");
        const QString words = ItemWords();
        QVERIFY2(words.contains(QStringLiteral(" plus ")), qPrintable(words));
        QVERIFY2(!Phonemes(words).contains(QStringLiteral("(en)")), qPrintable(Phonemes(words)));
        // The signs themselves make the voice switch to English or drop them.
        const QString shown = QStringLiteral("½ + −3 = 3 · 4");
        QVERIFY(Phonemes(shown).contains(QStringLiteral("(en)")));
        QVERIFY(!Phonemes(kav::SpeechText(shown)).contains(QStringLiteral("(en)")));

        // Every theme's words, at every stage, stay with the Dutch voice.
        const QStringList all = EveryThemesWords();
        QVERIFY(all.size() >= 22 * 3);
        for (const QString& w : all)
            QVERIFY2(!Phonemes(w).contains(QStringLiteral("(en)")), qPrintable(w));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("opgave.wav"));
        bool ok = false;
        RunEspeak({QStringLiteral("-v"), QStringLiteral("nl"), QStringLiteral("-w"), file, words}, &ok);
        QVERIFY(ok);
        const Wave w = ReadWave(file);
        QVERIFY(w.rate > 0);
        const double seconds = double(w.samples.size()) / w.rate;
        const int wordCount = int(words.split(u' ', Qt::SkipEmptyParts).size());
        QVERIFY2(seconds > 0.15 * wordCount && seconds < 1.2 * wordCount + 2,
                 qPrintable(QStringLiteral("%1 s for %2 words").arg(seconds).arg(wordCount)));
        qint64 loud = 0;
        double energy = 0;
        for (qint16 s : w.samples) {
            loud += std::abs(int(s)) > 1000;
            energy += double(s) * s;
        }
        QVERIFY2(loud > w.samples.size() / 5, qPrintable(QStringLiteral("%1 of %2").arg(loud).arg(w.samples.size())));
        QVERIFY(std::sqrt(energy / w.samples.size()) > 500);
    }

    // Qt's speech with the speech-dispatcher engine: it starts (on its own thread) and finds a
    // Dutch voice, or says why not. Where speech-dispatcher cannot start here it is skipped.
    void qtSpeechFindsADutchVoice()
    {
        QString missing;
        if (!kav::SpeechEngineInstalled(&missing))
            QSKIP(qPrintable(QStringLiteral("Qt's speech-dispatcher engine is not installed: ") + missing));
        if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
            QSKIP("speech-dispatcher is not installed");
#ifdef KAVRIN_SANITIZED
        // libspeechd reads espeak-ng's thousands of voices with strstr over the whole reply;
        // checked by AddressSanitizer that takes minutes. The check runs again in a child
        // process whose strstr is left unchecked.
        const QByteArray asan = qgetenv("ASAN_OPTIONS");
        if (!asan.contains("intercept_strstr=0")) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("ASAN_OPTIONS"), QString::fromLocal8Bit(asan) + QStringLiteral(":intercept_strstr=0"));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("qtSpeechFindsADutchVoice")});
            if (!child.waitForFinished(60000)) {
                child.kill();
                child.waitForFinished(5000);
                QFAIL("the speech check did not end within a minute");
            }
            const QString out = QString::fromLocal8Bit(child.readAll());
            const qsizetype skip = out.indexOf(QStringLiteral("SKIP   : "));
            if (skip >= 0)
                QSKIP(qPrintable(out.mid(skip, out.indexOf(u'\n', skip) - skip)));
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(out));
            return;
        }
#endif
        // A speech-dispatcher of the test's own, started by the engine, that plays into libao's
        // null device: a machine without sound (CI) neither blocks it nor hears it, and it
        // stops by itself five seconds after the test.
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QDir(home.path()).mkpath(QStringLiteral("config/speech-dispatcher"));
        QDir(home.path()).mkpath(QStringLiteral("run"));
        QFile::setPermissions(home.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile conf(home.filePath(QStringLiteral("config/speech-dispatcher/speechd.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("Timeout 5\nAudioOutputMethod \"libao\"\nDefaultLanguage \"nl\"\nDefaultModule espeak-ng\n"
                   "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"/etc/speech-dispatcher/modules/espeak-ng.conf\"\n");
        conf.close();
        QFile libao(home.filePath(QStringLiteral(".libao")));
        QVERIFY(libao.open(QIODevice::WriteOnly));
        libao.write("default_driver=null\n");
        libao.close();
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("run")).toLocal8Bit());

        std::unique_ptr<kav::Speaker> speaker = kav::MakeQtSpeaker();
        QCOMPARE(speaker->availability(), kav::Speaker::Availability::Starting);
        QSignalSpy changed(speaker.get(), &kav::Speaker::changed);
        QTRY_VERIFY_WITH_TIMEOUT(speaker->availability() != kav::Speaker::Availability::Starting, 15000);
        const QString reason = speaker->unavailableReason();
        if (reason.contains(QStringLiteral("speech-dispatcher")))
            QSKIP(qPrintable(QStringLiteral("speech-dispatcher does not start here: ") + reason));
        QVERIFY2(speaker->availability() == kav::Speaker::Availability::Available, qPrintable(reason));
        QVERIFY(changed.count() >= 1);
        // Saying and stopping never block the caller, with or without a sound device.
        speaker->setSpeed(kav::Speaker::Speed::Slow);
        speaker->say(QStringLiteral("Hoeveel is 3 keer 4?"));
        QVERIFY(speaker->speaking());
        speaker->stop();
        QVERIFY(!speaker->speaking());
    }
};

QTEST_MAIN(TestSpeechEngine)
#include "tst_speech_engine.moc"
