// A script file's bytes in, the whole script played headless: every step from 0 to 9, every
// pause continued, every entry answered. A hostile or broken script may give messages, but
// never crashes, never hangs, and no line takes long to play.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <cstdlib>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "fuzzing.h"
#include "session/session.h"
#include "viewer/interpreter.h"

namespace {

struct Port : kav::ScriptPort {
    bool continueShown = false, entryOpen = false, closed = false;
    void ShowContinue(bool) override { continueShown = true; }
    void HideContinue() override { continueShown = false; }
    void OpenEntry(int, const QString&, int) override { entryOpen = true; }
    void Paint() override {}
    void Einde() override { closed = true; }
    bool HandleEvents(int) override { return true; }
};

// A line that takes longer than this is a finding: the player must stay quick on any input.
constexpr double slowLineMs = 2000;

void Play(const QString& path, int step, int answer)
{
    kav::Canvas text(366, 709), picture(645, 646);
    kav::ClearBitmap(&text, kav::col::BtnFace);
    kav::ClearBitmap(&picture, kav::col::BtnFace);
    kav::FrameBitmap(&picture, kav::col::Black);
    text.font.family = kav::FontFamily;
    text.font.size = 18;
    picture.font = text.font;
    kav::Session().SessionMode = step % 2 ? 30 : 0;
    kav::Session().GivenAnswer = answer;
    Port port;
    kav::Interpreter run(&text, &picture, &port);
    run.PlayWaits = false;
    // Processor time, so that a busy machine does not make a line look slow.
    std::clock_t lineStart = std::clock();
    run.LineDone = [&lineStart] {
        const double ms = 1000.0 * double(std::clock() - lineStart) / CLOCKS_PER_SEC;
        fuzzing::SlowestLineMs() = std::max(fuzzing::SlowestLineMs(), ms);
        if (ms > slowLineMs) {
            std::fprintf(stderr, "fuzz_script: one line took %.0f ms\n", ms);
            std::abort();
        }
        lineStart = std::clock();
    };
    if (!run.LeesFile(path))
        return;
    run.ScriptStep = step;
    run.IntroOnly = step == 0;
    // Every pause needs one press at most: more presses than lines means it does not end.
    const int presses = int(run.reader.queue().size()) + 50;
    for (int i = 0; i < presses; ++i) {
        port.entryOpen = false;
        lineStart = std::clock();
        run.Doorgaan();
        if (port.closed || (!port.continueShown && !port.entryOpen && !run.ContinueRun))
            return;  // closed, or stopped by a fault with nothing left to continue
        if (port.entryOpen)
            kav::Session().GivenAnswer = answer;
    }
    std::fprintf(stderr, "fuzz_script: step %d does not come to an end\n", step);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::SetUpOnce();
    static const int reported = std::atexit([] {
        std::fprintf(stderr, "stat::slowest_script_line_ms: %.1f\n", fuzzing::SlowestLineMs());
    });
    (void)reported;
    static QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("demo3.txt"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    kav::ResetMeasures();
    kav::LineHeight = 24;
    kav::ScreenScale = 1.6;
    kav::TextMargin = 13;
    kav::DecimalSeparator = size % 2 ? u',' : u'.';
    for (int step = 0; step <= 9; ++step) {
        kav::ClearRecordedMessages();
        Play(path, step, step % 3 == 0 ? 5 : step % 3 == 1 ? 25 : 0);  // entries take 5 to 25
    }
    return 0;
}
