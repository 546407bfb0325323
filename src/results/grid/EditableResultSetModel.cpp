#include "results/grid/EditableResultSetModel.h"

#include "core/ValueText.h"
#include "results/grid/GridPresentation.h"
#include "transform/CellValidation.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <climits>

namespace marlix {
namespace {

int Clamped(int64_t rows) {
    return static_cast<int>(std::clamp<int64_t>(rows, 0, INT_MAX - 1));
}

// Line breaks (LF, or CR LF) and tabs are the control characters a multi-line editor keeps as
// they are; any other one, or a lone CR, would change under editing.
bool OnlyLineControls(std::string_view text) noexcept {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n' || c == '\t') continue;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c < 32 || c == 127) return false;
    }
    return true;
}

} // namespace

EditableResultSetModel::EditableResultSetModel(std::shared_ptr<ResultSet> resultSet,
                                               const TableLookup& lookup, QObject* parent)
    : ResultSetModel(std::move(resultSet), parent), edits_(&ResultSetEdits::Of(Result())) {
    edits_->ResolveColumnOrigins(lookup);
    shown_ = Clamped(edits_->ShownRowCount());
}

int EditableResultSetModel::EmptyRow() const noexcept {
    return HasEmptyRow() ? shown_ : -1;
}

int EditableResultSetModel::RowState(int row) const noexcept {
    if (row >= shown_) return EmptyRowState;
    return edits_->RowEditState(row);
}

void EditableResultSetModel::Refresh() {
    beginResetModel();
    shown_ = Clamped(edits_->ShownRowCount());
    endResetModel();
}

bool EditableResultSetModel::RowBeingAdded(int row) const {
    const int state = row >= 0 && row < rowCount() ? RowState(row) : Fetched;
    return state == Added || state == EmptyRowState;
}

int EditableResultSetModel::DeleteRows(const std::vector<int>& rows) {
    int deleted = 0;
    for (int row : rows)
        deleted += CanDeleteRow(row) && edits_->DeleteRow(row) ? 1 : 0;
    if (deleted == 0 || rows.empty()) return deleted;
    // The rows stay where they are, so the rows below keep their places under the user's eye.
    emit dataChanged(index(rows.front(), 0), index(rows.back(), columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, rows.front(), rows.back());
    return deleted;
}

bool EditableResultSetModel::CanDeleteRow(int row) const noexcept {
    return row >= 0 && row < shown_ && edits_->CanEditRows() && RowState(row) != Deleted;
}

bool EditableResultSetModel::DeleteRow(int row) {
    return DeleteRows({row}) == 1;
}

bool EditableResultSetModel::IsModelCell(const QModelIndex& index) const noexcept {
    return index.isValid() && index.model() == this && index.row() < rowCount() && index.column() >= 0 &&
           index.column() < Result().ColumnCount();
}

int EditableResultSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_ + growing_ + (HasEmptyRow() ? 1 : 0);
}

QString EditableResultSetModel::ShownText(int row, int column) const {
    const int64_t data = DataRow(row);
    if (StoredValueOf(Result(), data, column, false).isNull) return QStringLiteral("NULL");
    const std::string shown = VisibleCellText(ValueText(Result(), data, column, DateMode(), DateSettings(), false));
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

QString EditableResultSetModel::StoredText(int row, int column) const {
    // The editor starts from the value itself, not from the cell's one-line form, whose marks
    // for line breaks would change the value when saved; a date or a uuid from its text.
    const int64_t data = DataRow(row);
    const CellRef value = StoredValueOf(Result(), data, column, false);
    if (value.isNull) return {};
    const ColumnDescriptor& c = Result().Column(column);
    if (c.IsDateTime() || c.sqlType == SQL_GUID) {
        std::string_view text = ValueText(Result(), data, column, DateMode(), DateSettings(), false);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    const std::string_view text = value.Text();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant EditableResultSetModel::data(const QModelIndex& index, int role) const {
    if (!IsModelCell(index)) return {};
    const int row = index.row(), column = index.column();
    const bool empty = row >= shown_;
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
    case MultiLineRole: {
        if (empty || Result().Column(column).IsDateTime()) return false;
        const CellRef value = StoredValueOf(Result(), DataRow(row), column, false);
        return !value.isNull && value.Text().find('\n') != std::string_view::npos;
    }
    case RowStateRole:
        return RowState(row);
    case Qt::FontRole:
        if (!empty && RowState(row) == Deleted) {
            QFont font;
            font.setStrikeOut(true);
            return font;
        }
        return {};
    case Qt::ForegroundRole:
        if (!empty && (RowState(row) == Deleted || StoredValueOf(Result(), DataRow(row), column, false).isNull))
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
    if (section < 0 || section >= rowCount()) return {};
    const int state = RowState(section);
    switch (role) {
    case Qt::DisplayRole:
        // The state marks: "+" a new row, "✎" a changed one, "×" a deleted one; "*" the empty
        // row that takes new rows.
        if (state == EmptyRowState) return QStringLiteral("*");
        return QString::number(section + 1) + (state == Added     ? QStringLiteral(" +")
                                               : state == Changed ? QStringLiteral(" ✎")
                                               : state == Deleted ? QStringLiteral(" ×")
                                                                  : QString());
    case Qt::ToolTipRole:
        if (state == EmptyRowState) return tr("Type here to add a row");
        if (state == Added) return tr("New row, not saved yet");
        if (state == Changed) return tr("Changed row, not saved yet");
        if (state == Deleted) return tr("Deleted row: Save edits removes it, Discard edits restores it");
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
    if (row < 0 || row >= rowCount() || !edits_->CanEditColumn(column)) return false;
    if (row >= shown_) return true; // the empty row, there only when rows can be added
    if (RowState(row) == Deleted) return false;
    const ColumnDescriptor& c = Result().Column(column);
    if (c.IsDateTime()) return true;
    const CellRef value = StoredValueOf(Result(), DataRow(row), column, false);
    return value.isNull || OnlyLineControls(value.Text());
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
        // Typing into the empty row makes it the new row, with a new empty row below: the
        // editor's row stays the new row, so Tab goes on to the next cell of the same record.
        // The empty row below comes first, while this one still shows empty, so that no row
        // changes under the insertion; then this row becomes the record.
        beginInsertRows({}, shown_ + 1, shown_ + 1);
        growing_ = 1;
        endInsertRows();
        edits_->AppendNewRow();
        shown_ = Clamped(edits_->ShownRowCount());
        growing_ = 0;
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
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
