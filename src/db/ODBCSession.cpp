#include "db/ODBCSession.h"

#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "db/ConnectionString.h"
#include "db/MySQLConnector.h"

#include <cctype>
#include <chrono>

namespace marlix {

int AutocommitSuffix(ConnectionType type) noexcept {
    // Interbase/Firebird has no value of its own; every other type has its digit.
    int t = static_cast<int>(type);
    return (t >= 1 && t < kConnectionTypeCount && type != ConnectionType::InterbaseFirebird) ? t : 0;
}

int AutocommitDefault(ConnectionType type) noexcept {
    return (type == ConnectionType::Oracle || type == ConnectionType::MySQL) ? 0 : 1;
}

std::string AutocommitValueName(ConnectionType type) {
    return "Autocommit" + std::to_string(AutocommitSuffix(type));
}

int GetAutocommit(const ProfileStore& profile, ConnectionType type) {
    // Interbase/Firebird shares the Microsoft SQL value, and so its default.
    ConnectionType owner = AutocommitSuffix(type) == 0 ? ConnectionType::MicrosoftSQL : type;
    return profile.GetInt(kExecutionSettings, AutocommitValueName(type), AutocommitDefault(owner));
}

void SetAutocommit(ProfileStore& profile, ConnectionType type, int value) {
    profile.WriteInt(kExecutionSettings, AutocommitValueName(type), value);
}

TransactionEffect EffectOnTransaction(std::string_view sql, bool definitionsCommit) noexcept {
    auto word = [&sql]() {
        size_t start = sql.find_first_not_of(" \t\r\n(");
        if (start == std::string_view::npos) return std::string();
        size_t end = start;
        while (end < sql.size() && (std::isalpha(static_cast<unsigned char>(sql[end])) || sql[end] == '_'))
            ++end;
        std::string upper;
        for (char c : sql.substr(start, end - start))
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        sql.remove_prefix(end == start ? sql.size() : end);
        return upper;
    };
    const std::string first = word();
    if (first == "COMMIT" || first == "END") return TransactionEffect::Ends;
    // ROLLBACK TO SAVEPOINT keeps the transaction open.
    if (first == "ROLLBACK") return word() == "TO" ? TransactionEffect::None : TransactionEffect::Ends;
    static constexpr const char* kReading[] = {
        "",       "SELECT", "WITH",  "SHOW",      "DESCRIBE", "DESC",   "EXPLAIN", "USE",   "SET",
        "VALUES", "BEGIN",  "START", "SAVEPOINT", "RELEASE",  "PRAGMA", "DECLARE", "FETCH", "CLOSE"};
    for (const char* reading : kReading)
        if (first == reading) return TransactionEffect::None;
    if (definitionsCommit)
        for (const char* definition : {"CREATE", "DROP", "ALTER", "TRUNCATE", "RENAME"})
            if (first == definition) return TransactionEffect::Ends;
    return TransactionEffect::Change;
}

namespace {

// Whether the server (SQL_DBMS_NAME) commits around every CREATE, DROP, ALTER and the like.
bool ServerCommitsDefinitions(SQLHDBC connection) {
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (!Succeeded(SQLGetInfo(connection, SQL_DBMS_NAME, name, sizeof name, &length))) return false;
    std::string lower;
    for (const SQLCHAR* c = name; *c; ++c)
        lower += static_cast<char>(std::tolower(*c));
    for (const char* server : {"mysql", "mariadb", "oracle"})
        if (lower.find(server) != std::string::npos) return true;
    return false;
}

} // namespace

void CODBCSession::NoteStatement(std::string_view sql) noexcept {
    if (!connected_ || autocommit_) return;
    switch (EffectOnTransaction(sql, definitionsCommit_)) {
    case TransactionEffect::Change:
        ++openStatements_;
        break;
    case TransactionEffect::Ends:
        openStatements_ = 0;
        break;
    case TransactionEffect::None:
        break;
    }
}

CODBCSession::~CODBCSession() {
    thread_.Call([this] {
        DisconnectHere();
        if (connection_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, connection_);
        if (environment_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, environment_);
    });
}

bool CODBCSession::Initialize() {
    return thread_.Call([this] {
        if (environment_ != SQL_NULL_HENV) return true;
        SQLHENV env = SQL_NULL_HENV;
        if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return false;
        SQLHDBC dbc = SQL_NULL_HDBC;
        if (!Succeeded(
                SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) ||
            !Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
            SQLFreeHandle(SQL_HANDLE_ENV, env);
            return false;
        }
        environment_ = env;
        connection_ = dbc;
        return true;
    });
}

bool ConnectAttempt::Wait(int milliseconds) {
    std::unique_lock lock(mutex_);
    if (milliseconds < 0) {
        ended_.wait(lock, [this] { return done_; });
        return true;
    }
    return ended_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return done_; });
}

bool ConnectAttempt::Ended() {
    std::lock_guard lock(mutex_);
    return done_;
}

bool ConnectAttempt::Abandon() {
    std::lock_guard lock(mutex_);
    if (claimed_) return false;
    abandoned_ = true;
    return true;
}

bool ConnectAttempt::Claim() {
    std::lock_guard lock(mutex_);
    claimed_ = !abandoned_;
    return claimed_;
}

std::exception_ptr ConnectAttempt::Failure() {
    std::lock_guard lock(mutex_);
    return failure_;
}

