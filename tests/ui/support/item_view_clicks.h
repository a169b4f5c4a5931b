// Clicks on the parts of an item view's rows, where the view's style draws them.
#pragma once

class QAbstractItemView;
class QModelIndex;
class QRect;

namespace vantor::test {

// The rectangle of the check mark of a cell, in the view's viewport coordinates.
QRect CheckMarkRect(const QAbstractItemView* view, const QModelIndex& index);

// A user's click on the check mark of a cell.
void ClickCheckMark(QAbstractItemView* view, const QModelIndex& index);

} // namespace vantor::test
