// The weekday list: seven tickable days, one row high, open to full height while it is used.
#include "ui/common/twips.h"
#include "ui/editor/task_editor_impl.h"

#include <QAbstractSlider>
#include <QListWidget>
#include <QScrollBar>

#include <algorithm>

namespace vantor::ui {

void TaskEditor::Impl::buildWeekList() {
    listWeek = new QListWidget(&q);
    listWeek->setObjectName(QStringLiteral("List_week"));
    listWeek->setAccessibleName(QStringLiteral("星期"));
    for (const char* day : kWeekdayItems) {
        auto* item = new QListWidgetItem(QString::fromUtf8(day), listWeek);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    listWeek->setGeometry(TwipsRect(5400, 1040, 1600, kWeekClosedHeight));
    listWeek->resize(listWeek->width(), weekClosedPixels());
    listWeek->hide();
    listWeek->installEventFilter(this);
    // A click on a day's name ticks it as a click on its box does: the tick is what the user picks.
    // A click on the box was already applied by the list when the click ends.
    connect(listWeek, &QAbstractItemView::pressed, this,
            [this](const QModelIndex& index) { weekPressState = index.data(Qt::CheckStateRole); });
    connect(listWeek, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.data(Qt::CheckStateRole) == weekPressState) {
            QListWidgetItem* item = listWeek->item(index.row());
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        }
        weekPressState.clear();
    });
    // Only the user's scrolling opens the list; the scroll position moving because the list was resized
    // does not.
    connect(listWeek->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] {
        if (listWeek->height() < Twips(kWeekOpenHeight)) {
            openWeekList();
        }
    });
}

void TaskEditor::Impl::openWeekList() {
    SetHeightTwips(listWeek, kWeekOpenHeight);
    // Open, it reaches over the idle and traffic groups.
    listWeek->raise();
}

void TaskEditor::Impl::closeWeekList() {
    listWeek->resize(listWeek->width(), weekClosedPixels());
}

// One row high as designed, but never lower than one row as the style and the font draw it: the Windows
// style's thicker frame, or a Chinese system font, would otherwise cut the box and the day's name.
int TaskEditor::Impl::weekClosedPixels() const {
    return std::max(Twips(kWeekClosedHeight), listWeek->sizeHintForRow(0) + 2 * listWeek->frameWidth());
}

std::array<bool, 7> TaskEditor::Impl::weekTicks() const {
    std::array<bool, 7> week{};
    for (int i = 0; i < 7; ++i) {
        week[static_cast<size_t>(i)] = listWeek->item(i)->checkState() == Qt::Checked;
    }
    return week;
}

void TaskEditor::Impl::setWeekTick(int item, bool ticked) {
    listWeek->item(item)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

} // namespace vantor::ui
