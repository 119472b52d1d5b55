#pragma once
// The grid ToolTab shows the tool table model; rows are added and removed from its context menu
// or with Ctrl+Insert and Ctrl+Delete.

#include <QTableView>

class QAction;

namespace pathshift::app {

class ToolGrid : public QTableView {
    Q_OBJECT
public:
    explicit ToolGrid(QWidget* parent = nullptr);

    QAction* insertRowAction() const { return insertRow_; }
    QAction* removeRowAction() const { return removeRow_; }

    // A new empty row above the current one, or at the end when no row is current.
    void insertRowAtCurrent();
    // The rows of the selected cells, or the current row.
    void removeSelectedRows();

private:
    QAction* insertRow_;
    QAction* removeRow_;
};

}  // namespace pathshift::app
