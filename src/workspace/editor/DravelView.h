#pragma once
// The script view: the script editor, and the analysis of its text that the rest of the window
// works with. After every change of the text it rebuilds the analysed script and the position
// map, moves the ranges registered for write-backs, clears the error line and announces the
// change. Offsets in its interface are the engine's: bytes of the UTF-8 text with the script's
// own line ends (AnalysedScript::Text()). The script keeps the line ends of the text it was given
// (see LineEnds): the lines typed, pasted or written back take its style.
#include "metadata/AnalysedScript.h"
#include "metadata/BlockEdits.h"
#include "workspace/editor/FindState.h"
#include "workspace/editor/PositionMap.h"
#include "workspace/editor/TrackedRanges.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;

namespace marlix {

class FindDialog;
class ScriptEditor;
class ScriptHighlighter;

class CDravelView : public QWidget {
    Q_OBJECT
public:
    explicit CDravelView(QWidget* parent = nullptr);
    ~CDravelView() override;

    // The analysis of the editor's text and the map between its positions and the analysed
    // text's bytes; both are rebuilt at every change, before scriptChanged() is emitted.
    const AnalysedScript& Script() const noexcept { return script_; }
    const PositionMap& Positions() const noexcept { return positions_; }
    bool AnalysisCurrent() const;
    // The analysis is current and found at least one token: execution may start.
    bool StatementsReady() const;

    // Replaces the whole text and clears the undo history (Open, New); its line ends (CR LF, LF,
    // CR, or a mix) become the script's. Refused while a batch runs.
    bool SetScriptText(const QString& text);
    // The text with '\n' line breaks.
    QString ScriptText() const;
    // The text with the script's own line ends, as a save writes it.
    QString FileText() const;
    bool IsEmpty() const;

    // Undoable replacements; refused (false) while a batch runs. ApplyEdit selects the edit's
    // byte range of the analysed text and replaces it (METADATA write-backs); it is refused too
    // when the range lies outside the text.
    bool ReplaceSelection(const QString& text);
    bool ApplyEdit(const TextEdit& edit);

    std::size_t CaretOffset() const;
    bool HasSelection() const;
    // The byte under the mouse at the last context-menu request; nothing before the first one
    // and after SetScriptText.
    std::optional<std::size_t> RememberedOffset() const;

    // How the connection's server reads quotes; a change re-analyses the text (the colours, the
    // statements and what a run cuts follow) without touching the document.
    void SetTokenizerOptions(TokenizerOptions options);
    TokenizerOptions TokenizerOptionsInUse() const noexcept { return script_.Options(); }

    // The editor is read-only while a batch runs.
    void SetBatchRunning(bool running);
    bool BatchRunning() const noexcept { return batchRunning_; }
    // Marks the line holding `byte` with the error arrow; the next change of the text clears it.
    void MarkErrorOffset(std::size_t byte);
    void ClearErrorLine();
    int ErrorLine() const;

    // The editor's context menu (kept, shown on each request after the mouse position is stored).
    void SetContextMenuActions(QList<QAction*> actions);

    // Write-back positions: a statement's byte range registered when a batch starts, and its
    // start as it is now, or nothing once the statement has been edited.
    int TrackRange(std::size_t startByte, std::size_t endByte);
    std::optional<std::size_t> TrackedStart(int id) const;
    std::optional<std::size_t> TrackedEnd(int id) const;
    void ClearTrackedRanges();

    bool CanUndo() const;
    // Find is enabled when the text is not empty.
    bool CanFind() const { return !IsEmpty(); }
    // One Find Next from the find position: selects the match and makes its line the first
    // visible one, or returns false and starts the next search at the beginning.
    bool FindNext(const QString& what);
    FindState& Finder() noexcept { return finder_; }

    ScriptEditor* Editor() const noexcept { return editor_; }
    const ScriptHighlighter& Highlighter() const noexcept { return *highlighter_; }
    void FocusEditor();

public slots:
    void Copy();
    void Cut();
    void Paste();
    void Undo();
    void SelectAll();
    // Opens the find dialog with the text at the caret; the search starts at the selection's end.
    void Find();

signals:
    // After each analysis of a changed text (the document becomes modified).
    void scriptChanged();
    void selectionStateChanged();
    void undoAvailable(bool available);
    void editorFocused();
    // Ctrl+Enter reached the editor (no window shortcut took it): run the statement at the caret
    // if Execute Statement allows it.
    void executeStatementRequested();

private:
    struct Change {
        int position, removed, added;
    };
    static Change ChangedRegion(const QString& old, const QString& now, const std::vector<Change>& reported);
    // `c` without the characters its removed and added texts (from their first character)
    // share at their start and at their end.
    static Change Narrowed(const Change& c, const QChar* removed, const QChar* added);
    void OnContentsChange(int position, int removed, int added);
    void OnContentsChanged();
    // Moves the line ends of a mixed script with a change of the text.
    void FollowLineEnds(const QString& old, const QString& now, const Change& change);
    // One change reported alone (a keystroke, a paste, an undo): the map and the script follow
    // the text it changed, read from the document, without copying the whole text. False when
    // the report does not fit the text held, which is then taken whole.
    bool FollowChange(const Change& reported);
    // The colours and the listeners follow a new analysis.
    void Analysed();
    void Analyse(const QString& text);
    void ShowContextMenu(int position, QPoint globalPos);

    ScriptEditor* editor_;
    AnalysedScript script_;
    PositionMap positions_;
    std::unique_ptr<ScriptHighlighter> highlighter_;
    TrackedRanges tracked_;
    std::vector<Change> pendingChanges_;
    std::optional<LineEnds> newLineEnds_; // those of a text being set, taken at its analysis
    FindState finder_;
    QPointer<FindDialog> findDialog_;
    QMenu* contextMenu_;
    std::optional<int> rememberedPosition_;
    bool batchRunning_ = false;
};

} // namespace marlix
