#include "gui/controls/Listbox.h"

#include <QAbstractListModel>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>

namespace fw {

// The list's rows as a Qt model; the rows stay in the Listbox's StringRows.
class ListboxModel : public QAbstractListModel {
public:
    ListboxModel(StringRows& rows, QObject* parent) : QAbstractListModel(parent), rows_(&rows) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || !rows_ ? 0 : rows_->ListCount();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!rows_ || !index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
        return rows_->CellCopy(index.row()).ToQString();
    }

    // The rows are going: from now on the model is empty.
    void Detach() {
        beginResetModel();
        rows_ = nullptr;
        endResetModel();
    }

    void BeginInsert(int first, int last) { beginInsertRows({}, first, last); }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(int first, int last) { beginRemoveRows({}, first, last); }
    void EndRemove() { endRemoveRows(); }
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void RowChanged(int row) {
        const QModelIndex i = index(row);
        emit dataChanged(i, i);
    }

private:
    StringRows* rows_;
};

Listbox::Listbox() {
    view_ = new QTableView;
    model_ = new ListboxModel(rows_, view_);
    // One column of rows of one height, without headings or grid: the view
    // places rows by arithmetic and never visits rows it does not show.
    view_->horizontalHeader()->hide();
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setMinimumSectionSize(1);
    FitRowHeight(view_->font());
    view_->setShowGrid(false);
    view_->setWordWrap(false);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the list, as it leaves any other control.
    view_->setTabKeyNavigation(false);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setModel(model_);
    SetWidget(view_);
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, Context(),
                     [this] { RaiseEvent("Change"); });
}

Listbox::~Listbox() {
    // The view may outlive the control until its deferred deletion: its
    // model must not read rows already gone. Emptying the model is much
    // cheaper than taking it from the view, which reconnects the view to
    // Qt's empty model signal by signal.
    if (view_) model_->Detach();
}

QTableView* Listbox::View() const { return view_.data(); }

void Listbox::FitRowHeight(const QFont& font) {
    // The same font again (the definition's font keys over the default one)
    // gives the same height: nothing to do.
    if (fittedFont_ && *fittedFont_ == font) return;
    fittedFont_ = font;
    // The height the style gives a one-line item in this font, as a list
    // view would size its rows.
    QStyleOptionViewItem option;
    option.initFrom(view_);
    option.font = font;
    option.fontMetrics = QFontMetrics(font);
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("Xg");
    const QSize size = view_->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), view_);
    // Setting it, even to the same value, makes Qt walk every row of a
    // loaded list.
    const int height = std::max(1, size.height());
    if (view_->verticalHeader()->defaultSectionSize() != height) view_->verticalHeader()->setDefaultSectionSize(height);
}

void Listbox::FontChanged(const QFont& font) {
    RectControl::FontChanged(font);
    if (view_) FitRowHeight(font);
}

String Listbox::Cell(int32_t row, int32_t column) const {
    if (column != 0) return String();
    return rows_.Cell(row);
}

void Listbox::SetCell(int32_t row, int32_t column, const String& text) {
    if (column != 0 || row < 0 || row >= rows_.ListCount()) return;
    rows_.SetCell(row, text);
    if (model_ && view_) model_->RowChanged(row);
}

void Listbox::AddRow(const String& text) { InsertRow(rows_.ListCount(), text); }

void Listbox::InsertRow(int32_t row, const String& text) {
    const int32_t count = rows_.ListCount();
    if (row < 0) row = 0;
    if (row >= count) {
        if (view_) model_->BeginInsert(count, count);
        rows_.AddRow(text);
        if (view_) model_->EndInsert();
        return;
    }
    // StringRows appends only: rebuild the tail.
    std::vector<String> all;
    all.reserve(static_cast<std::size_t>(count) + 1);
    for (int32_t i = 0; i < count; ++i) {
        if (i == row) all.push_back(text);
        all.push_back(rows_.Cell(i));
    }
    if (view_) model_->BeginInsert(row, row);
    rows_.Assign(std::move(all));
    if (view_) model_->EndInsert();
}

void Listbox::RemoveRow(int32_t row) {
    if (row < 0 || row >= rows_.ListCount()) return;
    if (view_) model_->BeginRemove(row, row);
    rows_.RemoveRow(row);
    if (view_) model_->EndRemove();
}

void Listbox::DeleteAllRows() {
    if (view_) model_->BeginReset();
    rows_.DeleteAllRows();
    if (view_) model_->EndReset();
}

void Listbox::AssignRows(std::vector<String> rows) {
    if (view_) model_->BeginReset();
    rows_.Assign(std::move(rows));
    if (view_) model_->EndReset();
}

String Listbox::InitialValue() const {
    String joined;
    for (int32_t i = 0; i < rows_.ListCount(); ++i) {
        if (i) joined.Append(U'\r');
        joined.Append(rows_.Cell(i));
    }
    return joined;
}

void Listbox::SetInitialValueUtf8(std::string joined) {
    if (view_) model_->BeginReset();
    rows_.SetFromJoinedUtf8(std::move(joined), '\r');
    if (view_) model_->EndReset();
}

void Listbox::SetInitialValueUtf8View(std::string_view joined) {
    if (view_) model_->BeginReset();
    rows_.SetFromJoinedUtf8View(joined, '\r');
    if (view_) model_->EndReset();
}

void Listbox::SetInitialValue(String joined) {
    if (view_) model_->BeginReset();
    rows_.SetFromJoined(std::move(joined), U'\r');
    if (view_) model_->EndReset();
}

int32_t Listbox::ListIndex() const {
    if (!view_ || !view_->selectionModel()) return -1;
    const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return -1;
    int32_t first = selected.front().row();
    for (const QModelIndex& i : selected) first = std::min<int32_t>(first, i.row());
    return first;
}

void Listbox::SetListIndex(int32_t index) {
    if (!view_ || !view_->selectionModel()) return;
    if (index < 0 || index >= rows_.ListCount()) {
        view_->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex i = model_->index(index);
    view_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(i);
}

String Listbox::Text() const {
    const int32_t i = ListIndex();
    return i < 0 ? String() : rows_.Cell(i);
}

void Listbox::SetInitialValue(PropertyValue& taken) {
    if (taken.utf8Lasting) SetInitialValueUtf8View(taken.utf8);
    else if (!taken.utf8.empty()) SetInitialValueUtf8(std::string(taken.utf8));
    else SetInitialValue(std::move(taken.text));
}

void Listbox::SetBorder(bool b) {
    if (view_) view_->setFrameShape(b ? QFrame::StyledPanel : QFrame::NoFrame);
}

void Listbox::SetScrollBarVertical(bool b) {
    if (view_) view_->setVerticalScrollBarPolicy(b ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void Listbox::SetScrollbarHorizontal(bool b) {
    if (view_) view_->setHorizontalScrollBarPolicy(b ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void Listbox::SetSelectionType(int32_t type) {
    selectionType_ = type;
    if (view_)
        view_->setSelectionMode(type == 1 ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

}  // namespace fw
