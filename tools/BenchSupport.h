// What the bench programs share: the clock and its statistics, the lines
// that carry their figures, the floor of a benchmark without a window, and
// the game folder they run in.
// Header only: every tools/*.cpp is a program of its own.
//
// Figures: every benchmark prints one floor and its figures as lines of
// four columns that tools/bench.sh reads into its table (each figure over
// the floor of the same run):
//   floor  | clear + swap                | 1.93 ms | p95 2.40 ms
//   figure | view: town day, level 0     | 25.31 ms | p95 30.12 ms
//   figure | idle main loop on the street | 1.21 % of a core | 48 ms of CPU in 4.0 s
// The value is a number and a unit (ns, us, ms for times); the last column
// is free text. Everything else a benchmark prints is for its reader.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

struct Stats {
    double median = 0, p95 = 0;
};

inline Stats stats(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.median = v[v.size() / 2];
    s.p95 = v[std::min(v.size() - 1, size_t(double(v.size()) * 0.95))];
    return s;
}

// A value with three or four significant digits, never in exponent form.
inline std::string number(double v)
{
    char buf[48];
    const double a = v < 0 ? -v : v;
    std::snprintf(buf, sizeof buf, a >= 1000 ? "%.0f" : a >= 100 ? "%.1f" : a >= 10 ? "%.2f" : a >= 1 ? "%.3f" : "%.4f", v);
    return buf;
}

// One line of figures (see the top of this file).
inline void printLine(const char* kind, const std::string& name, double value, const char* unit,
                      const std::string& note)
{
    std::printf("%-6s | %-40s | %s %s | %s\n", kind, name.c_str(), number(value).c_str(), unit, note.c_str());
    std::fflush(stdout);
}

// A figure given by its value alone.
inline void figure(const std::string& name, double value, const char* unit, const std::string& note = "")
{
    printLine("figure", name, value, unit, note);
}

// A figure of timed samples: the median, with the 95th percentile beside it.
inline void figure(const std::string& name, const std::vector<double>& samples, const char* unit)
{
    const Stats s = stats(samples);
    printLine("figure", name, s.median, unit, "p95 " + number(s.p95) + " " + unit);
}

// The floor of the run (its median), that the figures are read against.
inline void floorFigure(const std::string& name, const std::vector<double>& samples, const char* unit)
{
    const Stats s = stats(samples);
    printLine("floor", name, s.median, unit, "p95 " + number(s.p95) + " " + unit);
}

// The floor of a benchmark without a window: a fixed piece of plain work
// (integer arithmetic over a table of 16 KB), timed `samples` times, in
// milliseconds. It slows with the machine and its load as the figures
// beside it do.
inline volatile uint32_t referenceSink = 0;   // keeps the work from being optimised away
inline std::vector<double> referenceWork(int samples = 41)
{
    std::vector<uint32_t> table(4096, 1);
    std::vector<double> ms;
    for (int n = 0; n < samples; ++n) {
        const Clock::time_point t = Clock::now();
        uint64_t x = 0x9e3779b97f4a7c15ull + uint64_t(n);
        for (int i = 0; i < 200000; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            table[x & 4095] += uint32_t(x >> 32);
        }
        referenceSink = table[x & 4095];
        ms.push_back(msSince(t));
    }
    return ms;
}

// Prints the floor of a benchmark without a window.
inline void printReferenceFloor()
{
    floorFigure("reference work", referenceWork(), "ms");
}

// Changes into the game folder: the one given, else "../game" beside the
// program. False (with a message) when there is none.
inline bool enterGameFolder(const char* argv0, const char* given)
{
    std::string dir = given ? given : "";
    if (dir.empty()) {
        const std::string self = argv0;
        const size_t slash = self.find_last_of('/');
        dir = (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/../game";
    }
    if (chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "ERROR: no game folder %s\n", dir.c_str());
        return false;
    }
    return true;
}

} // namespace bench
