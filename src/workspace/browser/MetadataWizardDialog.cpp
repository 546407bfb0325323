#include "workspace/browser/MetadataWizardDialog.h"

#include "catalog/MetadataWizardModel.h"
#include "workspace/help/HelpTopics.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace marlix {

QString WizardText(const std::string& text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string ModelText(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

namespace {

QPlainTextEdit* LinesEdit(QWidget* parent) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setTabChangesFocus(true);
    return edit;
}

QPushButton* SmallButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("<<<")) + 16);
    return button;
}

} // namespace

MetadataWizardDialog::MetadataWizardDialog(MetadataWizardModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(tr("Metadata Wizard"));
    setObjectName(QStringLiteral("metadataWizard"));

    source_ = new QComboBox(this);
    source_->setEditable(true);
    source_->setInsertPolicy(QComboBox::NoInsert);
    source_->setMinimumContentsLength(22);
    for (const std::string& name : model_.Sources())
        source_->addItem(WizardText(name));
    destination_ = new QLineEdit(this);
    type_ = new QComboBox(this);
    for (const WizardTypeItem& item : kWizardTypeItems)
        type_->addItem(QString::fromLatin1(item.text.data(), static_cast<qsizetype>(item.text.size())));
    syntax_ = new QComboBox(this);
    for (const WizardDialectItem& item : kWizardDialectItems)
        syntax_->addItem(QString::fromLatin1(item.text.data(), static_cast<qsizetype>(item.text.size())));
    // Rows of one INSERT and commits between statements; the block writes them only when they
    // differ from one row and no commits.
    rows_ = new QSpinBox(this);
    rows_->setObjectName(QStringLiteral("rowsPerStatement"));
    rows_->setRange(1, std::numeric_limits<int>::max());
    rows_->setToolTip(tr("Rows written into one INSERT statement (VALUES (...), (...)); 1 writes one "
                         "statement per row"));
    commitEvery_ = new QSpinBox(this);
    commitEvery_->setObjectName(QStringLiteral("commitEvery"));
    commitEvery_->setRange(0, std::numeric_limits<int>::max());
    commitEvery_->setSpecialValueText(tr("never"));
    commitEvery_->setToolTip(tr("A commit after every so many generated statements and after the last"));
    literals_ = new QComboBox(this);
    literals_->setObjectName(QStringLiteral("literals"));
    for (const WizardLiteralItem& item : kWizardLiteralItems)
        literals_->addItem(QString::fromLatin1(item.text.data(), static_cast<qsizetype>(item.text.size())));
    literals_->setToolTip(tr("How values are written from this block on: as the chosen dialect's Options "
                             "say, in the historic form, or exactly as fetched"));
    keys_ = LinesEdit(this);
    addKeys_ = SmallButton(QStringLiteral("<"), this);
    columns_ = new QListWidget(this);
    columns_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    generate_ = new QCheckBox(tr("&Generate SELECT statement"), this);
    selectFields_ = new QRadioButton(tr("SELECT &fields"), this);
    selectAll_ = new QRadioButton(tr("SELE&CT *"), this);
    auto* choice = new QButtonGroup(this);
    choice->addButton(selectFields_);
    choice->addButton(selectAll_);
    fields_ = LinesEdit(this);
    addFields_ = SmallButton(QStringLiteral("<"), this);
    addAllFields_ = SmallButton(QStringLiteral("<<"), this);

    auto* grid = new QGridLayout;
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(tr("&Source table"), source_), 0, 0);
    grid->addWidget(source_, 1, 0);
    grid->addWidget(label(tr("&Destination table"), destination_), 0, 2);
    grid->addWidget(destination_, 1, 2);
    grid->addWidget(label(tr("Statement &type"), type_), 2, 0);
    grid->addWidget(type_, 3, 0);
    grid->addWidget(label(tr("&Use syntax"), syntax_), 2, 2);
    grid->addWidget(syntax_, 3, 2);
    auto* counts = new QHBoxLayout;
    counts->addWidget(label(tr("&Rows per INSERT:"), rows_));
    counts->addWidget(rows_);
    counts->addSpacing(12);
    counts->addWidget(label(tr("Commit &every:"), commitEvery_));
    counts->addWidget(commitEvery_);
    counts->addSpacing(12);
    counts->addWidget(label(tr("&Literals:"), literals_));
    counts->addWidget(literals_);
    counts->addStretch();
    grid->addLayout(counts, 4, 0, 1, 3);
    grid->addWidget(label(tr("&Key fields"), keys_), 5, 0);
    grid->addWidget(keys_, 6, 0);
    auto* keyButtons = new QVBoxLayout;
    keyButtons->addWidget(addKeys_);
    keyButtons->addStretch();
    grid->addLayout(keyButtons, 6, 1);
    grid->addWidget(label(tr("&All table fields"), columns_), 5, 2);
    grid->addWidget(columns_, 6, 2, 4, 1);

    auto* select = new QGroupBox(this);
    auto* selectLayout = new QGridLayout(select);
    selectLayout->addWidget(generate_, 0, 0, 1, 2);
    auto* radios = new QHBoxLayout;
    radios->addWidget(selectFields_);
    radios->addWidget(selectAll_);
    radios->addStretch();
    selectLayout->addLayout(radios, 1, 0, 1, 2);
    selectLayout->addWidget(fields_, 2, 0);
    grid->addWidget(select, 7, 0, 3, 1);
    auto* fieldButtons = new QVBoxLayout;
    fieldButtons->addStretch();
    fieldButtons->addWidget(addFields_);
    fieldButtons->addWidget(addAllFields_);
    grid->addLayout(fieldButtons, 9, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    // Why OK is disabled, beside it.
    okHint_ = new QLabel(this);
    okHint_->setObjectName(QStringLiteral("okHint"));
    okHint_->setWordWrap(true);
    okHint_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(okHint_, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(bottom);

    ShowTexts();
    ShowColumns();
    UpdateControls();

    connect(source_, &QComboBox::activated, this, [this](int index) {
        model_.ChooseSource(index);
        ShowTexts();
        ShowColumns();
        UpdateControls();
    });
    connect(source_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (showing_) return;
        model_.EditSource(ModelText(text));
        const QSignalBlocker block(destination_);
        destination_->setText(WizardText(model_.DestinationText()));
        ShowColumns();
        UpdateControls();
    });
    connect(destination_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.EditDestination(ModelText(text)); });
    connect(type_, &QComboBox::currentIndexChanged, this, [this](int index) {
        model_.ChooseType(index);
        UpdateControls();
    });
    connect(syntax_, &QComboBox::currentIndexChanged, this, [this](int index) {
        model_.ChooseDialect(index);
        UpdateControls();
    });
    connect(literals_, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.ChooseLiterals(index); });
    connect(rows_, &QSpinBox::valueChanged, this, [this](int rows) {
        if (!showing_) model_.SetRowsPerStatement(rows);
    });
    connect(commitEvery_, &QSpinBox::valueChanged, this, [this](int statements) {
        if (!showing_) model_.SetCommitEvery(statements);
    });
    connect(keys_, &QPlainTextEdit::textChanged, this, [this] {
        if (showing_) return;
        model_.EditKeys(ModelText(keys_->toPlainText()));
        UpdateControls();
    });
    connect(fields_, &QPlainTextEdit::textChanged, this, [this] {
        if (showing_) return;
        model_.EditFields(ModelText(fields_->toPlainText()));
        UpdateControls();
    });
    connect(columns_, &QListWidget::itemSelectionChanged, this, [this] {
        std::vector<int> rows;
        for (const QModelIndex& index : columns_->selectionModel()->selectedRows())
            rows.push_back(index.row());
        model_.SelectColumns(std::move(rows));
        UpdateControls();
    });
    connect(generate_, &QCheckBox::toggled, this, [this](bool on) {
        model_.SetGenerateSelect(on);
        UpdateControls();
    });
    connect(selectAll_, &QRadioButton::toggled, this, [this](bool on) {
        model_.SetSelectAll(on);
        UpdateControls();
    });
    connect(addKeys_, &QPushButton::clicked, this, [this] {
        model_.AddSelectedKeys();
        ShowTexts();
        UpdateControls();
    });
    connect(addFields_, &QPushButton::clicked, this, [this] {
        model_.AddSelectedFields();
        ShowTexts();
        UpdateControls();
    });
    connect(addAllFields_, &QPushButton::clicked, this, [this] {
        model_.AddAllFields();
        ShowTexts();
        UpdateControls();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (model_.OkEnabled()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] { ShowHelpTopics(this); });
}

