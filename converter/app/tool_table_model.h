#pragma once
// The tool translation table as a grid model: two text columns, "Tarvo" and "Selvix", over the
// engine's ToolTable, so a run converts with exactly what the grid shows, unsaved edits included.

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <vector>

#include "engine/translation/tool_table.h"

namespace pathshift::app {

class ToolTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rows a new table offers: more than the tools of one head.
    static constexpr int kEmptyTableRows = 20;

    explicit ToolTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    const ToolTable& table() const { return table_; }
    void setTable(const ToolTable& table);

    // Several changes as one edit (a removal of many rows, a cleared selection): one undo step, one
    // edited() at the end. Groups nest.
    void beginEditGroup();
    void endEditGroup();
    // The operator's edits undone and redone, each step a whole edit; each result is an edit of its own.
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    void undo();
    void redo();

    enum class LoadResult { Loaded, Missing, Damaged, Repaired };
    // A missing file leaves the empty table; a damaged one too, with `reason` set. Repaired: loaded,
    // with a row left empty that `reason` names.
    LoadResult load(const QString& path, QString& reason);
    bool save(const QString& path, QString& error) const;

signals:
    // The operator changed a cell or added or removed rows.
    void edited();

private:
    // Steps kept for undo; tables are small, so each step keeps the whole table.
    static constexpr std::size_t kUndoSteps = 200;

    void replaceTable(const ToolTable& table);
    void step(std::vector<ToolTable>& from, std::vector<ToolTable>& to);

    ToolTable table_;
    std::vector<ToolTable> undo_;
    std::vector<ToolTable> redo_;
    int groupDepth_ = 0;
};

}  // namespace pathshift::app
