// The five lesson scripts that ship with the program, played step by step headless into the
// viewer's canvases: every step must play to its end without a message, draw something, and
// keep its texts inside their areas, at 1024 x 768, 1366 x 768 and 640 x 480. KAVRIN_LESSONS
// may name another folder to check drafts; with KAVRIN_SHOTS set, each pause at the two larger
// sizes is saved as a picture of both areas side by side.
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>
#include <functional>
#include <map>
#include <set>

#include "draw/text.h"
#include "formsfixture.h"
#include "themes/ratios/ratios.h"
#include "viewer/interpreter.h"

using namespace testsupport;
using kav::Session;

namespace {

struct Player : kav::ScriptPort {
    bool continueShown = false;
    bool entryOpen = false;
    int entryKind = 0;
    bool closed = false;
    void ShowContinue(bool) override { continueShown = true; }
    void HideContinue() override { continueShown = false; }
    void OpenEntry(int, const QString&, int kind) override
    {
        entryOpen = true;
        entryKind = kind;
    }
    void Paint() override {}
    void Einde() override { closed = true; }
    bool HandleEvents(int) override { return true; }
};

QString LessonFolder()
{
    const QString own = qEnvironmentVariable("KAVRIN_LESSONS");
    return own.isEmpty() ? QStringLiteral(KAVRIN_SOURCE_DIR "/resources/scripts") : own;
}

// The steps that have lines in the file (up to its "[end]").
std::set<int> StepsOf(const QString& path)
{
    kav::ScriptReader r;
    r.LeesFile(path);
    std::set<int> steps;
    for (const QString& line : r.queue())
        if (const auto n = kav::ScriptWhole(line.section(u',', 0, 0)); n && !line.contains(QLatin1String("[end]")))
            steps.insert(*n / 100);
    return steps;
}

// The first text of the canvas that does not lie wholly inside it.
QString TextOutside(const kav::Canvas& c, const char* area)
{
    kav::Canvas measure(10, 10);
    for (const auto& e : c.textLog()) {
        if (e.text.trimmed().isEmpty())
            continue;
        measure.font.size = e.size;
        measure.font.bold = e.bold;
        const int w = measure.textWidth(e.text), h = measure.textHeight(e.text);
        if (e.x < 0 || e.y < 0 || e.x + w > c.width() || e.y + h > c.height())
            return QStringLiteral("'%1' at (%2, %3), %4 x %5, sticks out of the %6 area of %7 x %8")
                .arg(e.text)
                .arg(e.x)
                .arg(e.y)
                .arg(w)
                .arg(h)
                .arg(QLatin1String(area))
                .arg(c.width())
                .arg(c.height());
    }
    return QString();
}

// The rows of text of a canvas as a pupil reads them, top to bottom: the pieces on one row
// joined left to right (with a blank where they stand apart). The two tildes of an
// approximately-equal sign are left out.
QStringList ReadRows(const kav::Canvas& c)
{
    kav::Canvas measure(10, 10);
    std::map<int, std::map<int, kav::TextLogEntry>> rows;
    for (const auto& e : c.textLog())
        if (e.text.trimmed() != QLatin1String("~") && !e.text.isEmpty())
            rows[e.y][e.x] = e;
    QStringList out;
    for (const auto& [y, row] : rows) {
        QString line;
        int end = -1;
        for (const auto& [x, e] : row) {
            if (end >= 0 && x > end + 4)
                line += u' ';
            line += e.text;
            measure.font.size = e.size;
            measure.font.bold = e.bold;
            end = x + measure.textWidth(e.text);
        }
        out << line.simplified();
    }
    return out;
}

// A sum like "3 x 10,50" or "12 x 13 : 2" (products before sums), or a number.
double Evaluate(const QString& expression)
{
    const QStringList tokens = expression.split(u' ', Qt::SkipEmptyParts);
    double total = 0, term = 0;
    QChar sumOp = u'+', productOp;
    for (int i = 0; i < tokens.size(); ++i) {
        const QString& t = tokens[i];
        if (i % 2 == 1) {  // an operator
            if (t == u"+" || t == u"-") {
                total += sumOp == u'+' ? term : -term;
                sumOp = t[0];
                productOp = QChar();
            } else {
                productOp = t[0];
            }
            continue;
        }
        const double v = QString(t).replace(u',', u'.').toDouble();
        term = productOp.isNull() ? v : productOp == u':' ? term / v : term * v;
    }
    return total + (sumOp == u'+' ? term : -term);
}

// Every chain "a x b = c = ..." of whole or decimal numbers in the rows that does not hold.
QString WrongSum(const QStringList& rows)
{
    static const QString number = QStringLiteral("\\d+(?:,\\d+)?"),
                         expression = number + QStringLiteral("(?: [x·:+-] ") + number + u')' + u'*';
    static const QRegularExpression chain(QStringLiteral("(?<![\\d,])") + expression + QStringLiteral("(?: = ") +
                                          expression + QStringLiteral(")+(?![\\d])"));
    for (const QString& row : rows)
        for (const QRegularExpressionMatch& m : chain.globalMatch(row)) {
            const QStringList sides = m.captured().split(QStringLiteral(" = "));
            for (const QString& side : sides)
                if (qAbs(Evaluate(side) - Evaluate(sides.first())) > 1e-9)
                    return QStringLiteral("'%1' does not hold").arg(m.captured());
        }
    return QString();
}

void SaveShot(const QString& name)
{
    const QByteArray dir = qgetenv("KAVRIN_SHOTS");
    if (dir.isEmpty())
        return;
    const QImage& t = Help()->ViewerTextBitmap.image();
    const QImage& p = Help()->ViewerPictureBitmap.image();
    QImage both(t.width() + 4 + p.width(), qMax(t.height(), p.height()), QImage::Format_RGB32);
    both.fill(kav::col::BtnFace);
    QPainter painter(&both);
    painter.drawImage(0, 0, t);
    painter.drawImage(t.width() + 4, 0, p);
    painter.end();
    both.save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace

class TestLessons : public QObject {
    Q_OBJECT

    // Plays one step of a lesson with the given answer to every entry; returns a fault or "".
    // With `shots` set (and KAVRIN_SHOTS), every pause is saved under that prefix.
    QString playStep(const QString& path, int file, int step, int answer, const QString& shots,
                     const std::function<void()>& atPause = {})
    {
        kav::Canvas& text = Help()->ViewerTextBitmap;
        kav::Canvas& picture = Help()->ViewerPictureBitmap;
        text = Test()->TextBitmap;  // as the viewer does when it opens
        picture = Test()->PictureBitmap;
        kav::ClearBitmap(&text, kav::col::BtnFace);
        kav::ClearBitmap(&picture, kav::col::BtnFace);
        kav::FrameBitmap(&picture, kav::col::Black);
        kav::ClearRecordedMessages();
        Session().SessionMode = file == 4 ? 30 : 0;  // the sums of lines 303/304 run in the demonstration
        Session().GivenAnswer = 0;

        Player port;
        kav::Interpreter run(&text, &picture, &port);
        if (!run.LeesFile(path))
            return QStringLiteral("the file cannot be read");
        run.ScriptStep = step;
        run.IntroOnly = file == 0 && step == 0;  // the main menu shows only the introduction
        run.PlayWaits = false;

        const QImage blankText = text.image().copy(), blankPicture = picture.image().copy();
        const QString where = QStringLiteral("demo%1 step %2, answer %3: ").arg(file).arg(step).arg(answer);
        for (int pause = 0;; ++pause) {
            if (pause > 2000)
                return where + QStringLiteral("does not come to an end");
            port.entryOpen = false;
            run.Doorgaan();
            if (!kav::RecordedMessages().isEmpty())
                return where + kav::RecordedMessages().join(QStringLiteral(" / "));
            for (const QString& problem : {TextOutside(text, "text"), TextOutside(picture, "picture")})
                if (!problem.isEmpty())
                    return where + problem;
            if (port.closed)
                break;
            if (atPause)
                atPause();
            if (!shots.isEmpty())
                SaveShot(QStringLiteral("%1-demo%2-step%3-pause%4%5")
                             .arg(shots)
                             .arg(file)
                             .arg(step)
                             .arg(pause)
                             .arg(answer == 5 ? QString() : QStringLiteral("-%1").arg(answer)));
            if (port.entryOpen) {
                // The pupil types the answer; lines 102, 302, 402 and 502 take it only from 5 to 25,
                // which a decimal entry never gives.
                Session().GivenAnswer = port.entryKind == 2 ? 0 : answer;
                Session().GivenDecimal = answer;
                const int line = run.ContinueTag;
                if ((line == 102 || line == 302 || line == 402 || line == 502) && Session().GivenAnswer != answer)
                    return where + QStringLiteral("the entry of line %1 can never be accepted").arg(line);
                continue;
            }
            if (!port.continueShown && !run.ContinueRun)
                return where + QStringLiteral("stops without Doorgaan, an entry or [end]");
        }
        if (text.image() == blankText && picture.image() == blankPicture)
            return where + QStringLiteral("draws nothing");
        return QString();
    }

private slots:
    void cleanupTestCase() { kav::DestroyForms(); }

    void everyStepPlays_data()
    {
        QTest::addColumn<int>("file");
        for (int k = 0; k < 5; ++k)
            QTest::newRow(qPrintable(QStringLiteral("demo%1").arg(k))) << k;
    }
    void everyStepPlays()
    {
        QFETCH(int, file);
        const QString path = QDir(LessonFolder()).filePath(QStringLiteral("demo%1.txt").arg(file));
        if (!QFileInfo::exists(path))
            QSKIP(qPrintable(QStringLiteral("%1 is not there (yet)").arg(path)));
        const std::set<int> steps = StepsOf(path);
        QVERIFY2(!steps.empty(), "the file has no numbered lines");
        // The design's own size, the most common school screen and a wide one.
        for (QSize screen : {QSize(1024, 768), QSize(1366, 768), QSize(640, 480)}) {
            StartForms(screen);
            const QString size = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
            for (int step : steps)
                for (int answer : {5, 25}) {
                    const QString fault = playStep(path, file, step, answer, screen.width() > 640 ? size : QString());
                    QVERIFY2(fault.isEmpty(), qPrintable(size + QStringLiteral(", ") + fault));
                }
        }
    }

    // The money lesson (demo2, step 4) teaches the table of theme 14: the same amounts of equal
    // value, every amount it names beside another currency worth the same, its prices whole,
    // and every sum it writes out right.
    void moneyLessonAgreesWithTheTable()
    {
        StartForms(QSize(1024, 768));
        // The table as the exercises show it.
        const std::map<QString, QString> unitOf = {{"euro's", "euro"},
                                                   {"Amerikaanse dollars", "dollar"},
                                                   {"Engelse ponden", "pond"},
                                                   {"Zwitserse franken", "frank"},
                                                   {"Zuid-Afrikaanse rand", "rand"}};
        testsupport::StartThemeItem(14, 1);  // "Starter" shows every amount
        kav::ClearBitmap(&Test()->PictureBitmap, kav::col::BtnFace);
        kav::Theme14();
        std::map<QString, int> exercise;
        for (const QString& row : ReadRows(Test()->PictureBitmap))
            for (const auto& [plural, unit] : unitOf)
                if (row.startsWith(plural + u' '))
                    exercise[unit] = row.mid(plural.size() + 1).section(u' ', 0, 0).toInt();
        QCOMPARE(exercise.size(), size_t(5));

        const QString path = QDir(LessonFolder()).filePath(QStringLiteral("demo2.txt"));
        std::map<QString, int> lesson;
        QStringList paragraphs, faults;
        const QString fault = playStep(path, 2, 4, 5, QString(), [&]() {
            for (const kav::Canvas* area : {&Help()->ViewerTextBitmap, &Help()->ViewerPictureBitmap}) {
                QStringList rows = ReadRows(*area);
                faults << WrongSum(rows);
                // The table's rows are no sentences.
                rows.removeIf([&](const QString& row) {
                    for (const auto& [plural, unit] : unitOf)
                        if (row.startsWith(plural + u' ')) {
                            if (!lesson.count(unit))
                                lesson[unit] = row.mid(plural.size() + 1).toInt();
                            return true;
                        }
                    return false;
                });
                // Text flows on from row to row in the text area; in the picture every row stands alone.
                if (area == &Help()->ViewerTextBitmap)
                    paragraphs << rows.join(u' ');
                else
                    paragraphs << rows;
            }
        });
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QCOMPARE(lesson, exercise);
        faults.removeAll(QString());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));

        // Sentence by sentence: two currencies named in one sentence are worth the same; a
        // price is a whole number, only a rate (what 1 unit is worth) has decimals.
        static const QRegularExpression amount(QStringLiteral(
            "(\\d+(?:,\\d+)?) (?:Amerikaanse |Engelse |Zwitserse |Zuid-Afrikaanse )?(euro|dollar|pond|frank|rand)\\b"));
        QSet<QString> sentences;
        for (const QString& paragraph : paragraphs)
            for (const QString& sentence : paragraph.split(QRegularExpression(QStringLiteral("(?<=[.?!]) "))))
                sentences << sentence;
        int pairs = 0;
        for (const QString& sentence : sentences) {
            QVector<std::pair<double, QString>> named;
            for (const QRegularExpressionMatch& m : amount.globalMatch(sentence))
                named.append({m.captured(1).replace(u',', u'.').toDouble(), m.captured(2)});
            bool rate = false;
            for (const auto& [value, unit] : named)
                rate = rate || value == 1;
            for (const auto& [value, unit] : named) {
                QVERIFY2(rate || value == std::floor(value), qPrintable(sentence));
                const double euros = value * 100 / exercise.at(unit);
                const double first = named[0].first * 100 / exercise.at(named[0].second);
                QVERIFY2(qAbs(euros / first - 1) < 0.01, qPrintable(QStringLiteral("'%1': not of equal value").arg(sentence)));
                pairs += unit != named[0].second;
            }
        }
        QVERIFY(pairs >= 4);  // the example, the pound and the euro both ways, the rate in America
    }

