#include "results/view/SQLResultsView.h"

#include "core/FileException.h"
#include "core/FileTextSink.h"
#include "core/MemoryTextSink.h"
#include "core/ResultSet.h"
#include "results/grid/GridsPane.h"
#include "results/grid/ResultGrid.h"
#include "results/grid/ResultSetModel.h"
#include "results/history/HistoryPane.h"
#include "results/history/QueryTextDialog.h"
#include "results/text/ResultsTextView.h"
#include "results/view/HistoryBridge.h"
#include "results/view/UserPrompts.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cerrno>
#include <cstdio>

namespace marlix {

CSQLResultsView::CSQLResultsView(UserPrompts& prompts, QWidget* parent) : QWidget(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("resultsView"));
    tabs_ = new QTabWidget(this);
    tabs_->setTabPosition(QTabWidget::South);
    tabs_->setDocumentMode(true);
    text_ = new ResultsTextView(tabs_);
    grids_ = new GridsPane(tabs_);
    history_ = new HistoryPane(tabs_);
    tabs_->addTab(text_, tr("Results"));
    tabs_->addTab(grids_, tr("Grids"));
    tabs_->addTab(history_, tr("Execution history"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);

    text_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(text_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowResultsMenu(text_->mapToGlobal(at)); });
    connect(text_, &ResultsTextView::selectionChanged, this, &CSQLResultsView::stateChanged);
    connect(grids_, &GridsPane::currentGridChanged, this, &CSQLResultsView::stateChanged);
    connect(history_, &HistoryPane::showQueryTextRequested, this, &CSQLResultsView::ShowQueryText);
    connect(history_, &HistoryPane::showResultInTextRequested, this, &CSQLResultsView::ShowResultInText);
    connect(history_, &HistoryPane::showResultInGridRequested, this, &CSQLResultsView::ShowResultInGrid);
}

CSQLResultsView::~CSQLResultsView() = default;

void CSQLResultsView::SetContextActions(QList<QAction*> convert, QList<QAction*> syntax,
                                        QList<QAction*> copyAs, QAction* truncate, QAction* clear) {
    convert_ = std::move(convert);
    syntax_ = std::move(syntax);
    copyAs_ = std::move(copyAs);
    truncate_ = truncate;
    clear_ = clear;
    connect(clear_, &QAction::triggered, this, [this] {
        if (clear_->isEnabled()) Clear();
    });
}

void CSQLResultsView::ConnectBridge(HistoryBridge& bridge) {
    connect(&bridge, &HistoryBridge::textAppended, this, [this](const QByteArray& text, bool bringToFront) {
        history_->AppendText(std::string_view(text.constData(), static_cast<size_t>(text.size())));
        if (bringToFront) ShowTab(HistoryTab);
        emit stateChanged();
    });
    connect(&bridge, &HistoryBridge::entryBegun, this,
            [this](const QByteArray& statement, qulonglong sinkLength) {
                history_->BeginEntry(statement.toStdString(), static_cast<size_t>(sinkLength));
            });
    connect(&bridge, &HistoryBridge::errorMarked, this, [this] { history_->MarkError(); });
    connect(&bridge, &HistoryBridge::entryEnded, this,
            [this](qulonglong sinkLength) { history_->EndEntry(static_cast<size_t>(sinkLength)); });
    connect(&bridge, &HistoryBridge::resultSetStored, this,
            [this](const std::shared_ptr<ResultSet>& resultSet) { pending_.push_back(resultSet); });
}

void CSQLResultsView::MarkRunStart() {
    history_->MarkBatchStart();
    grids_->MarkAllEarlier();
    earlierCount_ = resultSets_.size();
}

void CSQLResultsView::ApplyBatchEnd(BatchEnd end, bool truncate) {
    // The run's text joins the Results text where it lies; a run to a file adds none but still
    // becomes the latest run's (empty) output.
    ResultsText& text = text_->Text();
    const size_t base = end.output ? text.Append(std::move(end.output)) : text.Append(std::string());
    history_->SetLatestOutputBase(base);
    for (const std::shared_ptr<ResultSet>& resultSet : pending_) {
        resultSet->outputStart += base;
        resultSet->outputEnd += base;
    }
    text_->TextChanged();
    if (text.Length() > base) resultsModified_ = true;
    text_->ScrollToEnd();
    history_->ScrollToEnd();

    ShowTab(end.failed || end.resultSets == 0 ? HistoryTab : GridsTab);
    for (std::shared_ptr<ResultSet>& resultSet : pending_) {
        grids_->AddGrid(resultSet);
        resultSets_.push_back(std::move(resultSet));
    }
    pending_.clear();
    if (truncate) Truncate();
    emit stateChanged();
}

void CSQLResultsView::ShowTab(Tab tab) {
    tabs_->setCurrentIndex(static_cast<int>(tab));
}

CSQLResultsView::Tab CSQLResultsView::CurrentTab() const {
    return static_cast<Tab>(tabs_->currentIndex());
}

void CSQLResultsView::Truncate() {
    if (!grids_->MayDropGrids(true)) return; // unsaved grid edits are kept unless the user agrees
    ResultsText& text = text_->Text();
    const size_t shift = text.LatestStart();
    text.TruncateBeforeLatest();
    text_->TextChanged();
    grids_->RemoveEarlier();
    resultSets_.erase(resultSets_.begin(), resultSets_.begin() + static_cast<std::ptrdiff_t>(earlierCount_));
    earlierCount_ = 0;
    for (const std::shared_ptr<ResultSet>& resultSet : resultSets_) {
        resultSet->outputStart -= std::min(shift, resultSet->outputStart);
        resultSet->outputEnd -= std::min(shift, resultSet->outputEnd);
    }
    history_->Truncate();
    history_->SetLatestOutputBase(0);
    emit stateChanged();
}

