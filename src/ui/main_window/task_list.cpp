#include "ui/main_window/task_list.h"

#include "core/common/text.h"
#include "ui/common/twips.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace vantor::ui {

namespace {

struct Column {
    const char* title;
    int widthTwips;
};
// The list's columns in order; the last two carry TimeMode and Params and are never shown.
constexpr std::array<Column, 6> kColumns{{{"起始时间", 2050},
                                          {"截止时间", 1900},
                                          {"条件设置", 1200},
                                          {"操作", 550},
                                          {"时间模式", 0},
                                          {"任务参数", 0}}};
constexpr int kColumnCount = static_cast<int>(kColumns.size());
// Columns that turn red while their row's task runs.
constexpr int kLastRunningColumn = 3;
// A cell shows at most this many characters of its text: laying out a field of megabytes (a damaged or
// hostile task file) would freeze the window. The record keeps the whole text.
constexpr size_t kMaxCellChars = 1000;

QString CellText(const std::string& text) {
    const std::string_view shown = PrefixOfChars(text, kMaxCellChars);
    QString cell = QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
    if (shown.size() < text.size()) {
        cell += QChar(0x2026); // …
    }
    return cell;
}

const std::string& ColumnText(const TaskRecord& r, int column) {
    switch (column) {
    case 0:
        return r.startText;
    case 1:
        return r.endText;
    case 2:
        return r.conditionText;
    case 3:
        return r.operationText;
    case 4:
        return r.timeMode;
    default:
        return r.params;
    }
}

} // namespace

// The rows as plain records, plus the one thing the view needs besides: whether a row shows as running.
// The check mark is the record's `enabled`.
class TaskListModel final : public QAbstractTableModel {
public:
    explicit TaskListModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(records_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kColumnCount;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!contains(index)) {
            return {};
        }
        const size_t row = static_cast<size_t>(index.row());
        // The hidden columns carry the record's mode and parameters for the program, not for people:
        // nothing of them reaches assistive tools, which would read them out as raw text.
        if (kColumns[static_cast<size_t>(index.column())].widthTwips == 0) {
            return {};
        }
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return CellText(ColumnText(records_[row], index.column()));
        case Qt::ToolTipRole: {
            // The columns are narrow ("周135+闲…"): the whole text shows when the pointer rests on a cell
            // (as far as a cell shows any text).
            const std::string& text = ColumnText(records_[row], index.column());
            return text.empty() ? QVariant() : QVariant(CellText(text));
        }
        case Qt::CheckStateRole:
            if (index.column() == 0) {
                return static_cast<int>(records_[row].enabled ? Qt::Checked : Qt::Unchecked);
            }
            return {};
        case Qt::ForegroundRole:
            if (running_[row] && index.column() <= kLastRunningColumn) {
                return QBrush(Qt::red);
            }
            return {};
        default:
            return {};
        }
    }

    // Only the check mark changes through the view, and not while the list is locked.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::CheckStateRole || index.column() != 0 || !contains(index)) {
            return false;
        }
        if (locked && locked()) {
            return false; // the scheduler runs: a click on the mark has no effect
        }
        setChecked(index.row(), value.toInt() == Qt::Checked);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!contains(index)) {
            return Qt::NoItemFlags;
        }
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount ||
            (role != Qt::DisplayRole && role != Qt::EditRole)) {
            return {};
        }
        return QString::fromUtf8(kColumns[static_cast<size_t>(section)].title);
    }

    bool contains(int row) const { return row >= 0 && row < static_cast<int>(records_.size()); }
    const TaskRecord& record(int row) const { return records_[static_cast<size_t>(row)]; }

    void append(std::vector<TaskRecord>&& records) {
        if (records.empty()) {
            return;
        }
        const int first = static_cast<int>(records_.size());
        beginInsertRows({}, first, first + static_cast<int>(records.size()) - 1);
        if (records_.empty()) {
            records_ = std::move(records); // the rows read at start-up: taken over whole, not copied
        } else {
            records_.insert(records_.end(), std::make_move_iterator(records.begin()),
                            std::make_move_iterator(records.end()));
        }
        running_.resize(records_.size(), false);
        endInsertRows();
    }

    void insert(int at, const TaskRecord& record) {
        beginInsertRows({}, at, at);
        records_.insert(records_.begin() + at, record);
        running_.insert(running_.begin() + at, false);
        endInsertRows();
    }

    void remove(int row) {
        beginRemoveRows({}, row, row);
        records_.erase(records_.begin() + row);
        running_.erase(running_.begin() + row);
        endRemoveRows();
    }

    void setTexts(int row, const TaskRecord& texts) {
        TaskRecord& r = records_[static_cast<size_t>(row)];
        const bool enabled = r.enabled;
        r = texts;
        r.enabled = enabled;
        emit dataChanged(index(row, 0), index(row, kColumnCount - 1), {Qt::DisplayRole, Qt::EditRole});
    }

    void setChecked(int row, bool checked) {
        records_[static_cast<size_t>(row)].enabled = checked;
        const QModelIndex mark = index(row, 0);
        emit dataChanged(mark, mark, {Qt::CheckStateRole});
    }

    void setRunning(int row, bool running) {
        running_[static_cast<size_t>(row)] = running;
        emit dataChanged(index(row, 0), index(row, kLastRunningColumn), {Qt::ForegroundRole});
    }

    // No row shows as running any more (the selection may have moved off the one that ran).
    void clearRunning() {
        std::fill(running_.begin(), running_.end(), false);
        if (!running_.empty()) {
            emit dataChanged(index(0, 0), index(static_cast<int>(running_.size()) - 1, kLastRunningColumn),
                             {Qt::ForegroundRole});
        }
    }

    std::function<bool()> locked;

