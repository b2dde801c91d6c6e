// Prints the program's figures beside the goals they are held to: start-up to the main menu
// against a bare Qt Widgets window, a new item of every theme and level at 1920 x 1080 and
// 3840 x 2160, memory at the main menu and over 20,000 items, the celebration's discs and a
// 40-item worksheet with its key, and what the results keep of an item.
// Figures only: nothing here fails on a slow machine, the exit status is 0.
//
//   build/bench/kavrin_bench                       all figures (a few minutes)
//   kavrin_bench --quick                           the same with few rounds, for a first look
//   kavrin_bench --only start|items|memory|discs|worksheet|store|results|handin   one part
//                                                  (handin needs a PostgreSQL server: run it
//                                                  under pg_virtualenv, or see bench/handin.h)
//   kavrin_bench --sessions N                      the store's size (120,000; fewer for a
//                                                  quick look: the full store takes GBs)
//   kavrin_bench --class                           adds a class of thirty who made one coded
//                                                  test to the user's store, to look at the
//                                                  class overview by eye; prints the code
//   kavrin_bench --start program|bare [--screen WxH]
//                                                  one start-up up to the first frame drawn
//                                                  under the platform in use, exit status 0
#include <QApplication>
#include <QElapsedTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/application.h"
#include "draw/datafolders.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/pictures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "items.h"
#include "measure.h"
#include "overview.h"
#include "handin.h"
#include "results.h"
#include "session/session.h"
#include "startup.h"
#include "store.h"
#include "themes/verdeler.h"
#include "ui/forms.h"
#include "ui/ui.h"
#include "worksheet.h"
#include "windows/scrn.h"
#include "windows/testform.h"

