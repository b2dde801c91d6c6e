// The CSV export read back byte by byte and field by field, and the figures of a session
// result: grade, percentage, counts and duration.
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "results/csvexport.h"
#include "results/result.h"
#include "results/sample.h"

using namespace kav;
using testsupport::SampleSession;

namespace {

// Splits CSV text as a spreadsheet does: ";" (or the separator given) between fields, quoted
// fields with doubled quotes, CR LF between lines.
QList<QStringList> parse(const QString& text, QChar separator = u';')
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            row << field, field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field, field.clear();
            rows << row, row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestResultsCsv : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void fileHasBomHeaderAndCrLfLines()
    {
        const QString path = dir.filePath(QStringLiteral("klas.csv"));
        SessionResult a = SampleSession(QStringLiteral("Anna"), QStringLiteral("ABCDEFGHJK"));
        SessionResult b = SampleSession(QStringLiteral("Bram"));
        b.items.removeLast();
        SessionResult empty = SampleSession(QStringLiteral("Niemand"));
        empty.items.clear();  // stopped before an item was done: no lines
        QString error = QStringLiteral("onveranderd");
        QVERIFY(writeCsv(path, {a, empty, b}, &error));
        QCOMPARE(error, QStringLiteral("onveranderd"));
        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        // The thirteen columns in their order, then what tells sessions and their kind apart.
        QVERIFY(bytes.mid(3).startsWith("naam;datum;onderdeel;niveau;toetscode;nummer;thema;antwoord1;antwoord2;"
                                        "juist_antwoord;goed;punten;status;soort;sessie;cijfer;opgaven_gepland;"
                                        "opgaven_gemaakt\r\n"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), 1 + 3 + 2);
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        const auto rows = parse(QString::fromUtf8(bytes.mid(3)));
        QCOMPARE(rows.size(), 6);
        for (const QStringList& row : rows)
            QCOMPARE(row.size(), 18);
        const QString tail = QStringLiteral("|toets|") + a.uuid + QStringLiteral("|5,5|3|3");
        QCOMPARE(rows[1].join(u'|'),
                 QStringLiteral("Anna|2026-12-07 14:05|Verhoudingen|Durver|ABCDE-FGHJK|1|14|125||125|ja|4|voltooid") + tail);
        QCOMPARE(rows[2].join(u'|'),
                 QStringLiteral("Anna|2026-12-07 14:05|Verhoudingen|Durver|ABCDE-FGHJK|2|16|6,5|-7,25|7,45|nee|0|voltooid") + tail);
        QCOMPARE(rows[3].join(u'|'),
                 QStringLiteral("Anna|2026-12-07 14:05|Verhoudingen|Durver|ABCDE-FGHJK|3|12|8|12|12|ja|2|voltooid") + tail);
        QCOMPARE(rows[5].mid(0, 6), (QStringList{QStringLiteral("Bram"), QStringLiteral("2026-12-07 14:05"),
                                                  QStringLiteral("Verhoudingen"), QStringLiteral("Durver"), QString(),
                                                  QStringLiteral("2")}));
    }

