#include "items.h"

#include <cstdio>

#include "app/application.h"
#include "app/itemdump.h"
#include "measure.h"
#include "ui/forms.h"
#include "ui/ui.h"

namespace bench {

namespace {

// The dump's output stream: it throws the text away and notes the time at the end of every
// item's line (the stream is unbuffered, so the newline arrives on its own).
struct LineClock {
    ItemTimes times;
    double lastCpu = 0, lastWall = 0;
};

ssize_t NoteLine(void* cookie, const char* buf, size_t size)
{
    auto* clock = static_cast<LineClock*>(cookie);
    if (size > 0 && buf[size - 1] == '\n') {
        const double cpu = ProcessCpuMs(), wall = WallMs();
        clock->times.cpuMs.push_back(cpu - clock->lastCpu);
        clock->times.wallMs.push_back(wall - clock->lastWall);
        clock->lastCpu = cpu;
        clock->lastWall = wall;
    }
    return ssize_t(size);
}

}  // namespace

bool MakeWindowsFor(QSize screen)
{
    if (kav::AppForms().Main)
        kav::DestroyForms();
    kav::SetScreenOverride(screen);
    return kav::CreateForms();
}

ItemTimes TimeDumpedItems(int theme, int level, int count)
{
    LineClock clock;
    cookie_io_functions_t io{};
    io.write = &NoteLine;
    std::FILE* out = fopencookie(&clock, "w", io);
    if (!out)
        return {};
    std::setvbuf(out, nullptr, _IONBF, 0);
    kav::ItemDumpOptions o;
    o.codes = {theme};
    o.level = level;
    o.count = count;
    o.seed = std::uint32_t(1000 * theme + level);
    o.seedGiven = true;
    clock.lastCpu = ProcessCpuMs();
    clock.lastWall = WallMs();
    kav::DumpItems(o, out);
    std::fclose(out);
    return clock.times;
}

}  // namespace bench
