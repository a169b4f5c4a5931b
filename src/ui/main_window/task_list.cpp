#include "ui/main_window/task_list.h"

#include "ui/common/twips.h"

#include <QBrush>
#include <QHeaderView>
#include <QPalette>
#include <QSignalBlocker>

#include <algorithm>
#include <array>

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

// The check mark as last accepted, so a click can be told apart from other changes of the item and
// undone while the list is locked.
constexpr int kAcceptedCheckRole = Qt::UserRole + 1;

QStringList RowTexts(const TaskRecord& r) {
    return {QString::fromStdString(r.startText),     QString::fromStdString(r.endText),
            QString::fromStdString(r.conditionText), QString::fromStdString(r.operationText),
            QString::fromStdString(r.timeMode),      QString::fromStdString(r.params)};
}

QTreeWidgetItem* MakeItem(const TaskRecord& r) {
    auto* item = new QTreeWidgetItem(RowTexts(r));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                   Qt::ItemNeverHasChildren);
    item->setCheckState(0, r.enabled ? Qt::Checked : Qt::Unchecked);
    item->setData(0, kAcceptedCheckRole, r.enabled);
    return item;
}

} // namespace

TaskList::TaskList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("Lstvew_task"));
    setAccessibleName(QStringLiteral("任务列表"));
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
    connect(this, &QTreeWidget::itemChanged, this, &TaskList::onItemChanged);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { emit rowDoubleClicked(); });
}

void TaskList::createColumns() {
    setColumnCount(static_cast<int>(kColumns.size()));
    QStringList titles;
    for (const Column& c : kColumns) {
        titles << QString::fromUtf8(c.title);
    }
    setHeaderLabels(titles);
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
        const int width = kColumns[static_cast<size_t>(i)].widthTwips;
        setColumnHidden(i, width == 0);
        if (width > 0) {
            setColumnWidth(i, Twips(width));
        }
    }
}

int TaskList::rowCount() const {
    return topLevelItemCount();
}

TaskRecord TaskList::row(int index) const {
    TaskRecord r;
    const QTreeWidgetItem* item = topLevelItem(index);
    if (item == nullptr) {
        return r;
    }
    r.enabled = item->checkState(0) == Qt::Checked;
    r.startText = item->text(0).toStdString();
    r.endText = item->text(1).toStdString();
    r.conditionText = item->text(2).toStdString();
    r.operationText = item->text(3).toStdString();
    r.timeMode = item->text(4).toStdString();
    r.params = item->text(5).toStdString();
    return r;
}

std::vector<TaskRecord> TaskList::rows() const {
    std::vector<TaskRecord> all;
    all.reserve(static_cast<size_t>(rowCount()));
    for (int i = 0; i < rowCount(); ++i) {
        all.push_back(row(i));
    }
    return all;
}

void TaskList::appendRow(const TaskRecord& record) {
    const QSignalBlocker block(this);
    addTopLevelItem(MakeItem(record));
}

void TaskList::appendRows(const std::vector<TaskRecord>& records) {
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(records.size()));
    for (const TaskRecord& r : records) {
        items.append(MakeItem(r));
    }
    const QSignalBlocker block(this);
    setUpdatesEnabled(false);
    addTopLevelItems(items);
    setUpdatesEnabled(true);
}

void TaskList::insertRow(int index, const TaskRecord& record) {
    const QSignalBlocker block(this);
    insertTopLevelItem(std::clamp(index, 0, rowCount()), MakeItem(record));
}

void TaskList::setRowTexts(int index, const TaskRecord& record) {
    QTreeWidgetItem* item = topLevelItem(index);
    if (item == nullptr) {
        return;
    }
    const QSignalBlocker block(this);
    const QStringList texts = RowTexts(record);
    for (int c = 0; c < texts.size(); ++c) {
        item->setText(c, texts[c]);
    }
}

void TaskList::removeRow(int index) {
    if (index < 0 || index >= rowCount()) {
        return;
    }
    delete takeTopLevelItem(index);
}

void TaskList::setRowChecked(int index, bool checked) {
    QTreeWidgetItem* item = topLevelItem(index);
    if (item == nullptr) {
        return;
    }
    const QSignalBlocker block(this);
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    item->setData(0, kAcceptedCheckRole, checked);
}

bool TaskList::rowChecked(int index) const {
    const QTreeWidgetItem* item = topLevelItem(index);
    return item != nullptr && item->checkState(0) == Qt::Checked;
}

int TaskList::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void TaskList::selectRow(int index) {
    QTreeWidgetItem* item = topLevelItem(index);
    if (item == nullptr) {
        clearSelection();
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
}

void TaskList::setRunningAppearance(bool running) {
    const int index = selectedRow();
    if (QTreeWidgetItem* item = topLevelItem(index)) {
        const QSignalBlocker block(this);
        for (int c = 0; c <= 3; ++c) {
            item->setForeground(c, running ? QBrush(Qt::red) : QBrush());
        }
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
    locked_ = std::move(locked);
}

void TaskList::onItemChanged(QTreeWidgetItem* item, int column) {
    if (undoing_ || column != 0 || item == nullptr) {
        return;
    }
    const bool now = item->checkState(0) == Qt::Checked;
    const bool accepted = item->data(0, kAcceptedCheckRole).toBool();
    if (now == accepted) {
        return;
    }
    if (locked_ && locked_()) {
        // The scheduler runs: the click on the mark must have no effect.
        undoing_ = true;
        item->setCheckState(0, accepted ? Qt::Checked : Qt::Unchecked);
        undoing_ = false;
        return;
    }
    item->setData(0, kAcceptedCheckRole, now);
}

} // namespace vantor::ui
