#include "results/grid/EditableResultSetModel.h"

#include "core/ValueText.h"
#include "results/grid/GridPresentation.h"
#include "transform/CellValidation.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <climits>

namespace marlix {
namespace {

int Clamped(int64_t rows) {
    return static_cast<int>(std::clamp<int64_t>(rows, 0, INT_MAX - 1));
}

} // namespace

EditableResultSetModel::EditableResultSetModel(std::shared_ptr<ResultSet> resultSet,
                                               const TableLookup& lookup, QObject* parent)
    : ResultSetModel(std::move(resultSet), parent), edits_(&ResultSetEdits::Of(Result())) {
    edits_->ResolveColumnOrigins(lookup);
    shown_ = Clamped(edits_->ShownRowCount());
}

int EditableResultSetModel::EmptyRow() const noexcept {
    return shown_;
}

void EditableResultSetModel::Refresh() {
    beginResetModel();
    shown_ = Clamped(edits_->ShownRowCount());
    endResetModel();
}

bool EditableResultSetModel::CanDeleteRow(int row) const noexcept {
    return row >= 0 && row < shown_ && edits_->CanEditRows();
}

bool EditableResultSetModel::DeleteRow(int row) {
    if (!CanDeleteRow(row)) return false;
    beginRemoveRows({}, row, row);
    const bool deleted = edits_->DeleteRow(row);
    shown_ = Clamped(edits_->ShownRowCount());
    endRemoveRows();
    return deleted;
}

bool EditableResultSetModel::IsModelCell(const QModelIndex& index) const noexcept {
    return index.isValid() && index.model() == this && index.row() <= shown_ && index.column() >= 0 &&
           index.column() < Result().ColumnCount();
}

int EditableResultSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_ + 1;
}

QString EditableResultSetModel::ShownText(int row, int column) const {
    const int64_t data = DataRow(row);
    if (StoredValueOf(Result(), data, column, false).isNull) return QStringLiteral("NULL");
    const std::string shown = VisibleCellText(ValueText(Result(), data, column, DateMode(), DateSettings(), false));
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

QString EditableResultSetModel::StoredText(int row, int column) const {
    // The editor starts from the value itself, not from the cell's one-line form, whose marks
    // for line breaks would change the value when saved.
    const int64_t data = DataRow(row);
    const CellRef value = StoredValueOf(Result(), data, column, false);
    if (value.isNull) return {};
    const ColumnDescriptor& c = Result().Column(column);
    if (c.IsDateTime()) {
        std::string_view text = ValueText(Result(), data, column, DateMode(), DateSettings(), false);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    const std::string_view text = value.Text();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant EditableResultSetModel::data(const QModelIndex& index, int role) const {
    if (!IsModelCell(index)) return {};
    const int row = index.row(), column = index.column();
    const bool empty = row == shown_;
    switch (role) {
    case Qt::DisplayRole:
        return empty ? QString() : ShownText(row, column);
    case Qt::EditRole:
        return empty ? QString() : StoredText(row, column);
    case Qt::ToolTipRole: {
        if (!edits_->CanEditColumn(column)) return QString::fromStdString(edits_->ReadOnlyReason(column));
        if (empty) return {};
        const CellRef value = StoredValueOf(Result(), DataRow(row), column, false);
        if (!value.isNull && !Result().Column(column).IsDateTime() && HasControlCharacters(value.Text()))
            return StoredText(row, column);
        return {};
    }
    case ReadOnlyRole:
        return !CanEditCell(row, column);
    case RowStateRole:
        return empty ? 3 : edits_->RowEditState(row);
    case Qt::ForegroundRole:
        if (!empty && StoredValueOf(Result(), DataRow(row), column, false).isNull)
            return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::TextAlignmentRole: {
        const bool right = IsRightAlignedType(Result().Column(column).sqlType);
        return int((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant EditableResultSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) return ResultSetModel::headerData(section, orientation, role);
    if (section < 0 || section > shown_) return {};
    const int state = section == shown_ ? 3 : edits_->RowEditState(section);
    switch (role) {
    case Qt::DisplayRole:
        // The state marks: "+" a new row, "*" a changed one; the empty row takes new rows.
        if (state == 3) return QStringLiteral("*");
        return QString::number(section + 1) + (state == 2   ? QStringLiteral(" +")
                                               : state == 1 ? QStringLiteral(" ✎")
                                                            : QString());
    case Qt::ToolTipRole:
        if (state == 3) return tr("Type here to add a row");
        if (state == 2) return tr("New row, not saved yet");
        if (state == 1) return tr("Changed row, not saved yet");
        return {};
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    case RowStateRole:
        return state;
    default:
        return {};
    }
}

Qt::ItemFlags EditableResultSetModel::flags(const QModelIndex& index) const {
    if (!IsModelCell(index)) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    // Read-only cells still open their editor, read-only, so that a value can be viewed and
    // copied; the empty row of a read-only grid has nothing to show.
    if (index.row() < shown_ || CanEditCell(index.row(), index.column())) flags |= Qt::ItemIsEditable;
    return flags;
}

bool EditableResultSetModel::CanEditCell(int row, int column) const {
    if (row < 0 || row > shown_ || !edits_->CanEditColumn(column)) return false;
    if (row == shown_) return edits_->CanEditRows();
    const ColumnDescriptor& c = Result().Column(column);
    if (c.IsDateTime()) return true;
    const CellRef value = StoredValueOf(Result(), DataRow(row), column, false);
    return value.isNull || !HasControlCharacters(value.Text());
}

bool EditableResultSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !IsModelCell(index) || !CanEditCell(index.row(), index.column()))
        return false;
    return CommitCellText(index.row(), index.column(), value.toString());
}

bool EditableResultSetModel::CommitCellText(int row, int column, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const std::string_view typed(bytes.constData(), static_cast<size_t>(bytes.size()));
    const CheckedCell checked = CheckCellText(Result().Column(column), typed);
    if (!checked.accepted) {
        emit editRejected(QString::fromStdString(checked.message));
        return false;
    }
    if (row == shown_) {
        // Typing into the empty row adds a row there; the empty row moves below it.
        beginInsertRows({}, shown_, shown_);
        edits_->AppendNewRow();
        shown_ = Clamped(edits_->ShownRowCount());
        endInsertRows();
    }
    if (checked.isTimestamp)
        edits_->SetCellTimestamp(row, column, checked.timestamp);
    else
        edits_->SetCellValue(row, column, typed);
    emit dataChanged(index(row, column), index(row, column));
    emit headerDataChanged(Qt::Vertical, row, row);
    return true;
}

} // namespace marlix
