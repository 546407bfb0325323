#pragma once
// The single top-level window: the object browser on the left, the script view above the
// results view on the right, the toolbar, the selection bar and the status bar. It owns the
// window's parts and hands the commands to the classes that carry them out (script files,
// execution, connection); it remembers its placement in the profile.
#include "core/ConversionContext.h"
#include "core/ConversionDescription.h"
#include "results/view/UserPrompts.h"
#include "workspace/frame/CommandState.h"

#include <QMainWindow>

#include <exception>
#include <memory>

class QLabel;
class QSplitter;
class QTimer;

namespace marlix {

class CDravelDoc;
class CDravelView;
class CObjectBrowser;
class CODBCSession;
class CSQLResultsView;
class GridEditCommands;
class ConnectionCommands;
class ExecutionController;
class FrameActions;
class HistoryBridge;
class ProfileStore;
class RunCommands;
class ScriptCommands;
class SelectionBar;

class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    // `prompts` null: the real dialogs.
    CMainFrame(CODBCSession& session, ProfileStore& profile, std::unique_ptr<UserPrompts> prompts = nullptr,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    CODBCSession& Session() noexcept { return session_; }
    ProfileStore& Profile() noexcept { return profile_; }
    UserPrompts& Prompts() noexcept { return *prompts_; }
    CDravelDoc& Document() noexcept { return *document_; }
    CDravelView& ScriptView() noexcept { return *view_; }
    CSQLResultsView& ResultsView() noexcept { return *results_; }
    CObjectBrowser& ObjectBrowser() noexcept { return *browser_; }
    SelectionBar& Selection() noexcept { return *selection_; }
    FrameActions& Actions() noexcept { return *actions_; }
    HistoryBridge& Bridge() noexcept { return *bridge_; }
    ExecutionController& Execution() noexcept { return *execution_; }
    ScriptCommands& Scripts() noexcept { return *scripts_; }
    RunCommands& Runs() noexcept { return *runs_; }
    ConnectionCommands& Connection() noexcept { return *connection_; }

    // The main window's Target platform.
    Dialect CurrentDialect() const noexcept { return dialect_; }
    void SetCurrentDialect(Dialect dialect);
    // The dialect settings read from the profile when the window opened, replaced by Apply and
    // OK of the Options dialog. Runs take a copy; grids read them whenever a cell is shown.
    const DialectSettingsSet& ConversionSettings() const noexcept { return settings_; }
    void SetConversionSettings(const DialectSettingsSet& settings) { settings_ = settings; }
    // What the window's own conversions (Copy as, grid edits' scripts) use: the Target platform
    // with the current settings.
    ConversionContext TargetContext() const { return {dialect_, settings_, ReadSuppressBlobValues(profile_)}; }

    WorkspaceState State() const;
    bool Enabled(Command command) const { return CommandState(State()).Enabled(command); }
    // Re-evaluates every command's enabling (after anything that may change it).
    void UpdateCommands();
    void UpdateTitle();
    // The standard report of a command's failure: ODBC and syntax errors to the Execution
    // history with the error line marked, file and other failures in a message box.
    void ReportFailure(std::exception_ptr failure);
    // True when the results view was the last of the two views to have the focus.
    bool ResultsViewActive() const noexcept { return resultsActive_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildPanes();
    // F6 and Shift+F6: the focus to the next or previous pane (object browser, editor, results).
    void FocusPane(int step);
    void RestorePlacement();
    void SavePlacement();
    void WireCommands();
    void WireBridge();
    void ShowProgress();

    CODBCSession& session_;
    ProfileStore& profile_;
    std::unique_ptr<UserPrompts> prompts_;
    std::unique_ptr<CDravelDoc> document_;
    Dialect dialect_ = Dialect::MSSQL;
    DialectSettingsSet settings_;
    bool resultsActive_ = false;
    bool placementRestored_ = false;

    FrameActions* actions_ = nullptr;
    SelectionBar* selection_ = nullptr;
    HistoryBridge* bridge_ = nullptr;
    ExecutionController* execution_ = nullptr;
    QSplitter* vertical_ = nullptr;   // object browser | editor and results
    QSplitter* horizontal_ = nullptr; // editor over results
    CObjectBrowser* browser_ = nullptr;
    CDravelView* view_ = nullptr;
    CSQLResultsView* results_ = nullptr;
    GridEditCommands* gridEdits_ = nullptr;
    ScriptCommands* scripts_ = nullptr;
    RunCommands* runs_ = nullptr;
    ConnectionCommands* connection_ = nullptr;
    QLabel* progress_ = nullptr;
    QLabel* transaction_ = nullptr; // an open transaction, while autocommit is off
    QTimer* progressTimer_ = nullptr;
};

} // namespace marlix
