#include "macros/macro_step_model.h"

#include "functions/func_description.h"

namespace qvk {

macro_step_model::macro_step_model(const key_code_convert& texts, QObject* parent)
    : QAbstractTableModel(parent), texts_(texts) {}

void macro_step_model::set_group(const macro_group* group) {
    group_ = group;
    refresh();
}

void macro_step_model::refresh() {
    emit dataChanged(index(0, col_action), index(int(macro::step_count) - 1, col_action));
}

void macro_step_model::refresh_row(int row) {
    if (row < 0 || row >= int(macro::step_count)) return;
    emit dataChanged(index(row, col_action), index(row, col_action));
}

int macro_step_model::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(macro::step_count);
}

int macro_step_model::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : column_count; }

QVariant macro_step_model::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(macro::step_count)) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (index.column() == col_step) return role == Qt::DisplayRole ? QVariant(QString::number(index.row())) : QVariant();
    if (index.column() != col_action || !group_) return QString();
    return QString::fromStdString(func_code_to_desc_str(texts_, macro::step_code(*group_, size_t(index.row())), true));
}

QVariant macro_step_model::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case col_step: return QStringLiteral("step");
    case col_action: return QStringLiteral("Action");
    default: return {};
    }
}

} // namespace qvk
