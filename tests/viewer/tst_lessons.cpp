// The five lesson scripts that ship with the program, played step by step headless into the
// viewer's canvases: every step must play to its end without a message, draw something, and
// keep its texts inside their areas, at 1024 x 768, 1366 x 768 and 640 x 480. KAVRIN_LESSONS
// may name another folder to check drafts; with KAVRIN_SHOTS set, each pause at the two larger
// sizes is saved as a picture of both areas side by side.
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <set>

#include "draw/text.h"
#include "formsfixture.h"
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
    QString playStep(const QString& path, int file, int step, int answer, const QString& shots)
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
};

QTEST_MAIN(TestLessons)
#include "tst_lessons.moc"