    // Gauss's trick with the pupil's own number: the staircase and its copy turned half round,
    // as many cells each.
    void gaussShowsTheRowAndItsCopy()
    {
        StartForms(QSize(1024, 768));
        const QString path = QDir(LessonFolder()).filePath(QStringLiteral("demo4.txt"));
        for (int answer : {5, 25}) {
            qint64 yellow = 0, aqua = 0;
            const QString fault = playStep(path, 4, 4, answer, QString(), [&]() {
                const QImage img = Help()->ViewerPictureBitmap.image().convertToFormat(QImage::Format_RGB32);
                yellow = aqua = 0;
                for (int y = 3 * kav::LineHeight; y < img.height(); ++y) {  // below the yellow heading
                    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
                    for (int x = 0; x < img.width(); ++x) {
                        yellow += (line[x] & 0xffffffu) == 0xffff00u;
                        aqua += (line[x] & 0xffffffu) == 0x00ffffu;
                    }
                }
            });
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
            QVERIFY(yellow > 0);
            QVERIFY2(qAbs(yellow - aqua) * 50 < yellow, qPrintable(QStringLiteral("%1 yellow, %2 aqua").arg(yellow).arg(aqua)));
        }
    }
};

QTEST_MAIN(TestLessons)
#include "tst_lessons.moc"
