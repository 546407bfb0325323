#pragma once
// The one database connection of the process: the ODBC environment and connection handles
// live as long as the session, every connect reuses the connection handle, and uncommitted
// work is rolled back on disconnect, on reconnect and at exit.
#include "core/ODBCException.h"
#include "db/ConnectionThread.h"

#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace marlix {

class HistoryOutput;
class ProfileStore;

// Server types of the connect dialog; the numbers are stored in the profile.
enum class ConnectionType : int {
    MicrosoftSQL = 0,
    Oracle = 1,
    DataSourceName = 2,
    MySQL = 3,
    MSAccess = 4,
    InterbaseFirebird = 5,
    PostgreSQL = 6,
    SQLiteFile = 7,
};
inline constexpr int kConnectionTypeCount = 8;

// What the connect dialog hands over: server type, the connection string (the data source
// name for DataSourceName), user and password (DataSourceName only) and the title.
struct ConnectionRequest {
    ConnectionType type = ConnectionType::DataSourceName;
    std::string connectionString;
    std::string user;
    std::string password;
    std::string title;
    // connectionString is a data source name whatever the type: a data source is reached with
    // SQLConnect, and the type then only chooses autocommit, dialect and catalog behaviour.
    bool dataSource = false;
    // Autocommit chosen for this connection (the connect dialog's box); else the type's setting.
    std::optional<bool> autocommit;

    bool ConnectsToDataSource() const noexcept {
        return dataSource || type == ConnectionType::DataSourceName;
    }
};

inline constexpr const char* kOdbcInitFailedMessage =
    "ODBC 3.0 initialization failed. Try to install or reinstall ODBC";
inline constexpr const char* kExecutionSettings = "Execution Settings";
inline constexpr const char* kLoginSettings = "Login Settings";
// Seconds a connect may wait for the server to answer ("Login Settings"; 0: the driver's own).
inline constexpr const char* kLoginTimeout = "LoginTimeout";
inline constexpr int kDefaultLoginTimeout = 15;

// "Autocommit" value of the profile for a server type: its digit and its default.
int AutocommitSuffix(ConnectionType type) noexcept;
int AutocommitDefault(ConnectionType type) noexcept;
std::string AutocommitValueName(ConnectionType type);
int GetAutocommit(const ProfileStore& profile, ConnectionType type);
void SetAutocommit(ProfileStore& profile, ConnectionType type, int value);

// What a statement does to the open transaction, judged by its first word: reads and settings
// leave it as it is, COMMIT and ROLLBACK end it, anything else may change data. Where
// `definitionsCommit` (MySQL, MariaDB, Oracle) CREATE, DROP, ALTER, TRUNCATE and RENAME commit
// what came before them and themselves.
enum class TransactionEffect { None, Change, Ends };
TransactionEffect EffectOnTransaction(std::string_view sql, bool definitionsCommit = false) noexcept;

// A connect running on the connection thread, for a caller that shows progress and may give up.
// Given up, a connection that is still made is closed again and the old one stays.
class ConnectAttempt {
public:
    // Waits up to `milliseconds` (below 0: as long as it takes) for the end; true once it has ended.
    bool Wait(int milliseconds);
    bool Ended();
    // Gives up waiting. False when too late: the new connection has already replaced the old.
    bool Abandon();
    // Why it failed; null when it connected (or was abandoned).
    std::exception_ptr Failure();

private:
    friend class CODBCSession;
    void End(std::exception_ptr failure);
    // The connection is made: true when it may replace the old one (not abandoned).
    bool Claim();

    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    bool abandoned_ = false;
    bool claimed_ = false;
    std::exception_ptr failure_;
};

class CODBCSession {
public:
    CODBCSession() = default;
    ~CODBCSession(); // disconnects (rolling back) and frees the handles
    CODBCSession(const CODBCSession&) = delete;
    CODBCSession& operator=(const CODBCSession&) = delete;

    // Allocates the environment (ODBC 3) and the connection handle. False when the driver
    // manager refuses; the host then shows kOdbcInitFailedMessage and ends.
    bool Initialize();

    // Connects as requested on a new connection handle, waiting at most the profile's login
    // timeout for the server. Only once it is made does it replace the old connection (rolled back
    // and closed); a failure leaves the old connection as it was and throws CODBCException.
    void Connect(const ConnectionRequest& request, const ProfileStore& profile);
    // The same, on the connection thread, returning at once.
    std::shared_ptr<ConnectAttempt> BeginConnect(const ConnectionRequest& request,
                                                 const ProfileStore& profile);
    // Connects again as the last connect did, to another database of the same server (psql's
    // \connect): the connection string gets the database in place of its own. False, doing
    // nothing, for a data source name, whose database the data source decides. Throws
    // CODBCException when the connect fails, leaving the connection as it was.
    bool ConnectToDatabase(std::string_view database);
    // Rolls back and disconnects; nothing happens when not connected.
    void Disconnect() noexcept;
    // End the transaction on the environment and say so in the history. Throw on failure.
    void Commit(HistoryOutput& history);
    void Rollback(HistoryOutput& history);

    // Whether the connection runs with autocommit, as set when it was made.
    bool Autocommit() const noexcept { return autocommit_; }
    // Statements that may have changed data since the last commit or rollback; 0 with autocommit
    // on. Disconnect rolls them back.
    int StatementsSinceCommit() const noexcept { return openStatements_.load(); }
    // A statement ran on the connection (the batch and saving edits tell).
    void NoteStatement(std::string_view sql) noexcept;
    // A transaction ended other than through Commit and Rollback (saving edits commits).
    void NoteTransactionEnded() noexcept { openStatements_ = 0; }

    // The thread that makes every call on the connection (see ConnectionThread).
    ConnectionThread& Thread() noexcept { return thread_; }

    SQLHENV Environment() const noexcept { return environment_; }
    SQLHDBC Connection() const noexcept { return connection_; }
    bool Connected() const noexcept { return connected_ != 0; }
    ConnectionType Type() const noexcept { return type_; }
    const std::string& Title() const noexcept { return title_; }
    const std::string& ConnectionString() const noexcept { return connectionString_; }
    // A result without columns is a statement's last (see MySQLConnector.h): ask for no more.
    bool ResultsEndWithoutColumns() const noexcept { return resultsEndWithoutColumns_; }

private:
    void EndTransaction(SQLSMALLINT completion, const char* doneText, HistoryOutput& history);
    struct ConnectSettings {
        bool autocommit = true;
        int loginTimeout = kDefaultLoginTimeout;
    };
    // Read on the caller's thread: the profile is the window's.
    static ConnectSettings SettingsOf(const ConnectionRequest& request, const ProfileStore& profile);
    void ConnectHere(const ConnectionRequest& request, const ConnectSettings& settings,
                     ConnectAttempt* attempt);
    void DisconnectHere() noexcept;

    std::string title_;
    std::string connectionString_;
    ConnectionRequest request_;  // of the last connect made, for ConnectToDatabase
    ConnectSettings settings_;
    int connected_ = 0;
    bool resultsEndWithoutColumns_ = false;
    bool autocommit_ = true;
    bool definitionsCommit_ = false;     // see EffectOnTransaction
    std::atomic<int> openStatements_{0}; // read by the window while a batch counts
    ConnectionType type_ = ConnectionType::MicrosoftSQL;
    SQLHENV environment_ = SQL_NULL_HENV;
    SQLHDBC connection_ = SQL_NULL_HDBC;
    ConnectionThread thread_; // last member: it ends first, before the handles are gone
};

} // namespace marlix
