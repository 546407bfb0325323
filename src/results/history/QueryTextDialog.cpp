#include "results/history/QueryTextDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace marlix {

QueryTextDialog::QueryTextDialog(std::string_view statementText, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Executed statement text"));

    statement_ = QString::fromUtf8(statementText.data(), static_cast<qsizetype>(statementText.size()));
    // The control and the clipboard both want one line break per line; the clipboard of a
    // system with CR LF text adds the CR itself.
    statement_.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    text_ = new QPlainTextEdit(this);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    text_->setFont(font);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setUndoRedoEnabled(false);
    text_->setPlainText(statement_);
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    copy_ = new QPushButton(QStringLiteral("Copy"), this);
    copy_->setAutoDefault(false);
    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setDefault(true);
    connect(copy_, &QPushButton::clicked, this, &QueryTextDialog::CopyText);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    resize(640, 400);
}

// Kept apart from the control, whose plain text turns no-break spaces into spaces.
QString QueryTextDialog::Text() const {
    return statement_;
}

void QueryTextDialog::CopyText() {
    QGuiApplication::clipboard()->setText(Text());
}

} // namespace marlix
