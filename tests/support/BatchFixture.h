#pragma once
// Runs a script as a batch on a test database and collects what the window would show.
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "db/ODBCSession.h"
#include "execution/Batch.h"
#include "metadata/AnalysedScript.h"

#include <functional>
#include <string>

namespace marlix::test {

// A text history that can act when the batch reaches a point (cancel between statements).
class ObservedHistory : public TextHistoryOutput {
public:
    std::function<void()> onEndEntry;
    int started = 0;
    int ended = 0;
    void EndEntry(size_t sinkLength) override {
        TextHistoryOutput::EndEntry(sinkLength);
        if (onEndEntry) onEndEntry();
    }
    void BatchStarted() override { ++started; }
    void BatchEnded(Batch&) override { ++ended; }
};

struct BatchRun {
    std::string output;  // the Results text (empty for Results to file)
    std::string history; // the Execution history text
    std::vector<size_t> errorOffsets; // where the window would mark an error line
    bool failed = false;
    bool cancelled = false;
    int resultSets = 0;
    int started = 0;
    int ended = 0;
    std::vector<std::shared_ptr<ResultSet>> stored;
};

struct BatchOptions {
    int caretOffset = -1;
    Dialect dialect = Dialect::MSSQL;
    std::string outputFile;
    std::function<void(Batch&)> whileRunning; // called on the test thread once the batch started
    std::function<void(Batch&)> afterEachEntry;
};

BatchRun RunBatch(CODBCSession& session, const std::string& script, const ProfileStore& profile,
                  const BatchOptions& options = {});

} // namespace marlix::test
