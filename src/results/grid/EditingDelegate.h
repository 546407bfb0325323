#pragma once
// The in-place editor of an editable grid: a one-line edit box, or a multi-line one for a value
// holding line breaks (Enter breaks the line there, Ctrl+Enter commits); read-only where the
// model says the cell must not change (its value still selectable and copyable, in full in its
// tooltip).
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace marlix {

class EditingDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    // A text the model refused: the cell's editor opens again holding it, so that the user
    // corrects what was typed instead of typing it again.
    mutable QPersistentModelIndex refusedAt_;
    mutable QString refusedText_;
    mutable bool committing_ = false; // the refusal's message takes the activation
};

} // namespace marlix