void MetadataWizardDialog::ShowTexts() {
    showing_ = true;
    {
        const QSignalBlocker a(source_), b(destination_), c(type_), d(syntax_), e(generate_), f(selectAll_),
            g(selectFields_), h(rows_), i(commitEvery_), j(literals_);
        source_->setCurrentIndex(model_.SourceIndex());
        source_->setEditText(WizardText(model_.SourceText()));
        destination_->setText(WizardText(model_.DestinationText()));
        type_->setCurrentIndex(model_.TypeIndex());
        syntax_->setCurrentIndex(model_.DialectIndex());
        generate_->setChecked(model_.GenerateSelect());
        selectAll_->setChecked(model_.SelectAll());
        selectFields_->setChecked(!model_.SelectAll());
        rows_->setValue(model_.RowsPerStatement());
        commitEvery_->setValue(model_.CommitEvery());
        literals_->setCurrentIndex(model_.LiteralIndex());
    }
    if (ModelText(keys_->toPlainText()) != model_.KeyText())
        keys_->setPlainText(WizardText(model_.KeyText()));
    if (ModelText(fields_->toPlainText()) != model_.FieldText())
        fields_->setPlainText(WizardText(model_.FieldText()));
    showing_ = false;
}

void MetadataWizardDialog::ShowColumns() {
    const QSignalBlocker block(columns_);
    columns_->clear();
    for (const std::string& column : model_.Columns())
        columns_->addItem(WizardText(column));
}

void MetadataWizardDialog::UpdateControls() {
    ok_->setEnabled(model_.OkEnabled());
    okHint_->setText(WizardText(model_.OkHint()));
    generate_->setEnabled(model_.GenerateEnabled());
    selectFields_->setEnabled(model_.SelectChoiceEnabled());
    selectAll_->setEnabled(model_.SelectChoiceEnabled());
    fields_->setEnabled(model_.FieldListEnabled());
    addKeys_->setEnabled(model_.AddKeysEnabled());
    addFields_->setEnabled(model_.AddFieldsEnabled());
    addAllFields_->setEnabled(model_.AddAllFieldsEnabled());
    rows_->setEnabled(model_.RowsEnabled());
    commitEvery_->setEnabled(model_.CommitEveryEnabled());
    literals_->setEnabled(model_.LiteralsEnabled());
}

} // namespace marlix
