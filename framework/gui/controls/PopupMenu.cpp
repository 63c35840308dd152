#include "gui/controls/PopupMenu.h"

#include <QComboBox>

namespace fw {

PopupMenu::PopupMenu() {
    combo_ = new QComboBox;
    combo_->setEditable(false);
    SetWidget(combo_);
    QObject::connect(combo_, &QComboBox::currentIndexChanged, Context(), [this] { RaiseEvent("Change"); });
}

QComboBox* PopupMenu::Combo() const { return combo_.data(); }

void PopupMenu::AddRow(const String& text) {
    rows_.push_back(text);
    if (!combo_) return;
    // QComboBox selects the first row added to an empty box; the menu's
    // selection changes only when the program or the user sets it.
    const int before = combo_->currentIndex();
    {
        const QSignalBlocker quiet(combo_);
        combo_->addItem(controls::DisplayText(text));
        combo_->setCurrentIndex(before);
    }
}

void PopupMenu::DeleteAllRows() {
    rows_.clear();
    if (combo_) combo_->clear();
}

String PopupMenu::List(int32_t row) const {
    if (row < 0 || row >= ListCount()) return String();
    return rows_[static_cast<std::size_t>(row)];
}

void PopupMenu::SetInitialValue(const String& joined) {
    DeleteAllRows();
    if (joined.IsEmpty()) return;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= joined.Size(); ++i) {
        if (i == joined.Size() || joined.At(i) == U'\r') {
            AddRow(joined.Sub(begin, i - begin));
            begin = i + 1;
        }
    }
}

int32_t PopupMenu::ListIndex() const { return combo_ ? combo_->currentIndex() : -1; }

void PopupMenu::SetListIndex(int32_t index) {
    if (!combo_ || index < -1 || index >= ListCount()) return;
    combo_->setCurrentIndex(index);
}

String PopupMenu::Text() const { return List(ListIndex()); }

}  // namespace fw
