#pragma once
// The user's answers to the window's questions, given in advance by a test, and a record of
// what was asked.
#include "results/view/UserPrompts.h"

#include <QString>
#include <QStringList>

#include <deque>

namespace marlix::test {

class ScriptedPrompts final : public UserPrompts {
public:
    std::deque<SaveAnswer> saveAnswers;
    std::deque<bool> yesNoAnswers;
    std::deque<QString> openFiles;
    std::deque<QString> saveFiles;
    std::deque<std::optional<ConnectionRequest>> connections; // nullopt: Cancel
    std::deque<TransactionAnswer> transactionAnswers;
    QStringList asked;                                        // every question and chooser, in order
    QStringList messages;                                     // every message box text

    SaveAnswer AskSaveChanges(const QString& title) override {
        asked << QStringLiteral("save changes: ") + title;
        return Take(saveAnswers, SaveAnswer::Cancel);
    }
    bool AskYesNo(const QString& text, const QString&) override {
        asked << QStringLiteral("yes/no: ") + text;
        return Take(yesNoAnswers, false);
    }
    QString ChooseOpenFile() override {
        asked << QStringLiteral("open file");
        return Take(openFiles, QString());
    }
    QString ChooseSaveFile(const QString& caption, const QString& initial) override {
        asked << QStringLiteral("save file: ") + caption + QStringLiteral(" ") + initial;
        return Take(saveFiles, QString());
    }
    void ShowMessage(const QString& text, const QString&, MessageIcon) override { messages << text; }
    TransactionAnswer AskEndTransaction(int statements) override {
        asked << QStringLiteral("end transaction: %1").arg(statements);
        return Take(transactionAnswers, TransactionAnswer::RollBack); // as a disconnect always did
    }
    std::optional<ConnectionRequest> ChooseConnection() override {
        asked << QStringLiteral("connect");
        return Take(connections, std::optional<ConnectionRequest>());
    }

private:
    template <typename T> static T Take(std::deque<T>& answers, T fallback) {
        if (answers.empty()) return fallback;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace marlix::test
