#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

// The median wall time of `runs` calls of `work`, in milliseconds: the
// median rather than the mean, so one run disturbed by the machine does not
// move the figure.
inline double medianMs(const std::function<void()> &work, int runs = 5)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
