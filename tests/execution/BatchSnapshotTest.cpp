// What a running batch reads is its own: the script snapshot it holds and the dialect settings
// of its request, whatever the window changes meanwhile; its in-memory output is handed over
// whole once the run has ended.
#include "core/DialectSettings.h"
#include "core/ResultSet.h"
#include "support/BatchFixture.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

using namespace marlix;
using namespace marlix::test;

namespace {

constexpr auto kPatience = std::chrono::seconds(20);

// Holds the connection thread at one point of the run until the test thread lets it go on.
class Gate {
public:
    // Connection thread: the point is reached; waits for Release (once, later calls pass).
    void Arrive() {
        if (arrived_.exchange(true)) return;
        reached_.set_value();
        released_.get_future().wait_for(kPatience);
    }
    // Test thread.
    bool WaitForArrival() { return reachedFuture_.wait_for(kPatience) == std::future_status::ready; }
    void Release() { released_.set_value(); }

private:
    std::atomic<bool> arrived_{false};
    std::promise<void> reached_;
    std::future<void> reachedFuture_ = reached_.get_future();
    std::promise<void> released_;
};

class BatchSnapshotOn : public OnEachServer {
protected:
    void Exec(const std::string& sql) {
        session_.Thread().Call([&] { test::Exec(session_.Connection(), sql); });
    }
};

#define OPEN_OR_SKIP() MARLIX_OPEN_OR_SKIP()

const std::string kDatesAsInserts =
    "/*METADATA>\r\n<RESULTSET Type=\"INSERT\", Table=\"t\"/>\r\n</METADATA*/\r\n"
    "select d from snap_dates;\r\n"
    "/*METADATA>\r\n<RESULTSET Type=\"INSERT\", Table=\"t\"/>\r\n</METADATA*/\r\n"
    "select d from snap_dates";

} // namespace

// The host hands its settings to each batch with the request; the Options dialog changes only
// the host's copy, which the next batch takes.
TEST_P(BatchSnapshotOn, EachRunConvertsWithTheSettingsOfItsRequest) {
    OPEN_OR_SKIP();
    Drop("snap_dates");
    Exec("create table snap_dates (d date)");
    Exec("insert into snap_dates values ('2004-06-27')");
    AnalysedScript script;
    script.Rebuild(kDatesAsInserts);
    auto output = [&](const BatchRequest& request) {
        ObservedHistory history;
        Batch batch(session_, script, request, history, profile_);
        batch.Start();
        batch.Wait();
        EXPECT_FALSE(batch.Failed()) << history.Text();
        return batch.MemoryOutput()->Str();
    };
    BatchRequest host;
    std::string before = output(host);
    EXPECT_NE(before.find("'06.27.2004 00:00:00.000'"), std::string::npos) << before;
    host.dialectSettings[static_cast<int>(Dialect::MSSQL)] = {"Y-m-d", "H:M:S", true, false};
    std::string after = output(host);
    EXPECT_NE(after.find("'2004-06-27')"), std::string::npos) << after;
}

// The editor re-analyses its own script after every change and may drop the copy it handed over:
// the batch runs the statements of its snapshot and frees it when it goes.
TEST_P(BatchSnapshotOn, TheBatchRunsItsOwnScriptSnapshot) {
    OPEN_OR_SKIP();
    AnalysedScript editor;
    editor.Rebuild("select 1 as a;\r\nselect 2 as b");
    auto snapshot = std::make_shared<const AnalysedScript>(editor);
    std::weak_ptr<const AnalysedScript> watch = snapshot;
    ObservedHistory history;
    Gate gate;
    history.onEndEntry = [&] { gate.Arrive(); };
    auto batch = std::make_unique<Batch>(session_, std::move(snapshot), BatchRequest{}, history, profile_);
    batch->Start();
    ASSERT_TRUE(gate.WaitForArrival());
    editor.Rebuild("select 'changed' as c;\r\nselect 'again' as d;\r\nselect 3 as e");
    EXPECT_FALSE(watch.expired());
    gate.Release();
    batch->Wait();

    ASSERT_FALSE(batch->Failed()) << history.Text();
    ASSERT_EQ(history.ResultSets().size(), 2u);
    EXPECT_EQ(history.ResultSets()[0]->Cell(0, 0).Text(), "1");
    EXPECT_EQ(history.ResultSets()[1]->Cell(0, 0).Text(), "2");
    batch.reset();
    EXPECT_TRUE(watch.expired()) << "the snapshot goes with the batch";
}

