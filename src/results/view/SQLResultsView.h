#pragma once
// The lower pane of the window: the Results text, one grid per stored result set and the
// Execution history, on three tabs of which one shows at a time. It receives what the engine
// reports through the history bridge, owns the stored result sets and applies a batch's end.
#include <QList>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QAction;
class QTabWidget;

namespace marlix {

class GridsPane;
class HistoryBridge;
class HistoryPane;
class MemoryTextSink;
class ResultSet;
class ResultsTextView;
class UserPrompts;

// What a batch's end hands over.
struct BatchEnd {
    bool failed = false;
    int resultSets = 0;                     // results with columns of the run
    std::unique_ptr<MemoryTextSink> output; // null for Results to file
};

class CSQLResultsView final : public QWidget {
    Q_OBJECT
public:
    enum Tab { ResultsTab = 0, GridsTab = 1, HistoryTab = 2 };

    CSQLResultsView(UserPrompts& prompts, QWidget* parent = nullptr);
    ~CSQLResultsView() override;

    ResultsTextView& TextView() noexcept { return *text_; }
    GridsPane& Grids() noexcept { return *grids_; }
    HistoryPane& History() noexcept { return *history_; }
    QTabWidget& Tabs() noexcept { return *tabs_; }

    // The menus' actions that the Results pane's and the grids' context menus offer.
    void SetContextActions(QList<QAction*> convert, QList<QAction*> syntax, QList<QAction*> copyAs,
                           QAction* truncate, QAction* clear);
    void ConnectBridge(HistoryBridge& bridge);

    // A run starts: the history's mark, and everything stored so far belongs to earlier runs.
    void MarkRunStart();
    // The run has ended: its text, its grids, the tab to bring forward, and truncation.
    void ApplyBatchEnd(BatchEnd end, bool truncate);

    void ShowTab(Tab tab);
    Tab CurrentTab() const;
    // Deletes everything of earlier runs.
    void Truncate();
    // Deletes everything.
    void Clear();

    // The result set the commands act on: the grid last chosen, else the latest result.
    std::shared_ptr<ResultSet> CurrentResultSet() const;
    const std::vector<std::shared_ptr<ResultSet>>& ResultSets() const noexcept { return resultSets_; }
    bool HasResults() const;
    bool TextEmpty() const;
    bool TextSelection() const;

    // Commands of the Results text.
    void CopySelection();
    void SelectAll();
    void CopyAll();
    bool SaveResults();
    bool SaveResultsAs();
    // The history entry's commands.
    void ShowResultInText(int entry);
    void ShowResultInGrid(int entry);
    void ShowQueryText(int entry);
    // The main window lost activation.
    void WindowDeactivated();

signals:
    // Something that command enabling reads has changed.
    void stateChanged();

private:
    std::optional<size_t> EntryOutputStart(int entry) const;
    void ShowResultsMenu(const QPoint& global);
    bool WriteResults(const QString& path);

    UserPrompts& prompts_;
    QTabWidget* tabs_;
    ResultsTextView* text_;
    GridsPane* grids_;
    HistoryPane* history_;
    std::vector<std::shared_ptr<ResultSet>> resultSets_;
    std::vector<std::shared_ptr<ResultSet>> pending_; // stored by the running batch
    size_t earlierCount_ = 0;                         // resultSets_[0, earlierCount_) are of earlier runs
    QString resultsFile_ = QStringLiteral("*.sql");
    bool resultsModified_ = false;
    QList<QAction*> convert_, syntax_, copyAs_;
    QAction* truncate_ = nullptr;
    QAction* clear_ = nullptr;
};

} // namespace marlix
