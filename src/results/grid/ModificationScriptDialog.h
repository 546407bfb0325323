#pragma once
// "Database modification script": the statements a save of a grid's edits would run, read-only,
// with Copy, Save (to a .sql file), Close, and the choice to show it before every save.
#include <QDialog>

#include <string>

class QCheckBox;
class QPlainTextEdit;

namespace marlix {

class UserPrompts;

class ModificationScriptDialog final : public QDialog {
    Q_OBJECT
public:
    // `script` is the engine's text (UTF-8, CR LF line ends).
    ModificationScriptDialog(std::string script, bool alwaysShow, UserPrompts& prompts,
                             QWidget* parent = nullptr);

    bool AlwaysShow() const;
    const std::string& Script() const noexcept { return script_; }
    // The commands of its buttons.
    void CopyScript();
    // False when no file was chosen or writing failed (the message is shown).
    bool SaveScript();

private:
    std::string script_;
    UserPrompts& prompts_;
    QPlainTextEdit* text_;
    QCheckBox* always_;
};

} // namespace marlix
