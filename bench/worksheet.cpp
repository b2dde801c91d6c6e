#include "worksheet.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "measure.h"

namespace bench {

void WorksheetFigures(const std::string& program, int rounds)
{
    std::printf("\nA worksheet of 40 items, all 22 themes in turn, level 2, with its key and every explanation,\n"
                "written as PDF by the program (whole process, %d runs, median):\n", rounds);
    const std::string pdf = "/tmp/kavrin-bench-werkblad-" + std::to_string(getpid()) + ".pdf";
    std::vector<double> wall, cpu, peak;
    long bytes = 0;
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        const ChildRun r = RunChild(program, {"--worksheet", pdf, "--items", "1-7,11-17,21-28", "--level", "2",
                                              "--count", "40", "--seed", std::to_string(round + 1), "--key",
                                              "--explanations"});
        if (r.status != 0) {
            ++failures;
            continue;
        }
        wall.push_back(r.wallMs / 1000.0);
        cpu.push_back(r.cpuMs / 1000.0);
        peak.push_back(r.peakKb / 1024.0);
        struct stat st {};
        if (stat(pdf.c_str(), &st) == 0)
            bytes = long(st.st_size);
    }
    std::remove(pdf.c_str());
    if (wall.empty()) {
        std::printf("  the worksheet could not be written\n");
        return;
    }
    const double w = Median(wall), m = Median(peak);
    std::printf("  %-34s %9.2f s %s (goal <= 1.5 s)\n", "wall time", w, w <= 1.5 ? " " : "!");
    std::printf("  %-34s %9.2f s\n", "processor time", Median(cpu));
    std::printf("  %-34s %9.1f MB %s (goal <= 150 MB)\n", "peak memory", m, m <= 150 ? " " : "!");
    std::printf("  %-34s %9.1f MB%s\n", "the PDF", bytes / 1048576.0, failures ? "  (some runs failed)" : "");
}

}  // namespace bench
