#include "workspace/editor/DravelView.h"

#include "workspace/editor/FindDialog.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/editor/ScriptHighlighter.h"

#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace marlix {

CDravelView::CDravelView(QWidget* parent)
    : QWidget(parent), editor_(new ScriptEditor(this)), contextMenu_(new QMenu(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor_);
    setFocusProxy(editor_);

    QTextDocument* document = editor_->document();
    highlighter_ = std::make_unique<ScriptHighlighter>(document, script_, positions_);
    editor_->SetHighlighter(highlighter_.get());
    script_.Rebuild(positions_.Rebuild(document->toRawText()));

    connect(document, &QTextDocument::contentsChange, this, &CDravelView::OnContentsChange);
    connect(document, &QTextDocument::contentsChanged, this, &CDravelView::OnContentsChanged);
    connect(editor_, &QPlainTextEdit::selectionChanged, this, &CDravelView::selectionStateChanged);
    connect(editor_, &QPlainTextEdit::undoAvailable, this, &CDravelView::undoAvailable);
    connect(editor_, &ScriptEditor::focused, this, &CDravelView::editorFocused);
    connect(editor_, &ScriptEditor::findRequested, this, &CDravelView::Find);
    connect(editor_, &ScriptEditor::executeStatementKey, this, &CDravelView::executeStatementRequested);
    connect(editor_, &ScriptEditor::contextMenuRequested, this, &CDravelView::ShowContextMenu);
}

CDravelView::~CDravelView() {
    // The editor's document outlives nothing of ours, but its signals must not reach a half
    // destroyed view.
    editor_->document()->disconnect(this);
    editor_->SetHighlighter(nullptr);
}

bool CDravelView::AnalysisCurrent() const {
    return pendingChanges_.empty() &&
           positions_.DocumentLength() == editor_->document()->characterCount() - 1;
}

bool CDravelView::StatementsReady() const {
    return AnalysisCurrent() && script_.StatementsReady();
}

void CDravelView::OnContentsChange(int position, int removed, int added) {
    if (highlighter_->Applying()) return;
    pendingChanges_.push_back({position, removed, added});
}

CDravelView::Change CDravelView::ChangedRegion(const QString& old, const QString& now,
                                               const std::vector<Change>& reported) {
    // The document sometimes reports more than changed (the first edit after a new text is
    // reported as a change of the whole text), which would count every write-back range as
    // edited. The region reported is narrowed to where the two texts really differ; several
    // reports at once are taken as one change of the whole text, narrowed the same way.
    const int oldLength = static_cast<int>(old.size());
    const int newLength = static_cast<int>(now.size());
    Change c{0, oldLength, newLength};
    if (reported.size() == 1) {
        const Change& r = reported.front();
        if (r.position >= 0 && r.removed >= 0 && r.added >= 0 && r.position + r.removed <= oldLength &&
            r.position + r.added <= newLength && r.removed - r.added == oldLength - newLength)
            c = r;
    }
    return Narrowed(c, old.constData() + c.position, now.constData() + c.position);
}

CDravelView::Change CDravelView::Narrowed(const Change& c, const QChar* removed, const QChar* added) {
    int prefix = 0;
    while (prefix < c.removed && prefix < c.added && removed[prefix] == added[prefix])
        ++prefix;
    int suffix = 0;
    while (suffix < c.removed - prefix && suffix < c.added - prefix &&
           removed[c.removed - 1 - suffix] == added[c.added - 1 - suffix])
        ++suffix;
    return Change{c.position + prefix, c.removed - prefix - suffix, c.added - prefix - suffix};
}

void CDravelView::OnContentsChanged() {
    if (highlighter_->Applying() || pendingChanges_.empty()) return;
    const std::vector<Change> changes = std::move(pendingChanges_);
    pendingChanges_.clear();
    if (changes.size() == 1 && !newLineEnds_ && FollowChange(changes.front())) return;
    QString text = editor_->document()->toRawText();
    std::optional<LineEnds> newEnds = std::exchange(newLineEnds_, std::nullopt);
    const bool endsChanged = newEnds && !(*newEnds == positions_.Ends());
    // A change of formats only, or a text replaced by itself, leaves everything as it was.
    const QString& old = positions_.DocumentText();
    if (text == old && !endsChanged) return;
    const Change c = ChangedRegion(old, text, changes);
    if (newEnds)
        positions_.Ends() = std::move(*newEnds);
    else
        FollowLineEnds(old, text, c);
    tracked_.ApplyChange(c.position, c.removed, c.added);
    Analyse(text);
}

