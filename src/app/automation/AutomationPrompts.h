#pragma once
// The answers of the automation server, which has no one to ask: a changed script is not
// saved (the client replaces it on purpose), no file is chosen, running work may be cancelled,
// and messages are kept so that the failing call can return them.
#include "results/view/UserPrompts.h"

#include <QStringList>

namespace marlix {

class AutomationPrompts final : public UserPrompts {
public:
    SaveAnswer AskSaveChanges(const QString&) override { return SaveAnswer::No; }
    bool AskYesNo(const QString&, const QString&) override { return true; }
    QString ChooseOpenFile() override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&) override { return {}; }
    void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) override;

    // The messages shown since the last call, oldest first.
    QStringList TakeMessages();

private:
    QStringList messages_;
};

} // namespace marlix
