#include "results/grid/ResultSetModel.h"

#include "core/ValueText.h"
#include "results/grid/GridPresentation.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <climits>

namespace marlix {
namespace {

// Qt counts rows in int; a result beyond that shows its first INT_MAX rows.
int ShownRows(const ResultSet& resultSet) {
    return static_cast<int>(std::clamp<int64_t>(resultSet.RowCount(), 0, INT_MAX));
}

const QString& NullText() {
    static const QString text = QStringLiteral("NULL");
    return text;
}

} // namespace

ResultSetModel::ResultSetModel(std::shared_ptr<ResultSet> resultSet, QObject* parent)
    : QAbstractTableModel(parent), resultSet_(std::move(resultSet)) {
    rows_ = resultSet_ ? ShownRows(*resultSet_) : 0;
    if (!resultSet_) resultSet_ = std::make_shared<ResultSet>(0, 0, 0);
}

void ResultSetModel::SetDateMode(int mode) {
    if (mode == dateMode_) return;
    dateMode_ = mode;
    if (rows_ > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

void ResultSetModel::SetDateSettings(const DialectSettingsSet& settings) {
    dateSettings_ = &settings;
    if (rows_ > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

void ResultSetModel::Reload() {
    beginResetModel();
    rows_ = ShownRows(*resultSet_);
    endResetModel();
}

bool ResultSetModel::IsCell(const QModelIndex& index) const noexcept {
    return index.isValid() && index.model() == this && index.row() < rows_ &&
           index.column() < resultSet_->ColumnCount();
}

QString ResultSetModel::DisplayText(int row, int column) const {
    std::string_view text = ValueText(*resultSet_, row, column, dateMode_, *dateSettings_, false);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ResultSetModel::ShownCellText(int row, int column) const {
    std::string_view text = ValueText(*resultSet_, row, column, dateMode_, *dateSettings_, false);
    if (std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 32 || c == 127; }))
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const std::string shown = VisibleCellText(text);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

QString ResultSetModel::CellText(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= resultSet_->ColumnCount()) return {};
    if (StoredValueOf(*resultSet_, row, column, false).isNull) return NullText();
    return ShownCellText(row, column);
}

int ResultSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ResultSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : resultSet_->ColumnCount();
}

QVariant ResultSetModel::data(const QModelIndex& index, int role) const {
    if (!IsCell(index)) return {};
    const int row = index.row(), column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return CellText(row, column);
    case Qt::EditRole:
        // An editor starts from the value itself: empty for NULL, not the marker.
        return DisplayText(row, column);
    case Qt::ToolTipRole: {
        // A value whose line breaks the cell shows as marks reads whole in the tooltip.
        const QString shown = CellText(row, column);
        const QString whole = DisplayText(row, column);
        return shown == whole ? QVariant() : QVariant(whole);
    }
    case Qt::ForegroundRole:
        if (StoredValueOf(*resultSet_, row, column, false).isNull)
            return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::TextAlignmentRole: {
        const bool right = IsRightAlignedType(resultSet_->Column(column).sqlType);
        return int((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant ResultSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= resultSet_->ColumnCount()) return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            std::string_view name = resultSet_->Column(section).Name();
            return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        }
        return {};
    }
    if (section < 0 || section >= rows_) return {};
    if (role == Qt::DisplayRole) return section + 1;
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ResultSetModel::flags(const QModelIndex& index) const {
    if (!IsCell(index)) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (CanEditCell(index.row(), index.column())) flags |= Qt::ItemIsEditable;
    return flags;
}

bool ResultSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !IsCell(index) || !CanEditCell(index.row(), index.column())) return false;
    if (!CommitCellText(index.row(), index.column(), value.toString())) return false;
    emit dataChanged(index, index);
    return true;
}

bool ResultSetModel::CanEditCell(int, int) const {
    return false;
}

bool ResultSetModel::CommitCellText(int, int, const QString&) {
    return false;
}

} // namespace marlix
