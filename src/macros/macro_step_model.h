#pragma once
// The rows of the macro editor's step list over one macro group's bytes:
// row i shows step number i and the list description of step i. Texts are
// made when a row is shown, so switching groups and scrolling cost only the
// rows on screen.

#include <QAbstractTableModel>

#include "macros/macro_group.h"

namespace qvk {

class key_code_convert;

class macro_step_model final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum column : int { col_step = 0, col_action, column_count };

    explicit macro_step_model(const key_code_convert& texts, QObject* parent = nullptr);

    // The group the rows show (null: every row empty).
    void set_group(const macro_group* group);
    const macro_group* group() const { return group_; }
    // The group's bytes (or the texts) changed: every row, or one row, is
    // shown again.
    void refresh();
    void refresh_row(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const key_code_convert& texts_;
    const macro_group* group_ = nullptr;
};

} // namespace qvk
