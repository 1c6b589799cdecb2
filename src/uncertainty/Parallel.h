#pragma once

#include <algorithm>
#include <thread>
#include <vector>

// Runs work(begin, end) over [0, count) in contiguous blocks on up to `threads` threads (the
// calling one among them). Each index is worked on exactly once, so results written per index
// do not depend on the number of threads.
template <typename Work> void ParallelFor(int count, int threads, Work work)
{
    threads = std::clamp(threads, 1, std::max(1, count / 256));
    if (threads == 1) {
        work(0, count);
        return;
    }
    std::vector<std::thread> helpers;
    const int block = (count + threads - 1) / threads;
    for (int t = 1; t < threads; ++t) {
        const int begin = std::min(count, t * block), end = std::min(count, begin + block);
        helpers.emplace_back([=, &work] { work(begin, end); });
    }
    work(0, std::min(count, block));
    for (std::thread &h : helpers)
        h.join();
}

// The threads the computations may use: the machine's cores.
inline int ComputeThreads()
{
    return std::max(1u, std::thread::hardware_concurrency());
}
