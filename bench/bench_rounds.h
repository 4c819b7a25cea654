// Timing ours against a reference in rounds, back to back and alternating
// which goes first, as this machine changes speed from one second to the
// next: the figure is the median of the rounds' own ratios.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

inline double BenchSeconds(const std::function<bool()>& run) {
    const auto t = std::chrono::steady_clock::now();
    if (!run()) std::fprintf(stderr, "a timed run failed\n");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// between() runs after each timed run (to drop caches, remove copies, ...).
inline double BenchRounds(int rounds, const char* name, const std::function<bool()>& ours,
                          const std::function<bool()>& reference,
                          const std::function<void()>& between) {
    std::vector<double> ratios;
    for (int r = 0; r < rounds; ++r) {
        double a = 0, b = 0;
        if (r % 2 == 0) {
            a = BenchSeconds(ours);
            between();
            b = BenchSeconds(reference);
        } else {
            b = BenchSeconds(reference);
            between();
            a = BenchSeconds(ours);
        }
        between();
        std::fprintf(stderr, "%s round %d: ours %.3f s, reference %.3f s\n", name, r + 1, a, b);
        ratios.push_back(a / b);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}