private:
    bool contains(const QModelIndex& index) const {
        return index.isValid() && index.model() == this && !index.parent().isValid() &&
               contains(index.row()) && index.column() >= 0 && index.column() < kColumnCount;
    }

    // The records as read or entered, and beside them, row for row, whether a row shows as running. Kept
    // apart so the rows read at start-up become the list's own without a copy.
    std::vector<TaskRecord> records_;
    std::vector<bool> running_;
};

TaskList::TaskList(QWidget* parent) : QTreeView(parent), model_(new TaskListModel(this)) {
    setObjectName(QStringLiteral("Lstvew_task"));
    setAccessibleName(QStringLiteral("任务列表"));
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // keeps a list of thousands of rows cheap to lay out
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    createColumns();
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit rowDoubleClicked(); });
}

bool TaskList::event(QEvent* event) {
    const bool handled = QTreeView::event(event);
    // The frame shows that the list has the focus: an empty list has no current row to show it by.
    if (event->type() == QEvent::Paint && hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    return handled;
}

void TaskList::createColumns() {
    for (int i = 0; i < kColumnCount; ++i) {
        const int width = kColumns[static_cast<size_t>(i)].widthTwips;
        setColumnHidden(i, width == 0);
        if (width > 0) {
            setColumnWidth(i, Twips(width));
        }
    }
}

int TaskList::rowCount() const {
    return model_->rowCount();
}

TaskRecord TaskList::row(int index) const {
    return model_->contains(index) ? model_->record(index) : TaskRecord{};
}

std::vector<TaskRecord> TaskList::rows() const {
    std::vector<TaskRecord> all;
    all.reserve(static_cast<size_t>(rowCount()));
    for (int i = 0; i < rowCount(); ++i) {
        all.push_back(model_->record(i));
    }
    return all;
}

void TaskList::appendRow(const TaskRecord& record) {
    model_->insert(rowCount(), record);
}

void TaskList::appendRows(std::vector<TaskRecord> records) {
    model_->append(std::move(records));
}

void TaskList::insertRow(int index, const TaskRecord& record) {
    model_->insert(std::clamp(index, 0, rowCount()), record);
}

void TaskList::setRowTexts(int index, const TaskRecord& record) {
    if (model_->contains(index)) {
        model_->setTexts(index, record);
    }
}

void TaskList::removeRow(int index) {
    if (model_->contains(index)) {
        model_->remove(index);
    }
}

void TaskList::setRowChecked(int index, bool checked) {
    if (model_->contains(index)) {
        model_->setChecked(index, checked);
    }
}

bool TaskList::rowChecked(int index) const {
    return model_->contains(index) && model_->record(index).enabled;
}

int TaskList::selectedRow() const {
    // A row counts as selected when its first column is, as single selection of whole rows leaves it.
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.left() <= 0 && range.right() >= 0) {
            return range.top();
        }
    }
    return -1;
}

void TaskList::selectRow(int index) {
    if (!model_->contains(index)) {
        clearSelection();
        return;
    }
    const QModelIndex first = model_->index(index, 0);
    setCurrentIndex(first);
    selectionModel()->select(first, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TaskList::setRunningAppearance(bool running) {
    const int index = selectedRow();
    if (!running) {
        model_->clearRunning();
    } else if (model_->contains(index)) {
        model_->setRunning(index, true);
    }
    // A hidden selection lets the red running row show through: the highlight takes the list's own
    // background and the highlighted text keeps the row's colour.
    QPalette p = palette();
    const QPalette base = parentWidget() != nullptr ? parentWidget()->palette() : QPalette();
    p.setColor(QPalette::Highlight, running ? p.color(QPalette::Base) : base.color(QPalette::Highlight));
    p.setColor(QPalette::HighlightedText, running ? QColor(Qt::red) : base.color(QPalette::HighlightedText));
    setPalette(p);
    viewport()->update();
}

void TaskList::setLockedQuery(std::function<bool()> locked) {
    model_->locked = std::move(locked);
}

} // namespace vantor::ui
