#include "workspace/editor/FindDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace marlix {

FindDialog::FindDialog(const QString& initialText, QWidget* parent)
    : QDialog(parent), what_(new QLineEdit(initialText, this)) {
    setWindowTitle(tr("Find"));
    auto* label = new QLabel(tr("Fi&nd what:"), this);
    label->setBuddy(what_);
    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    findNext_ = buttons->addButton(tr("&Find Next"), QDialogButtonBox::ActionRole);
    findNext_->setDefault(true);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(what_, 1);
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addLayout(row);
    left->addStretch(1);
    layout->addLayout(left, 1);
    layout->addWidget(buttons);
    findNext_->setEnabled(!initialText.isEmpty());
    connect(what_, &QLineEdit::textChanged, this,
            [this](const QString& text) { findNext_->setEnabled(!text.isEmpty()); });
    connect(findNext_, &QPushButton::clicked, this, [this] { emit findNext(what_->text()); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    what_->selectAll();
}

QString FindDialog::Text() const {
    return what_->text();
}

} // namespace marlix
