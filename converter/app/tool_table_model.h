#pragma once
// The tool translation table as a grid model: two text columns, "Tarvo" and "Selvix", over the
// engine's ToolTable, so a run converts with exactly what the grid shows, unsaved edits included.

#include <QAbstractTableModel>
#include <QString>

#include "engine/tool_table.h"

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

    enum class LoadResult { Loaded, Missing, Damaged };
    // A missing file leaves the empty table; a damaged one too, with `reason` set.
    LoadResult load(const QString& path, QString& reason);
    bool save(const QString& path, QString& error) const;

signals:
    // The operator changed a cell or added or removed rows.
    void edited();

private:
    ToolTable table_;
};

}  // namespace pathshift::app
