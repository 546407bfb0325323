#include "workspace/browser/ColumnsUpdatedDialog.h"

#include "catalog/CatalogNode.h"
#include "catalog/CatalogText.h"
#include "workspace/browser/MetadataWizardDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace marlix {

ColumnsUpdatedDialog::ColumnsUpdatedDialog(CatalogTableFolder& tables, const CatalogTable& table,
                                           std::function<bool(CatalogTable&)> readColumns, QWidget* parent)
    : QDialog(parent), tables_(tables), readColumns_(std::move(readColumns)) {
    setWindowTitle(tr("Bitmask for COLUMNS_UPDATED (MSSQL)"));
    table_ = new QComboBox(this);
    columns_ = new QListWidget(this);
    columns_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mask_ = new QLineEdit(QStringLiteral("0"), this);
    mask_->setReadOnly(true);
    auto* copy = new QPushButton(tr("&Copy"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    // Sorted by name; each entry keeps the position of its table in the folder.
    std::vector<int> order(tables_.tables.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return tables_.tables[a]->name < tables_.tables[b]->name; });
    int preselected = -1;
    for (int index : order) {
        const CatalogTable& entry = *tables_.tables[static_cast<std::size_t>(index)];
        table_->addItem(WizardText(entry.name), index);
        if (&entry == &table) preselected = table_->count() - 1;
    }

    auto* form = new QFormLayout;
    form->addRow(tr("&Table"), table_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(columns_);
    auto* maskRow = new QFormLayout;
    maskRow->addRow(tr("Mask"), mask_);
    layout->addLayout(maskRow);
    layout->addWidget(copy, 0, Qt::AlignLeft);
    layout->addWidget(buttons);

    connect(table_, &QComboBox::activated, this, &ColumnsUpdatedDialog::ChooseTable);
    connect(columns_, &QListWidget::itemSelectionChanged, this, &ColumnsUpdatedDialog::ShowMask);
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(mask_->text()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    table_->setCurrentIndex(preselected);
    ChooseTable(preselected);
}

void ColumnsUpdatedDialog::ChooseTable(int entry) {
    {
        const QSignalBlocker block(columns_);
        columns_->clear();
        const int index = entry < 0 ? -1 : table_->itemData(entry).toInt();
        if (index >= 0 && index < static_cast<int>(tables_.tables.size())) {
            CatalogTable& table = *tables_.tables[static_cast<std::size_t>(index)];
            if (table.loaded || readColumns_(table)) {
                for (std::size_t i = 0;
                     i < table.columns.size() && i < static_cast<std::size_t>(kMaskColumns); ++i)
                    columns_->addItem(WizardText(table.columns[i]->name));
            }
        }
    }
    mask_->setText(QStringLiteral("0"));
}

void ColumnsUpdatedDialog::ShowMask() {
    std::vector<int> rows;
    for (const QModelIndex& index : columns_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    mask_->setText(QString::number(ColumnsUpdatedMask(rows, columns_->count())));
}

QString ColumnsUpdatedDialog::MaskText() const {
    return mask_->text();
}

} // namespace marlix
