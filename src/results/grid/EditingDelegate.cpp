#include "results/grid/EditingDelegate.h"

#include "results/grid/EditableResultSetModel.h"

#include <QLineEdit>

namespace marlix {

QWidget* EditingDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (index.data(EditableResultSetModel::ReadOnlyRole).toBool()) {
            line->setReadOnly(true);
            const QString tip = index.data(Qt::ToolTipRole).toString();
            line->setToolTip(tip.isEmpty() ? index.data(Qt::EditRole).toString() : tip);
        }
    }
    return editor;
}

void EditingDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && line->isReadOnly()) return;
    // Only a changed text is an edit: closing an unchanged editor records nothing.
    if (line && line->text() == index.data(Qt::EditRole).toString() &&
        index.data(EditableResultSetModel::RowStateRole).toInt() != 3)
        return;
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace marlix
