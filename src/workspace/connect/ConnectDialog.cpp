#include "workspace/connect/ConnectDialog.h"

#include "db/DriverRegistry.h"
#include "db/ODBCSession.h"
#include "workspace/connect/SelectServerDialog.h"
#include "workspace/help/HelpWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace marlix {
namespace {

constexpr int kMargin = 9;
constexpr int kSpacing = 6;
// The "Advanced" group has the 105 pixels the expanded dialog adds and most of the right margin:
// it sits close to the rest, without a frame, so that "Autocommit" is not cut.
constexpr int kAdvancedGap = 3;
constexpr int kExpandedRightMargin = 3;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QToolButton* BrowseButton(QWidget* parent, const QString& name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(QStringLiteral("..."));
    return button;
}

void SetItems(QComboBox* box, const std::vector<std::string>& items, const std::string& text) {
    box->clear();
    for (const std::string& item : items)
        box->addItem(Text(item));
    box->setEditText(Text(text));
}

} // namespace

CConnectDialog::CConnectDialog(CODBCSession& session, ProfileStore& profile, QWidget* parent)
    : QDialog(parent), session_(session), model_(profile) {
    setObjectName(QStringLiteral("connectDialog"));
    setWindowTitle(tr("Connect to Database"));
    BuildControls();
    WireControls();
    installedDrivers_ = InstalledDrivers(session_);
    model_.SetInstalledDrivers(installedDrivers_);
    model_.Open();
    ShowModel();
    SetExpanded(model_.Type() == ConnectionType::PostgreSQL);
}

