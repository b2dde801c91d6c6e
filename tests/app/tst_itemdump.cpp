// The item dump: the program run without a window, printing items as JSON.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/commandline.h"

namespace {

struct Run {
    int code = -1;
    QList<QJsonObject> items;
    QString err;
};

Run dump(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), args);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitCode();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            r.items << QJsonDocument::fromJson(line).object();
    return r;
}

// What the program itself said on its error output, line by line (Qt's own notes left out).
QStringList Said(const QString& err)
{
    QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString& l) { return l.startsWith(QLatin1String("QStandardPaths:")); });
    return lines;
}

}  // namespace

class TestItemDump : public QObject {
    Q_OBJECT
private slots:
    void itemsAsOneSession()
    {
        const Run r = dump({"--items", "21-28", "--level", "2", "--count", "24", "--seed", "5"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.items.size(), 24);
        for (int i = 0; i < r.items.size(); ++i) {
            const QJsonObject& o = r.items[i];
            QCOMPARE(o["theme"].toInt(), 21 + i % 8);
            QCOMPARE(o["level"].toInt(), 2);
            QCOMPARE(o["kind"].toInt(), 1);
            QVERIFY(o["expected"].toInt() > 0);
            QVERIFY(!o["caption"].toString().isEmpty());
            QVERIFY(o["hint"].toString().startsWith(QStringLiteral("| ")));
            QCOMPARE(o["params"].toArray().size(), 10);
            QVERIFY(o["textLine"].toDouble() >= 5);
            QVERIFY(!o["texts"].toArray().isEmpty());
            const QJsonObject first = o["texts"].toArray().first().toObject();
            QVERIFY(first.contains("x") && first.contains("line") && first.contains("bold"));
            QVERIFY(first["colour"].toString().startsWith(u'#'));
        }
        // The theme memory is carried from item to item: theme 21 never repeats its base.
        QVERIFY(r.items[0]["memory"].toInt() != r.items[8]["memory"].toInt());
        QVERIFY(r.items[8]["memory"].toInt() != r.items[16]["memory"].toInt());
        // The base is in the question text.
        const QString q = r.items[0]["texts"].toArray()[2].toObject()["text"].toString();
        QCOMPARE(q, QStringLiteral("getal met basis %1 ?").arg(r.items[0]["memory"].toInt()));
    }

    void sameSeedSameItems()
    {
        const Run a = dump({"--items", "21,25,28", "--level", "3", "--count", "9", "--seed", "77", "--practice"});
        const Run b = dump({"--items", "21,25,28", "--level", "3", "--count", "9", "--seed", "77", "--practice"});
        const Run c = dump({"--items", "21,25,28", "--level", "3", "--count", "9", "--seed", "78", "--practice"});
        QCOMPARE(a.code, 0);
        QCOMPARE(a.items, b.items);
        QVERIFY(a.items != c.items);
    }

    // A decimal answer gives its value as a number, its decimals and its tolerance; a whole
    // answer its whole value and tolerance.
    void decimalAnswers()
    {
        const Run r = dump({"--items", "11-14", "--level", "2", "--count", "40", "--seed", "3"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.items.size(), 40);
        for (const QJsonObject& o : r.items) {
            const int theme = o["theme"].toInt();
            const QJsonArray p = o["params"].toArray();
            if (theme == 12) {
                QCOMPARE(o["kind"].toInt(), 2);
                QVERIFY(o["expectedDecimal"].isDouble() && !o.contains("expected"));
                // q = k * b / 2 at "Durver", k and b being the scale number and the top side.
                QCOMPARE(o["expectedDecimal"].toDouble(), p[2].toInt() * p[1].toInt() / 2.0);
                QCOMPARE(o["decimals"].toInt(), 1);
                QCOMPARE(o["tolerance"].toDouble(), 0.000005);
            } else {
                QCOMPARE(o["kind"].toInt(), 1);
                QVERIFY(o["expected"].toInt() > 0 && !o.contains("expectedDecimal") && !o.contains("decimals"));
                QCOMPARE(o["tolerance"].toDouble(), 0.0);
            }
        }
        // At "Starter" the rectangles have whole answers.
        const Run starter = dump({"--items", "12", "--level", "1", "--count", "5", "--seed", "3"});
        for (const QJsonObject& o : starter.items) {
            QCOMPARE(o["kind"].toInt(), 1);
            QCOMPARE(o["expected"].toInt(), o["params"].toArray()[4].toInt());
        }
    }

    void machineThemes()
    {
        const Run r = dump({"--items", "1,5", "--level", "3", "--count", "4", "--seed", "3"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.items.size(), 4);
        const int themes[] = {1, 5, 1, 5}, memories[] = {0, 3, 1, 7};  // the output first, then the input
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(r.items[i]["theme"].toInt(), themes[i]);
            QCOMPARE(r.items[i]["memory"].toInt(), memories[i]);
            QVERIFY(!r.items[i]["pictureTexts"].toArray().isEmpty());
        }
        QCOMPARE(r.items[0]["hint"].toString(), QStringLiteral("|de output = ?"));
        QCOMPARE(r.items[2]["caption"].toString(), QStringLiteral("de input: "));
    }

    // Each text gives its width, and each item the sizes of both areas; without --wrong every
    // text belongs to the question.
    void widthsAndAreas()
    {
        const Run r = dump({"--items", "16,25", "--level", "2", "--count", "4", "--seed", "2", "--screen", "1366x768"});
        QCOMPARE(r.code, 0);
        for (const QJsonObject& o : r.items) {
            const QJsonArray textArea = o["textArea"].toArray(), pictureArea = o["pictureArea"].toArray();
            QVERIFY(textArea.size() == 2 && pictureArea.size() == 2);
            QVERIFY(textArea[0].toInt() > 300 && textArea[1].toInt() > 600);
            QVERIFY(pictureArea[0].toInt() > 600 && pictureArea[1].toInt() > 600);
            for (const char* key : {"texts", "pictureTexts"})
                for (const QJsonValue& v : o[key].toArray()) {
                    const QJsonObject t = v.toObject();
                    QCOMPARE(t["stage"].toString(), QStringLiteral("question"));
                    QVERIFY(t["width"].toInt() >= 0);
                    QCOMPARE(t["width"].toInt() == 0, t["text"].toString().isEmpty());
                }
        }
        // "verbruik (liter)" twice on the fuel graph: its width is the same both times, the
        // second ends a margin before the picture's right edge.
        QList<QJsonObject> fuel;
        for (const QJsonValue& v : r.items[0]["pictureTexts"].toArray())
            if (v.toObject()["text"].toString() == QStringLiteral("verbruik (liter)"))
                fuel << v.toObject();
        QCOMPARE(fuel.size(), 2);
        QVERIFY(fuel[0]["width"].toInt() > 50);
        QCOMPARE(fuel[0]["width"].toInt(), fuel[1]["width"].toInt());
        QVERIFY(fuel[1]["x"].toInt() + fuel[1]["width"].toInt() < r.items[0]["pictureArea"].toArray()[0].toInt());
    }

    // --wrong: every item answered wrong twice; the texts of all stages in drawing order.
    void wrongAnswers()
    {
        const Run r = dump({"--items", "2,12,16", "--level", "2", "--count", "6", "--seed", "4", "--wrong", "--practice"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.items.size(), 6);
        const QStringList order{"question", "first", "second", "explanation"};
        for (const QJsonObject& o : r.items) {
            QStringList texts;
            int stage = 0;
            for (const QJsonValue& v : o["texts"].toArray()) {
                const QJsonObject t = v.toObject();
                const int k = int(order.indexOf(t["stage"].toString()));
                QVERIFY2(k >= stage, qPrintable(t["text"].toString()));  // never back to an earlier stage
                stage = k;
                texts << t["stage"].toString() + u'|' + t["text"].toString();
            }
            QCOMPARE(stage, 3);
            QVERIFY(texts.contains("first|Jammer! Tweede poging!") && texts.contains("second|Jammer !"));
            QVERIFY(texts.contains("first|Ingegeven: ") && texts.contains("second|Ingegeven: "));
            QVERIFY(texts.contains("second|Het juiste antwoord was: "));
            QVERIFY(texts.filter(QStringLiteral("explanation|Toelichting")).size() == 1);
            // The question drawn again for the second attempt, the same as at first.
            const QStringList asked = texts.filter(QRegularExpression("^question\\|")).replaceInStrings("question|", "");
            const QStringList again = texts.filter(QRegularExpression("^second\\|")).replaceInStrings("second|", "");
            QVERIFY(!asked.isEmpty());
            for (const QString& t : asked)
                QVERIFY2(again.contains(t), qPrintable(t));
            // The typed answer, surely wrong: a million more than the right one.
            const int typed = int(texts.indexOf("first|Ingegeven: ")) + 1;
            const QString given = texts[typed].mid(6);
            if (o["kind"].toInt() == 2)
                QCOMPARE(QString(given).replace(u',', u'.').toDouble(), o["expectedDecimal"].toDouble() + 1000000);
            else
                QCOMPARE(given, QString::number(o["expected"].toInt() + 1000000) + o["suffix"].toString());
        }
        QCOMPARE(r.items[1]["kind"].toInt(), 2);  // theme 12 at "Durver": a decimal answer

        // A test explains nothing; without --wrong nothing is judged.
        const Run test = dump({"--items", "2,16", "--level", "1", "--count", "2", "--seed", "4", "--wrong"});
        QCOMPARE(test.code, 0);
        for (const QJsonObject& o : test.items)
            for (const char* key : {"texts", "pictureTexts"})
                for (const QJsonValue& v : o[key].toArray())
                    QVERIFY(v.toObject()["stage"].toString() != QStringLiteral("explanation"));
        const Run right = dump({"--items", "2,16", "--level", "1", "--count", "2", "--seed", "4", "--practice"});
        for (const QJsonObject& o : right.items)
            for (const QJsonValue& v : o["texts"].toArray())
                QVERIFY(!v.toObject()["text"].toString().startsWith(QStringLiteral("Ingegeven")));
    }

    void picturesOfTheItems()
    {
        QTemporaryDir dir;
        const Run r = dump({"--items", "24", "--level", "1", "--count", "2", "--seed", "1", "--png", dir.path(),
                            "--screen", "800x600"});
        QCOMPARE(r.code, 0);
        const QStringList files = QDir(dir.path()).entryList({"*.png"});
        QCOMPARE(files.size(), 2);
        const QImage img(dir.filePath(files.first()));
        QVERIFY(img.width() > 600 && img.height() > 400);
        const QJsonArray text = r.items[0]["textArea"].toArray(), picture = r.items[0]["pictureArea"].toArray();
        QCOMPARE(img.width(), text[0].toInt() + picture[0].toInt());
        QCOMPARE(img.height(), qMax(text[1].toInt(), picture[1].toInt()));
    }

    // --png to a folder that cannot be made: one line, status 1, and not a single item made.
    // (A folder below a regular file cannot be made even by root.)
    void pngFolderThatCannotBeMade()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("gewoon-bestand"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        for (const QString& folder : {file + QStringLiteral("/plaatjes"), file}) {
            const Run r = dump({"--items", "24", "--count", "2", "--seed", "1", "--png", folder});
            QCOMPARE(r.code, 1);
            QVERIFY(r.items.isEmpty());
            QCOMPARE(Said(r.err), QStringList{QStringLiteral("kavrin2: de map %1 voor de plaatjes kan niet worden gemaakt").arg(folder)});
        }
    }

    // A picture that cannot be written stops the dump with status 1 and a message naming it.
    void pngThatCannotBeWritten()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("item-0002-theme24.png")));  // in the way
        const Run r = dump({"--items", "24", "--count", "3", "--seed", "1", "--png", dir.path()});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.items.size(), 2);
        QCOMPARE(Said(r.err), QStringList{QStringLiteral("kavrin2: het plaatje %1 kan niet worden geschreven")
                                              .arg(dir.filePath(QStringLiteral("item-0002-theme24.png")))});
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("item-0001-theme24.png"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("item-0003-theme24.png"))));
    }

    // Screens up to 8K are laid out; a larger one is a bad argument (see badArguments).
    void screenSizes()
    {
        QCOMPARE(kav::ParseCommandLine({"kavrin2", "--screen", "7680x4320"}).screen, QSize(7680, 4320));
        QCOMPARE(kav::ParseCommandLine({"kavrin2", "--screen", "320x240"}).screen, QSize(320, 240));
        for (const char* size : {"7681x4320", "7680x4321", "100000x100000", "319x240"})
            QCOMPARE(kav::ParseCommandLine({"kavrin2", "--screen", QString::fromLatin1(size)}).error,
                     QStringLiteral("--screen verwacht BREEDTExHOOGTE van 320x240 tot 7680x4320, bijvoorbeeld 1024x768"));
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no generator") << QStringList{"--items", "9", "--count", "1"};
        QTest::newRow("unknown code") << QStringList{"--items", "99", "--count", "1"};
        QTest::newRow("not a code") << QStringList{"--items", "abc"};
        QTest::newRow("level") << QStringList{"--items", "21", "--level", "0"};
        QTest::newRow("count") << QStringList{"--items", "21", "--count", "-1"};
        QTest::newRow("missing value") << QStringList{"--items", "21", "--seed"};
        QTest::newRow("unknown option") << QStringList{"--items", "21", "--kleur", "rood"};
        QTest::newRow("screen") << QStringList{"--items", "21", "--screen", "groot"};
        QTest::newRow("screen too wide") << QStringList{"--items", "21", "--screen", "7681x4320"};
        QTest::newRow("screen too high") << QStringList{"--screen", "7680x4321"};
        QTest::newRow("dump option alone") << QStringList{"--level", "2"};
        QTest::newRow("wrong alone") << QStringList{"--wrong"};
        QTest::newRow("stray argument") << QStringList{"--items", "21", "twee"};
        QTest::newRow("window option value") << QStringList{"--seed", "99999999999"};
        QTest::newRow("unknown short option") << QStringList{"-x"};
    }

    // --help and --version answer on standard output and stop; the help names every option.
    // Every theme describes its picture in Dutch, over many items of every level, and never
    // says a right answer that the item does not show itself.
    void pictureDescriptions()
    {
        const QRegularExpression dutch(QStringLiteral("\\b(een|van|met|de|het)\\b"));
        for (int level = 1; level <= 3; ++level) {
            const Run r = dump({"--items", "1-7,11-17,21-28", "--level", QString::number(level), "--count", "132", "--seed",
                                QString::number(40 + level)});
            QCOMPARE(r.code, 0);
            QCOMPARE(r.items.size(), 132);
            for (const QJsonObject& o : r.items) {
                const QString d = o["pictureDescription"].toString();
                const QString what = QStringLiteral("theme %1: %2").arg(o["theme"].toInt()).arg(d);
                QVERIFY2(d.size() > 30 && d.endsWith(u'.') && d.contains(dutch), qPrintable(what));
                if (!o.contains("expected"))
                    continue;
                const QString answer = QString::number(o["expected"].toInt());
                const QRegularExpression said(QStringLiteral("(^|[^0-9])%1([^0-9]|$)").arg(answer));
                if (!d.contains(said))
                    continue;
                bool shown = false;
                for (const char* area : {"texts", "pictureTexts"})
                    for (const QJsonValue t : o[area].toArray())
                        shown = shown || t["text"].toString().contains(said);
                QVERIFY2(shown, qPrintable(what + QStringLiteral(" says ") + answer));
            }
        }
    }

    void helpAndVersion()
    {
        for (const char* help : {"--help", "-h"}) {
            QProcess p;
            p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), {QString::fromLatin1(help)});
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitCode(), 0);
            const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
            for (const char* option : {"--screen", "--seed", "--items", "--level", "--count", "--practice", "--wrong", "--png", "--version"})
                QVERIFY2(out.contains(QString::fromLatin1(option)), option);
        }
        QProcess p;
        p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), {QStringLiteral("--version")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardOutput()), QStringLiteral("Kavrin 2 1.1\n"));
    }

    void badArguments()
    {
        QFETCH(QStringList, args);
        const Run r = dump(args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.items.isEmpty());
        // One line: the reason and where to read more.
        QCOMPARE(Said(r.err).size(), 1);
        QVERIFY(Said(r.err).first().startsWith(QStringLiteral("kavrin2: ")));
        QVERIFY(Said(r.err).first().endsWith(QStringLiteral("(meer over de opties: kavrin2 --help)")));
    }

    // The decimal separator of the questions follows the system's language; without one (C,
    // POSIX, nothing set) it is the comma.
    void separatorFollowsTheSystem_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("separator");
        // (Each locale's separator is checked without a program in the engine's tests.)
        QTest::newRow("unset") << QString() << QStringLiteral(",");
        QTest::newRow("POSIX") << QStringLiteral("POSIX") << QStringLiteral(",");
        QTest::newRow("nl_BE") << QStringLiteral("nl_BE.UTF-8") << QStringLiteral(",");
        QTest::newRow("en_GB") << QStringLiteral("en_GB.UTF-8") << QStringLiteral(".");
    }
    void separatorFollowsTheSystem()
    {
        QFETCH(QString, locale);
        QFETCH(QString, separator);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG", "LANGUAGE"})
            env.remove(QString::fromLatin1(name));
        if (!locale.isEmpty())
            env.insert(QStringLiteral("LC_ALL"), locale);
        QProcess p;
        p.setProcessEnvironment(env);
        // The bird's flight: distances with one decimal in the question and on the picture.
        p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), {"--items", "17", "--level", "2", "--count", "3", "--seed", "3"});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 0);
        QStringList decimals;
        for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            for (const char* area : {"texts", "pictureTexts"})
                for (const QJsonValue& text : o[QLatin1String(area)].toArray())
                    if (text["text"].toString().contains(QRegularExpression(QStringLiteral("\\d[.,]\\d"))))
                        decimals << text["text"].toString();
        }
        QVERIFY(!decimals.isEmpty());
        for (const QString& text : decimals)
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\d") + QRegularExpression::escape(separator) + QStringLiteral("\\d"))),
                     qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestItemDump)
#include "tst_itemdump.moc"
