// Prints the program's figures: start-up to the main menu beside a bare Qt Widgets window,
// peak memory of both, the time of a new item of every theme at 1920 x 1080, and the most
// frequent drawing steps. Figures only: nothing here fails on a slow machine.
//
//   build/bench/kavrin_bench            all figures
//   kavrin_bench --start program|bare   one start-up, used by the run above
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

#include "app/application.h"
#include "draw/datafolders.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/catalogue.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/verdeler.h"
#include "ui/forms.h"
#include "ui/ui.h"
#include "windows/mainform.h"
#include "windows/scrn.h"
#include "windows/testform.h"

namespace {

void report(const char* what, int runs, const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < runs; ++i)
        work();
    const double us = t.nsecsElapsed() / 1000.0 / runs;
    std::printf("  %-44s %10.1f us per run (%d runs)\n", what, us, runs);
}

long PeakKilobytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Waits until the window has been drawn once.
void ShowAndDraw(QWidget* w)
{
    w->show();
    for (int i = 0; i < 100 && !w->isVisible(); ++i)
        QCoreApplication::processEvents();
    w->grab();  // the whole window painted, as on the screen
    QCoreApplication::processEvents();
}

// One start-up in this process: the program's main menu, or a bare window of the same size.
int StartOnce(const QString& what, int argc, char** argv)
{
    QApplication app(argc, argv);
    QElapsedTimer t;
    t.start();
    if (what == QStringLiteral("program")) {
        kav::SetUpApplication(app);
        kav::StartRecordingMessages();
        kav::SetScreenOverride(QSize(1024, 768));
        kav::SetDataFolders({QCoreApplication::applicationDirPath() + QStringLiteral("/..")});
        if (!kav::CreateForms())
            return 1;
        ShowAndDraw(kav::AppForms().Main);
    } else {
        QWidget bare;
        bare.resize(1024, 768);
        ShowAndDraw(&bare);
    }
    std::printf("%.3f %ld\n", t.nsecsElapsed() / 1e6, PeakKilobytes());
    return 0;
}

struct StartFigures {
    double medianMs = 0;  // from starting the process to the window drawn and the process ended
    long peakKb = 0;
};

StartFigures MeasureStarts(const QString& what, int runs)
{
    std::vector<double> ms;
    long peak = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--start"), what});
        p.waitForFinished(60000);
        ms.push_back(t.nsecsElapsed() / 1e6);
        const QList<QByteArray> parts = p.readAllStandardOutput().trimmed().split(' ');
        if (parts.size() == 2)
            peak = std::max(peak, parts[1].toLong());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], peak};
}

// A port that opens nothing: the item is made as in a session, without a window.
struct SilentPort : kav::AnswerPort {
    void OpenAnswer(const QString&, const QString&) override {}
};

