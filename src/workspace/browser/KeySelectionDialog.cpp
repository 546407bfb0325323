#include "workspace/browser/KeySelectionDialog.h"

#include "catalog/KeySelectionModel.h"
#include "workspace/browser/MetadataWizardDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace marlix {

KeySelectionDialog::KeySelectionDialog(KeySelectionModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(tr("Select key fields"));
    setObjectName(QStringLiteral("keySelection"));
    source_ = new QComboBox(this);
    source_->setEditable(true);
    source_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& name : model_.Sources())
        source_->addItem(WizardText(name));
    source_->setCurrentIndex(model_.SourceIndex());
    source_->setEditText(WizardText(model_.SourceText()));
    destination_ = new QLineEdit(WizardText(model_.DestinationText()), this);
    columns_ = new QListWidget(this);
    columns_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);

    auto* form = new QFormLayout;
    form->addRow(tr("&Source table"), source_);
    form->addRow(tr("&Destination"), destination_);
    // The list's own label, so that Alt+K reaches it as the others do.
    auto* keysLabel = new QLabel(tr("&Key fields (select one or more)"), this);
    keysLabel->setBuddy(columns_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(keysLabel);
    layout->addWidget(columns_);
    layout->addWidget(buttons);
    ShowColumns();

    connect(source_, &QComboBox::activated, this, [this](int index) {
        model_.ChooseSource(index);
        ShowColumns();
    });
    connect(source_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        model_.EditSource(ModelText(text));
        ShowColumns();
    });
    connect(destination_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.EditDestination(ModelText(text)); });
    connect(columns_, &QListWidget::itemSelectionChanged, this, [this] {
        std::vector<int> rows;
        for (const QModelIndex& index : columns_->selectionModel()->selectedRows())
            rows.push_back(index.row());
        model_.SelectColumns(std::move(rows));
        ok_->setEnabled(model_.OkEnabled());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (model_.OkEnabled()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void KeySelectionDialog::ShowColumns() {
    {
        const QSignalBlocker block(columns_);
        columns_->clear();
        for (const std::string& column : model_.Columns())
            columns_->addItem(WizardText(column));
    }
    ok_->setEnabled(model_.OkEnabled());
}

bool AskKeyFields(KeySelectionModel& model, QWidget* parent) {
    KeySelectionDialog dialog(model, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace marlix
