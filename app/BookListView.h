#pragma once
// The view of the release list: a QTreeView that opens the window's list
// menu on the right button and the menu key, whose keyboard search reads
// the title column, and where Space ticks the current row.
//
// The list selects whole rows, but a click still makes the clicked cell
// current; Space toggles the current row's check box whichever cell that
// is (Qt's view would tick only from the check box column, and hand Space
// to the keyboard search otherwise).
//
// Typing jumps to the next row (from the current one, wrapping around)
// whose title starts with what was typed, letters folded as Qt folds them;
// keys typed within the platform's keyboard input interval add to the text,
// and the same key again steps on to the next such row. Qt's own search
// would read the current index's column, which is the check box column after
// a click or a tick. The current index keeps its column.

#include <QElapsedTimer>
#include <QString>
#include <QTreeView>

class QMenu;

namespace tembrook {

class TBookListView : public QTreeView {
public:
    explicit TBookListView(QWidget* parent = nullptr);

    // The menu that the right button and the menu key open, not owned; none
    // by default.
    void SetContextMenu(QMenu* menu) { FContextMenu = menu; }
    QMenu* ContextMenu() const { return FContextMenu; }

    void keyboardSearch(const QString& search) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QMenu* FContextMenu = nullptr;
    QString FTyped;
    QElapsedTimer FTypedTime;
};

}  // namespace tembrook
