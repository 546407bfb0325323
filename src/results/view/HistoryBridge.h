#pragma once
// The engine's history output for the window. The batch calls it on the connection thread; each
// call becomes a signal carrying copies of its texts, queued to the window's thread, so the
// connection thread never waits on the window. Calls made on the window's own thread (commit,
// a command's failure report) are delivered at once.
#include "core/HistoryOutput.h"

#include <QByteArray>
#include <QMetaType>
#include <QObject>

#include <memory>

namespace marlix {

class AnalysedScript;

class HistoryBridge final : public QObject, public HistoryOutput {
    Q_OBJECT
public:
    explicit HistoryBridge(QObject* parent = nullptr);

    // The script the running batch executes, for the statement texts of its entries. Set before
    // the batch starts; the batch keeps the same snapshot alive.
    void SetScript(std::shared_ptr<const AnalysedScript> script);

    void AppendText(std::string_view text, bool bringToFront) override;
    void BeginEntry(size_t textStart, size_t textLength, size_t sinkLength) override;
    void MarkError() override;
    void EndEntry(size_t sinkLength) override;
    void AppendResultSet(std::shared_ptr<ResultSet> resultSet) override;
    void MarkErrorLine(size_t offset) override;
    void ShowMessage(std::string_view text) override;
    void BatchStarted() override;
    void BatchEnded(Batch& batch) override;

signals:
    void textAppended(QByteArray utf8, bool bringToFront);
    void entryBegun(QByteArray statementText, qulonglong sinkLength);
    void errorMarked();
    void entryEnded(qulonglong sinkLength);
    void resultSetStored(std::shared_ptr<marlix::ResultSet> resultSet);
    void errorLineMarked(qulonglong offset);
    void messageShown(QByteArray utf8);
    void batchStarted();
    void batchEnded();

private:
    std::shared_ptr<const AnalysedScript> script_;
};

} // namespace marlix

Q_DECLARE_METATYPE(std::shared_ptr<marlix::ResultSet>)
