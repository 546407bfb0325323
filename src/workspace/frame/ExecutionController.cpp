#include "workspace/frame/ExecutionController.h"

#include "metadata/AnalysedScript.h"
#include "results/view/HistoryBridge.h"

namespace marlix {

ExecutionController::ExecutionController(CODBCSession& session, const ProfileStore& profile,
                                         HistoryBridge& bridge, QObject* parent)
    : QObject(parent), session_(session), profile_(profile), bridge_(bridge) {}

ExecutionController::~ExecutionController() {
    CancelAndWait();
}

void ExecutionController::Start(const AnalysedScript& script, BatchRequest request) {
    if (batch_) return;
    auto snapshot = std::make_shared<const AnalysedScript>(script);
    bridge_.SetScript(snapshot);
    batch_ = std::make_unique<Batch>(session_, snapshot, std::move(request), bridge_, profile_);
    batch_->Start();
    emit runningChanged(true);
}

void ExecutionController::Cancel() {
    if (batch_) batch_->Cancel();
}

ExecutionController::Outcome ExecutionController::Finish() {
    Outcome outcome;
    if (!batch_) return outcome;
    batch_->Wait();
    outcome.failed = batch_->Failed();
    outcome.cancelled = batch_->Cancelled();
    outcome.resultSets = batch_->ResultSetCount();
    outcome.toFile = batch_->ToFile();
    outcome.output = batch_->TakeMemoryOutput();
    batch_.reset();
    emit runningChanged(false);
    return outcome;
}

void ExecutionController::CancelAndWait() {
    if (!batch_) return;
    batch_->Cancel();
    batch_->Wait();
}

} // namespace marlix
