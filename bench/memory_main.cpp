// Resident memory of many objects in one window: the process's resident set (VmRSS) before
// any object, after making N of a kind, and after drawing them all once in a grid, with the
// cost per object. Usage: zv_memory [N] [plot|histogram|image] (default 500 plots).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "zarvo.h"

namespace {

// Resident set size of this process in KiB, from /proc/self/status.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

void report(const char* when, long kib, long base, int n) {
    std::printf("%-28s %8.1f MiB", when, kib / 1024.0);
    if (n > 0) std::printf("   %+8.1f MiB, %7.1f KiB per object", (kib - base) / 1024.0,
                           double(kib - base) / n);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 500;
    const std::string kind = argc > 2 ? argv[2] : "plot";
    if (n <= 0 || (kind != "plot" && kind != "histogram" && kind != "image")) {
        std::fprintf(stderr, "usage: zv_memory [N > 0] [plot|histogram|image]\n");
        return 2;
    }
    zv::Window window(800, 600, "zarvo memory", nullptr, true);
    // The first draw loads the chart font and builds what every window needs once.
    {
        zv::Plot warm(2, zv::ZV_FLOAT32);
        window.draw(warm);
    }
    const long base = residentKiB();
    report("window, chart font", base, base, 0);

    std::vector<std::unique_ptr<zv::Plot>> plots;
    std::vector<std::unique_ptr<zv::Histogram>> histograms;
    std::vector<std::unique_ptr<zv::Image>> images;
    for (int i = 0; i < n; ++i) {
        if (kind == "plot") plots.emplace_back(new zv::Plot(1000, zv::ZV_FLOAT32));
        if (kind == "histogram") histograms.emplace_back(new zv::Histogram(100, zv::ZV_FLOAT32));
        if (kind == "image")
            images.emplace_back(new zv::Image(64, 64, zv::ZV_GRAYSCALE, zv::ZV_UINT8));
    }
    const long made = residentKiB();
    report(("after making " + std::to_string(n) + " " + kind + "s").c_str(), made, base, n);

    int side = 1;
    while (side * side < n) ++side;
    window.grid(side, side);
    for (int i = 0; i < n; ++i) {
        const int column = i % side, row = i / side;
        if (kind == "plot") window.draw(column, row, *plots[size_t(i)]);
        if (kind == "histogram") window.draw(column, row, *histograms[size_t(i)]);
        if (kind == "image") window.draw(column, row, *images[size_t(i)]);
    }
    window.draw();
    report("after drawing them once", residentKiB(), base, n);
    return 0;
}
