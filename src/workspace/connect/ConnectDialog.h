#pragma once
// Connect to Database: the server type, server, database and credentials, with the lists and
// settings the profile remembers per type. On OK the connection the controls describe is ready
// in Result(). The rules live in ConnectDialogModel; this is their view.
#include "workspace/connect/ConnectDialogModel.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace marlix {

class CODBCSession;
class ProfileStore;

class CConnectDialog final : public QDialog {
    Q_OBJECT
public:
    // Opens with the type stored in `profile`; the session's driver manager says which drivers
    // are registered, and browses for servers.
    CConnectDialog(CODBCSession& session, ProfileStore& profile, QWidget* parent = nullptr);

    // The connection chosen with OK.
    const ConnectionRequest& Result() const noexcept { return result_; }
    const ConnectDialogModel& Model() const noexcept { return model_; }

    // ">>" and "<<": the "Advanced" group and the wider dialog.
    void SetExpanded(bool expanded);
    bool Expanded() const noexcept { return expanded_; }
    // Checks a type radio as a click would.
    void ChooseType(ConnectionType type);

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void WireControls();
    // Puts the model's values, lists, labels and states into the controls.
    void ShowModel();
    void ApplyFocus();
    void BrowseServer();
    void BrowseDatabase();
    void OpenDataSourceAdministrator();

    CODBCSession& session_;
    ConnectDialogModel model_;
    std::vector<std::string> installedDrivers_;
    ConnectionRequest result_;
    bool expanded_ = false;
    bool showing_ = false; // ShowModel is filling the controls: their signals are not edits

    std::array<QRadioButton*, kConnectionTypeCount> typeRadios_{};
    QLabel* driverNotice_ = nullptr;
    QLabel* serverLabel_ = nullptr;
    QComboBox* server_ = nullptr;
    QToolButton* serverBrowse_ = nullptr;
    QCheckBox* useLocal_ = nullptr;
    QLabel* databaseLabel_ = nullptr;
    QComboBox* database_ = nullptr;
    QToolButton* databaseBrowse_ = nullptr;
    QRadioButton* windowsAuthentication_ = nullptr;
    QRadioButton* userAuthentication_ = nullptr;
    QLineEdit* login_ = nullptr;
    QLineEdit* password_ = nullptr;
    QGroupBox* advanced_ = nullptr;
    QCheckBox* autocommit_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* charset_ = nullptr;
    QLineEdit* role_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* expand_ = nullptr;
};

} // namespace marlix
