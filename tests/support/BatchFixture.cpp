#include "support/BatchFixture.h"

#include "core/ScriptFile.h"

namespace marlix::test {

BatchRun RunBatch(CODBCSession& session, const std::string& script, const ProfileStore& profile,
                  const BatchOptions& options) {
    AnalysedScript analysed;
    analysed.Rebuild(NormalizeLineEnds(script));
    ObservedHistory history;
    BatchRequest request;
    request.caretOffset = options.caretOffset;
    request.dialect = options.dialect;
    request.outputFile = options.outputFile;
    Batch batch(session, analysed, request, history, profile);
    if (options.afterEachEntry) history.onEndEntry = [&] { options.afterEachEntry(batch); };
    batch.Start();
    if (options.whileRunning) options.whileRunning(batch);
    batch.Wait();

    BatchRun run;
    if (const MemoryTextSink* output = batch.MemoryOutput()) run.output = output->Str();
    run.history = history.Text();
    run.errorOffsets = history.ErrorOffsets();
    run.failed = batch.Failed();
    run.cancelled = batch.Cancelled();
    run.resultSets = batch.ResultSetCount();
    run.started = history.started;
    run.ended = history.ended;
    run.stored = history.ResultSets();
    return run;
}

} // namespace marlix::test
