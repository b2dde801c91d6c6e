// kavrin2 --worksheet as a teacher runs it: the PDF's key against the item dump of the same
// arguments, the class code's settings, the arguments refused (status 2) and a file that can't
// be written (status 1); and the worksheet against the dump over many seeds.
#include <QDate>
#include <QFile>
#include <QLocale>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "app/commandline.h"
#include "draw/pictures.h"
#include "results/worksheet.h"
#include "session/catalogue.h"
#include "session/testcode.h"
#include "support.h"

using namespace kav;

namespace {

#ifdef KAVRIN_SANITIZED
constexpr int SweepSeeds = 1;
#else
constexpr int SweepSeeds = 4;
#endif

struct Run {
    int code = -1;
    QByteArray out;
    QStringList said;  // the error output's lines, Qt's own notes left out
};

Run Program(const QStringList& args, const QString& locale = QString())
{
    QProcess p;
    if (!locale.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), locale);
        env.insert(QStringLiteral("LANG"), locale);
        p.setProcessEnvironment(env);
    }
    p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"), args);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitCode();
    r.out = p.readAllStandardOutput();
    for (const QString& l : QString::fromLocal8Bit(p.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts))
        if (!l.startsWith(QLatin1String("QStandardPaths:")))
            r.said << l;
    return r;
}

// The expected answers of the dump, written as the key writes them.
QStringList DumpAnswers(const QStringList& args)
{
    const Run r = Program(args);
    QStringList answers;
    for (const QByteArray& line : r.out.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        answers << (o[QStringLiteral("kind")].toInt() == 2
                        ? QString::number(o[QStringLiteral("expectedDecimal")].toDouble(), 'f',
                                          o[QStringLiteral("decimals")].toInt())
                              .replace(u'.', u',')
                        : QString::number(o[QStringLiteral("expected")].toInt()));
    }
    return answers;
}

QString PdfText(const QString& file)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QString();
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

// The key's lines "12.   7,50 liter" after the heading "Antwoorden": number and answer.
QStringList KeyAnswers(const QString& text)
{
    QStringList answers;
    const int key = int(text.indexOf(QStringLiteral("Antwoorden")));
    if (key < 0)
        return answers;
    const QRegularExpression line(QStringLiteral("^\\s*(\\d+)\\.\\s+(\\S+)"), QRegularExpression::MultilineOption);
    auto it = line.globalMatch(text.mid(key));
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.captured(1).toInt() != answers.size() + 1)
            return answers << QStringLiteral("(nummer %1 op plaats %2)").arg(m.captured(1)).arg(answers.size() + 1);
        answers << m.captured(2);
    }
    return answers;
}

QString CodeOf(int sessionMode, unsigned themes, int level, int length, std::uint32_t seed)
{
    TestCodeSettings t;
    t.sessionMode = sessionMode;
    t.themes = themes;
    t.level = level;
    t.length = length;
    t.seed = seed;
    return EncodeTestCode(t).value_or(QString());
}

}  // namespace

