// Timer: a non-visual control over QTimer that raises Action.
//
// Mode 0 is off, 1 a single shot (Action runs once, Period ms after the mode
// was set, and the mode is 0 again by the time the handler runs), 2
// repeating. A window's own timer class (Window1.Timer1) is a
// WindowControl<Timer>.
#pragma once

#include "gui/Control.h"

class QTimer;

namespace fw {

class Timer : public Control {
public:
    Timer();
    ~Timer() override;

    std::string PropertyClassName() const override { return "Timer"; }

    int32_t Mode() const { return mode_; }
    // Setting 1 or 2 starts the count of Period from now, also when the
    // timer was already running; 0 stops it.
    void SetMode(int32_t mode);
    int32_t Period() const { return period_; }
    // Changing the period of a running timer starts its count again with
    // the new period; a stopped timer stays stopped.
    void SetPeriod(int32_t ms);
    // Starts the count of a running timer again.
    void Reset();
    bool IsRunning() const;

protected:
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }

private:
    void Start();
    void Fire();
    QTimer* timer_;
    int32_t mode_ = 0;
    int32_t period_ = 1000;
};

}  // namespace fw
