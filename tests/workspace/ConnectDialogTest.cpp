// Connect to Database drawn offscreen: its widths, the controls following the type, the focus
// rule, OK storing the profile; Select Server with a driver that cannot browse; and real
// connections to SQLite, PostgreSQL and MariaDB made with what the dialog builds, through the
// window's Connect command.
#include "workspace/connect/ConnectDialog.h"
#include "core/ProfileStore.h"
#include "db/ODBCSession.h"
#include "support/ConnectionAttributes.h"
#include "workspace/FrameHarness.h"
#include "workspace/connect/SelectServerDialog.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/FrameActions.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace marlix;
using namespace marlix::test;

namespace {

template <typename W> W* Child(QWidget& parent, const char* name) {
    W* widget = parent.findChild<W*>(QString::fromLatin1(name));
    if (!widget) qFatal("no widget %s", name);
    return widget;
}

// Replaces the text of an edit or an editable box as typing would.
void Type(QWidget& dialog, const char* name, const QString& text) {
    QLineEdit* edit = nullptr;
    if (auto* box = dialog.findChild<QComboBox*>(QString::fromLatin1(name)))
        edit = box->lineEdit();
    else
        edit = Child<QLineEdit>(dialog, name);
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

void Choose(QWidget& dialog, ConnectionType type) {
    Child<QRadioButton>(dialog, qPrintable(QStringLiteral("type%1").arg(static_cast<int>(type))))->click();
}

} // namespace

class ConnectDialogTest : public QObject {
    Q_OBJECT
private slots:
    void widensForAdvancedAndFollowsTheModel();
    void okStoresTheChoiceAndBuildsTheConnection();
    void selectServerWithADriverThatCannotBrowse();
    void connectCommandConnectsWithTheDialogsResult_data();
    void connectCommandConnectsWithTheDialogsResult();
    void cancelledConnectChangesNothing();
};

void ConnectDialogTest::widensForAdvancedAndFollowsTheModel() {
    CODBCSession session;
    QVERIFY(session.Initialize());
    MemoryProfileStore profile;
    CConnectDialog dialog(session, profile);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* expand = Child<QPushButton>(dialog, "expand");
    auto* advanced = Child<QGroupBox>(dialog, "advanced");
    QCOMPARE(dialog.width(), kConnectCollapsedWidth);
    QVERIFY(!advanced->isVisible());
    QCOMPARE(expand->text(), QStringLiteral(">>"));

    QTest::mouseClick(expand, Qt::LeftButton);
    QCOMPARE(dialog.width(), kConnectExpandedWidth);
    QVERIFY(advanced->isVisible());
    QCOMPARE(expand->text(), QStringLiteral("<<"));
    // No text is cut, whatever the type shows.
    for (int t = 0; t < kConnectionTypeCount; ++t) {
        dialog.ChooseType(static_cast<ConnectionType>(t));
        QTest::qWait(0);
        QCOMPARE(dialog.width(), kConnectExpandedWidth);
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            // A push button's hint has a minimum width of its own; its text needs less.
            const int needs = qobject_cast<QPushButton*>(button)
                                  ? button->fontMetrics().horizontalAdvance(button->text()) + 8
                                  : button->sizeHint().width();
            if (button->isVisible()) QVERIFY2(button->width() >= needs, qPrintable(button->text()));
        }
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->isVisible() && !label->wordWrap())
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
    }
    dialog.ChooseType(ConnectionType::MicrosoftSQL);

    // The rules per type and option are ConnectDialogModel's (ConnectDialogModelTest); here the
    // widgets follow the model's states, its notice and its focus.
    auto* notice = Child<QLabel>(dialog, "driverNotice");
    auto* login = Child<QLineEdit>(dialog, "loginName");
    auto* ok = Child<QPushButton>(dialog, "ok");

    // Microsoft SQL, Windows authentication: no login; the driver is not registered here.
    QVERIFY(Child<QRadioButton>(dialog, "windowsAuthentication")->isChecked());
    QVERIFY(!login->isEnabled());
    QVERIFY(notice->isVisible() && notice->text().contains(QStringLiteral("\"SQL Server\"")));
    Child<QRadioButton>(dialog, "userAuthentication")->click();
    QVERIFY(login->isEnabled());
    QCOMPARE(login->text(), QStringLiteral("sa"));
    QCOMPARE(dialog.focusWidget(), Child<QLineEdit>(dialog, "password"));

    // MySQL: OK waits for a database; Interbase/Firebird shows the database's "...".
    Choose(dialog, ConnectionType::MySQL);
    QVERIFY2(!notice->isVisible(), "the tests' driver list has it");
    QVERIFY(!ok->isEnabled());
    QCOMPARE(Child<QLineEdit>(dialog, "port")->text(), QStringLiteral("3306"));
    Choose(dialog, ConnectionType::InterbaseFirebird);
    QVERIFY(Child<QToolButton>(dialog, "databaseBrowse")->isVisible());
    QVERIFY(!Child<QCheckBox>(dialog, "useLocal")->isVisible());

    QTest::mouseClick(expand, Qt::LeftButton);
    QCOMPARE(dialog.width(), kConnectCollapsedWidth);
    QVERIFY(!advanced->isVisible());
    QCOMPARE(expand->text(), QStringLiteral(">>"));
}

