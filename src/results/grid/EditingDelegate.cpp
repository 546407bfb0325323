#include "results/grid/EditingDelegate.h"

#include "results/grid/EditableResultSetModel.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace marlix {
namespace {

// Rows of the grid a multi-line editor covers, as far as the grid's viewport allows.
constexpr int kMultiLineRows = 6;

} // namespace

QWidget* EditingDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    const bool readOnly = index.data(EditableResultSetModel::ReadOnlyRole).toBool();
    if (!readOnly && index.data(EditableResultSetModel::MultiLineRole).toBool()) {
        auto* text = new QPlainTextEdit(parent);
        text->setTabChangesFocus(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        text->setToolTip(tr("Enter breaks the line; Ctrl+Enter saves the value in the grid"));
        return text;
    }
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (readOnly) {
            line->setReadOnly(true);
            const QString tip = index.data(Qt::ToolTipRole).toString();
            line->setToolTip(tip.isEmpty() ? index.data(Qt::EditRole).toString() : tip);
        }
    }
    return editor;
}

void EditingDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && index == refusedAt_) {
        line->setText(refusedText_);
        refusedAt_ = QPersistentModelIndex();
        return;
    }
    auto* lines = qobject_cast<QPlainTextEdit*>(editor);
    if (!lines) return QStyledItemDelegate::setEditorData(editor, index);
    // The editor breaks lines with LF; setModelData puts CR LF back where the value had it.
    QString text = index.data(Qt::EditRole).toString();
    lines->setPlainText(text.replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void EditingDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    const QString before = index.data(Qt::EditRole).toString();
    const bool emptyRow =
        index.data(EditableResultSetModel::RowStateRole).toInt() == EditableResultSetModel::EmptyRowState;
    QString text;
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (line->isReadOnly()) return;
        text = line->text();
    } else if (auto* lines = qobject_cast<QPlainTextEdit*>(editor)) {
        text = lines->toPlainText();
        if (before.contains(QLatin1String("\r\n"))) text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // Only a changed text is an edit: closing an unchanged editor records nothing, and leaving
    // a cell of the empty row blank adds no row.
    if (text == before && !(emptyRow && !text.isEmpty())) return;
    if (committing_) return;
    committing_ = true;
    const bool accepted = model->setData(index, text, Qt::EditRole);
    committing_ = false;
    if (accepted || !qobject_cast<QLineEdit*>(editor)) return;
    // The view closes this editor (and may open the next cell's) once this returns; then the
    // refused cell is made current again and its editor reopened with the typed text.
    auto* view = editor->parentWidget()
                     ? qobject_cast<QAbstractItemView*>(editor->parentWidget()->parentWidget())
                     : nullptr;
    if (!view) return;
    refusedAt_ = index;
    refusedText_ = text;
    QTimer::singleShot(0, view, [this, view = QPointer<QAbstractItemView>(view), at = refusedAt_] {
        if (view && at.isValid()) {
            view->setCurrentIndex(at);
            view->edit(at);
        }
        refusedAt_ = QPersistentModelIndex();
    });
}

void EditingDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    if (!qobject_cast<QPlainTextEdit*>(editor) || !editor->parentWidget()) return;
    // Several lines at once, from the cell down, moved up where the grid ends.
    const QRect area = editor->parentWidget()->rect();
    QRect r = editor->geometry();
    r.setHeight(std::min(option.rect.height() * kMultiLineRows, area.height()));
    r.setWidth(std::max(r.width(), std::min(option.rect.width() * 2, area.width())));
    if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
    if (r.right() > area.right()) r.moveRight(area.right());
    editor->setGeometry(r);
}

bool EditingDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* lines = qobject_cast<QPlainTextEdit*>(object);
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (lines && key) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if ((press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) &&
            (press->modifiers() & Qt::ControlModifier)) {
            // Ctrl+Enter is the window's Execute Statement elsewhere; in this editor it commits.
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            emit commitData(lines);
            emit closeEditor(lines, QAbstractItemDelegate::NoHint);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace marlix
