#pragma once
// Connect, Disconnect, and the selection bar's boxes: the database list, the database and schema
// choices and the Target platform.
#include "core/ConversionDescription.h"

#include <QObject>

namespace marlix {

class CMainFrame;
struct ConnectionRequest;
class ConnectAttempt;

class ConnectionCommands final : public QObject {
    Q_OBJECT
public:
    explicit ConnectionCommands(CMainFrame& frame);

    // Connect: asks for the connection (the connect dialog) and connects with it; Cancel changes
    // nothing. True when connected afterwards.
    bool Connect();
    // Connects as asked (start-up with connection options); a failure is reported in the
    // Execution history. True when connected.
    bool ConnectWith(const ConnectionRequest& request);
    void Disconnect();
    // Before the connection ends: with a transaction open, asks whether to commit it, roll it
    // back or keep the connection. True when the connection may end.
    bool EndOpenTransaction();
    // Fills the Database box from the server (MS SQL and MySQL types; empty otherwise).
    void RefreshDatabaseList();
    // The user chose a database: "use" it.
    void ChooseDatabase(const QString& fullName);
    void ChooseTargetPlatform(Dialect dialect);

signals:
    // The connection or its database changed: the object browser reloads.
    void reloadCatalog();

private:
    void ConnectionChanged();
    // Waits for a connect with a progress dialog; false when the user chose Cancel.
    bool WaitForConnect(ConnectAttempt& attempt, const QString& title);

    CMainFrame& frame_;
};

} // namespace marlix
