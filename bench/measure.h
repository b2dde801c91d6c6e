// What the benchmark needs to measure: child processes with their processor time, wall time
// and peak memory, clocks, and medians and percentiles.
#pragma once
#include <string>
#include <vector>

namespace bench {

// One finished child process.
struct ChildRun {
    double cpuMs = 0;   // user + system time of the child (all its threads), from wait4
    double wallMs = 0;  // from starting it to its end
    long peakKb = 0;    // its peak resident memory (ru_maxrss)
    int status = -1;    // its exit status, -1 when it did not end normally
    std::string out;    // what it wrote to its standard output, when asked for
};

// Starts the program at `path` with `args` (without the program's own name), waits for it and
// gives its figures. Its error output is dropped; its standard output too unless `keepOutput`.
ChildRun RunChild(const std::string& path, const std::vector<std::string>& args, bool keepOutput = false);

// Processor time of this whole process (every thread) and the monotonic clock, in milliseconds.
double ProcessCpuMs();
double WallMs();

// The median, and the nearest-rank percentile p (0 < p <= 100), of a set of figures (0 when
// empty).
double Median(std::vector<double> v);
double Percentile(std::vector<double> v, double p);

// The folder this benchmark was started from (its build folder).
std::string OwnFolder();

}  // namespace bench
