#include "tool_table_model.h"

#include <QFileInfo>

#include "engine/translation/tool_table_file.h"

namespace pathshift::app {

ToolTableModel::ToolTableModel(QObject* parent) : QAbstractTableModel(parent) {
    table_.setRowCount(kEmptyTableRows);
}

int ToolTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.rowCount(); }

int ToolTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant ToolTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return QString::fromStdString(table_.GetCell(index.row() + 1, index.column() + 1));
}

QVariant ToolTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section == 0 ? QStringLiteral("Tarvo") : QStringLiteral("Selvix");
}

Qt::ItemFlags ToolTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool ToolTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const std::string text = value.toString().toStdString();
    if (table_.GetCell(index.row() + 1, index.column() + 1) == text) return true;
    beginEditGroup();
    table_.setCell(index.row() + 1, index.column() + 1, text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    endEditGroup();
    return true;
}

bool ToolTableModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > table_.rowCount() || count < 1) return false;
    beginEditGroup();
    beginInsertRows({}, row, row + count - 1);
    for (int i = 0; i < count; ++i) table_.insertRow(row + 1);
    endInsertRows();
    endEditGroup();
    return true;
}

bool ToolTableModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > table_.rowCount()) return false;
    beginEditGroup();
    beginRemoveRows({}, row, row + count - 1);
    for (int i = 0; i < count; ++i) table_.removeRow(row + 1);
    endRemoveRows();
    endEditGroup();
    return true;
}

void ToolTableModel::setTable(const ToolTable& table) {
    undo_.clear();
    redo_.clear();
    replaceTable(table);
}

void ToolTableModel::replaceTable(const ToolTable& table) {
    beginResetModel();
    table_ = table;
    endResetModel();
}

void ToolTableModel::beginEditGroup() {
    if (groupDepth_++ > 0) return;
    undo_.push_back(table_);
    if (undo_.size() > kUndoSteps) undo_.erase(undo_.begin());
}

void ToolTableModel::endEditGroup() {
    if (--groupDepth_ > 0) return;
    if (undo_.back() == table_) {  // nothing changed: no step, nothing to save
        undo_.pop_back();
        return;
    }
    redo_.clear();
    emit edited();
}

void ToolTableModel::undo() { step(undo_, redo_); }

void ToolTableModel::redo() { step(redo_, undo_); }

// Moves the table back (or forward) one edit, keeping where it was for the way back.
void ToolTableModel::step(std::vector<ToolTable>& from, std::vector<ToolTable>& to) {
    if (from.empty() || groupDepth_ > 0) return;
    to.push_back(table_);
    replaceTable(from.back());
    from.pop_back();
    emit edited();
}

ToolTableModel::LoadResult ToolTableModel::load(const QString& path, QString& reason) {
    if (!QFileInfo::exists(path)) return LoadResult::Missing;
    ToolTableFileError error;
    std::string repaired;
    std::optional<ToolTable> loaded = loadToolTable(path.toStdString(), error, &repaired);
    if (!loaded) {
        reason = error.line > 0 ? QString("line %1: %2").arg(error.line).arg(QString::fromStdString(error.reason))
                                : QString::fromStdString(error.reason);
        return LoadResult::Damaged;
    }
    if (loaded->rowCount() == 0) loaded->setRowCount(kEmptyTableRows);  // a table without rows offers a new one's
    setTable(*loaded);
    reason = QString::fromStdString(repaired);
    return repaired.empty() ? LoadResult::Loaded : LoadResult::Repaired;
}

bool ToolTableModel::save(const QString& path, QString& error) const {
    std::string reason;
    if (saveToolTable(path.toStdString(), table_, reason)) return true;
    error = QString::fromStdString(reason);
    return false;
}

}  // namespace pathshift::app
