#pragma once
// The Execution history pane: a read-only log of messages, row counts and errors, with one
// entry per executed statement. Resting the mouse on an entry shows its summary; its context
// menu leads to the statement's text, its text output and its grid.
#include "results/history/ExecutionHistory.h"

#include <QPlainTextEdit>
#include <QTimer>

#include <string>
#include <string_view>

class QMenu;

namespace marlix {

class StatementSummaryPopup;

class HistoryPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit HistoryPane(QWidget* parent = nullptr);

    // Appends UTF-8 text with CR LF line ends at the end. The document shows it when control
    // returns to the event loop (or at FlushText); Length() counts it at once. The user's
    // selection and scroll position stay, unless the caret was at the end (it stays at the end)
    // or the view showed the end (it shows the new end).
    void AppendText(std::string_view utf8);
    // Puts the text appended since the last pass of the event loop into the document.
    void FlushText();
    // The engine's entry calls; EndEntry appends the completion line and records the entry.
    void BeginEntry(std::string statementText, size_t sinkLength);
    void MarkError();
    void EndEntry(size_t sinkLength);

    // A batch starts: what is in the pane now belongs to earlier runs.
    void MarkBatchStart();
    // The latest batch's output begins at base in the Results text.
    void SetLatestOutputBase(size_t base);
    // Deletes the entries of earlier runs and their text; the latest batch's text stays.
    void Truncate();
    void Clear();
    void ScrollToEnd();

    const ExecutionHistory& History() const { return history_; }
    // The whole text, appended text included, with "\n" line breaks.
    QString PlainText();
    // The pane's length in its own positions (UTF-16 units, one per line break), appended text
    // included: the unit of the entries' log spans.
    size_t Length() const;

    // The entry under a point of the viewport, or -1 (no text there, or text outside entries).
    int EntryIndexAt(QPoint viewportPos);
    // Shows the summary of the entry under the point next to the mouse, or hides the popup
    // when there is none. Answers whether the popup shows.
    bool ShowSummaryAt(QPoint viewportPos);
    void HideSummary();
    StatementSummaryPopup* SummaryPopup() const { return popup_; }
    // The "Messages" menu of an entry; the caller owns it.
    QMenu* CreateEntryMenu(int entry, QWidget* parent);

signals:
    void showQueryTextRequested(int entry);
    void showResultInTextRequested(int entry);
    void showResultInGridRequested(int entry);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ExecutionHistory history_;
    StatementSummaryPopup* popup_;
    int popupEntry_ = -1;
    // Appended but not yet in the document, line breaks as "\n".
    QString unshown_;
    QTimer flushTimer_;
    // Counts truncations and clears, which renumber the entries.
    int generation_ = 0;
};

} // namespace marlix
