#include "workspace/frame/MainFrame.h"
#include "workspace/frame/GridEditCommands.h"
#include "workspace/frame/WindowPlacement.h"

#include "core/DialectSettings.h"
#include "core/ProfileStore.h"
#include "db/ODBCSession.h"
#include "execution/StandardReport.h"
#include "results/grid/GridsPane.h"
#include "results/view/HistoryBridge.h"
#include "results/view/SQLResultsView.h"
#include "results/view/UserPrompts.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/browser/WizardCommands.h"
#include "workspace/connect/FramePrompts.h"
#include "workspace/editor/DravelView.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/ScriptCommands.h"
#include "workspace/frame/SelectionBar.h"
#include "workspace/help/HelpTopics.h"
#include "workspace/options/ExecutionSettings.h"
#include "workspace/options/OptionsDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include <array>
#include <limits>

namespace marlix {
namespace {

constexpr const char* kMainFrm = "MainFrm";
constexpr int kMinimumPane = 50;

} // namespace

CMainFrame::CMainFrame(CODBCSession& session, ProfileStore& profile, std::unique_ptr<UserPrompts> prompts,
                       QWidget* parent)
    : QMainWindow(parent), session_(session), profile_(profile), prompts_(std::move(prompts)),
      document_(std::make_unique<CDravelDoc>()), settings_(ReadDialectSettings(profile)) {
    if (!prompts_) prompts_ = std::make_unique<FramePrompts>(this, session_, profile_);
    setObjectName(QStringLiteral("mainFrame"));
    setMinimumSize(760, 400);

    actions_ = new FrameActions(*this);
    addToolBarBreak(Qt::TopToolBarArea);
    selection_ = new SelectionBar(this);
    addToolBar(Qt::TopToolBarArea, selection_);
    progress_ = new QLabel(this);
    statusBar()->addPermanentWidget(progress_);
    transaction_ = new QLabel(this);
    transaction_->setObjectName(QStringLiteral("transactionStatus"));
    statusBar()->addPermanentWidget(transaction_);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(250);
    connect(progressTimer_, &QTimer::timeout, this, &CMainFrame::ShowProgress);

    bridge_ = new HistoryBridge(this);
    execution_ = new ExecutionController(session_, profile_, *bridge_, this);
    BuildPanes();

    int syntax = profile_.GetInt(kSettingsSection, "DefaultSyntax", 0);
    dialect_ = syntax >= 0 && syntax < kDialectCount ? static_cast<Dialect>(syntax) : Dialect::MSSQL;
    selection_->SelectDialect(dialect_);

    scripts_ = new ScriptCommands(*this);
    runs_ = new RunCommands(*this);
    connection_ = new ConnectionCommands(*this);
    new WizardCommands(*this);
    gridEdits_ = new GridEditCommands(*this);
    connect(connection_, &ConnectionCommands::reloadCatalog, browser_, &CObjectBrowser::Reload);
    WireBridge();
    WireCommands();
    RestorePlacement();
    UpdateTitle();
    UpdateCommands();
}

CMainFrame::~CMainFrame() {
    // A batch still running (a window destroyed without closing) ends before its parts go.
    execution_->CancelAndWait();
}

void CMainFrame::BuildPanes() {
    vertical_ = new QSplitter(Qt::Horizontal, this);
    vertical_->setObjectName(QStringLiteral("verticalSplitter"));
    browser_ = new CObjectBrowser(*this, vertical_);
    horizontal_ = new QSplitter(Qt::Vertical, vertical_);
    horizontal_->setObjectName(QStringLiteral("horizontalSplitter"));
    view_ = new CDravelView(horizontal_);
    results_ = new CSQLResultsView(*prompts_, horizontal_);
    vertical_->addWidget(browser_);
    vertical_->addWidget(horizontal_);
    horizontal_->addWidget(view_);
    horizontal_->addWidget(results_);
    vertical_->setStretchFactor(1, 1);
    horizontal_->setStretchFactor(1, 1);
    vertical_->setChildrenCollapsible(false);
    horizontal_->setChildrenCollapsible(false);
    setCentralWidget(vertical_);

    // Every pane is reachable without the mouse, each showing its focus in its own way (the
    // tree's current item, the editor's caret, the results' selection).
    auto* nextPane = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(nextPane, &QShortcut::activated, this, [this] { FocusPane(1); });
    auto* previousPane = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(previousPane, &QShortcut::activated, this, [this] { FocusPane(-1); });

    view_->SetContextMenuActions(actions_->EditorContextActions());
    results_->SetContextActions(actions_->ConvertActions(), actions_->SyntaxActions(),
                                actions_->CopyAsActions(), actions_->Action(Command::TruncateResults),
                                actions_->Action(Command::ClearResults));
    connect(vertical_, &QSplitter::splitterMoved, this, [this] { SavePlacement(); });
    connect(horizontal_, &QSplitter::splitterMoved, this, [this] { SavePlacement(); });
}

void CMainFrame::WireBridge() {
    results_->ConnectBridge(*bridge_);
    connect(bridge_, &HistoryBridge::errorLineMarked, this, [this](qulonglong offset) {
        // A failing statement is reported at the end of the separator before it; the marker goes
        // to the line where its text really begins.
        const std::string& text = view_->Script().Text();
        size_t at = static_cast<size_t>(offset);
        while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ')
            ++at;
        view_->MarkErrorOffset(at < text.size() ? at : static_cast<size_t>(offset));
    });
    connect(bridge_, &HistoryBridge::messageShown, this, [this](const QByteArray& text) {
        QString message = QString::fromUtf8(text);
        prompts_->ShowMessage(message, QStringLiteral("Marlix"), MessageIcon::Critical);
    });
}

void CMainFrame::WireCommands() {
    connect(view_, &CDravelView::scriptChanged, this, [this] {
        scripts_->ScriptChanged();
        UpdateCommands();
    });
    connect(view_, &CDravelView::selectionStateChanged, this, &CMainFrame::UpdateCommands);
    connect(view_, &CDravelView::executeStatementRequested, runs_, &RunCommands::ExecuteStatementAtCaret);
    connect(view_, &CDravelView::undoAvailable, this, &CMainFrame::UpdateCommands);
    connect(results_, &CSQLResultsView::stateChanged, this, &CMainFrame::UpdateCommands);
    connect(execution_, &ExecutionController::runningChanged, this, [this](bool running) {
        if (running) {
            progressTimer_->start();
        } else {
            progressTimer_->stop();
            progress_->clear();
        }
        UpdateCommands();
    });
    // The active view decides where Copy and Select All go, and disables New and Open while the
    // results have the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now) return;
        if (view_->isAncestorOf(now)) {
            resultsActive_ = false;
        } else if (results_->isAncestorOf(now)) {
            resultsActive_ = true;
        } else {
            return;
        }
        UpdateCommands();
    });
    connect(actions_->ExitAction(), &QAction::triggered, this, &QWidget::close);
    connect(actions_->Action(Command::HelpTopics), &QAction::triggered, this,
            [this] { ShowHelpTopics(this); });
    connect(actions_->AboutAction(), &QAction::triggered, this, [this] { ShowAbout(this); });
    connect(actions_->Action(Command::Options), &QAction::triggered, this, [this] {
        OptionsDialog* dialog = OpenOptionsDialog(profile_, execution_->Running(), this);
        connect(execution_, &ExecutionController::runningChanged, dialog, &OptionsDialog::SetBatchRunning);
        connect(dialog, &OptionsDialog::settingsStored, this, &CMainFrame::SetConversionSettings);
    });
    // The Edit menu acts on the active view.
    connect(actions_->Action(Command::Copy), &QAction::triggered, this, [this] {
        if (resultsActive_)
            results_->CopySelection();
        else
            view_->Copy();
    });
    connect(actions_->Action(Command::SelectAll), &QAction::triggered, this, [this] {
        if (resultsActive_)
            results_->SelectAll();
        else
            view_->SelectAll();
    });
    connect(actions_->Action(Command::Cut), &QAction::triggered, this, [this] {
        if (Enabled(Command::Cut)) view_->Cut();
    });
    connect(actions_->Action(Command::Paste), &QAction::triggered, this, [this] {
        if (Enabled(Command::Paste)) view_->Paste();
    });
    connect(actions_->Action(Command::Undo), &QAction::triggered, this, [this] {
        if (Enabled(Command::Undo)) view_->Undo();
    });
    connect(actions_->Action(Command::Find), &QAction::triggered, this, [this] {
        if (Enabled(Command::Find)) view_->Find();
    });
    connect(actions_->Action(Command::TruncateResults), &QAction::triggered, this, [this](bool) {
        // Stored at once; switching it on truncates now.
        const bool on = !GetTruncateResults(profile_);
        SetTruncateResults(profile_, on);
        if (on && !execution_->Running()) results_->Truncate();
        UpdateCommands();
    });
}