// The results view keeps the batch's text where it is: the output is handed over, not copied,
// and outlives the batch together with the offsets the result sets hold into it.
TEST_P(BatchSnapshotOn, TheMemoryOutputIsHandedOverOnceTheRunHasEnded) {
    OPEN_OR_SKIP();
    AnalysedScript script;
    script.Rebuild("/*TEXT>head\r\n</TEXT*/ select 1 as a;\r\nselect 2 as b");
    ObservedHistory history;
    Gate gate;
    history.onEndEntry = [&] { gate.Arrive(); };
    auto batch = std::make_unique<Batch>(session_, script, BatchRequest{}, history, profile_);
    batch->Start();
    ASSERT_TRUE(gate.WaitForArrival());
    EXPECT_EQ(batch->TakeMemoryOutput(), nullptr) << "not while the run still writes";
    EXPECT_NE(batch->MemoryOutput(), nullptr);
    gate.Release();
    batch->Wait();

    const MemoryTextSink* inBatch = batch->MemoryOutput();
    ASSERT_NE(inBatch, nullptr);
    const std::string expected = inBatch->Str();
    std::unique_ptr<MemoryTextSink> output = batch->TakeMemoryOutput();
    ASSERT_EQ(output.get(), inBatch) << "the same text, not a copy";
    EXPECT_EQ(batch->MemoryOutput(), nullptr);
    EXPECT_EQ(batch->TakeMemoryOutput(), nullptr) << "handed over once";
    batch.reset();

    EXPECT_EQ(output->Str(), expected);
    EXPECT_EQ(expected.rfind("head\r\n", 0), 0u) << expected;
    ASSERT_EQ(history.ResultSets().size(), 2u);
    const ResultSet& second = *history.ResultSets()[1];
    std::string converted(output->View().substr(second.outputStart, second.outputEnd - second.outputStart));
    EXPECT_NE(converted.find('2'), std::string::npos) << converted;
}

namespace {

// A host that takes the output as soon as the batch reports its end.
class TakingHistory : public ObservedHistory {
public:
    std::unique_ptr<MemoryTextSink> taken;
    void BatchEnded(Batch& batch) override {
        ObservedHistory::BatchEnded(batch);
        taken = batch.TakeMemoryOutput();
    }
};

} // namespace

TEST_P(BatchSnapshotOn, TheOutputCanBeTakenFromTheEndNotice) {
    OPEN_OR_SKIP();
    AnalysedScript script;
    script.Rebuild("select 5 as five");
    TakingHistory history;
    {
        Batch batch(session_, script, BatchRequest{}, history, profile_);
        batch.Start();
        batch.Wait();
    }
    ASSERT_NE(history.taken, nullptr);
    EXPECT_NE(history.taken->Str().find('5'), std::string::npos) << history.taken->Str();

    BatchRequest toFile;
    toFile.outputFile = TempPath(std::string(ServerName(GetParam())) + "-taken.sql");
    TakingHistory fileHistory;
    {
        Batch batch(session_, script, toFile, fileHistory, profile_);
        batch.Start();
        batch.Wait();
        EXPECT_FALSE(batch.Failed()) << fileHistory.Text();
    }
    EXPECT_EQ(fileHistory.ended, 1);
    EXPECT_EQ(fileHistory.taken, nullptr) << "Results to file keeps nothing in memory";
}

INSTANTIATE_TEST_SUITE_P(Databases, BatchSnapshotOn, AllServers(), ServerParamName);
