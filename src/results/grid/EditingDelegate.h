#pragma once
// The in-place editor of an editable grid: a one-line edit box, read-only where the model says
// the cell must not change (its value still selectable and copyable, in full in its tooltip).
#include <QStyledItemDelegate>

namespace marlix {

class EditingDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

} // namespace marlix
