#include "gui/controls/ProgressBar.h"

#include <QProgressBar>

#include <algorithm>

namespace fw {

ProgressBar::ProgressBar() {
    bar_ = new QProgressBar;
    bar_->setTextVisible(false);
    SetWidget(bar_);
    Update();
}

QProgressBar* ProgressBar::Bar() const { return bar_.data(); }

void ProgressBar::SetValue(int32_t value) {
    value_ = value;
    Update();
}

void ProgressBar::SetMaximum(int32_t maximum) {
    maximum_ = maximum;
    Update();
}

void ProgressBar::Update() {
    if (!bar_) return;
    if (maximum_ <= 0) {
        // A range of 0 .. 0 is Qt's busy indicator.
        bar_->setRange(0, 0);
        return;
    }
    bar_->setRange(0, maximum_);
    // QProgressBar ignores a value outside its range.
    bar_->setValue(std::clamp(value_, 0, maximum_));
}

}  // namespace fw
