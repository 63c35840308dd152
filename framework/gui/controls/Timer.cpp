#include "gui/controls/Timer.h"

#include <QTimer>

#include <algorithm>

namespace fw {

Timer::Timer() : timer_(new QTimer) {
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] { Fire(); });
}

Timer::~Timer() {
    timer_->stop();
    // Released later: this may run inside the timer's own timeout (an
    // Action that closed the window).
    timer_->disconnect();
    timer_->deleteLater();
}

bool Timer::IsRunning() const { return mode_ != 0 && timer_->isActive(); }

void Timer::Start() {
    timer_->setSingleShot(mode_ == 1);
    timer_->start(std::max(0, period_));
}

void Timer::SetMode(int32_t mode) {
    mode_ = (mode == 1 || mode == 2) ? mode : 0;
    if (mode_ == 0) timer_->stop();
    else Start();
}

void Timer::SetPeriod(int32_t ms) {
    period_ = ms;
    if (IsRunning()) Start();
}

void Timer::Reset() {
    if (IsRunning()) Start();
}

void Timer::Fire() {
    // A single shot is over before its handler runs, so the handler may
    // start the timer again.
    if (mode_ == 1) {
        mode_ = 0;
        timer_->stop();
    } else if (mode_ == 0) {
        return;
    }
    RaiseEvent("Action");
}

}  // namespace fw