void ItemTimes()
{
    kav::TTestForm* test = kav::AppForms().Test;
    SilentPort port;
    kav::SetContext(&test->PictureBitmap, &test->TextBitmap, &port);
    std::printf("A new item (generator, text and picture) at 1920 x 1080, 300 items a theme per level:\n");
    std::printf("  %-6s %-42s %12s %12s\n", "theme", "", "median (us)", "worst (us)");
    for (int code = 1; code <= 30; ++code) {
        if (!kav::HasGenerator(code))
            continue;
        std::vector<double> us;
        for (int level = 1; level <= 3; ++level) {
            kav::SessionState& s = kav::Session();
            kav::ClearSessionFlags();
            s.SessionMode = code / 10 * 10;
            s.LevelIndex = level - 1;
            kav::ResetSession(level);
            kav::SeedRandom(std::uint32_t(1000 * code + level));
            for (int i = 0; i < 300; ++i) {
                QElapsedTimer t;
                t.start();
                kav::ClearBitmap(&test->TextBitmap, kav::col::BtnFace);
                kav::ClearBitmap(&test->PictureBitmap, kav::col::BtnFace);
                kav::FrameBitmap(&test->PictureBitmap, kav::col::Black);
                s.ThemeCode = code;
                s.Attempt = 0;
                kav::Verdeler();
                us.push_back(t.nsecsElapsed() / 1000.0);
                ++s.ItemCount;
                ++s.ThemeItemCount[size_t(code)];
            }
        }
        std::sort(us.begin(), us.end());
        std::printf("  %-6d %-42s %12.0f %12.0f\n", code, qPrintable(kav::ThemeTitle(code)), us[us.size() / 2], us.back());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == "--start")
        return StartOnce(QString::fromLocal8Bit(argv[2]), argc, argv);

    {
        QCoreApplication probe(argc, argv);
        const StartFigures program = MeasureStarts(QStringLiteral("program"), 9);
        const StartFigures bare = MeasureStarts(QStringLiteral("bare"), 9);
        std::printf("Start-up to the main menu drawn (median of 9, whole process, headless):\n");
        std::printf("  %-44s %10.1f ms\n", "Kavrin 2", program.medianMs);
        std::printf("  %-44s %10.1f ms\n", "a bare Qt Widgets window", bare.medianMs);
        std::printf("  %-44s %10.2f\n", "ratio", program.medianMs / bare.medianMs);
        std::printf("Peak memory (resident):\n");
        std::printf("  %-44s %10.1f MB\n", "Kavrin 2 at its main menu", program.peakKb / 1024.0);
        std::printf("  %-44s %10.1f MB\n", "a bare Qt Widgets window", bare.peakKb / 1024.0);
    }

    QApplication app(argc, argv);
    kav::SetUpApplication(app);
    kav::StartRecordingMessages();
    kav::SetNonBlockingModals(true);
    kav::SetScreenOverride(QSize(1920, 1080));
    kav::SetDataFolders({QCoreApplication::applicationDirPath() + QStringLiteral("/..")});
    if (!kav::CreateForms()) {
        std::printf("picture libraries not found beside the build\n");
        return 1;
    }
    ItemTimes();

    kav::TTestForm* test = kav::AppForms().Test;
    std::printf("Drawing steps at 1920 x 1080:\n");
    kav::Session().SessionMode = 20;
    kav::Session().PracticeMode = true;
    report("choice screen drawn", 200, [&] { test->StartTest(); });
    report("a line of text (DrawTextItem)", 5000, [&] {
        kav::DrawTextItem(QStringLiteral("Hoeveel stippen heeft dit driehoeksgetal ?"), kav::col::Black, false,
                          kav::TextMargin, 3, 1, &test->TextBitmap);
    });
    report("clear and frame the picture", 2000, [&] {
        kav::ClearBitmap(&test->PictureBitmap, kav::col::BtnFace);
        kav::FrameBitmap(&test->PictureBitmap, kav::col::Black);
    });
    const kav::Picture house = kav::LoadPicture(QStringLiteral("huis1"));
    report("a picture stretched (vector)", 500, [&] { test->PictureBitmap.stretchDraw(10, 10, 130, 130, house); });
    report("flood fill of the whole picture", 100, [&] {
        test->PictureBitmap.setBrush(kav::col::Yellow);
        test->PictureBitmap.floodFill(5, 5, kav::col::Black, kav::FillMode::Border);
        test->PictureBitmap.setBrush(kav::col::BtnFace);
        test->PictureBitmap.floodFill(5, 5, kav::col::Black, kav::FillMode::Border);
    });

    // The celebration screen on a 1920 x 1080 display: how fast discs can be drawn and shown,
    // the longest frame of the paced drawing (input waits at most that long), and the rate
    // the pacing keeps.
    std::printf("Celebration screen at 1920 x 1080:\n");
    kav::TScrn* scrn = kav::AppForms().Scrn;
    scrn->FirstActivation = true;
    scrn->show();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000)
        scrn->repaint(scrn->DrawDisc());
    std::printf("  %-44s %10.0f discs per second\n", "discs drawn and shown, as fast as it goes",
                scrn->discsSinceShown() * 1000.0 / t.elapsed());
    report("a frame of 4 discs of 149 rings", 100, [&] {
        QRect r;
        for (int i = 0; i < 4; ++i)
            r |= scrn->DrawDiscAt(149, 1 + i, 400 * i, 300);
        scrn->repaint(r);
    });
    scrn->close();
    scrn->FirstActivation = true;
    scrn->show();
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    t.restart();
    loop.exec();
    std::printf("  %-44s %10.0f discs per second\n", "discs drawn and shown, paced (3 s)",
                scrn->discsSinceShown() * 1000.0 / t.elapsed());
    scrn->close();

    kav::DestroyForms();
    return 0;
}