void CMainFrame::SetCurrentDialect(Dialect dialect) {
    dialect_ = dialect;
    selection_->SelectDialect(dialect);
    profile_.WriteInt(kSettingsSection, "DefaultSyntax", static_cast<int>(dialect));
}

WorkspaceState CMainFrame::State() const {
    WorkspaceState s;
    s.connected = session_.Connected();
    s.serverType = session_.Type();
    s.autocommit = session_.Autocommit();
    s.statementsSinceCommit = session_.StatementsSinceCommit();
    s.batchRunning = execution_->Running();
    s.statementsReady = view_->StatementsReady();
    s.textEmpty = view_->IsEmpty();
    s.editorSelection = view_->HasSelection();
    s.analysisCurrent = view_->AnalysisCurrent();
    s.canUndo = view_->CanUndo();
    s.documentModified = document_->Modified();
    s.resultsViewActive = resultsActive_;
    s.resultsPresent = results_->HasResults();
    s.currentResultSet = results_->CurrentResultSet() != nullptr;
    s.gridEditsPending = results_->Grids().HasUnsavedEdits();
    s.resultsTextSelection = results_->TextSelection();
    s.resultsTextEmpty = results_->TextEmpty();
    return s;
}

void CMainFrame::UpdateCommands() {
    const WorkspaceState state = State();
    CommandState commands(state);
    actions_->Apply(commands, GetTruncateResults(profile_));
    if (gridEdits_) gridEdits_->UpdateActions(commands.Enabled(Command::GridEdits));
    // Copy goes to the active view: the Results text needs a selection there.
    if (resultsActive_) actions_->Action(Command::Copy)->setEnabled(commands.ResultsCopySelectionEnabled());
    selection_->DatabaseBox()->setEnabled(commands.Enabled(Command::DatabaseBox));
    selection_->SchemaBox()->setEnabled(commands.Enabled(Command::SchemaBox));
    selection_->TargetPlatformBox()->setEnabled(commands.Enabled(Command::TargetPlatformBox));
    view_->SetBatchRunning(state.batchRunning);
    runs_->UpdateChecks();
    transaction_->setText(QString::fromStdString(commands.TransactionStatus()));
}

