// A cancel holds whenever it comes: before the first statement, after a statement's check but
// before it reaches the server, before its rows are fetched, while its rows stream out, and
// between statements. Each moment is reached through the history or the output, never a timer.
#include "core/ResultSet.h"
#include "execution/Batch.h"
#include "execution/StatementExecution.h"
#include "metadata/AnalysedScript.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>
#include <unistd.h>

using namespace marlix;
using namespace marlix::test;

namespace {

// Acts on the batch at the points the worker reports.
class CancellingHistory : public TextHistoryOutput {
public:
    std::function<void()> onStart, onBeginEntry, onResultSet, onEndEntry;
    void BatchStarted() override {
        if (onStart) onStart();
    }
    void BeginEntry(size_t a, size_t b, size_t c) override {
        TextHistoryOutput::BeginEntry(a, b, c);
        if (onBeginEntry) onBeginEntry();
    }
    void AppendResultSet(std::shared_ptr<ResultSet> resultSet) override {
        TextHistoryOutput::AppendResultSet(std::move(resultSet));
        if (onResultSet) onResultSet();
    }
    void EndEntry(size_t sinkLength) override {
        TextHistoryOutput::EndEntry(sinkLength);
        if (onEndEntry) onEndEntry();
    }
};

// 100,000 rows on every server, in one statement.
// 100,000 rows on every server (MariaDB ends a recursion after 1,000 steps by default).
const std::string kManyRows = "with recursive n(i) as (select 1 union all select i + 1 from n where i < 1000) "
                              "select a.i * 100 + b.i as i, 'row' as label from n a, n b where b.i <= 100";
const std::string kCancelledLine = std::string(kCancelledMessage) + "\r\n";

class CancelOn : public OnEachServer {
protected:
    struct Outcome {
        std::string history;
        bool failed, endedByCancel;
        int resultSets;
        std::vector<std::shared_ptr<ResultSet>> stored;
    };
    Outcome Run(const std::string& text, CancellingHistory& history, const std::function<void(Batch&)>& arm,
                BatchRequest request = {}) {
        AnalysedScript script;
        script.Rebuild(text);
        Batch batch(session_, script, request, history, profile_);
        arm(batch);
        batch.Start();
        batch.Wait();
        return {history.Text(), batch.Failed(), batch.EndedByCancel(), batch.ResultSetCount(), history.ResultSets()};
    }
    int64_t Count(const std::string& table) {
        Fetched f = FetchQuery(session_.Connection(), "select count(*) from " + table);
        return std::stoll(std::string(f.resultSet->Cell(0, 0).Text()));
    }
};

} // namespace

TEST_P(CancelOn, BeforeTheFirstStatementNothingRuns) {
    MARLIX_OPEN_OR_SKIP();
    CancellingHistory history;
    Outcome run = Run("select 1 as a;\nselect 2 as b", history, [&](Batch& b) { history.onStart = [&] { b.Cancel(); }; });
    EXPECT_EQ(run.resultSets, 0);
    EXPECT_TRUE(run.endedByCancel);
    EXPECT_EQ(run.history, kCancelledLine);
}

// The statement's own check has passed (its entry began) when the cancel comes: it must not run.
TEST_P(CancelOn, AfterTheStatementsCheckItNeverReachesTheServer) {
    MARLIX_OPEN_OR_SKIP();
    Drop("cancel_probe");
    session_.Thread().Call([&] { Exec(session_.Connection(), "create table cancel_probe (n integer)"); });
    CancellingHistory history;
    Outcome run = Run("insert into cancel_probe values (1);\ninsert into cancel_probe values (2)", history,
                      [&](Batch& b) { history.onBeginEntry = [&] { b.Cancel(); }; });
    EXPECT_EQ(session_.Thread().Call([&] { return Count("cancel_probe"); }), 0) << run.history;
    EXPECT_TRUE(run.failed);
    EXPECT_TRUE(run.endedByCancel);
    EXPECT_EQ(run.history, kCancelledLine + "SQL batch completed with error(s)\r\n");
    Drop("cancel_probe");
}

