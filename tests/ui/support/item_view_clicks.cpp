#include "item_view_clicks.h"

#include <QAbstractItemView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

namespace vantor::test {

QRect CheckMarkRect(const QAbstractItemView* view, const QModelIndex& index) {
    // The option the item delegate lays out a cell with: the cell's rectangle, its text and a check mark.
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = index.data().toString();
    option.checkState = static_cast<Qt::CheckState>(index.data(Qt::CheckStateRole).toInt());
    return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
}

void ClickCheckMark(QAbstractItemView* view, const QModelIndex& index) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CheckMarkRect(view, index).center());
}

} // namespace vantor::test
