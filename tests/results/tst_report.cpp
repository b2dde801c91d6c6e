// The printed report: pages and where the items go on them, pictures sharp enough for paper,
// the PDF read back as text (name, grade, right answers with and without), the texts the
// report and the results window share, and a file that can't be written.
#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "results/player.h"
#include "results/report.h"
#include "results/sample.h"

using namespace kav;
using testsupport::SampleSession;

namespace {

int PdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

// The text of each page with every run of white space made one space, or nothing when
// pdftotext is not installed.
std::optional<QStringList> PdfText(const QString& path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringList();
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString& page : pages)
        page = page.simplified();
    return pages;
}

// An A4 page at 300 dpi with margins of 15 mm, as the PDF file is written.
struct A4 {
    QTemporaryDir dir;
    QPdfWriter writer{dir.filePath(QStringLiteral("plan.pdf"))};
    A4()
    {
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                         QPageLayout::Millimeter));
    }
};

}  // namespace

class TestReport : public QObject {
    Q_OBJECT
    testsupport::SessionPlayer player;
    QTemporaryDir dir;

    QString write(const QString& name, const QVector<SessionResult>& sessions, bool rightAnswers = true)
    {
        const QString path = dir.filePath(name);
        QString error;
        ReportOptions o;
        o.rightAnswers = rightAnswers;
        if (!WriteReportPdf(path, sessions, o, &error))
            qWarning() << error;
        return path;
    }

private slots:
    void initTestCase()
    {
        player.setUp();
        QVERIFY(dir.isValid());
    }