void ConnectAttempt::End(std::exception_ptr failure) {
    {
        std::lock_guard lock(mutex_);
        failure_ = std::move(failure);
        done_ = true;
    }
    ended_.notify_all();
}

CODBCSession::ConnectSettings CODBCSession::SettingsOf(const ConnectionRequest& request,
                                                       const ProfileStore& profile) {
    ConnectSettings settings;
    settings.autocommit = request.autocommit.value_or(GetAutocommit(profile, request.type) != 0);
    settings.loginTimeout = profile.GetInt(kLoginSettings, kLoginTimeout, kDefaultLoginTimeout);
    return settings;
}

void CODBCSession::Connect(const ConnectionRequest& request, const ProfileStore& profile) {
    const ConnectSettings settings = SettingsOf(request, profile);
    thread_.Call([&] { ConnectHere(request, settings, nullptr); });
}

std::shared_ptr<ConnectAttempt> CODBCSession::BeginConnect(const ConnectionRequest& request,
                                                           const ProfileStore& profile) {
    auto attempt = std::make_shared<ConnectAttempt>();
    thread_.Post([this, attempt, request, settings = SettingsOf(request, profile)] {
        try {
            ConnectHere(request, settings, attempt.get());
            attempt->End(nullptr);
        } catch (...) {
            attempt->End(std::current_exception());
        }
    });
    return attempt;
}

void CODBCSession::ConnectHere(const ConnectionRequest& request, const ConnectSettings& settings,
                               ConnectAttempt* attempt) {
    // A new handle for the attempt: the working connection stays until this one is made.
    SQLHDBC fresh = SQL_NULL_HDBC;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, environment_, &fresh)))
        throw CODBCException(SQL_HANDLE_ENV, environment_, 0);
    if (settings.loginTimeout > 0)
        SQLSetConnectAttr(fresh, SQL_ATTR_LOGIN_TIMEOUT,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(settings.loginTimeout)),
                          SQL_IS_UINTEGER);
    SQLRETURN rc;
    if (request.ConnectsToDataSource()) {
        rc = SQLConnect(fresh, (SQLCHAR*)request.connectionString.c_str(), SQL_NTS,
                        (SQLCHAR*)request.user.c_str(), SQL_NTS, (SQLCHAR*)request.password.c_str(), SQL_NTS);
    } else {
        SQLCHAR completed[256];
        SQLSMALLINT completedLength = 0;
        const std::string text = WithConnectorTimeout(request.connectionString, settings.loginTimeout);
        rc = SQLDriverConnect(fresh, nullptr, (SQLCHAR*)text.c_str(), SQL_NTS, completed, sizeof completed,
                              &completedLength, SQL_DRIVER_NOPROMPT);
    }
    if (!Succeeded(rc)) {
        // No statement of the script failed: position -1 marks no line of it.
        CODBCException failure(SQL_HANDLE_DBC, fresh, -1);
        SQLFreeHandle(SQL_HANDLE_DBC, fresh);
        throw failure;
    }
    if (attempt && !attempt->Claim()) {
        SQLDisconnect(fresh);
        SQLFreeHandle(SQL_HANDLE_DBC, fresh);
        return;
    }
    DisconnectHere();
    if (connection_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, connection_);
    connection_ = fresh;
    type_ = request.type;
    connectionString_ = request.connectionString;
    title_ = request.title;
    request_ = request;
    settings_ = settings;
    connected_ = 1;
    resultsEndWithoutColumns_ = marlix::ResultsEndWithoutColumns(connection_, request);
    definitionsCommit_ = ServerCommitsDefinitions(connection_);
    // Set both ways: a driver may start a connection either way.
    autocommit_ = settings.autocommit;
    openStatements_ = 0;
    SQLULEN mode = autocommit_ ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(mode), SQL_IS_UINTEGER);
}

bool CODBCSession::ConnectToDatabase(std::string_view database) {
    return thread_.Call([&] {
        if (!connected_ || request_.ConnectsToDataSource()) return false;
        ConnectionRequest request = request_;
        std::string& text = request.connectionString;
        while (!text.empty() && (text.back() == ';' || text.back() == ' '))
            text.pop_back();
        // The driver takes the last of two attributes of the same name.
        text += ";Database=" + ConnectionValue(database);
        ConnectHere(request, settings_, nullptr);
        return true;
    });
}

void CODBCSession::Disconnect() noexcept {
    thread_.Call([this] { DisconnectHere(); });
}

void CODBCSession::DisconnectHere() noexcept {
    if (!connected_) return;
    SQLEndTran(SQL_HANDLE_DBC, connection_, SQL_ROLLBACK);
    SQLDisconnect(connection_);
    connected_ = 0;
    openStatements_ = 0;
}

void CODBCSession::Commit(HistoryOutput& history) {
    EndTransaction(SQL_COMMIT, "Transaction commited\r\n", history);
}

void CODBCSession::Rollback(HistoryOutput& history) {
    EndTransaction(SQL_ROLLBACK, "Transaction rolled back\r\n", history);
}

void CODBCSession::EndTransaction(SQLSMALLINT completion, const char* doneText, HistoryOutput& history) {
    thread_.Call([&] {
        SQLRETURN rc = SQLEndTran(SQL_HANDLE_ENV, environment_, completion);
        if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_ENV, environment_, 0);
        openStatements_ = 0;
    });
    history.AppendText(doneText, true);
}

} // namespace marlix
