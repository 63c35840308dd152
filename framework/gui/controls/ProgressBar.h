// ProgressBar over QProgressBar: Value of Maximum; Maximum 0 makes it a busy
// indicator.
#pragma once

#include "gui/Control.h"

class QProgressBar;

namespace fw {

class ProgressBar : public RectControl {
public:
    ProgressBar();

    std::string PropertyClassName() const override { return "ProgressBar"; }

    int32_t Value() const { return value_; }
    // Kept as given; the bar shows it within 0 .. Maximum.
    void SetValue(int32_t value);
    int32_t Maximum() const { return maximum_; }
    void SetMaximum(int32_t maximum);
    bool IsBusyIndicator() const { return maximum_ <= 0; }

    QProgressBar* Bar() const;

protected:
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }

private:
    void Update();
    QPointer<QProgressBar> bar_;
    int32_t value_ = 0;
    int32_t maximum_ = 100;
};

}  // namespace fw