void CConnectDialog::BuildControls() {
    auto* content = new QWidget(this);
    content->setFixedWidth(kConnectCollapsedWidth - 2 * kMargin);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kSpacing);

    auto* types = new QGroupBox(tr("Server type"), content);
    auto* typeGrid = new QGridLayout(types);
    typeGrid->setHorizontalSpacing(kSpacing);
    typeGrid->setVerticalSpacing(2);
    for (int t = 0; t < kConnectionTypeCount; ++t) {
        auto* radio =
            new QRadioButton(QString::fromLatin1(TypeRadioText(static_cast<ConnectionType>(t))), types);
        radio->setObjectName(QStringLiteral("type%1").arg(t));
        typeGrid->addWidget(radio, t / 2, t % 2);
        typeRadios_[t] = radio;
    }
    column->addWidget(types);

    driverNotice_ = new QLabel(content);
    driverNotice_->setObjectName(QStringLiteral("driverNotice"));
    driverNotice_->setWordWrap(true);
    driverNotice_->setStyleSheet(QStringLiteral("color: #a03000;"));
    column->addWidget(driverNotice_);

    auto* where = new QGridLayout;
    where->setHorizontalSpacing(kSpacing);
    serverLabel_ = new QLabel(content);
    server_ = new QComboBox(content);
    server_->setObjectName(QStringLiteral("server"));
    server_->setEditable(true);
    server_->setInsertPolicy(QComboBox::NoInsert);
    server_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    server_->setMinimumContentsLength(8);
    serverLabel_->setBuddy(server_);
    serverBrowse_ = BrowseButton(content, QStringLiteral("serverBrowse"));
    where->addWidget(serverLabel_, 0, 0);
    where->addWidget(server_, 0, 1);
    where->addWidget(serverBrowse_, 0, 2);

    auto* databaseRow = new QHBoxLayout;
    databaseRow->setSpacing(kSpacing);
    useLocal_ = new QCheckBox(tr("Use local server"), content);
    useLocal_->setObjectName(QStringLiteral("useLocal"));
    databaseLabel_ = new QLabel(tr("&Database"), content);
    database_ = new QComboBox(content);
    database_->setObjectName(QStringLiteral("database"));
    database_->setEditable(true);
    database_->setInsertPolicy(QComboBox::NoInsert);
    database_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    database_->setMinimumContentsLength(6);
    databaseLabel_->setBuddy(database_);
    databaseBrowse_ = BrowseButton(content, QStringLiteral("databaseBrowse"));
    databaseRow->addWidget(useLocal_);
    databaseRow->addWidget(databaseLabel_);
    databaseRow->addWidget(database_, 1);
    databaseRow->addWidget(databaseBrowse_);
    where->addLayout(databaseRow, 1, 0, 1, 3);
    where->setColumnStretch(1, 1);
    column->addLayout(where);

    auto* authentication = new QWidget(content);
    auto* authenticationColumn = new QVBoxLayout(authentication);
    authenticationColumn->setContentsMargins(0, 0, 0, 0);
    authenticationColumn->setSpacing(2);
    windowsAuthentication_ = new QRadioButton(tr("&Windows authentication"), authentication);
    windowsAuthentication_->setObjectName(QStringLiteral("windowsAuthentication"));
    userAuthentication_ = new QRadioButton(authentication);
    userAuthentication_->setObjectName(QStringLiteral("userAuthentication"));
    authenticationColumn->addWidget(windowsAuthentication_);
    authenticationColumn->addWidget(userAuthentication_);
    column->addWidget(authentication);

    auto* credentials = new QGridLayout;
    credentials->setHorizontalSpacing(kSpacing);
    login_ = new QLineEdit(content);
    login_->setObjectName(QStringLiteral("loginName"));
    password_ = new QLineEdit(content);
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    auto* loginLabel = new QLabel(tr("Lo&gin name"), content);
    loginLabel->setBuddy(login_);
    auto* passwordLabel = new QLabel(tr("Pa&ssword"), content);
    passwordLabel->setBuddy(password_);
    credentials->addWidget(loginLabel, 0, 0);
    credentials->addWidget(login_, 0, 1);
    credentials->addWidget(passwordLabel, 1, 0);
    credentials->addWidget(password_, 1, 1);
    column->addLayout(credentials);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kSpacing);
    ok_ = new QPushButton(tr("OK"), content);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), content);
    auto* help = new QPushButton(tr("Help"), content);
    help->setObjectName(QStringLiteral("help"));
    expand_ = new QPushButton(QStringLiteral(">>"), content);
    expand_->setObjectName(QStringLiteral("expand"));
    expand_->setFixedWidth(expand_->fontMetrics().horizontalAdvance(QStringLiteral("<<")) + 24);
    buttons->addStretch(1);
    for (QPushButton* button : {ok_, cancel, help, expand_})
        buttons->addWidget(button);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, HelpTopic::Connecting); });
    column->addLayout(buttons);

    advanced_ = new QGroupBox(tr("Advanced"), this);
    advanced_->setObjectName(QStringLiteral("advanced"));
    advanced_->setFixedWidth(kConnectExpandedWidth - kConnectCollapsedWidth + kMargin - kAdvancedGap -
                             kExpandedRightMargin);
    auto* advancedColumn = new QVBoxLayout(advanced_);
    advanced_->setFlat(true);
    advancedColumn->setContentsMargins(0, kSpacing, 0, 0);
    advancedColumn->setSpacing(2);
    autocommit_ = new QCheckBox(tr("Autocommit"), advanced_);
    autocommit_->setObjectName(QStringLiteral("autocommit"));
    advancedColumn->addWidget(autocommit_);
    auto addEdit = [&](const QString& label, const char* name) {
        auto* text = new QLabel(label, advanced_);
        auto* edit = new QLineEdit(advanced_);
        edit->setObjectName(QString::fromLatin1(name));
        text->setBuddy(edit);
        advancedColumn->addSpacing(4);
        advancedColumn->addWidget(text);
        advancedColumn->addWidget(edit);
        return edit;
    };
    port_ = addEdit(tr("Port"), "port");
    charset_ = addEdit(tr("Charset"), "charset");
    role_ = addEdit(tr("Role"), "role");
    advancedColumn->addStretch(1);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kAdvancedGap);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->addWidget(content, 0, Qt::AlignTop);
    outer->addWidget(advanced_);
}

