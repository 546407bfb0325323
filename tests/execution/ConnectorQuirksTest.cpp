// MariaDB Connector/ODBC: a compound trigger between DELIMITER lines runs on a connection without
// the multi-statement option (where the driver once crashed in SQLMoreResults), and with the
// option a grouped text still gives every result.
#include "db/MySQLConnector.h"
#include "support/BatchFixture.h"
#include "support/SessionFixture.h"

using namespace marlix;
using namespace marlix::test;

namespace {

const char* kTriggerScript = R"(DROP TABLE IF EXISTS quirk_film;
CREATE TABLE quirk_film (film_id INT PRIMARY KEY, title VARCHAR(50));
DROP TABLE IF EXISTS quirk_film_text;
CREATE TABLE quirk_film_text (film_id INT PRIMARY KEY, title VARCHAR(50));
DELIMITER ;;
CREATE TRIGGER quirk_upd_film AFTER UPDATE ON quirk_film FOR EACH ROW BEGIN
    IF (old.title != new.title) OR (old.film_id != new.film_id)
    THEN
        UPDATE quirk_film_text SET title=new.title, film_id=new.film_id WHERE film_id=old.film_id;
    END IF;
  END;;
DELIMITER ;
INSERT INTO quirk_film VALUES (1, 'before');
INSERT INTO quirk_film_text VALUES (1, 'before');
UPDATE quirk_film SET title = 'after';
SELECT title FROM quirk_film_text;
)";

} // namespace

TEST(ConnectorQuirks, CompoundTriggerRunsWithAndWithoutMultiStatements) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    // As the connect dialog builds it for the MySQL type, and with the option set.
    for (const std::string options : {"Option=131072;Stmt=;", "OPTION=67108864;"}) {
        MemoryProfileStore profile;
        CODBCSession session;
        ASSERT_TRUE(session.Initialize());
        ConnectTo(session, conn + options, profile, ConnectionType::MySQL);
        EXPECT_EQ(session.ResultsEndWithoutColumns(), options[0] == 'O' && options[1] == 'p') << options;
        BatchRun run = RunBatch(session, kTriggerScript, profile);
        EXPECT_FALSE(run.failed) << run.history;
        EXPECT_NE(run.output.find("'after'"), std::string::npos) << options << run.output;
    }
    // With the option the server takes a grouped text, and both of its results come back.
    MemoryProfileStore profile;
    CODBCSession session;
    ASSERT_TRUE(session.Initialize());
    ConnectTo(session, conn + "OPTION=67108864;", profile, ConnectionType::MySQL);
    BatchRun run = RunBatch(session, "DELIMITER $$\nSELECT 'one' AS a; SELECT 'two' AS b$$\n", profile);
    EXPECT_EQ(run.resultSets, 2) << run.history;
}

TEST(ConnectorQuirks, DriversAndOptionsAreRecognised) {
    EXPECT_TRUE(IsMySQLConnector("libmaodbc.so"));
    EXPECT_TRUE(IsMySQLConnector("libmyodbc8a.so"));
    EXPECT_FALSE(IsMySQLConnector("psqlodbca.so"));
    ConnectionRequest request;
    request.type = ConnectionType::MySQL;
    request.connectionString = "DRIVER={MariaDB};OPTIONS={67108866};SERVER=x";
    EXPECT_EQ(RequestedConnectorOptions(request), 67108866u);
    request.connectionString = "DRIVER={MariaDB};SERVER=x;Option=abc";
    EXPECT_EQ(RequestedConnectorOptions(request), 0u);
}
