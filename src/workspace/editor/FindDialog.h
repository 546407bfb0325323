#pragma once
// The small modeless dialog of the script's Find command: "Find what", Find Next, Close.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace marlix {

class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(const QString& initialText, QWidget* parent = nullptr);

    QString Text() const;

signals:
    void findNext(const QString& what);

private:
    QLineEdit* what_;
    QPushButton* findNext_;
};

} // namespace marlix
