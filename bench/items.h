// A new item of every theme and level, the way the item dump makes it, timed in this process
// item by item.
#pragma once
#include <QSize>
#include <vector>

namespace bench {

// Processor time (every thread of this process) and wall time of each item, in milliseconds.
struct ItemTimes {
    std::vector<double> cpuMs, wallMs;
};

// Lays the windows out for `screen` (made afresh); false when the picture libraries are
// missing.
bool MakeWindowsFor(QSize screen);
// `count` consecutive items of one theme and level through the item dump (JSON made and
// written, to nowhere), each item's time from the end of the one before to the end of its own
// line. The windows must exist.
ItemTimes TimeDumpedItems(int theme, int level, int count);

}  // namespace bench