void CSQLResultsView::Clear() {
    if (!grids_->MayDropGrids(false)) return; // unsaved grid edits are kept unless the user agrees
    text_->Text().Clear();
    text_->TextChanged();
    grids_->Clear();
    resultSets_.clear();
    earlierCount_ = 0;
    history_->Clear();
    resultsModified_ = false;
    emit stateChanged();
}

std::shared_ptr<ResultSet> CSQLResultsView::CurrentResultSet() const {
    if (ResultGrid* grid = grids_->CurrentGrid()) return grid->Model().SharedResult();
    return resultSets_.empty() ? nullptr : resultSets_.back();
}

bool CSQLResultsView::HasResults() const {
    return text_->Text().Length() > 0 || grids_->GridCount() > 0 || history_->Length() > 0;
}

bool CSQLResultsView::TextEmpty() const {
    return text_->Text().Length() == 0;
}

bool CSQLResultsView::TextSelection() const {
    return text_->HasSelection();
}

void CSQLResultsView::CopySelection() {
    if (CurrentTab() == ResultsTab && text_->HasSelection()) {
        text_->CopySelection();
    } else if (CurrentTab() == GridsTab) {
        if (ResultGrid* grid = grids_->CurrentGrid()) grid->CopySelection();
    }
}

void CSQLResultsView::SelectAll() {
    text_->SelectAll();
}

void CSQLResultsView::CopyAll() {
    text_->CopyAll();
}

bool CSQLResultsView::SaveResults() {
    if (resultsFile_ == QStringLiteral("*.sql")) return SaveResultsAs();
    return WriteResults(resultsFile_);
}

bool CSQLResultsView::SaveResultsAs() {
    const QString path = prompts_.ChooseSaveFile(tr("Save results as"), resultsFile_);
    if (path.isEmpty()) return false;
    const QFileInfo chosen(path);
    if (chosen.exists() &&
        !prompts_.AskYesNo(
            tr("%1 already exists.\nDo you want to replace it?").arg(chosen.absoluteFilePath()),
            tr("Save results as")))
        return false;
    return WriteResults(chosen.absoluteFilePath());
}

bool CSQLResultsView::WriteResults(const QString& path) {
    // The sink writes beside the file and renames it over the old one, so a failure leaves
    // the old file whole.
    try {
        FileTextSink sink(QFile::encodeName(path).toStdString());
        text_->Text().WriteTo(sink);
        sink.Close();
    } catch (const CFileException& e) {
        prompts_.ShowMessage(QString::fromStdString(e.what()), QStringLiteral("Marlix"),
                             MessageIcon::Critical);
        return false;
    }
    resultsFile_ = path;
    resultsModified_ = false;
    return true;
}

std::optional<size_t> CSQLResultsView::EntryOutputStart(int entry) const {
    const auto& entries = history_->History().Entries();
    if (entry < 0 || static_cast<size_t>(entry) >= entries.size()) return std::nullopt;
    const auto& e = entries[static_cast<size_t>(entry)];
    // An entry of a run whose output never reached the Results text has no place there.
    if (!e.outputBase) return std::nullopt;
    return *e.outputBase + e.outputStart;
}

void CSQLResultsView::ShowResultInText(int entry) {
    std::optional<size_t> start = EntryOutputStart(entry);
    if (!start) return;
    text_->ScrollToOffset(*start);
    ShowTab(ResultsTab);
}

void CSQLResultsView::ShowResultInGrid(int entry) {
    std::optional<size_t> start = EntryOutputStart(entry);
    if (!start) return;
    ShowTab(GridsTab);
    grids_->ShowGridFor(*start);
}

void CSQLResultsView::ShowQueryText(int entry) {
    const auto& entries = history_->History().Entries();
    if (entry < 0 || static_cast<size_t>(entry) >= entries.size()) return;
    QueryTextDialog dialog(entries[static_cast<size_t>(entry)].statementText, this);
    dialog.exec();
}

void CSQLResultsView::WindowDeactivated() {
    // A value typed into a cell is not left behind in an editor while the user is elsewhere.
    grids_->CommitEditors();
}

void CSQLResultsView::ShowResultsMenu(const QPoint& global) {
    QMenu menu(this);
    if (truncate_) menu.addAction(truncate_);
    if (clear_) menu.addAction(clear_);
    menu.addSeparator();
    QAction* copy = menu.addAction(tr("&Copy"), this, &CSQLResultsView::CopySelection);
    copy->setEnabled(text_->HasSelection());
    QAction* copyAll = menu.addAction(tr("Copy &All"), this, &CSQLResultsView::CopyAll);
    copyAll->setEnabled(!TextEmpty());
    QMenu* copyConverted = menu.addMenu(tr("Copy co&nverted"));
    copyConverted->addActions(copyAs_);
    QMenu* convert = menu.addMenu(tr("Con&vert to"));
    convert->addActions(convert_);
    menu.addSeparator();
    QAction* save = menu.addAction(tr("&Save"), this, &CSQLResultsView::SaveResults);
    save->setEnabled(!TextEmpty());
    QAction* saveAs = menu.addAction(tr("Save &As..."), this, &CSQLResultsView::SaveResultsAs);
    saveAs->setEnabled(!TextEmpty());
    QMenu* syntax = menu.addMenu(tr("Use s&yntax of"));
    syntax->addActions(syntax_);
    menu.exec(global);
}

} // namespace marlix
