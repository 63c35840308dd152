// What the two large-text programs share: letting the window paint what a
// step left, and one report line per step with its time and the process's
// memory, read by bench/bigtext_compare.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <fstream>
#include <string>

namespace bench {

// Peak (VmHWM) and current (VmRSS) resident memory in KiB.
inline void Memory(long& peak, long& current) {
    peak = current = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) peak = std::stol(line.substr(6));
        else if (line.rfind("VmRSS:", 0) == 0) current = std::stol(line.substr(6));
    }
}

// Paints what is pending, as the event loop would right after the step.
inline void PaintPending() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Times the step up to its result painted and prints
// "step NAME SECONDS PEAK_KIB RSS_KIB".
template <class Step>
void TimeStep(const char* name, Step step) {
    QElapsedTimer timer;
    timer.start();
    step();
    PaintPending();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    long peak = 0, current = 0;
    Memory(peak, current);
    std::printf("step %s %.6f %ld %ld\n", name, seconds, peak, current);
    std::fflush(stdout);
}

}  // namespace bench