class TestWorksheetCommand : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void theKeyHoldsTheDumpsAnswers()
    {
        const QStringList items{"--items", "1-7,11-17,21-28", "--level", "2", "--count", "20", "--seed", "5"};
        const QString pdf = file("werkblad.pdf");
        const Run r = Program(QStringList{"--worksheet", pdf, "--key"} + items);
        QCOMPARE(r.code, 0);
        QVERIFY(r.said.isEmpty());
        QVERIFY(r.out.contains("20 opgaven"));
        const QString text = PdfText(pdf);
        if (text.isEmpty())
            QSKIP("pdftotext is not installed");
        QVERIFY(text.contains(QStringLiteral("Werkblad")) && text.contains(QStringLiteral("Naam:")) &&
                text.contains(QStringLiteral("Klas:")));
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("Opgave \\d+"))), 20);
        QCOMPARE(KeyAnswers(text), DumpAnswers(items));
        // The sheet alone: no key.
        const QString sheet = file("alleen.pdf");
        QCOMPARE(Program(QStringList{"--worksheet", sheet, "--no-pictures"} + items).code, 0);
        QVERIFY(!PdfText(sheet).contains(QStringLiteral("Antwoorden")));
        QVERIFY(PdfPages(sheet) < PdfPages(pdf));
    }

    void aClassCodeGivesItsTest()
    {
        const QString code = CodeOf(20, 0b11010011, 3, 10, 31337);
        const QString pdf = file("toets.pdf");
        Run r = Program({"--worksheet", pdf, "--code", code.toLower(), "--key", "--explanations"});
        QCOMPARE(r.code, 0);
        const QString text = PdfText(pdf);
        if (text.isEmpty())
            QSKIP("pdftotext is not installed");
        QVERIFY(text.contains(GroupTestCode(code)));
        QVERIFY(text.contains(QStringLiteral("Prof !")));
        QCOMPARE(KeyAnswers(text).size(), 10);
        QVERIFY(text.contains(QStringLiteral("Toelichting")) || PdfPages(pdf) > 3);
        // A code without a length: the number is the teacher's.
        r = Program({"--worksheet", file("onbeperkt.pdf"), "--code", CodeOf(0, 0b111, 1, 0, 8), "--count", "4"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("4 opgaven"));
    }

    void wrongArgumentsAreRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        const QString pdf = QStringLiteral("/tmp/kavrin-werkblad.pdf");
        const QString code = CodeOf(0, 0b111, 2, 20, 1);
        QTest::newRow("no items") << QStringList{"--worksheet", pdf};
        QTest::newRow("not pdf") << QStringList{"--worksheet", "blad.txt", "--items", "21"};
        QTest::newRow("no name") << QStringList{"--worksheet", ".pdf", "--items", "21"};
        QTest::newRow("no file") << QStringList{"--items", "21", "--worksheet"};
        QTest::newRow("theme") << QStringList{"--worksheet", pdf, "--items", "9"};
        QTest::newRow("level") << QStringList{"--worksheet", pdf, "--items", "21", "--level", "4"};
        QTest::newRow("count 0") << QStringList{"--worksheet", pdf, "--items", "21", "--count", "0"};
        QTest::newRow("count 41") << QStringList{"--worksheet", pdf, "--items", "21", "--count", "41"};
        QTest::newRow("code and items") << QStringList{"--worksheet", pdf, "--code", code, "--items", "1"};
        QTest::newRow("code and level") << QStringList{"--worksheet", pdf, "--code", code, "--level", "1"};
        QTest::newRow("code and count") << QStringList{"--worksheet", pdf, "--code", code, "--count", "5"};
        QTest::newRow("code and seed") << QStringList{"--worksheet", pdf, "--code", code, "--seed", "5"};
        QTest::newRow("bad code") << QStringList{"--worksheet", pdf, "--code", QString(code).replace(0, 1, code[0] == u'A' ? u'B' : u'A')};
        QTest::newRow("explanations alone") << QStringList{"--worksheet", pdf, "--items", "21", "--explanations"};
        QTest::newRow("key alone") << QStringList{"--key"};
        QTest::newRow("code alone") << QStringList{"--code", code};
        QTest::newRow("png") << QStringList{"--worksheet", pdf, "--items", "21", "--png", "/tmp"};
        QTest::newRow("code without pictures") << QStringList{"--worksheet", pdf, "--code", code, "--no-pictures"};
        QTest::newRow("no theme without pictures") << QStringList{"--worksheet", pdf, "--items", "1-7,22-25", "--no-pictures"};
    }
    void wrongArgumentsAreRefused()
    {
        QFETCH(QStringList, args);
        const CommandLine cl = ParseCommandLine(QStringList{QStringLiteral("kavrin2")} + args);
        QVERIFY2(!cl.error.isEmpty(), qPrintable(args.join(u' ')));
        QVERIFY(!cl.error.contains(u'\n'));
    }

    void exitStatusAndMessages()
    {
        Run r = Program({"--worksheet", file("x.pdf"), "--items", "21", "--count", "50"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.said.first().startsWith(QStringLiteral("kavrin2: --count")));
        QVERIFY(!QFile::exists(file("x.pdf")));
        r = Program({"--worksheet", file("x.pdf"), "--code", "ABCDE-FGHJK"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.said.first().contains(QStringLiteral("bestaat niet")));
        // A folder that isn't there: status 1 with a one-line message naming the file.
        const QString missing = file("geen-map/blad.pdf");
        r = Program({"--worksheet", missing, "--items", "21"});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.said.size(), 1);
        QVERIFY(r.said.first().contains(missing));
        QVERIFY(HelpText().contains(QStringLiteral("--worksheet")));
        // Without pictures: a code's test and a choice of picture themes only are refused.
        r = Program({"--worksheet", file("x.pdf"), "--code", CodeOf(0, 0b111, 2, 20, 1), "--no-pictures"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.said.first().contains(QStringLiteral("--no-pictures")));
        r = Program({"--worksheet", file("x.pdf"), "--items", "2,3,11", "--no-pictures"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.said.first().contains(QStringLiteral("geen thema")));
        QVERIFY(!QFile::exists(file("x.pdf")));
    }

    // Without pictures the themes that need theirs are left out and said so; the count is
    // filled from the others, and nothing on paper sends the pupil to a picture.
    void withoutPicturesThemesAreLeftOut()
    {
        const QString pdf = file("zonder.pdf");
        const Run r = Program({"--worksheet", pdf, "--items", "21-28", "--no-pictures", "--count", "12", "--seed", "3"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("12 opgaven"));
        QCOMPARE(r.said.size(), 1);
        for (int theme : {22, 23, 24, 25, 28})
            QVERIFY2(r.said.first().contains(QStringLiteral("thema %1 (").arg(theme)), qPrintable(r.said.first()));
        QVERIFY(!r.said.first().contains(QStringLiteral("thema 21")));
        const QString text = PdfText(pdf);
        if (text.isEmpty())
            QSKIP("pdftotext is not installed");
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("Opgave \\d+"))), 12);
        QVERIFY(!text.contains(QStringLiteral("hiernaast")) && !text.contains(QStringLiteral("het plaatje")));
        QVERIFY(text.contains(QStringLiteral("Zonder plaatjes weggelaten")));
        // Theme 26's row of numbers is there as text.
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\d+ \\+ \\d+ \\+ \\d+"))));
    }

    // Every page of the sheet has the name line and its number; the header is whole; the answer
    // line names its unit once; one decimal separator, the key's comma, on a point-locale run.
    void whatEveryPageShows()
    {
        const QString pdf = file("pagina.pdf");
        const QString code = CodeOf(10, 0b1111111, 2, 30, 2024);
        const Run r = Program({"--worksheet", pdf, "--code", code, "--key"}, QStringLiteral("en_GB.UTF-8"));
        QCOMPARE(r.code, 0);
        const QString text = PdfText(pdf);
        if (text.isEmpty())
            QSKIP("pdftotext is not installed");
        QStringList pages = text.split(u'\f');
        while (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        const int sheetPages = int(std::count_if(pages.begin(), pages.end(), [](const QString& p) {
            return p.contains(QStringLiteral("Kavrin 2 · Werkblad"));
        }));
        QVERIFY(sheetPages >= 3);
        for (int i = 0; i < pages.size(); ++i) {
            const bool sheet = i < sheetPages;
            QVERIFY2(!sheet || pages[i].contains(QStringLiteral("Naam:")), qPrintable(QString::number(i)));
            const int n = sheet ? i + 1 : i + 1 - sheetPages;
            const int of = sheet ? sheetPages : int(pages.size()) - sheetPages;
            QVERIFY2(pages[i].contains(QStringLiteral("blz. %1 van %2").arg(n).arg(of)), qPrintable(QString::number(i)));
        }
        // Nothing cut short: the grouped code, the date, every theme with its title.
        QVERIFY(!text.contains(QChar(0x2026)));
        QVERIFY(text.contains(GroupTestCode(code)));
        QVERIFY(text.contains(QLocale(QLocale::Dutch).toString(QDate::currentDate(), QStringLiteral("d MMMM yyyy"))));
        const QString flat = QString(text).replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
        for (int theme = 11; theme <= 17; ++theme)
            QVERIFY2(flat.contains(QStringLiteral("%1: %2").arg(theme).arg(ThemeTitle(theme))), qPrintable(ThemeTitle(theme)));
        // "Pond: ____", never "Pond: ____ pond"; a unit the caption doesn't name stays.
        const QRegularExpression twice(QStringLiteral("(?i)\\b(\\w+):\\s+\\1\\b"));
        QVERIFY2(!text.contains(twice), qPrintable(twice.match(text).captured(0)));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("Aantal (liter|km):"))) ||
                text.contains(QRegularExpression(QStringLiteral("(Pond|Euro|Dollar|Frank|Rand):"))));
        // The program writes a point here, the sheet a comma throughout.
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("\\d\\.\\d"))),
                 qPrintable(QRegularExpression(QStringLiteral(".{20}\\d\\.\\d.{10}")).match(text).captured(0)));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\d,\\d"))));
    }

    // Over many seeds and every level the worksheet holds the dump's items, in its order.
    void sameItemsAsTheDumpOverSeeds()
    {
        testsupport::UseBuildPictures();
        QVERIFY(OpenLibrary(Library::Reskav2));
        QVERIFY(OpenLibrary(Library::Boekhoud));
        const QList<int> all{1, 2, 3, 4, 5, 6, 7, 11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24, 25, 26, 27, 28};
        for (int seed = 1; seed <= SweepSeeds; ++seed)
            for (int level = 1; level <= 3; ++level) {
                WorksheetRequest r;
                r.codes = all;
                r.level = level;
                r.count = MaxWorksheetItems;
                r.seed = std::uint32_t(seed * 7919);
                QStringList answers;
                for (const WorksheetItem& i : MakeWorksheet(r).items)
                    answers << i.answer;
                QCOMPARE(answers, DumpAnswers({"--items", "1-7,11-17,21-28", "--level", QString::number(level), "--count",
                                               "40", "--seed", QString::number(seed * 7919)}));
            }
        CloseLibraries();
    }
};

QTEST_MAIN(TestWorksheetCommand)
#include "tst_worksheet_command.moc"
