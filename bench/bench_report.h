#pragma once

// Shared by every benchmark: time a piece of work the same way, and print one row of the
// table that `make bench` shows. A row reads
//   BENCH <tab> what <tab> figure <tab> peer <tab> peer figure <tab> ratio <tab> target <tab> met

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// Median wall time in microseconds of `runs` calls of work().
template<typename Work>
double medianMicroseconds(int runs, Work &&work)
{
    std::vector<double> samples;
    samples.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::nth_element(samples.begin(), samples.begin() + runs / 2, samples.end());
    return samples[runs / 2];
}

// The median of samples, which must not be empty.
inline double median(std::vector<double> samples)
{
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

inline void printRow(const std::string &what, double figure, const std::string &peer,
                     double peerFigure, const std::string &unit, const std::string &target,
                     bool met)
{
    const double ratio = peerFigure > 0 ? figure / peerFigure : 0.0;
    std::printf("BENCH\t%s\t%.3f %s\t%s\t%.3f %s\t%.3f\t%s\t%s\n", what.c_str(), figure,
                unit.c_str(), peer.c_str(), peerFigure, unit.c_str(), ratio, target.c_str(),
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

} // namespace bench
