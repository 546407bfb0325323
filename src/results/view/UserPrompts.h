#pragma once
// The questions the window asks its user: save changes, which file, replace a file, which
// connection, and the message boxes of failure reports. The window asks through this interface so
// that tests can answer instead of a person.
#include "db/ODBCSession.h"

#include <QString>

#include <optional>

class QWidget;

namespace marlix {

enum class SaveAnswer { Yes, No, Cancel };
enum class TransactionAnswer { Commit, RollBack, Cancel };
enum class MessageIcon { Information, Warning, Critical };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // "Document %s has changed. Do you wish to save changes?"
    virtual SaveAnswer AskSaveChanges(const QString& title) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    // File choosers for scripts ("SQL script files (*.sql)"); an empty path means cancelled.
    virtual QString ChooseOpenFile() = 0;
    virtual QString ChooseSaveFile(const QString& caption, const QString& initial) = 0;
    virtual void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) = 0;
    // Connect to Database: the connection chosen with OK, nothing when cancelled. Prompts without
    // the dialog (no one to ask) choose none.
    virtual std::optional<ConnectionRequest> ChooseConnection() { return std::nullopt; }
    // The connection last chosen was made: the dialog's choices may now be remembered.
    virtual void ConnectionMade() {}
    // A transaction with `statements` uncommitted statements is open and the connection is about
    // to end: commit it, roll it back, or keep the connection. Prompts with no one to ask roll
    // back, as a disconnect always did.
    virtual TransactionAnswer AskEndTransaction(int statements) {
        (void)statements;
        return TransactionAnswer::RollBack;
    }
};

// The real dialogs, parented to the main window. The connect dialog needs the session and the
// profile: the frame's FramePrompts adds it.
class DialogPrompts : public UserPrompts {
public:
    explicit DialogPrompts(QWidget* parent) : parent_(parent) {}
    SaveAnswer AskSaveChanges(const QString& title) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    QString ChooseOpenFile() override;
    QString ChooseSaveFile(const QString& caption, const QString& initial) override;
    void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) override;
    TransactionAnswer AskEndTransaction(int statements) override;

private:
    QWidget* parent_;
};

} // namespace marlix
