#include "workspace/frame/SelectionBar.h"

#include "workspace/frame/TargetPlatform.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace marlix {
namespace {

// Longer database names are shown cut; the entry's data keeps the whole name.
constexpr int kShownNameLength = 40;

// The three boxes share one row that the bar gives all its width: in a narrow window they
// shrink (down to a few characters each) instead of moving out of sight behind the bar's
// extension button.
QComboBox* AddBox(QWidget& row, QHBoxLayout& layout, const QString& label, int stretch) {
    auto* text = new QLabel(label, &row);
    text->setContentsMargins(6, 0, 4, 0);
    layout.addWidget(text);
    auto* box = new QComboBox(&row);
    box->setMinimumContentsLength(6);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    text->setBuddy(box);
    layout.addWidget(box, stretch);
    return box;
}

} // namespace

SelectionBar::SelectionBar(QWidget* parent) : QToolBar(tr("Selection bar"), parent) {
    setObjectName(QStringLiteral("selectionBar"));
    auto* row = new QWidget(this);
    row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    database_ = AddBox(*row, *layout, tr("&Database:"), 16);
    schema_ = AddBox(*row, *layout, tr("&Schema:"), 18);
    target_ = AddBox(*row, *layout, tr("Target &platform:"), 14);
    layout->addStretch(8);
    addWidget(row);
    schema_->addItem(QStringLiteral("<all database schemas>"));
    for (const TargetPlatformEntry& entry : kTargetPlatforms)
        target_->addItem(QString::fromLatin1(entry.text), static_cast<int>(entry.dialect));

    connect(database_, &QComboBox::activated, this, [this](int index) {
        if (!filling_ && index >= 0) emit databaseChosen(database_->itemData(index).toString());
    });
    connect(schema_, &QComboBox::activated, this, [this](int) { emit schemaChosen(); });
    connect(target_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0) emit targetPlatformChosen(kTargetPlatforms[static_cast<size_t>(index)].dialect);
    });
}

void SelectionBar::SetDatabases(const std::vector<std::string>& names, int selected) {
    filling_ = true;
    QSignalBlocker block(database_);
    database_->clear();
    for (const std::string& name : names) {
        QString full = QString::fromStdString(name);
        QString shown =
            full.size() > kShownNameLength ? full.left(kShownNameLength - 3) + QStringLiteral("...") : full;
        database_->addItem(shown, full);
        if (shown != full) database_->setItemData(database_->count() - 1, full, Qt::ToolTipRole);
    }
    database_->setCurrentIndex(selected >= 0 && selected < database_->count() ? selected : -1);
    filling_ = false;
}

std::string SelectionBar::SelectedDatabase() const {
    int index = database_->currentIndex();
    return index < 0 ? std::string() : database_->itemData(index).toString().toStdString();
}

void SelectionBar::ResetSchemas() {
    QSignalBlocker block(schema_);
    while (schema_->count() > 1)
        schema_->removeItem(1);
    schema_->setCurrentIndex(0);
}

void SelectionBar::SetSchemas(const std::vector<std::string>& schemas) {
    ResetSchemas();
    QSignalBlocker block(schema_);
    for (const std::string& schema : schemas)
        schema_->addItem(QString::fromStdString(schema));
}

void SelectionBar::SelectDialect(Dialect dialect) {
    QSignalBlocker block(target_);
    target_->setCurrentIndex(TargetPlatformIndex(static_cast<int>(dialect)));
}

Dialect SelectionBar::SelectedDialect() const {
    int index = target_->currentIndex();
    return index < 0 ? Dialect::MSSQL : kTargetPlatforms[static_cast<size_t>(index)].dialect;
}

} // namespace marlix
