// The words "Lees voor" says: maths read as Dutch words, and the item dump's --speech.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include "draw/speechtext.h"
#include "support.h"

using kav::SpeechText;

namespace {

QByteArray RunDump(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), args);
    if (!p.waitForFinished(300000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

QList<QJsonObject> Items(const QByteArray& out)
{
    QList<QJsonObject> items;
    for (const QByteArray& line : out.split('\n'))
        if (!line.trimmed().isEmpty())
            items << QJsonDocument::fromJson(line).object();
    return items;
}

// What a Dutch voice reads as words: letters, digits, spaces, the punctuation it pauses on,
// and an apostrophe or hyphen inside a word ("euro's", "Zuid-Afrikaanse"). A decimal comma
// left between figures would be read as a pause.
QString Unspeakable(const QString& words)
{
    static const QRegularExpression bad(
        QStringLiteral(R"([^\p{L}\d .,!?:;'\-]|(?<![\p{L}\d])['\-]|['\-](?![\p{L}\d])|\d,\d|\s[.,!?:;])"));
    const QRegularExpressionMatch m = bad.match(words);
    return m.hasMatch() ? m.captured() : QString();
}

}  // namespace

class TestSpeechText : public QObject {
    Q_OBJECT
private slots:
    void signsAreSaidAsWords_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* shown, const char* said) {
            QTest::newRow(shown) << QString::fromUtf8(shown) << QString::fromUtf8(said);
        };
        row("12 : 4 = 3", "12 gedeeld door 4 is 3");
        row("3 · 4 × 5", "3 keer 4 keer 5");
        row("9 x 2,5 = ?", "9 keer 2 komma 5 is wat");
        row("x 5", "keer 5");
        row("½ + 3½", "een half plus 3 en een half");
        row("(-3) + −3 = -6", "min 3 plus min 3 is min 6");
        row("15 - 7 = 8", "15 min 7 is 8");
        row("€ 3,75 en € 0,40 en € 5,-", "3 euro 75 en 40 cent en 5 euro");
        row("Prijs C 8,00", "Prijs 8 euro 00");
        row("Δ7 = 28", "driehoeksgetal 7 is 28");
        row("16² en 2³", "16 kwadraat en 2 tot de derde");
        row("8 + ? = 12", "8 plus wat is 12");
        row("Keer ?", "Keer wat");
        row("?", "vraagteken");
        row("Output  ?", "Output vraagteken");
        row("Amerikaanse dollars 90 ?", "Amerikaanse dollars 90 vraagteken");
        row("Hoe groot is q ?", "Hoe groot is q?");
        row("3 / 4 ≈ 0,75", "3 gedeeld door 4 is ongeveer 0 komma 75");
        row("25 %", "25 procent");
        row("3 < 5 > 2", "3 is kleiner dan 5 is groter dan 2");
        row("M.b.v. de truc van Gauss", "Met behulp van de truc van Gauss");
        row("Opp.keuken = 12", "Oppervlakte keuken is 12");
        row("Dus opp. = 6", "Dus oppervlakte is 6");
        row("op 12 km.", "op 12 kilometer.");
        row("het 3e en het 21e laagje, het 8e", "het derde en het eenentwintigste laagje, het achtste");
        row("In welke kolom (= k) zit de muis ?", "In welke kolom, dat is k, zit de muis?");
        row("Van \"B => L\": ", "Van B naar L");
        row("1 + 2 + . . . + 20", "1 plus 2 plus enzovoort plus 20");
        row("Ingegeven:57", "Ingegeven: 57");
        row("Laag 3:  3 + 2 x 2", "Laag 3: 3 plus 2 keer 2");
        row("de boven- naar de onderrand van de Zuid-Afrikaanse 15-hoek", "de boven naar de onderrand van de Zuid-Afrikaanse 15-hoek");
        row("Hoeveel euro's ?", "Hoeveel euro's?");
    }
    void signsAreSaidAsWords()
    {
        QFETCH(QString, shown);
        QFETCH(QString, said);
        QCOMPARE(SpeechText(shown), said);
    }

    // Lines are joined as sentences: a broken word whole again, a sentence that runs on to the
    // next line without a stop, labels apart with one.
    void linesBecomeSentences()
    {
        QCOMPARE(SpeechText(QStringLiteral("Hoe groot is het driehoeks-\ngetal met basis 7 ?")),
                 QStringLiteral("Hoe groot is het driehoeksgetal met basis 7?"));
        QCOMPARE(SpeechText(QStringLiteral("Ome Koos spant draadjes\nop een spijkerbord van\n6 x 6 met 5 spijkers.")),
                 QStringLiteral("Ome Koos spant draadjes op een spijkerbord van 6 keer 6 met 5 spijkers."));
        QCOMPARE(SpeechText(QStringLiteral("Input  16\nMachine A\nPlus 3")),
                 QStringLiteral("Input 16. Machine A. Plus 3"));
        QCOMPARE(SpeechText(QStringLiteral("Jammer! Tweede poging!\n\n")), QStringLiteral("Jammer! Tweede poging!"));
        QCOMPARE(SpeechText(QString()), QString());
    }

    // Every text every theme shows, at every level, in tests and practice, through every stage
    // of an item answered wrong twice: the words leave nothing the voice would drop or read in
    // English. The dump's --speech gives what the button says at each stage.
    void everyItemOfTheDumpIsSpeakable()
    {
        const int count = testsupport::Sweep(22 * 4);  // every theme in turn
        for (int level = 1; level <= 3; ++level) {
            for (const bool practice : {false, true}) {
                QStringList args{"--items", "1-7,11-17,21-28", "--level", QString::number(level), "--count",
                                 QString::number(count), "--seed", QString::number(40 + level), "--wrong", "--speech"};
                if (practice)
                    args << QStringLiteral("--practice");
                const QList<QJsonObject> items = Items(RunDump(args));
                QCOMPARE(items.size(), count);
                for (const QJsonObject& item : items) {
                    const QString where = QStringLiteral("theme %1 level %2").arg(item["theme"].toInt()).arg(level);
                    for (const char* area : {"texts", "pictureTexts"})
                        for (const QJsonValue& t : item[QLatin1String(area)].toArray()) {
                            const QString said = SpeechText(t.toObject()["text"].toString());
                            QVERIFY2(Unspeakable(said).isEmpty(), qPrintable(where + QStringLiteral(": ") + said));
                        }
                    const QJsonObject speech = item["speech"].toObject();
                    QVERIFY2(!speech["question"].toString().isEmpty(), qPrintable(where));
                    QVERIFY2(speech["second"].toString().startsWith(QStringLiteral("Ingegeven: ")), qPrintable(where));
                    for (const QString& stage : speech.keys()) {
                        const QString said = speech[stage].toString();
                        QVERIFY2(Unspeakable(said).isEmpty(), qPrintable(where + u' ' + stage + QStringLiteral(": ") + said));
                    }
                }
            }
        }
    }

    // The stages' words come from the canvases: the judgement's words are the judgement only
    // (not the question drawn again for the second attempt), and without --speech the dump is
    // what it always was.
    void speechFollowsTheStages()
    {
        const QStringList args{"--items", "21,14", "--level", "2", "--count", "2", "--seed", "9", "--wrong"};
        const QByteArray plain = RunDump(args);
        const QByteArray spoken = RunDump(args + QStringList{"--speech"});
        QVERIFY(!plain.isEmpty());
        const QList<QJsonObject> with = Items(spoken), without = Items(plain);
        QCOMPARE(with.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QJsonObject stripped = with[i];
            stripped.remove(QStringLiteral("speech"));
            QCOMPARE(QJsonDocument(stripped).toJson(QJsonDocument::Compact),
                     QJsonDocument(without[i]).toJson(QJsonDocument::Compact));
            const QJsonObject speech = with[i]["speech"].toObject();
            QCOMPARE(speech.keys(), (QStringList{"first", "question", "second"}));
            QVERIFY(speech["first"].toString().endsWith(QStringLiteral("Jammer! Tweede poging!")));
            QVERIFY(speech["second"].toString().contains(QStringLiteral("Het juiste antwoord was")));
            QVERIFY(!speech["second"].toString().contains(QStringLiteral("Hoe groot")));
        }
        QVERIFY(with[0]["speech"].toObject()["question"].toString().contains(QStringLiteral("driehoeksgetal met basis")));
        QVERIFY(!plain.contains("\"speech\""));
    }
};

QTEST_GUILESS_MAIN(TestSpeechText)
#include "tst_speech_text.moc"
