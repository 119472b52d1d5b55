#include "tool_grid.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <algorithm>

#include "tool_table_model.h"

namespace pathshift::app {

ToolGrid::ToolGrid(QWidget* parent)
    : QTableView(parent),
      insertRow_(new QAction(tr("Insert Row"), this)),
      appendRow_(new QAction(tr("Insert Row Below"), this)),
      removeRow_(new QAction(tr("Remove Row"), this)),
      undo_(new QAction(tr("Undo"), this)),
      redo_(new QAction(tr("Redo"), this)) {
    insertRow_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    appendRow_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert));
    removeRow_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* action : {insertRow_, appendRow_, removeRow_, undo_, redo_}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(insertRow_, &QAction::triggered, this, &ToolGrid::insertRowAtCurrent);
    connect(appendRow_, &QAction::triggered, this, &ToolGrid::insertRowBelowCurrent);
    connect(removeRow_, &QAction::triggered, this, &ToolGrid::removeSelectedRows);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setDefaultSectionSize(18);
}

void ToolGrid::setToolModel(ToolTableModel* model) {
    tools_ = model;
    setModel(model);
    const auto update = [this] {
        undo_->setEnabled(tools_->canUndo());
        redo_->setEnabled(tools_->canRedo());
    };
    connect(undo_, &QAction::triggered, model, &ToolTableModel::undo);
    connect(redo_, &QAction::triggered, model, &ToolTableModel::redo);
    connect(model, &ToolTableModel::edited, this, update);
    connect(model, &QAbstractItemModel::modelReset, this, update);
    update();
}

void ToolGrid::insertRowAt(int row, int column) {
    model()->insertRows(row, 1);
    setCurrentIndex(model()->index(row, column));
}

void ToolGrid::insertRowAtCurrent() {
    if (!model()) return;
    const QModelIndex current = currentIndex();
    insertRowAt(current.isValid() ? current.row() : model()->rowCount(), current.isValid() ? current.column() : 0);
}

void ToolGrid::insertRowBelowCurrent() {
    if (!model()) return;
    const QModelIndex current = currentIndex();
    insertRowAt(current.isValid() ? current.row() + 1 : model()->rowCount(), current.isValid() ? current.column() : 0);
}

void ToolGrid::removeSelectedRows() {
    if (!tools_) return;
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        if (!rows.contains(index.row())) rows.append(index.row());
    if (rows.isEmpty() && currentIndex().isValid()) rows.append(currentIndex().row());
    std::sort(rows.begin(), rows.end(), std::greater<int>());  // from the bottom, so the rows keep their numbers
    tools_->beginEditGroup();
    for (int row : rows) tools_->removeRows(row, 1);
    tools_->endEditGroup();
}

void ToolGrid::clearSelectedCells() {
    if (!tools_) return;
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid()) cells.append(currentIndex());
    tools_->beginEditGroup();
    for (const QModelIndex& cell : cells) tools_->setData(cell, QString(), Qt::EditRole);
    tools_->endEditGroup();
}

void ToolGrid::keyPressEvent(QKeyEvent* event) {
    const bool clearKey = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (clearKey && event->modifiers() == Qt::NoModifier && state() != QAbstractItemView::EditingState) {
        clearSelectedCells();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Tab walks the cells; past the last cell (or Shift+Tab before the first) it leaves the grid.
bool ToolGrid::focusNextPrevChild(bool next) {
    const QModelIndex current = currentIndex();
    if (model() && current.isValid() && state() != QAbstractItemView::EditingState) {
        const bool atEnd = next ? current.row() == model()->rowCount() - 1 && current.column() == model()->columnCount() - 1
                                : current.row() == 0 && current.column() == 0;
        if (atEnd) return QWidget::focusNextPrevChild(next);
    }
    return QTableView::focusNextPrevChild(next);
}

}  // namespace pathshift::app