void CConnectDialog::WireControls() {
    for (int t = 0; t < kConnectionTypeCount; ++t) {
        connect(typeRadios_[t], &QRadioButton::toggled, this, [this, t](bool on) {
            if (on && !showing_) ChooseType(static_cast<ConnectionType>(t));
        });
    }
    auto edit = [this](auto* widget, auto signal, void (ConnectDialogModel::*set)(std::string)) {
        connect(widget, signal, this, [this, set](const QString& text) {
            if (showing_) return;
            (model_.*set)(text.toStdString());
            ok_->setEnabled(model_.States().okEnabled);
        });
    };
    edit(server_, &QComboBox::currentTextChanged, &ConnectDialogModel::SetServer);
    edit(database_, &QComboBox::currentTextChanged, &ConnectDialogModel::SetDatabase);
    edit(login_, &QLineEdit::textChanged, &ConnectDialogModel::SetUser);
    edit(password_, &QLineEdit::textChanged, &ConnectDialogModel::SetPassword);
    edit(port_, &QLineEdit::textChanged, &ConnectDialogModel::SetPort);
    edit(charset_, &QLineEdit::textChanged, &ConnectDialogModel::SetCharset);
    edit(role_, &QLineEdit::textChanged, &ConnectDialogModel::SetRole);
    connect(autocommit_, &QCheckBox::toggled, this, [this](bool on) {
        if (!showing_) model_.SetAutocommit(on);
    });
    connect(useLocal_, &QCheckBox::clicked, this, [this](bool on) {
        model_.SetUseLocalServer(on);
        ShowModel();
    });
    connect(windowsAuthentication_, &QRadioButton::clicked, this, [this] {
        model_.ChooseAuthentication(false);
        ShowModel();
    });
    connect(userAuthentication_, &QRadioButton::clicked, this, [this] {
        model_.ChooseAuthentication(true);
        ShowModel();
        ApplyFocus();
    });
    connect(serverBrowse_, &QToolButton::clicked, this, &CConnectDialog::BrowseServer);
    connect(databaseBrowse_, &QToolButton::clicked, this, &CConnectDialog::BrowseDatabase);
    connect(expand_, &QPushButton::clicked, this, [this] { SetExpanded(!expanded_); });
    connect(ok_, &QPushButton::clicked, this, &CConnectDialog::accept);
}

void CConnectDialog::ChooseType(ConnectionType type) {
    model_.ChooseType(type);
    ShowModel();
    // A PostgreSQL server is named with its port, which the advanced part holds.
    if (type == ConnectionType::PostgreSQL && !expanded_) SetExpanded(true);
}

void CConnectDialog::ShowModel() {
    showing_ = true;
    const ConnectionChoice& choice = model_.Choice();
    const ConnectControlStates& states = model_.States();
    typeRadios_[static_cast<int>(choice.type)]->setChecked(true);

    const std::string notice = DriverNotice(choice.type, installedDrivers_);
    driverNotice_->setText(Text(notice));
    driverNotice_->setVisible(!notice.empty());

    serverLabel_->setText(Text(states.serverLabel));
    SetItems(server_, model_.Servers(), choice.server);
    server_->setEnabled(states.serverEnabled);
    serverBrowse_->setEnabled(states.serverBrowseEnabled);
    useLocal_->setChecked(choice.useLocalServer);
    useLocal_->setEnabled(states.useLocalEnabled);
    useLocal_->setVisible(states.useLocalVisible);
    SetItems(database_, model_.Databases(), choice.database);
    database_->setEnabled(states.databaseEnabled);
    databaseLabel_->setEnabled(states.databaseEnabled);
    databaseBrowse_->setVisible(states.databaseBrowseVisible);

    // Radios of one parent check exclusively; types without the choice show both unchecked.
    userAuthentication_->setText(Text(states.secondAuthenticationText));
    for (QRadioButton* radio : {windowsAuthentication_, userAuthentication_}) {
        radio->setAutoExclusive(false);
        radio->setEnabled(states.authenticationEnabled);
    }
    windowsAuthentication_->setChecked(model_.WindowsAuthentication());
    userAuthentication_->setChecked(choice.userAndPassword);
    for (QRadioButton* radio : {windowsAuthentication_, userAuthentication_})
        radio->setAutoExclusive(true);
    login_->setText(Text(choice.user));
    login_->setEnabled(states.loginEnabled);
    password_->setText(Text(choice.password));
    password_->setEnabled(states.loginEnabled);

    autocommit_->setChecked(model_.Autocommit());
    autocommit_->setEnabled(states.autocommitEnabled);
    port_->setText(Text(choice.port));
    port_->setEnabled(states.portEnabled);
    charset_->setText(Text(choice.charset));
    role_->setText(Text(choice.role));
    charset_->setEnabled(states.charsetRoleEnabled);
    role_->setEnabled(states.charsetRoleEnabled);
    ok_->setEnabled(states.okEnabled);
    showing_ = false;
}

