#include "BookListView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include "BookListModel.h"

namespace tembrook {

TBookListView::TBookListView(QWidget* parent) : QTreeView(parent) {}

void TBookListView::keyboardSearch(const QString& search)
{
    QAbstractItemModel* list = model();
    if (list == nullptr || list->rowCount() == 0)
        return;
    const bool continues = !search.isEmpty() && FTypedTime.isValid() &&
        FTypedTime.elapsed() <= QApplication::keyboardInputInterval();
    FTypedTime.start();
    FTyped = continues ? FTyped + search : search;
    if (FTyped.isEmpty())
        return;
    const bool sameKey = FTyped.size() > 1 && FTyped.count(FTyped.back()) == FTyped.size();
    const QString text = sameKey ? QString(FTyped.front()) : FTyped;

    // A new search, or the same key again, starts below the current row;
    // more letters of the same search look at the current row first.
    const QModelIndex current = currentIndex();
    int from = current.isValid() ? current.row() : 0;
    if (current.isValid() && (!continues || sameKey))
        from = (from + 1) % list->rowCount();
    const QModelIndexList found = list->match(list->index(from, scTitle), Qt::DisplayRole, text, 1,
                                              Qt::MatchStartsWith | Qt::MatchWrap);
    if (found.isEmpty())
        return;
    const QModelIndex target = found.first().siblingAtColumn(current.isValid() ? current.column() : 0);
    selectionModel()->setCurrentIndex(target,
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TBookListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (FContextMenu == nullptr) {
        QTreeView::contextMenuEvent(event);
        return;
    }
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // The menu key: under the current row, or at the list's corner.
        const QRect row = visualRect(currentIndex());
        at = viewport()->mapToGlobal(row.isValid() ? row.bottomLeft() : QPoint(0, 0));
    }
    FContextMenu->popup(at);
    event->accept();
}

void TBookListView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    const bool plainSpace =
        event->key() == Qt::Key_Space && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plainSpace || !current.isValid() || model() == nullptr) {
        QTreeView::keyPressEvent(event);
        return;
    }
    const QModelIndex box = current.siblingAtColumn(scCheck);
    if (box.flags() & Qt::ItemIsUserCheckable) {
        const bool checked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        model()->setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
    event->accept();
}

}  // namespace tembrook