void CMainFrame::UpdateTitle() {
    const QString title = document_->Title(session_.Title(), session_.Connected());
    setWindowTitle(QStringLiteral("[*]") + title + QStringLiteral("- Marlix"));
    setWindowModified(document_->Modified());
}

void CMainFrame::ReportFailure(std::exception_ptr failure) {
    marlix::ReportFailure(failure, *bridge_);
}

void CMainFrame::ShowProgress() {
    const long long rows = execution_->FetchedRows();
    progress_->setText(rows > 0 ? tr("Executing... %L1 rows").arg(rows) : tr("Executing..."));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (execution_->Running()) {
        if (!prompts_->AskYesNo(tr("A batch is running. Cancel it and close the window?"),
                                QStringLiteral("Marlix"))) {
            event->ignore();
            return;
        }
        runs_->CancelAndApply();
    }
    if (!scripts_->MaySaveChanges() || !results_->Grids().MayDropGrids(false) ||
        !connection_->EndOpenTransaction()) {
        event->ignore();
        return;
    }
    SavePlacement();
    event->accept();
}

void CMainFrame::FocusPane(int step) {
    const std::array<QWidget*, 3> panes = {browser_, view_, results_};
    QWidget* focused = QApplication::focusWidget();
    int current = 1; // from anywhere else, as from the editor
    for (int i = 0; i < 3; ++i)
        if (focused && (focused == panes[i] || panes[i]->isAncestorOf(focused))) current = i;
    const int next = (current + step + 3) % 3;
    if (panes[next] == view_)
        view_->FocusEditor();
    else if (panes[next] == results_)
        results_->Tabs().currentWidget()->setFocus(Qt::ShortcutFocusReason);
    else
        browser_->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::RestorePlacement() {
    // No placement stored yet (a first start): a large window in the middle of the screen.
    constexpr int kNone = std::numeric_limits<int>::min();
    const int right = profile_.GetInt(kMainFrm, "Right", kNone);
    const int bottom = profile_.GetInt(kMainFrm, "Bottom", kNone);
    QRect rect;
    if (right == kNone || bottom == kNone) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize minimum(minimumWidth(), minimumHeight());
        rect = screen ? FirstPlacement(screen->availableGeometry(), minimum)
                      : QRect(QPoint(0, 0), QSize(800, 600).expandedTo(minimum));
    } else {
        const int left = profile_.GetInt(kMainFrm, "Left", 0);
        const int top = profile_.GetInt(kMainFrm, "Top", 0);
        rect = QRect(left, top, std::max(right - left, minimumWidth()), std::max(bottom - top, minimumHeight()));
    }
    // A placement from a screen that is gone would leave the window out of sight.
    if (QScreen* screen = QGuiApplication::screenAt(rect.center()); !screen) rect.moveTopLeft(QPoint(0, 0));
    setGeometry(rect);
    const int browserWidth = std::max(kMinimumPane, profile_.GetInt(kMainFrm, "VSplitPos", 200));
    const int scriptHeight = std::max(kMinimumPane, profile_.GetInt(kMainFrm, "HSplitPos", 200));
    vertical_->setSizes({browserWidth, std::max(kMinimumPane, rect.width() - browserWidth)});
    horizontal_->setSizes({scriptHeight, std::max(kMinimumPane, rect.height() - scriptHeight)});
    placementRestored_ = true;
}

void CMainFrame::SavePlacement() {
    // A minimised or maximised window keeps the placement it will return to.
    if (!placementRestored_ || isMinimized() || isMaximized() || isFullScreen()) return;
    const QRect rect = geometry();
    profile_.WriteInt(kMainFrm, "Left", rect.left());
    profile_.WriteInt(kMainFrm, "Top", rect.top());
    profile_.WriteInt(kMainFrm, "Right", rect.left() + rect.width());
    profile_.WriteInt(kMainFrm, "Bottom", rect.top() + rect.height());
    const QList<int> columns = vertical_->sizes();
    const QList<int> rows = horizontal_->sizes();
    if (!columns.isEmpty() && columns.front() > 0) profile_.WriteInt(kMainFrm, "VSplitPos", columns.front());
    if (!rows.isEmpty() && rows.front() > 0) profile_.WriteInt(kMainFrm, "HSplitPos", rows.front());
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible()) SavePlacement();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isVisible()) SavePlacement();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            view_->FocusEditor();
        else
            results_->WindowDeactivated();
    }
}

} // namespace marlix