void ConnectDialogTest::okStoresTheChoiceAndBuildsTheConnection() {
    CODBCSession session;
    QVERIFY(session.Initialize());
    MemoryProfileStore profile;
    profile.WriteString(kLoginSettings, "ServersList3ListItems", "db1;db2;db3");
    CConnectDialog dialog(session, profile);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Choose(dialog, ConnectionType::MySQL);
    QCOMPARE(Child<QComboBox>(dialog, "server")->count(), 2);
    Type(dialog, "server", QStringLiteral("db;9"));
    Type(dialog, "database", QStringLiteral("shop"));
    Child<QRadioButton>(dialog, "userAuthentication")->click();
    Type(dialog, "loginName", QStringLiteral("me"));
    Type(dialog, "password", QStringLiteral("a}b"));
    auto* ok = Child<QPushButton>(dialog, "ok");
    QVERIFY(ok->isEnabled());
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    const ConnectionRequest& request = dialog.Result();
    QCOMPARE(request.type, ConnectionType::MySQL);
    QCOMPARE(request.title, std::string("db;9"));
    QCOMPARE(request.connectionString, std::string("DRIVER={MySQL ODBC 3.51 Driver};SERVER={db;9};Port=3306;"
                                                   "Option=131072;Stmt=;Database=shop;UID=me;PWD={a}}b};"));
    // What is stored under which name is ConnectDialogModelTest's; here OK reaches the profile.
    QCOMPARE(profile.GetString(kLoginSettings, "ServersList3ListItems", ""), std::string("db1;db2;db;9;"));
}

void ConnectDialogTest::selectServerWithADriverThatCannotBrowse() {
    CODBCSession session;
    QVERIFY(session.Initialize());
    CSelectServerDialog select(session, "DRIVER={SQLite3}");
    select.show();
    QVERIFY(QTest::qWaitForWindowExposed(&select));
    QCOMPARE(select.List().count(), 0);
    auto* ok = select.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QVERIFY(!ok->isEnabled());
    QVERIFY(select.Server().isEmpty());
    // OK follows the selection, whatever fills the list.
    select.List().addItem(QStringLiteral("alpha"));
    select.List().setCurrentRow(0);
    QVERIFY(ok->isEnabled());
    select.List().clearSelection();
    QVERIFY(!ok->isEnabled());
}

void ConnectDialogTest::connectCommandConnectsWithTheDialogsResult_data() {
    QTest::addColumn<int>("server");
    QTest::addColumn<int>("type");
    QTest::newRow("SQLite file") << int(Server::SQLite) << int(ConnectionType::SQLiteFile);
    QTest::newRow("PostgreSQL") << int(Server::PostgreSQL) << int(ConnectionType::PostgreSQL);
    QTest::newRow("MariaDB as MySQL") << int(Server::MariaDB) << int(ConnectionType::MySQL);
}

void ConnectDialogTest::connectCommandConnectsWithTheDialogsResult() {
    QFETCH(int, server);
    QFETCH(int, type);
    const std::string conn = ConnectionString(static_cast<Server>(server), "connect_dialog");
    if (conn.empty()) {
        if (ServersRequired()) QFAIL("the test database server is not running");
        QSKIP("the test database server is not running (scripts/testdb.sh starts it)");
    }
    FrameHarness h;
    MemoryProfileStore profile;
    CConnectDialog dialog(h.Session(), profile);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Choose(dialog, static_cast<ConnectionType>(type));
    if (type == int(ConnectionType::SQLiteFile)) {
        Type(dialog, "server", QString::fromStdString(AttributeOf(conn, "Database")));
    } else {
        dialog.SetExpanded(true);
        Type(dialog, "server", QString::fromStdString(AttributeOf(conn, "Server")));
        Type(dialog, "port", QString::fromStdString(AttributeOf(conn, "Port")));
        Type(dialog, "database", QString::fromStdString(AttributeOf(conn, "Database")));
        if (type == int(ConnectionType::MySQL)) Child<QRadioButton>(dialog, "userAuthentication")->click();
        Type(dialog, "loginName", QString::fromStdString(AttributeOf(conn, "Uid")));
        Type(dialog, "password", QString::fromStdString(AttributeOf(conn, "Pwd")));
    }
    QTest::mouseClick(Child<QPushButton>(dialog, "ok"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    h.Prompts().connections.push_back(dialog.Result());
    QAction* connectAction = h.Frame().Actions().Action(Command::Connect);
    QVERIFY(connectAction->isEnabled());
    connectAction->trigger();
    QVERIFY2(h.Session().Connected(), qPrintable(h.HistoryText()));
    QCOMPARE(int(h.Session().Type()), type);
    QVERIFY(h.Frame().windowTitle().contains(QString::fromStdString(dialog.Result().title)));
    QCOMPARE(h.Prompts().asked.count(QStringLiteral("connect")), 1);
}

void ConnectDialogTest::cancelledConnectChangesNothing() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    const QString title = h.Frame().windowTitle();
    h.Prompts().connections.push_back(std::nullopt);
    h.Frame().Actions().Action(Command::Connect)->trigger();
    QVERIFY(h.Session().Connected());
    QCOMPARE(h.Frame().windowTitle(), title);
    QCOMPARE(h.Prompts().asked, QStringList{QStringLiteral("connect")});
}

QTEST_MAIN(ConnectDialogTest)
#include "ConnectDialogTest.moc"
