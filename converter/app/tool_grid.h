#pragma once
// The grid ToolTab shows the tool table model. Rows are added and removed from its context menu or
// with Ctrl+Insert (above the current row), Ctrl+Shift+Insert (below it, so after the last one too)
// and Ctrl+Delete; Delete and Backspace clear the selected cells; Ctrl+Z and Ctrl+Y undo and redo.
// Tab moves from cell to cell and leaves the grid after its last cell.

#include <QTableView>

class QAction;

namespace pathshift::app {

class ToolTableModel;

class ToolGrid : public QTableView {
    Q_OBJECT
public:
    explicit ToolGrid(QWidget* parent = nullptr);

    void setToolModel(ToolTableModel* model);

    QAction* insertRowAction() const { return insertRow_; }
    QAction* appendRowAction() const { return appendRow_; }
    QAction* removeRowAction() const { return removeRow_; }
    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }

    // A new empty row above the current one, or at the end when no row is current.
    void insertRowAtCurrent();
    // A new empty row below the current one, or at the end when no row is current.
    void insertRowBelowCurrent();
    // The rows of the selected cells, or the current row, as one edit.
    void removeSelectedRows();
    // The selected cells emptied, as one edit.
    void clearSelectedCells();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void insertRowAt(int row, int column);

    ToolTableModel* tools_ = nullptr;
    QAction* insertRow_;
    QAction* appendRow_;
    QAction* removeRow_;
    QAction* undo_;
    QAction* redo_;
};

}  // namespace pathshift::app
