#pragma once
// "Executed statement text": shows the text of one executed statement, read-only, with a
// button that copies it.
#include <QDialog>

#include <string_view>

class QPlainTextEdit;
class QPushButton;

namespace marlix {

class QueryTextDialog : public QDialog {
    Q_OBJECT
public:
    // statementText: UTF-8 with CR LF line ends, as executed.
    explicit QueryTextDialog(std::string_view statementText, QWidget* parent = nullptr);

    // The statement text with one "\n" per line break.
    QString Text() const;
    QPushButton* CopyButton() const { return copy_; }
    QPushButton* CloseButton() const { return close_; }

    // Puts the statement text on the clipboard as Unicode text.
    void CopyText();

private:
    QString statement_;
    QPlainTextEdit* text_;
    QPushButton* copy_;
    QPushButton* close_;
};

} // namespace marlix
