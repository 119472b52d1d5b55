#include "tool_grid.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>

namespace pathshift::app {

ToolGrid::ToolGrid(QWidget* parent)
    : QTableView(parent), insertRow_(new QAction(tr("Insert Row"), this)), removeRow_(new QAction(tr("Remove Row"), this)) {
    insertRow_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    removeRow_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    for (QAction* action : {insertRow_, removeRow_}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(insertRow_, &QAction::triggered, this, &ToolGrid::insertRowAtCurrent);
    connect(removeRow_, &QAction::triggered, this, &ToolGrid::removeSelectedRows);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setDefaultSectionSize(18);
}

void ToolGrid::insertRowAtCurrent() {
    if (!model()) return;
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : model()->rowCount();
    model()->insertRows(row, 1);
    setCurrentIndex(model()->index(row, current.isValid() ? current.column() : 0));
}

void ToolGrid::removeSelectedRows() {
    if (!model()) return;
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        if (!rows.contains(index.row())) rows.append(index.row());
    if (rows.isEmpty() && currentIndex().isValid()) rows.append(currentIndex().row());
    std::sort(rows.begin(), rows.end(), std::greater<int>());  // from the bottom, so the rows keep their numbers
    for (int row : rows) model()->removeRows(row, 1);
}

}  // namespace pathshift::app