bool CDravelView::FollowChange(const Change& r) {
    QTextDocument* document = editor_->document();
    const QString& old = positions_.DocumentText();
    const int oldLength = static_cast<int>(old.size());
    const int newLength = document->characterCount() - 1;
    if (r.position < 0 || r.removed < 0 || r.added < 0 || r.position + r.removed > oldLength ||
        r.position + r.added > newLength || r.removed - r.added != oldLength - newLength ||
        positions_.EngineLength() != script_.Text().size())
        return false;
    QTextCursor cursor(document);
    cursor.setPosition(r.position);
    cursor.setPosition(r.position + r.added, QTextCursor::KeepAnchor);
    const QString now = cursor.selectedText(); // the raw text: breaks stay U+2029
    if (now.size() != r.added) return false;
    // Narrowed to where the texts differ, as ChangedRegion does for a whole text; a change of
    // formats only leaves everything as it was.
    const Change c = Narrowed(r, old.constData() + r.position, now.constData());
    if (c.removed == 0 && c.added == 0) return true;
    tracked_.ApplyChange(c.position, c.removed, c.added);
    const PositionMap::EngineEdit edit =
        positions_.Follow(c.position, c.removed, now.mid(c.position - r.position, c.added));
    script_.ApplyEdit(edit.at, edit.removed, edit.inserted);
    Analysed();
    return true;
}

void CDravelView::FollowLineEnds(const QString& old, const QString& now, const Change& change) {
    // Lines of one kind need nothing: every line end, old or new, is the script's style.
    if (!positions_.Ends().Mixed()) return;
    const int from = change.position;
    positions_.Ends().Replace(PositionMap::BreaksIn(old, 0, from),
                              PositionMap::BreaksIn(old, from, from + change.removed),
                              PositionMap::BreaksIn(now, from, from + change.added));
}

void CDravelView::Analyse(const QString& text) {
    script_.Rebuild(positions_.Rebuild(text), script_.Options());
    Analysed();
}

void CDravelView::Analysed() {
    highlighter_->ScriptAnalysed();
    editor_->SetErrorLine(-1);
    if (editor_->isVisible()) {
        editor_->ColourVisibleLines();
        editor_->viewport()->update();
    }
    emit scriptChanged();
}

void CDravelView::SetTokenizerOptions(TokenizerOptions options) {
    if (options == script_.Options()) return;
    script_.Rebuild(std::string(script_.Text()), options);
    highlighter_->ScriptAnalysed();
    if (editor_->isVisible()) {
        editor_->ColourVisibleLines();
        editor_->viewport()->update();
    }
}

bool CDravelView::SetScriptText(const QString& text) {
    if (batchRunning_) return false;
    rememberedPosition_.reset();
    finder_.Start(0);
    editor_->SetErrorLine(-1); // also when the new text equals the old one
    newLineEnds_ = LineEnds::Of(std::u16string_view(reinterpret_cast<const char16_t*>(text.constData()),
                                                    static_cast<std::size_t>(text.size())));
    editor_->setPlainText(EditorLineBreaks(text));
    // A text the document took as no change (an empty one for an empty one) still brings its line
    // ends.
    if (newLineEnds_) {
        const bool changed = !(*newLineEnds_ == positions_.Ends());
        positions_.Ends() = *std::exchange(newLineEnds_, std::nullopt);
        if (changed) Analyse(editor_->document()->toRawText());
    }
    return true;
}

QString CDravelView::ScriptText() const {
    return EditorLineBreaks(editor_->document()->toRawText());
}

QString CDravelView::FileText() const {
    return positions_.WithLineEnds(editor_->document()->toRawText());
}

bool CDravelView::IsEmpty() const {
    return editor_->document()->isEmpty();
}

bool CDravelView::ReplaceSelection(const QString& text) {
    if (batchRunning_) return false;
    QTextCursor cursor = editor_->textCursor();
    cursor.insertText(EditorLineBreaks(text));
    editor_->setTextCursor(cursor);
    return true;
}