// Executed, described, then cancelled: no row is fetched, no later statement runs.
TEST_P(CancelOn, BeforeTheFetchNoRowIsFetched) {
    MARLIX_OPEN_OR_SKIP();
    CancellingHistory history;
    Outcome run = Run(kManyRows + ";\nselect 'never' as x", history,
                      [&](Batch& b) { history.onResultSet = [&] { b.Cancel(); }; });
    ASSERT_EQ(run.stored.size(), 1u) << run.history;
    EXPECT_EQ(run.stored[0]->RowCount(), 0);
    EXPECT_TRUE(run.endedByCancel);
    EXPECT_NE(run.history.find(kCancelledLine + "SQL batch completed with error(s)\r\n"), std::string::npos)
        << run.history;
    EXPECT_EQ(run.history.find("completed successfully"), std::string::npos) << run.history;
}

// Results to file cancelled between statements: the file keeps what it held before the run.
TEST_P(CancelOn, BetweenStatementsResultsToFileLeavesTheFileAsItWas) {
    MARLIX_OPEN_OR_SKIP();
    const std::string path = TempPath(std::string("cancel-between-") + ServerName(GetParam()) + ".sql");
    std::ofstream(path) << "previous export";
    CancellingHistory history;
    BatchRequest request;
    request.outputFile = path;
    Outcome run = Run("select 1 as a;\nselect 2 as b", history,
                      [&](Batch& b) { history.onEndEntry = [&] { b.Cancel(); }; }, request);
    EXPECT_FALSE(run.failed) << "the statement that ran is whole";
    EXPECT_TRUE(run.endedByCancel);
    EXPECT_EQ(run.history, "SQL batch completed successfully\r\n" + kCancelledLine);
    EXPECT_TRUE(ReadFile(path) == "previous export") << "the export replaced the file";
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        EXPECT_EQ(entry.path().string().find(path + ".marlix-"), std::string::npos) << entry.path();
}

// Streamed to a descriptor: cancelled once the first block arrives, while the worker is held by
// the full pipe in the middle of the result. No footer, no later statement.
TEST_P(CancelOn, WhileStreamingTheConversionStopsAtTheNextRow) {
    MARLIX_OPEN_OR_SKIP();
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    std::promise<void> firstBlock;
    std::promise<void> cancelled;
    std::string received;
    // The reader takes one block, then reads nothing until the cancel is requested: the worker
    // fills the pipe and waits in the middle of the result, however fast the machine is.
    std::thread reader([&, fd = pipeEnds[0], resume = cancelled.get_future()] {
        char block[65536];
        for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;) {
            const bool first = received.empty();
            received.append(block, static_cast<size_t>(n));
            if (first) {
                firstBlock.set_value();
                resume.wait();
            }
        }
    });
    AnalysedScript script;
    script.Rebuild("/*METADATA>\n<RESULTSET Type=\"INSERT\", Table=\"t\"/>\n</METADATA*/\n" + kManyRows +
                   ";\nselect 'never' as x");
    CancellingHistory history;
    BatchRequest request;
    request.outputDescriptor = pipeEnds[1];
    Batch batch(session_, script, request, history, profile_);
    batch.Start();
    firstBlock.get_future().wait();
    batch.Cancel();
    cancelled.set_value();
    batch.Wait();
    ::close(pipeEnds[1]);
    reader.join();
    ::close(pipeEnds[0]);
    EXPECT_TRUE(batch.EndedByCancel()) << history.Text();
    EXPECT_TRUE(batch.Failed());
    EXPECT_NE(history.Text().find(kCancelledLine), std::string::npos) << history.Text();
    EXPECT_EQ(history.Text().find("never"), std::string::npos);
    size_t rows = 0;
    for (size_t at = received.find("INSERT"); at != std::string::npos; at = received.find("INSERT", at + 1)) ++rows;
    EXPECT_GT(rows, 0u);
    EXPECT_LT(rows, 100000u);
}

INSTANTIATE_TEST_SUITE_P(Databases, CancelOn, AllServers(), ServerParamName);
