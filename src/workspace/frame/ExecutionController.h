#pragma once
// The one batch of the window: started on a copy of the editor's analysed script, cancelled on
// request, and handed over to the results view once its end has come through the history bridge.
// "Running" covers the whole time from Start to Finish, so no command that changes the script,
// the connection or the results can slip in between the batch's end on the connection thread and
// the window applying it.
#include "core/MemoryTextSink.h"
#include "execution/Batch.h"

#include <QObject>

#include <cstdint>
#include <memory>

namespace marlix {

class AnalysedScript;
class CODBCSession;
class HistoryBridge;
class ProfileStore;

class ExecutionController final : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        bool failed = false;
        bool cancelled = false;
        int resultSets = 0;
        bool toFile = false;
        std::unique_ptr<MemoryTextSink> output; // null for Results to file
    };

    ExecutionController(CODBCSession& session, const ProfileStore& profile, HistoryBridge& bridge,
                        QObject* parent = nullptr);
    ~ExecutionController() override;

    // Starts a run of `script` (copied: the editor may change its own script meanwhile). Throws
    // what creating the batch throws (an output file that cannot be created); nothing starts then.
    void Start(const AnalysedScript& script, BatchRequest request);
    void Cancel();
    bool Running() const noexcept { return batch_ != nullptr; }
    int64_t FetchedRows() const noexcept { return batch_ ? batch_->FetchedRows() : 0; }

    // After the bridge's batchEnded: waits for the batch's last step, takes its output and
    // destroys it.
    Outcome Finish();
    // Closing the window: cancel and wait for the end; the output is dropped.
    void CancelAndWait();

signals:
    void runningChanged(bool running);

private:
    CODBCSession& session_;
    const ProfileStore& profile_;
    HistoryBridge& bridge_;
    std::unique_ptr<Batch> batch_;
};

} // namespace marlix