bool CDravelView::ApplyEdit(const TextEdit& edit) {
    if (batchRunning_ || !AnalysisCurrent() || edit.start > edit.end || edit.end > script_.Text().size())
        return false;
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(positions_.PositionOfByte(edit.start));
    cursor.setPosition(positions_.PositionOfByte(edit.end), QTextCursor::KeepAnchor);
    cursor.insertText(
        EditorLineBreaks(QString::fromUtf8(edit.text.data(), static_cast<qsizetype>(edit.text.size()))));
    editor_->setTextCursor(cursor);
    return true;
}

std::size_t CDravelView::CaretOffset() const {
    return positions_.ByteOfPosition(editor_->textCursor().position());
}

bool CDravelView::HasSelection() const {
    return editor_->textCursor().hasSelection();
}

std::optional<std::size_t> CDravelView::RememberedOffset() const {
    if (!rememberedPosition_) return std::nullopt;
    return positions_.ByteOfPosition(*rememberedPosition_);
}

void CDravelView::SetBatchRunning(bool running) {
    batchRunning_ = running;
    editor_->setReadOnly(running);
}

void CDravelView::MarkErrorOffset(std::size_t byte) {
    const QTextBlock block = editor_->document()->findBlock(positions_.PositionOfByte(byte));
    editor_->SetErrorLine(block.isValid() ? block.blockNumber() : editor_->document()->blockCount() - 1);
}

void CDravelView::ClearErrorLine() {
    editor_->SetErrorLine(-1);
}

int CDravelView::ErrorLine() const {
    return editor_->ErrorLine();
}

void CDravelView::SetContextMenuActions(QList<QAction*> actions) {
    contextMenu_->clear();
    contextMenu_->addActions(actions);
}

void CDravelView::ShowContextMenu(int position, QPoint globalPos) {
    rememberedPosition_ = position;
    if (!contextMenu_->isEmpty()) contextMenu_->popup(globalPos);
}

int CDravelView::TrackRange(std::size_t startByte, std::size_t endByte) {
    return tracked_.Add(positions_.PositionOfByte(startByte), positions_.PositionOfByte(endByte));
}

std::optional<std::size_t> CDravelView::TrackedStart(int id) const {
    const std::optional<DocumentRange> range = tracked_.Current(id);
    if (!range) return std::nullopt;
    return positions_.ByteOfPosition(range->start);
}

std::optional<std::size_t> CDravelView::TrackedEnd(int id) const {
    const std::optional<DocumentRange> range = tracked_.Current(id);
    if (!range) return std::nullopt;
    return positions_.ByteOfPosition(range->end);
}

void CDravelView::ClearTrackedRanges() {
    tracked_.Clear();
}

bool CDravelView::CanUndo() const {
    return editor_->document()->isUndoAvailable();
}

void CDravelView::Copy() {
    editor_->copy();
}

void CDravelView::Cut() {
    if (!batchRunning_) editor_->cut();
}

void CDravelView::Paste() {
    if (!batchRunning_) editor_->paste();
}

void CDravelView::Undo() {
    if (!batchRunning_) editor_->undo();
}

void CDravelView::SelectAll() {
    editor_->selectAll();
}

void CDravelView::FocusEditor() {
    editor_->setFocus(Qt::OtherFocusReason);
}

void CDravelView::Find() {
    if (!CanFind()) return;
    const QTextCursor cursor = editor_->textCursor();
    const QString initial =
        FindState::InitialText(positions_.DocumentText(), cursor.anchor(), cursor.position());
    finder_.Start(cursor.selectionEnd());
    if (findDialog_) findDialog_->close();
    findDialog_ = new FindDialog(initial, this);
    findDialog_->setAttribute(Qt::WA_DeleteOnClose);
    FindDialog* dialog = findDialog_;
    connect(dialog, &FindDialog::findNext, this, [this, dialog](const QString& what) {
        if (!FindNext(what))
            QMessageBox::warning(dialog, tr("Text Search"), tr("Searching string not found"));
    });
    dialog->show();
}

bool CDravelView::FindNext(const QString& what) {
    const std::optional<FindState::Match> match = finder_.FindNext(positions_.DocumentText(), what);
    if (!match) return false;
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(match->start);
    cursor.setPosition(match->start + match->length, QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor);
    // The match's line becomes the first visible one (the scroll bar counts lines).
    editor_->verticalScrollBar()->setValue(cursor.block().blockNumber());
    return true;
}

} // namespace marlix