    // Items of real sessions: none cut by a page's end, in their order, four to six on a page
    // after the first, and the PDF has the pages the plan counts.
    void itemsFillWholePages_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("practice");
        QTest::addColumn<int>("items");
        QTest::newRow("Driehoeksgetallen, 10") << 20 << false << 10;
        QTest::newRow("Verhoudingen, oefenen, 12") << 10 << true << 12;
        QTest::newRow("Verbanden, 20") << 0 << false << 20;
        QTest::newRow("Grote uitdaging, 30") << -10 << false << 30;
    }
    void itemsFillWholePages()
    {
        QFETCH(int, mode);
        QFETCH(bool, practice);
        QFETCH(int, items);
        const SessionResult s = player.playSession(mode, practice, 1, items, std::uint32_t(items + mode));
        QCOMPARE(s.items.size(), items);
        A4 a4;
        const ReportPlan plan = PlanReport(&a4.writer, s, {});
        QCOMPARE(plan.items.size(), items);
        const double pageHeight = a4.writer.height(), footer = 9 * 300 / 25.4;
        QVector<int> perPage(plan.pages, 0);
        for (int i = 0; i < plan.items.size(); ++i) {
            const ReportItemPlace& p = plan.items[i];
            QVERIFY(p.page >= 0 && p.page < plan.pages);
            ++perPage[p.page];
            QVERIFY2(p.box.top() >= 0 && p.box.bottom() <= pageHeight - footer + 0.5, qPrintable(QString::number(i)));
            QVERIFY(p.box.width() <= a4.writer.width());
            QVERIFY(p.box.contains(p.picture));
            if (i > 0 && plan.items[i - 1].page == p.page)
                QVERIFY(plan.items[i - 1].box.bottom() <= p.box.top() + 0.5);
            if (i > 0)
                QVERIFY(plan.items[i - 1].page <= p.page);
        }
        // The first page holds the summary too; the last may be part full.
        QVERIFY2(perPage.first() >= 3, qPrintable(QString::number(perPage.first())));
        for (int page = 1; page + 1 < plan.pages; ++page)
            QVERIFY2(perPage[page] >= 4 && perPage[page] <= 6, qPrintable(QString::number(perPage[page])));
        if (items == 10)
            QVERIFY(plan.pages >= 2 && plan.pages <= 3);
        const QString path = write(QStringLiteral("pages.pdf"), {s});
        QCOMPARE(PdfPages(path), plan.pages);
        if (const QByteArray shots = qgetenv("KAVRIN_SHOTS"); !shots.isEmpty())
            QFile::copy(path, QString::fromLocal8Bit(shots) + QStringLiteral("/report-%1.pdf").arg(mode));
    }

    // Every session begins on a page of its own, with its own page numbers.
    void sessionsStartOnNewPages()
    {
        const SessionResult a = player.playSession(20, false, 0, 7, 3, QStringLiteral("Anna"));
        const SessionResult b = player.playSession(0, true, 2, 3, 4, QStringLiteral("Bram"));
        A4 a4;
        const int pagesA = PlanReport(&a4.writer, a, {}).pages, pagesB = PlanReport(&a4.writer, b, {}).pages;
        const QString path = write(QStringLiteral("two.pdf"), {a, b});
        QCOMPARE(PdfPages(path), pagesA + pagesB);
        const auto text = PdfText(path);
        if (!text)
            QSKIP("pdftotext is not installed");
        QCOMPARE(text->size(), pagesA + pagesB);
        QVERIFY((*text)[0].contains(QStringLiteral("Naam: Anna")));
        QVERIFY((*text)[pagesA].contains(QStringLiteral("Resultaten")));
        QVERIFY((*text)[pagesA].contains(QStringLiteral("Naam: Bram")));
        QVERIFY(!(*text)[pagesA].contains(QStringLiteral("Anna")));
        QVERIFY((*text)[pagesA - 1].contains(QStringLiteral("blz. %1 van %1").arg(pagesA)));
        QVERIFY((*text)[pagesA].contains(QStringLiteral("blz. 1 van %1").arg(pagesB)));
    }

    // Session by session from a source: the pages counted beforehand are the pages written;
    // progress comes after each session, and a cancel leaves no file.
    void aSourceIsDrawnSessionBySessionAndCanBeCancelled()
    {
        const QVector<SessionResult> sessions = {player.playSession(20, false, 0, 7, 3, QStringLiteral("Anna")),
                                                 player.playSession(0, true, 2, 3, 4, QStringLiteral("Bram")),
                                                 SampleSession(QStringLiteral("Chris"))};
        const int pages = CountReportPages(SourceOf(sessions), {});
        QVector<int> told;
        QString error;
        const QString path = dir.filePath(QStringLiteral("bron.pdf"));
        QVERIFY(WriteReportPdf(path, QStringLiteral("Resultaten"), SourceOf(sessions), {}, &error,
                               [&told](int done) { return told << done, true; }));
        QCOMPARE(told, (QVector<int>{1, 2, 3}));
        QCOMPARE(PdfPages(path), pages);
        const QString cancelled = dir.filePath(QStringLiteral("geannuleerd.pdf"));
        QVERIFY(!WriteReportPdf(cancelled, QStringLiteral("Resultaten"), SourceOf(sessions), {}, &error,
                                [](int done) { return done < 2; }));
        QVERIFY(error.isEmpty());
        QVERIFY(!QFile::exists(cancelled));
    }

    // What the PDF says: the summary, each item's theme, question and answers, and the right
    // answers only when asked for.
    void pdfReadsBack()
    {
        SessionResult s = SampleSession(QStringLiteral("Jan de Vries"), QStringLiteral("ABCDEFGHJK"));
        const QString with = write(QStringLiteral("with.pdf"), {s}, true);
        const QString without = write(QStringLiteral("without.pdf"), {s}, false);
        QCOMPARE(PdfPages(with), 1);
        const auto a = PdfText(with), b = PdfText(without);
        if (!a || !b)
            QSKIP("pdftotext is not installed");
        const QString t = a->join(u'\n'), u = b->join(u'\n');
        for (const QString& want : {QStringLiteral("Naam: Jan de Vries"), QStringLiteral("Cijfer: 5,5"),
                                    QStringLiteral("Toetscode: ABCDE-FGHJK"), QStringLiteral("006 uit 003"),
                                    QStringLiteral("6 van de 12 (50%)"), QStringLiteral("12 min 34 s"),
                                    QStringLiteral("voltooid"), QStringLiteral("Omrekenen van geld"),
                                    QStringLiteral("Hoeveel kost één pak?"), QStringLiteral("-7,25"),
                                    QStringLiteral("blz. 1 van 1")}) {
            QVERIFY2(t.contains(want), qPrintable(want));
            QVERIFY2(u.contains(want), qPrintable(want));
        }
        QVERIFY(t.contains(QStringLiteral("Juiste antwoord: 7,45")));
        QVERIFY(!u.contains(QStringLiteral("Juiste antwoord")));
        QVERIFY(!u.contains(QStringLiteral("7,45")));
        // What the pupil typed is not the question: "Ingegeven" stays out of the report.
        QVERIFY(!t.contains(QStringLiteral("Ingegeven")));
    }

    // A stored picture prints with at least 200 of its pixels to an inch, and is never blown up.
    void picturesStaySharp()
    {
        // The picture of a session window at 1024 x 768: 645 pixels are at most 3,2 inch.
        QSizeF in = PrintedPictureSize(QSize(645, 646), QSizeF(8, 8));
        QVERIFY(in.width() <= 645 / 200.0 + 1e-9);
        QVERIFY(qAbs(in.width() / in.height() - 645.0 / 646) < 1e-9);
        // A small picture prints small; a large one fits its room with its shape kept.
        in = PrintedPictureSize(QSize(100, 50), QSizeF(3, 3));
        QCOMPARE(in, QSizeF(0.5, 0.25));
        in = PrintedPictureSize(QSize(2000, 1000), QSizeF(2, 2));
        QCOMPARE(in, QSizeF(2, 1));
        QVERIFY(PrintedPictureSize(QSize(), QSizeF(2, 2)).isEmpty());

        SessionResult s = player.playSession(10, false, 2, 6, 11);
        s.items[1].picturePng = PngBytes(testsupport::SampleImage(120, 90, Qt::yellow, 1));  // a small one
        A4 a4;
        const ReportPlan plan = PlanReport(&a4.writer, s, {});
        for (int i = 0; i < s.items.size(); ++i) {
            const QImage img = s.items[i].pictureImage();
            const QRectF r = plan.items[i].picture;
            QVERIFY(!r.isEmpty());
            const double dpi = img.width() / (r.width() / 300.0);
            QVERIFY2(dpi >= MinPictureDpi, qPrintable(QString::number(dpi)));
            QVERIFY(img.height() / (r.height() / 300.0) >= MinPictureDpi - 1);
        }
        QVERIFY(plan.items[1].picture.width() <= 120 * 300 / 200.0);
        QVERIFY(plan.items[0].picture.width() > 2 * plan.items[1].picture.width());

        // The PDF itself, as pdfimages reads its pictures' resolution.
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
        if (tool.isEmpty())
            QSKIP("pdfimages is not installed");
        QProcess p;
        p.start(tool, {QStringLiteral("-list"), write(QStringLiteral("sharp.pdf"), {s})});
        QVERIFY(p.waitForFinished(60000));
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        int images = 0;
        for (const QString& line : lines.mid(2)) {
            const QStringList f = line.simplified().split(u' ');
            if (f.size() < 14 || f[2] != QStringLiteral("image"))
                continue;
            ++images;
            QVERIFY2(f[12].toDouble() >= MinPictureDpi - 1 && f[13].toDouble() >= MinPictureDpi - 1, qPrintable(line));
        }
        QCOMPARE(images, s.items.size());
    }

    // The question is what stood before the pupil's answer; without the right answers the
    // text area is shown with "Het juiste antwoord was: ..." covered.
    void questionAndHiddenAnswer()
    {
        const SessionResult s = player.playSession(10, false, 1, testsupport::Sweep(24), 21);
        int hidden = 0;
        for (const ItemResult& item : s.items) {
            const QStringList q = QuestionLines(item);
            QVERIFY(!q.isEmpty());
            for (const QString& line : q) {
                QVERIFY(!line.contains(QStringLiteral("Ingegeven")));
                QVERIFY(!line.contains(QStringLiteral("Jammer")));
            }
            const QImage full = ShownTextImage(item, true).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(full, item.textImage().convertToFormat(QImage::Format_RGB32));
            const QImage covered = ShownTextImage(item, false);
            QCOMPARE(covered.size(), full.size());
            const auto said = std::find_if(item.texts.begin(), item.texts.end(), [](const TextLogEntry& e) {
                return e.text.startsWith(QStringLiteral("Het juiste antwoord was"));
            });
            if (item.right) {
                QVERIFY(said == item.texts.end());
                QCOMPARE(covered, full);
                continue;
            }
            QVERIFY(said != item.texts.end());
            ++hidden;
            // The answer itself (in red after the words) is gone, the question is still there.
            int red = 0;
            for (auto e = said; e != item.texts.end(); ++e) {
                const QRect words(e->x, e->y, full.width() - e->x, PointsToPixels(e->size));
                red += testsupport::CountColour(full.copy(words), col::Red);
                QCOMPARE(testsupport::CountColour(covered.copy(words), col::BtnFace), words.width() * words.height());
            }
            QVERIFY(red > 0);
            const QRect question(0, 0, full.width(), said->y - 2 * LineHeight);
            QCOMPARE(covered.copy(question), full.copy(question));
        }
        QVERIFY(hidden > 0);
    }

    // The summary as both the window and the report show it.
    void summaryTexts()
    {
        QCOMPARE(DurationText(45), QStringLiteral("45 s"));
        QCOMPARE(DurationText(12 * 60 + 5), QStringLiteral("12 min 5 s"));
        QCOMPARE(DurationText(3600 + 180), QStringLiteral("1 uur 3 min 0 s"));
        QCOMPARE(DurationText(-5), QStringLiteral("0 s"));
        QCOMPARE(DateTimeText(QDateTime(QDate(2026, 12, 7), QTime(14, 5))), QStringLiteral("7 december 2026, 14:05"));
        SessionResult s = SampleSession(QStringLiteral("Jan"));
        QStringList keys;
        for (const SummaryField& f : SummaryFields(s))
            keys << f.key;
        QCOMPARE(keys.join(u','), QStringLiteral("naam,datum,onderdeel,niveau,score,punten,cijfer,eerste,tweede,fout,tijd,status"));
        s.code = QStringLiteral("ABCDEFGHJK");
        s.status = SessionStatus::Stopped;
        s.plannedItems = 20;
        s.maxPoints = MaxSessionPoints(20, 3, 2);
        QVector<SummaryField> f = SummaryFields(s);
        QCOMPARE(f[2].value, QStringLiteral("Verhoudingen, test"));
        QCOMPARE(f[4].label + u' ' + f[4].value, QStringLiteral("Toetscode ABCDE-FGHJK"));
        QCOMPARE(f.last().value, QStringLiteral("afgebroken"));
        // The grade of a stopped test says what it stands on.
        QCOMPARE(f[7].value + u'/' + f[8].value + u'/' + f[9].value + u'/' + f[10].value + u'/' + f[11].value,
                 QStringLiteral("1,7 (opgaven: 3 van 20)/1/1/1/12 min 34 s"));
        // Practice is not assessed.
        s.practice = true;
        s.status = SessionStatus::None;
        f = SummaryFields(s);
        QCOMPARE(f[2].value, QStringLiteral("Verhoudingen, oefenen"));
        QCOMPARE(f[7].value, QStringLiteral("\u2014"));
        QCOMPARE(f.last().value, QStringLiteral("\u2014"));
    }

    // Nothing to report still makes a page that says so; a session without items has its
    // summary; a file that can't be written is told, and nothing is left behind.
    void emptyReportsAndUnwritableFiles()
    {
        QString error;
        QVERIFY(WriteReportPdf(dir.filePath(QStringLiteral("none.pdf")), {}, {}, &error));
        QCOMPARE(PdfPages(dir.filePath(QStringLiteral("none.pdf"))), 1);
        SessionResult s = SampleSession(QStringLiteral("Lege"));
        s.items.clear();
        QVERIFY(WriteReportPdf(dir.filePath(QStringLiteral("empty.pdf")), {s}, {}, &error));
        QCOMPARE(PdfPages(dir.filePath(QStringLiteral("empty.pdf"))), 1);
        if (const auto t = PdfText(dir.filePath(QStringLiteral("empty.pdf"))))
            QVERIFY(t->join(u'\n').contains(QStringLiteral("Er zijn geen opgaven gemaakt.")));

        const QString bad = dir.filePath(QStringLiteral("geen-map/rapport.pdf"));
        QVERIFY(!WriteReportPdf(bad, {SampleSession(QStringLiteral("Jan"))}, {}, &error));
        QVERIFY(error.contains(QStringLiteral("geen-map/rapport.pdf")));
        QVERIFY(!error.contains(u'\n'));
        QVERIFY(!QFile::exists(bad));
        QVERIFY(!PaintReports(nullptr, QVector<SessionResult>(), {}));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
