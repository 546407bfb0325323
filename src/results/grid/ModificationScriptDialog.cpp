#include "results/grid/ModificationScriptDialog.h"

#include "core/FileException.h"
#include "core/ScriptFile.h"
#include "results/view/UserPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace marlix {

ModificationScriptDialog::ModificationScriptDialog(std::string script, bool alwaysShow, UserPrompts& prompts,
                                                   QWidget* parent)
    : QDialog(parent), script_(std::move(script)), prompts_(prompts) {
    setWindowTitle(tr("Database modification script"));
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The editor shows one line break per line; the text keeps its CR LF for Copy and Save.
    QString shown = QString::fromUtf8(script_.data(), static_cast<qsizetype>(script_.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(shown);
    text_->moveCursor(QTextCursor::Start);
    text_->setMinimumSize(640, 360);
    layout->addWidget(text_);

    always_ = new QCheckBox(tr("Al&ways show this window when saving edits of SQL table"), this);
    always_->setChecked(alwaysShow);
    layout->addWidget(always_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copy = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    QPushButton* save = buttons->addButton(tr("&Save"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("close"));
    copy->setObjectName(QStringLiteral("copy"));
    save->setObjectName(QStringLiteral("save"));
    connect(copy, &QPushButton::clicked, this, &ModificationScriptDialog::CopyScript);
    connect(save, &QPushButton::clicked, this, &ModificationScriptDialog::SaveScript);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

bool ModificationScriptDialog::AlwaysShow() const {
    return always_->isChecked();
}

void ModificationScriptDialog::CopyScript() {
    QApplication::clipboard()->setText(
        QString::fromUtf8(script_.data(), static_cast<qsizetype>(script_.size())));
}

bool ModificationScriptDialog::SaveScript() {
    const QString path = prompts_.ChooseSaveFile(tr("Save modification script"), QString());
    if (path.isEmpty()) return false;
    try {
        SaveScriptFile(path.toStdString(), script_);
        return true;
    } catch (const CFileException& e) {
        prompts_.ShowMessage(QString::fromUtf8(e.what()), QStringLiteral("Marlix"), MessageIcon::Critical);
    } catch (...) {
        prompts_.ShowMessage(tr("Internal application error"), QStringLiteral("Marlix"),
                             MessageIcon::Critical);
    }
    return false;
}

} // namespace marlix
