#include "results/view/UserPrompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace marlix {
namespace {

const QString kScriptFilter = QStringLiteral("SQL script files (*.sql)");

} // namespace

SaveAnswer DialogPrompts::AskSaveChanges(const QString& title) {
    QMessageBox::StandardButton answer = QMessageBox::question(
        parent_, QStringLiteral("Marlix"),
        QStringLiteral("Document %1 has changed. Do you wish to save changes?").arg(title),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) return SaveAnswer::Yes;
    if (answer == QMessageBox::No) return SaveAnswer::No;
    return SaveAnswer::Cancel;
}

TransactionAnswer DialogPrompts::AskEndTransaction(int statements) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Marlix"),
                    QStringLiteral("A transaction is open: %1 statement(s) since the last commit. "
                                   "Commit them before the connection ends?")
                        .arg(statements),
                    QMessageBox::NoButton, parent_);
    QPushButton* commit = box.addButton(QStringLiteral("&Commit"), QMessageBox::AcceptRole);
    QPushButton* rollBack = box.addButton(QStringLiteral("&Roll back"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(commit);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == commit) return TransactionAnswer::Commit;
    if (box.clickedButton() == rollBack) return TransactionAnswer::RollBack;
    return TransactionAnswer::Cancel;
}

bool DialogPrompts::AskYesNo(const QString& text, const QString& caption) {
    return QMessageBox::question(parent_, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString DialogPrompts::ChooseOpenFile() {
    return QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"), QString(), kScriptFilter);
}

QString DialogPrompts::ChooseSaveFile(const QString& caption, const QString& initial) {
    QFileDialog dialog(parent_, caption, QString(), kScriptFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("sql"));
    // Replacing a file is confirmed by the command that asked, where it needs to be.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!initial.isEmpty() && initial != QStringLiteral("*.sql")) dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void DialogPrompts::ShowMessage(const QString& text, const QString& caption, MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        QMessageBox::information(parent_, caption, text);
        break;
    case MessageIcon::Warning:
        QMessageBox::warning(parent_, caption, text);
        break;
    case MessageIcon::Critical:
        QMessageBox::critical(parent_, caption, text);
        break;
    }
}

} // namespace marlix
