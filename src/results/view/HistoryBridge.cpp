#include "results/view/HistoryBridge.h"

#include "core/ResultSet.h"
#include "metadata/AnalysedScript.h"

namespace marlix {
namespace {

QByteArray Copy(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

HistoryBridge::HistoryBridge(QObject* parent) : QObject(parent) {
    qRegisterMetaType<std::shared_ptr<marlix::ResultSet>>();
}

void HistoryBridge::SetScript(std::shared_ptr<const AnalysedScript> script) {
    script_ = std::move(script);
}

void HistoryBridge::AppendText(std::string_view text, bool bringToFront) {
    emit textAppended(Copy(text), bringToFront);
}

void HistoryBridge::BeginEntry(size_t textStart, size_t textLength, size_t sinkLength) {
    QByteArray statement;
    if (script_) {
        std::string_view text = script_->Text();
        if (textStart <= text.size()) statement = Copy(text.substr(textStart, textLength));
    }
    emit entryBegun(statement, sinkLength);
}

void HistoryBridge::MarkError() {
    emit errorMarked();
}

void HistoryBridge::EndEntry(size_t sinkLength) {
    emit entryEnded(sinkLength);
}

void HistoryBridge::AppendResultSet(std::shared_ptr<ResultSet> resultSet) {
    emit resultSetStored(std::move(resultSet));
}

void HistoryBridge::MarkErrorLine(size_t offset) {
    emit errorLineMarked(offset);
}

void HistoryBridge::ShowMessage(std::string_view text) {
    emit messageShown(Copy(text));
}

void HistoryBridge::BatchStarted() {
    emit batchStarted();
}

void HistoryBridge::BatchEnded(Batch&) {
    emit batchEnded();
}

} // namespace marlix