void CConnectDialog::SetExpanded(bool expanded) {
    expanded_ = expanded;
    advanced_->setVisible(expanded);
    expand_->setText(expanded ? QStringLiteral("<<") : QStringLiteral(">>"));
    layout()->setContentsMargins(kMargin, kMargin, expanded ? kExpandedRightMargin : kMargin, kMargin);
    layout()->activate();
}

void CConnectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyFocus();
}

void CConnectDialog::ApplyFocus() {
    switch (model_.Focus()) {
    case ConnectFocus::LoginName:
        login_->setFocus();
        break;
    case ConnectFocus::Password:
        password_->setFocus();
        break;
    case ConnectFocus::Unchanged:
        break;
    }
}

void CConnectDialog::accept() {
    if (!ok_->isEnabled()) return; // Enter in a box while OK is disabled
    result_ = model_.Accept();
    QDialog::accept();
}

void CConnectDialog::BrowseServer() {
    const ConnectionType type = model_.Type();
    QString chosen;
    switch (ServerBrowseOf(type)) {
    case ServerBrowse::SelectServer: {
        CSelectServerDialog select(session_, BrowseDriverText(type), this);
        if (select.exec() == QDialog::Accepted) chosen = select.Server();
        break;
    }
    case ServerBrowse::DataSourceAdministrator:
        OpenDataSourceAdministrator();
        return;
    case ServerBrowse::ChooseFile: {
        QFileDialog files(this, tr("Open"), QString(), QString::fromLatin1(ServerFileFilter(type)));
        files.setAcceptMode(QFileDialog::AcceptOpen);
        // SQLite makes the file it is given: a new name is a new database.
        files.setFileMode(type == ConnectionType::SQLiteFile ? QFileDialog::AnyFile
                                                             : QFileDialog::ExistingFile);
        if (!model_.Choice().server.empty()) files.selectFile(Text(model_.Choice().server));
        if (files.exec() == QDialog::Accepted && !files.selectedFiles().isEmpty())
            chosen = files.selectedFiles().constFirst();
        break;
    }
    case ServerBrowse::None:
        return;
    }
    if (chosen.isEmpty()) return;
    model_.SetServer(chosen.toStdString());
    ShowModel();
}

void CConnectDialog::BrowseDatabase() {
    const QString chosen =
        QFileDialog::getOpenFileName(this, tr("Open"), QString(), QString::fromLatin1(kFirebirdFileFilter));
    if (chosen.isEmpty()) return;
    model_.SetDatabase(chosen.toStdString());
    ShowModel();
}

void CConnectDialog::OpenDataSourceAdministrator() {
    for (const char* name : {"ODBCManageDataSourcesQ5", "ODBCManageDataSourcesQ4"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty() && QProcess::startDetached(program, {})) return;
    }
    // Without an administrator the user's data sources are edited in their file; a missing file
    // is made empty so that the editor has something to open.
    const QString path = QString::fromStdString(UserDataSourceFile());
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace marlix