namespace {

using bench::ChildRun;
using bench::Median;
using bench::Percentile;

// How much the full run measures; --quick measures a little of everything.
struct Plan {
    int startRounds = 15;    // start-ups of each, program and reference taking turns
    // N-item and 1-item dump runs per theme and level, taking turns; at 1920 x 1080 the start
    // of the process weighs more against the items, so more pairs are needed there.
    int dumpPairs1080 = 5, dumpPairs4k = 3;
    int dumpItems1080 = 41;  // N at 1920 x 1080
    int dumpItems4k = 41;    // N at 3840 x 2160
    int timed1080 = 200;     // items timed one by one per theme and level, in this process
    int timed4k = 100;
    int memoryShort = 1000, memoryLong = 20000;
    int discSeconds = 2;
    int worksheetRounds = 5;
    int resultSessions = 1000, resultItems = 5, sessionItems = 500;
    int handInRounds = 40;
};

Plan QuickPlan()
{
    Plan p;
    p.startRounds = 3;
    p.dumpPairs1080 = p.dumpPairs4k = 1;
    p.dumpItems1080 = p.dumpItems4k = 6;
    p.timed1080 = p.timed4k = 10;
    p.memoryShort = 100;
    p.memoryLong = 1000;
    p.discSeconds = 1;
    p.worksheetRounds = 1;
    p.resultSessions = 40;
    p.sessionItems = 100;
    p.handInRounds = 5;
    return p;
}

const char* Mark(bool meets)
{
    return meets ? " " : "!";
}

std::string SizeText(int w, int h)
{
    return std::to_string(w) + "x" + std::to_string(h);
}

std::string ProgramPath()
{
    return bench::OwnFolder() + "/../kavrin2";
}

// ---- start-up --------------------------------------------------------------

struct StartFigures {
    std::vector<double> cpu, wall, peakMb;
    int failures = 0;
};

void StartUps(const Plan& plan, const std::string& self)
{
    // The start-ups run under the platform in use; without any display, headless.
    bench::ChoosePlatform();
    std::string platform = "?";
    std::printf("Start-up to the main menu's first frame, whole process, against a bare Qt Widgets window\n"
                "with a label and a button of the same size; %d rounds of each, taking turns, median:\n",
                plan.startRounds);
    std::printf("  %-34s %14s %12s %14s\n", "", "processor time", "wall time", "peak memory");
    for (const auto& [w, h] : {std::pair{1024, 768}, std::pair{1920, 1080}}) {
        StartFigures program, bare;
        for (int round = 0; round < plan.startRounds; ++round)
            for (StartFigures* f : {&program, &bare}) {
                const ChildRun r = bench::RunChild(
                    self, {"--start", f == &program ? "program" : "bare", "--screen", SizeText(w, h)}, true);
                if (r.status != 0) {
                    ++f->failures;
                    continue;
                }
                platform = r.out.substr(0, r.out.find('\n'));
                f->cpu.push_back(r.cpuMs);
                f->wall.push_back(r.wallMs);
                f->peakMb.push_back(r.peakKb / 1024.0);
            }
        std::printf("  at %d x %d\n", w, h);
        if (program.cpu.empty() || bare.cpu.empty()) {
            std::printf("    the start-ups failed (try: kavrin_bench --start program --screen %s)\n", SizeText(w, h).c_str());
            continue;
        }
        for (const auto& [name, f] : {std::pair{"Kavrin 2", &program}, std::pair{"bare window (label, button)", &bare}})
            std::printf("    %-32s %11.1f ms %9.1f ms %11.1f MB%s\n", name, Median(f->cpu), Median(f->wall),
                        Median(f->peakMb), f->failures ? "  (some start-ups failed)" : "");
        const double cpuRatio = Median(program.cpu) / Median(bare.cpu);
        const double memRatio = Median(program.peakMb) / Median(bare.peakMb);
        std::printf("    %-32s %11.2f %s  %9.2f    %11.2f %s\n", "ratio", cpuRatio, Mark(cpuRatio <= 1.5),
                    Median(program.wall) / Median(bare.wall), memRatio, Mark(memRatio <= 1.5));
    }
    std::printf("  goals: processor time <= 1.5 x the bare window; memory no higher than today (about 1.5 x)\n");
    std::printf("  platform: %s\n", platform.c_str());
}

// ---- a new item ------------------------------------------------------------

// The mean processor time per item of the item dump run as a process: (an N-item run - a
// 1-item run) / (N - 1), the two taking turns, the median over the pairs. Negative when the
// dump failed.
double DumpMeanMs(int theme, int level, int items, int pairs, const std::string& screen)
{
    std::vector<double> perItem;
    for (int pair = 0; pair < pairs; ++pair) {
        double cpu[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            const int which = (pair + k) % 2;  // who goes first changes from pair to pair
            const ChildRun r = bench::RunChild(
                ProgramPath(), {"--items", std::to_string(theme), "--level", std::to_string(level), "--count",
                                std::to_string(which ? 1 : items), "--seed", std::to_string(1000 * theme + level),
                                "--screen", screen});
            if (r.status != 0)
                return -1;
            cpu[which] = r.cpuMs;
        }
        perItem.push_back((cpu[0] - cpu[1]) / (items - 1));
    }
    return Median(perItem);
}

struct Worst {
    double value = -1;
    int theme = 0, level = 0;
    void note(double v, int t, int l)
    {
        if (v > value)
            *this = {v, t, l};
    }
};

void ItemTable(const Plan& plan, int w, int h, double goalMs)
{
    const bool big = w > 1920;
    const int dumpItems = big ? plan.dumpItems4k : plan.dumpItems1080;
    const int timed = big ? plan.timed4k : plan.timed1080;
    const int pairs = big ? plan.dumpPairs4k : plan.dumpPairs1080;
    std::printf("\nA new item at %d x %d (goals: mean <= %.0f ms, p99 <= 3 x median), milliseconds:\n", w, h, goalMs);
    std::printf("  mean: the item dump as a process, (N = %d items - 1 item) / %d, processor time, median of %d;\n"
                "  median, p99: %d items timed one by one in the same dump code, processor time of every thread\n",
                dumpItems, dumpItems - 1, pairs, timed);
    std::printf("  %5s %5s %9s %9s %9s %9s %10s %9s\n", "theme", "level", "mean", "median", "p99", "p99/med",
                "wall med", "wall p99");
    if (!bench::MakeWindowsFor(QSize(w, h))) {
        std::printf("  the picture libraries are not beside the build\n");
        return;
    }
    int rows = 0, meanOk = 0, ratioOk = 0;
    Worst worstMean, worstRatio;
    for (int theme = 1; theme <= 30; ++theme) {
        if (!kav::HasGenerator(theme))
            continue;
        for (int level = 1; level <= 3; ++level) {
            const double mean = DumpMeanMs(theme, level, dumpItems, pairs, SizeText(w, h));
            const bench::ItemTimes t = bench::TimeDumpedItems(theme, level, timed);
            const double median = Median(t.cpuMs), p99 = Percentile(t.cpuMs, 99);
            const double ratio = median > 0 ? p99 / median : 0;
            const bool meanMeets = mean >= 0 && mean <= goalMs, ratioMeets = ratio <= 3;
            ++rows;
            meanOk += meanMeets;
            ratioOk += ratioMeets;
            worstMean.note(mean, theme, level);
            worstRatio.note(ratio, theme, level);
            std::printf("  %5d %5d %9.2f %9.2f %9.2f %9.2f %10.2f %9.2f %s%s%s\n", theme, level, mean, median, p99,
                        ratio, Median(t.wallMs), Percentile(t.wallMs, 99), meanMeets && ratioMeets ? "" : "!",
                        meanMeets ? "" : " mean", ratioMeets ? "" : " p99");
            std::fflush(stdout);
        }
    }
    std::printf("  mean <= %.0f ms: %d of %d rows (worst: theme %d level %d, %.2f ms); p99 <= 3 x median: %d of %d "
                "(worst: theme %d level %d, %.2f)\n",
                goalMs, meanOk, rows, worstMean.theme, worstMean.level, worstMean.value, ratioOk, rows,
                worstRatio.theme, worstRatio.level, worstRatio.value);
}

// ---- memory over many items ------------------------------------------------

void MemoryGrowth(const Plan& plan)
{
    const std::string themes = "1-7,11-17,21-28";
    std::printf("\nPeak memory of the item dump, all 22 themes in turn, level 3, 1024 x 768 (goal: no growth):\n");
    double peak[2] = {0, 0};
    const int counts[2] = {plan.memoryShort, plan.memoryLong};
    for (int k = 0; k < 2; ++k) {
        const ChildRun r = bench::RunChild(ProgramPath(), {"--items", themes, "--level", "3", "--count",
                                                           std::to_string(counts[k]), "--seed", "1"});
        peak[k] = r.peakKb / 1024.0;
        std::printf("  after %6d items %19.1f MB%s\n", counts[k], peak[k], r.status ? "  (the dump failed)" : "");
    }
    const double growth = peak[1] - peak[0];
    std::printf("  growth %32.1f MB %s\n", std::fabs(growth) < 0.05 ? 0.0 : growth, Mark(growth < 1.0));
}

// ---- the celebration and the drawing steps ---------------------------------

void Report(const char* what, int runs, const std::function<void()>& work)
{
    const double start = bench::WallMs();
    for (int i = 0; i < runs; ++i)
        work();
    std::printf("  %-44s %10.1f us per run (%d runs)\n", what, (bench::WallMs() - start) * 1000.0 / runs, runs);
}

void DrawingSteps()
{
    kav::TTestForm* test = kav::SessionWindow();
    std::printf("\nDrawing steps at 1920 x 1080 (wall time, to see where the time goes; no goals):\n");
    kav::Session().SessionMode = 20;
    kav::Session().PracticeMode = true;
    Report("choice screen drawn", 200, [&] { test->StartTest(); });
    Report("a line of text (DrawTextItem)", 5000, [&] {
        kav::DrawTextItem(QStringLiteral("Hoeveel stippen heeft dit driehoeksgetal ?"), kav::col::Black, false,
                          kav::TextMargin, 3, 1, &test->TextBitmap);
    });
    Report("clear and frame the picture", 2000, [&] {
        kav::ClearBitmap(&test->PictureBitmap, kav::col::BtnFace);
        kav::FrameBitmap(&test->PictureBitmap, kav::col::Black);
    });
    const kav::Picture house = kav::LoadPicture(QStringLiteral("huis1"));
    Report("a picture stretched (vector)", 500, [&] { test->PictureBitmap.stretchDraw(10, 10, 130, 130, house); });
    Report("flood fill of the whole picture", 100, [&] {
        test->PictureBitmap.setBrush(kav::col::Yellow);
        test->PictureBitmap.floodFill(5, 5, kav::col::Black, kav::FillMode::Border);
        test->PictureBitmap.setBrush(kav::col::BtnFace);
        test->PictureBitmap.floodFill(5, 5, kav::col::Black, kav::FillMode::Border);
    });
}

// How fast the celebration screen draws and shows its discs when nothing paces it.
void Discs(const Plan& plan)
{
    std::printf("\nCelebration screen at 1920 x 1080:\n");
    kav::TScrn* scrn = kav::CelebrationWindow();
    scrn->FirstActivation = true;
    scrn->show();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1000 * plan.discSeconds)
        scrn->repaint(scrn->DrawDisc());
    std::printf("  %-44s %10.0f discs per second\n", "discs drawn and shown, unpaced",
                scrn->discsSinceShown() * 1000.0 / double(t.elapsed()));
    Report("a frame of 4 discs of 149 rings", 100, [&] {
        QRect r;
        for (int i = 0; i < 4; ++i)
            r |= scrn->DrawDiscAt(149, 1 + i, 400 * i, 300);
        scrn->repaint(r);
    });
    scrn->close();
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--start" && args.size() >= 2 && (args[1] == "program" || args[1] == "bare")) {
        const std::string screen = args.size() >= 4 && args[2] == "--screen" ? args[3] : "1024x768";
        return bench::StartOnce(args[1], screen, argv[0]);
    }
    Plan plan;
    std::string only;
    int sessions = 120000;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--quick")
            plan = QuickPlan();
        else if (args[i] == "--only" && i + 1 < args.size())
            only = args[++i];
        else if (args[i] == "--sessions" && i + 1 < args.size() && std::atoi(args[i + 1].c_str()) > 0)
            sessions = std::atoi(args[++i].c_str());
        else if (args[i] == "--class")  // a class of thirty in the user's store, to look at
            only = "class";
        else {
            std::fprintf(stderr, "kavrin_bench [--quick] [--only start|items|memory|discs|worksheet|store|results|handin] [--sessions N]\n"
                                 "kavrin_bench --start program|bare [--screen WxH]\n"
                                 "kavrin_bench --class\n");
            return 2;
        }
    }
    const auto wanted = [&](const char* part) { return only.empty() || only == part; };
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    if (wanted("start"))
        StartUps(plan, bench::OwnFolder() + "/kavrin_bench");
    if (wanted("memory"))
        MemoryGrowth(plan);
    if (wanted("worksheet"))
        bench::WorksheetFigures(ProgramPath(), plan.worksheetRounds);
    if (only == "class") {
        QCoreApplication app(argc, argv);
        return bench::StoreClass();
    }
    if (!wanted("items") && !wanted("discs") && !wanted("store") && !wanted("results") && !wanted("handin"))
        return 0;

    // The rest is drawn in this process, without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int appArgc = 1;
    QApplication app(appArgc, argv);
    kav::SetUpApplication(app);
    kav::StartRecordingMessages();
    kav::SetNonBlockingModals(true);
    kav::SetDataFolders({QString::fromStdString(bench::OwnFolder() + "/..")});
    if (wanted("items")) {
        ItemTable(plan, 1920, 1080, 2);
        ItemTable(plan, 3840, 2160, 6);
    }
    if (wanted("store"))
        bench::StoreFigures(ProgramPath(), sessions);
    if (wanted("results"))
        bench::ResultFigures(plan.resultSessions, plan.resultItems, plan.sessionItems);
    if (wanted("handin"))
        bench::HandInFigures(plan.handInRounds);
    if (wanted("discs")) {
        if (!bench::MakeWindowsFor(QSize(1920, 1080))) {
            std::printf("the picture libraries are not beside the build\n");
            return 0;
        }
        DrawingSteps();
        Discs(plan);
    }
    kav::DestroyForms();
    return 0;
}