    void fieldsAreQuotedOnlyWhenNeeded()
    {
        QCOMPARE(CsvField(QStringLiteral("Anna")), QStringLiteral("Anna"));
        QCOMPARE(CsvField(QStringLiteral("745")), QStringLiteral("745"));
        QCOMPARE(CsvField(QStringLiteral("7,45")), QStringLiteral("\"7,45\""));  // one field, split on commas too
        QCOMPARE(CsvField(QStringLiteral("Jan;Piet")), QStringLiteral("\"Jan;Piet\""));
        QCOMPARE(CsvField(QStringLiteral("Jan \"de Kei\"")), QStringLiteral("\"Jan \"\"de Kei\"\"\""));
        QCOMPARE(CsvField(QStringLiteral("twee\r\nregels")), QStringLiteral("\"twee\r\nregels\""));

        SessionResult s = SampleSession(QStringLiteral("Zoë \"Zo\"; d'Hondt"));
        s.sessionMode = -10;
        s.level = 3;
        s.status = SessionStatus::Stopped;
        s.items[0].firstAnswer = QStringLiteral("2.5");  // typed with a point: written with a comma
        s.items[0].secondAnswer = QStringLiteral("-3.75");
        const auto rows = parse(CsvHeader() + QStringLiteral("\r\n") + CsvLines(s));
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[1][0], QStringLiteral("Zoë \"Zo\"; d'Hondt"));
        QCOMPARE(rows[1][2], QStringLiteral("Grote uitdaging"));
        QCOMPARE(rows[1][3], QStringLiteral("Prof !"));
        QCOMPARE(rows[1][7], QStringLiteral("2,5"));
        QCOMPARE(rows[1][8], QStringLiteral("-3,75"));
        QCOMPARE(rows[1][12], QStringLiteral("afgebroken"));
        QVERIFY(CsvLines(s).startsWith(QStringLiteral("\"Zoë \"\"Zo\"\"; d'Hondt\";2026")));
    }

    void aNameIsNeverAFormula()
    {
        for (const QString& name : {QStringLiteral("=HYPERLINK(\"x\")"), QStringLiteral("+31"), QStringLiteral("-Piet"),
                                    QStringLiteral("@som")}) {
            const auto rows = parse(CsvLines(SampleSession(name)));
            QCOMPARE(rows[0][0], u'\'' + name);
            QCOMPARE(rows[1][8], QStringLiteral("-7,25"));  // a negative answer stays a number
        }
    }

    // Whichever separator a spreadsheet splits on, no field begins a formula: texts with a
    // separator are quoted, a text that begins like a formula has an apostrophe, numbers keep
    // their sign; the program's own reading gives every text back as it was.
    void noFieldBecomesAFormulaOnAnySeparator()
    {
        const QStringList names = {QStringLiteral("Jan,=3+3"), QStringLiteral("Jan\t=3+3"), QStringLiteral("Jan;=3+3"),
                                   QStringLiteral("=1+1"), QStringLiteral("\t=1+1"), QStringLiteral("\r=1"),
                                   QStringLiteral("@SUM(A1)"), QStringLiteral("'=al gewaarborgd"),
                                   QStringLiteral("'t Hart"), QStringLiteral("Jan, Piet \"en\" Klaas")};
        QString text = CsvHeader() + QStringLiteral("\r\n");
        QVector<SessionResult> sessions;
        for (const QString& name : names) {
            SessionResult s = SampleSession(name);
            s.items[0].firstAnswer = QStringLiteral("=2+5");
            s.items[0].secondAnswer = QStringLiteral("-4.5");
            s.items[1].firstAnswer = QStringLiteral("+3");
            sessions << s;
            text += CsvLines(s);
        }
        const QRegularExpression number(QStringLiteral("^[+-]\\d+(,\\d+)?$"));
        for (QChar separator : {u';', u',', u'\t'}) {
            for (const QStringList& row : parse(text, separator))
                for (const QString& field : row)
                    QVERIFY2(field.isEmpty() || number.match(field).hasMatch() ||
                                 !QStringLiteral("=+-@\t\r").contains(field[0]),
                             qPrintable(QStringLiteral("%1 split on %2").arg(field, separator)));
        }
        QVERIFY(text.contains(QStringLiteral("\"Jan;=3+3\"")));  // quoted, no apostrophe needed
        QVERIFY(text.contains(QStringLiteral("\r\n''=al gewaarborgd;")));
        const QList<QStringList> back = ReadCsv(text);
        QCOMPARE(back.size(), 1 + names.size() * 3);
        for (int k = 0; k < names.size(); ++k) {
            QCOMPARE(back[1 + 3 * k][0], names[k]);
            QCOMPARE(back[1 + 3 * k][7], QStringLiteral("=2+5"));
            QCOMPARE(back[1 + 3 * k][8], QStringLiteral("-4,5"));
            QCOMPARE(back[2 + 3 * k][7], QStringLiteral("+3"));
        }
        // The file as written reads back the same, its byte-order mark skipped.
        const QString path = dir.filePath(QStringLiteral("formules.csv"));
        QVERIFY(writeCsv(path, sessions));
        QCOMPARE(ReadCsv(QString::fromUtf8(bytesOf(path))), back);
    }

    void accentsSurviveInUtf8()
    {
        const QString path = dir.filePath(QStringLiteral("accenten.csv"));
        QVERIFY(writeCsv(path, {SampleSession(QStringLiteral("Åsa Ørsted-Çelik"))}));
        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.contains("\r\n\xC3\x85sa \xC3\x98rsted-\xC3\x87" "elik;"));
        // Rewriting an existing file replaces it whole.
        QVERIFY(writeCsv(path, {}));
        QCOMPARE(bytesOf(path), QByteArray("\xEF\xBB\xBF") + CsvHeader().toUtf8() + "\r\n");
    }

    void aFileThatCantBeWrittenIsSaid()
    {
        QFile plain(dir.filePath(QStringLiteral("gewoon")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        for (const QString& path : {dir.filePath(QStringLiteral("gewoon/klas.csv")), dir.path()}) {
            QString error;
            QVERIFY(!writeCsv(path, {SampleSession(QStringLiteral("Anna"))}, &error));
            QVERIFY(error.startsWith(QStringLiteral("Het bestand ")));
            QVERIFY(error.contains(QStringLiteral("kan niet worden geschreven")));
            QVERIFY(writeCsv(path, {}) == false);  // no message asked: no crash either
        }
        QVERIFY(QFileInfo(dir.path()).isDir());
    }

    void gradeIsOneToTenInTenths()
    {
        QCOMPARE(GradeText(0, 12), QStringLiteral("1,0"));
        QCOMPARE(GradeText(12, 12), QStringLiteral("10,0"));
        QCOMPARE(GradeText(6, 12), QStringLiteral("5,5"));
        QCOMPARE(GradeText(0, 0), QStringLiteral("1,0"));
        QCOMPARE(GradeText(1, 4), QStringLiteral("3,3"));  // 3,25 rounds up
        QCOMPARE(GradeText(13, 12), QStringLiteral("10,0"));
        QCOMPARE(GradeText(-2, 12), QStringLiteral("1,0"));
        // Every fraction: the nearest tenth of 1 + 9 p / m, halves up.
        for (int m = 1; m <= 240; ++m)
            for (int p = 0; p <= m; ++p) {
                const qint64 t = GradeTenths(p, m), exact2 = 2 * (10 * qint64(m) + 90 * qint64(p));
                QVERIFY((2 * t - 1) * m <= exact2 && exact2 < (2 * t + 1) * m);
                QCOMPARE(GradeText(p, m), QString::number(t / 10) + u',' + QString::number(t % 10));
            }
        SessionResult s = SampleSession(QStringLiteral("Anna"));
        QCOMPARE(s.grade(), 5.5);
        QCOMPARE(s.gradeText(), QStringLiteral("5,5"));
        s.points = 10;
        QCOMPARE(s.gradeText(), QStringLiteral("8,5"));
        QCOMPARE(s.percentage(), 83);
        s.maxPoints = 0;
        QCOMPARE(s.percentage(), 0);
        QCOMPARE(s.grade(), 1.0);
    }

    void countsDurationAndNames()
    {
        const SessionResult s = SampleSession(QStringLiteral("Anna"));
        QCOMPARE(s.rightAtFirst(), 1);
        QCOMPARE(s.rightAtSecond(), 1);
        QCOMPARE(s.wrong(), 1);
        QCOMPARE(s.durationSeconds(), 754);
        QCOMPARE(SessionResult().durationSeconds(), 0);
        QCOMPARE(MaxItemPoints(1), 2);
        QCOMPARE(MaxItemPoints(2), 4);
        QCOMPARE(MaxItemPoints(3), 6);
        QCOMPARE((QStringList{TopicName(0), TopicName(10), TopicName(20), TopicName(-10)}),
                 (QStringList{QStringLiteral("Verbanden"), QStringLiteral("Verhoudingen"),
                              QStringLiteral("Driehoeksgetallen"), QStringLiteral("Grote uitdaging")}));
        QCOMPARE((QStringList{LevelName(1), LevelName(2), LevelName(3)}),
                 (QStringList{QStringLiteral("Starter"), QStringLiteral("Durver"), QStringLiteral("Prof !")}));
        QCOMPARE(StatusName(SessionStatus::Completed), QStringLiteral("voltooid"));
        QCOMPARE(StatusName(SessionStatus::Stopped), QStringLiteral("afgebroken"));
        QCOMPARE(StatusName(SessionStatus::NotStarted), QStringLiteral("niet begonnen"));
        QCOMPARE(StatusName(SessionStatus::None), QString());
        // What a grade stands on: the plan, unless the test was completed or had none.
        QCOMPARE(ItemsNote(SessionStatus::Stopped, 20, 3), QStringLiteral("opgaven: 3 van 20"));
        QCOMPARE(ItemsNote(SessionStatus::NotStarted, 10, 0), QStringLiteral("opgaven: 0 van 10"));
        QCOMPARE(ItemsNote(SessionStatus::Completed, 20, 20) + ItemsNote(SessionStatus::Completed, 0, 12) +
                     ItemsNote(SessionStatus::None, 0, 3),
                 QString());
        QCOMPARE(ItemsNote(SessionStatus::Stopped, UnknownPlan, 3), QStringLiteral("gepland: onbekend"));
    }

    // A stopped test, an item left niet af, and practice: what each row says of them.
    void practiceAndStoppedTestsCanBeToldApart()
    {
        SessionResult stopped = SampleSession(QStringLiteral("Anna"));
        stopped.plannedItems = 20;
        stopped.maxPoints = MaxSessionPoints(20, 3, 2);
        stopped.status = SessionStatus::Stopped;
        stopped.items[1].unfinished = true;
        stopped.items[1].secondAnswer.clear();
        SessionResult practice = SampleSession(QStringLiteral("Anna"));
        practice.practice = true;
        practice.status = SessionStatus::None;
        practice.plannedItems = 0;
        practice.uuid = QStringLiteral("9b2f0c47-6a5e-4c1d-8f3a-2e7d6b1c0a95");
        const auto rows = parse(CsvLines(stopped) + CsvLines(practice));
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[1][10], QStringLiteral("niet af"));
        QCOMPARE(rows[0].mid(12), (QStringList{QStringLiteral("afgebroken"), QStringLiteral("toets"),
                                               stopped.uuid, QStringLiteral("1,7"),
                                               QStringLiteral("20"), QStringLiteral("3")}));
        // Practice: no status, no grade, no plan.
        QCOMPARE(rows[3].mid(12), (QStringList{QString(), QStringLiteral("oefenen"),
                                               QStringLiteral("9b2f0c47-6a5e-4c1d-8f3a-2e7d6b1c0a95"), QString(), QString(),
                                               QStringLiteral("3")}));
    }

    void theGradeBookHasALinePerSession()
    {
        SessionResult done = SampleSession(QStringLiteral("Anna"), QStringLiteral("be7den7tna"));
        done.ended = done.started.addSecs(12 * 60 + 29);  // 12,48 minutes: 12
        SessionResult stopped = SampleSession(QStringLiteral("=Bram"));
        stopped.plannedItems = 20;
        stopped.maxPoints = MaxSessionPoints(20, 3, 2);
        stopped.status = SessionStatus::Stopped;
        stopped.ended = stopped.started.addSecs(90);  // 1,5 minutes: 2
        SessionResult practice = SampleSession(QStringLiteral("Cas"));
        practice.practice = true;
        practice.status = SessionStatus::None;
        practice.plannedItems = 0;
        practice.ended = practice.started.addSecs(29);
        SessionResult old = SampleSession(QStringLiteral("Dirk"));
        old.plannedItems = UnknownPlan;
        const QString path = dir.filePath(QStringLiteral("cijfers.csv"));
        QVERIFY(writeGradeBook(path, {done, stopped, practice, old}));
        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        const auto rows = parse(QString::fromUtf8(bytes.mid(3)));
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows[0].join(u';'), QStringLiteral("naam;datum;onderdeel;soort;niveau;toetscode;opgaven_gepland;"
                                                    "opgaven_gemaakt;punten;maximum;percentage;cijfer;status;duur"));
        QCOMPARE(rows[1].join(u'|'),
                 QStringLiteral("Anna|2026-12-07 14:05|Verhoudingen|toets|Durver|BE7DE-N7TNA|3|3|6|12|50|5,5|voltooid|12"));
        QCOMPARE(rows[2].join(u'|'),
                 QStringLiteral("'=Bram|2026-12-07 14:05|Verhoudingen|toets|Durver||20|3|6|80|8|1,7|afgebroken|2"));
        QCOMPARE(rows[3].join(u'|'), QStringLiteral("Cas|2026-12-07 14:05|Verhoudingen|oefenen|Durver|||3|6|12|50|||0"));
        QCOMPARE(rows[4][6], QString());  // planned: unknown
    }

    void textsJoinIntoLines()
    {
        ItemResult i;
        i.texts = {{QStringLiteral("Ingegeven: "), 13, 208, Qt::black, 15, false},
                   {QStringLiteral("Hoeveel stippen?"), 13, 26, Qt::black, 15, false},
                   {QStringLiteral(" km"), 140, 208, Qt::black, 15, false},
                   {QStringLiteral("12"), 99, 208, Qt::blue, 15, true}};
        QCOMPARE(i.textLines(), (QStringList{QStringLiteral("Hoeveel stippen?"), QStringLiteral("Ingegeven: 12 km")}));
        QVERIFY(ItemResult().textImage().isNull());
    }
};

QTEST_GUILESS_MAIN(TestResultsCsv)
#include "tst_results_csv.moc"
