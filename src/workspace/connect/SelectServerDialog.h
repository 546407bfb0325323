#pragma once
// Select Server: the servers a driver finds on the network, browsed when the dialog opens. OK is
// enabled only while a server is selected.
#include <QDialog>

#include <string>

class QListWidget;
class QPushButton;

namespace marlix {

class CODBCSession;

class CSelectServerDialog final : public QDialog {
    Q_OBJECT
public:
    // Browses with `driverText` (for example "DRIVER={SQL Server}") on the session's environment.
    CSelectServerDialog(CODBCSession& session, const std::string& driverText, QWidget* parent = nullptr);

    // The selected server (the result after OK).
    QString Server() const;
    QListWidget& List() noexcept { return *list_; }

private:
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace marlix
