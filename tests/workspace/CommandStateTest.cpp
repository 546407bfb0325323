// Which commands a state of the window allows: the rules every menu entry, button and shortcut
// follow.
#include "workspace/frame/CommandState.h"
#include "workspace/browser/BrowserCommandState.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/TargetPlatform.h"

#include <gtest/gtest.h>

#include <set>

using namespace marlix;

namespace {

WorkspaceState ConnectedIdle() {
    WorkspaceState s;
    s.connected = true;
    s.serverType = ConnectionType::MySQL;
    s.statementsReady = true;
    s.textEmpty = false;
    s.analysisCurrent = true;
    s.canUndo = true;
    s.resultsPresent = true;
    s.currentResultSet = true;
    s.resultsTextEmpty = false;
    return s;
}

} // namespace

TEST(CommandState, ARunningBatchHoldsBackEverythingThatChangesScriptConnectionOrResults) {
    WorkspaceState running = ConnectedIdle();
    running.batchRunning = true;
    running.editorSelection = true;
    CommandState state(running);
    for (Command c :
         {Command::New, Command::Open, Command::Undo, Command::Cut, Command::Paste, Command::Disconnect,
          Command::ExecuteScript, Command::ExecuteStatement, Command::ResultsToFile, Command::Commit,
          Command::Rollback, Command::TruncateResults, Command::ClearResults, Command::ConvertTo,
          Command::UseSyntaxOf, Command::DatabaseBox, Command::SchemaBox, Command::TargetPlatformBox})
        EXPECT_FALSE(state.Enabled(c)) << static_cast<int>(c);
    for (Command c : {Command::CancelExecution, Command::Copy, Command::SaveAs, Command::Find,
                      Command::CopyConverted, Command::ResultsCopy, Command::HelpTopics})
        EXPECT_TRUE(state.Enabled(c)) << static_cast<int>(c);

    CommandState idle(ConnectedIdle());
    EXPECT_FALSE(idle.Enabled(Command::CancelExecution));
    for (Command c : {Command::New, Command::Open, Command::ExecuteScript, Command::ExecuteStatement,
                      Command::Commit, Command::ConvertTo, Command::DatabaseBox, Command::TargetPlatformBox})
        EXPECT_TRUE(idle.Enabled(c)) << static_cast<int>(c);

    // Connect replaces the connection: never under a running batch, with or without a connection.
    EXPECT_FALSE(state.Enabled(Command::Connect));
    EXPECT_TRUE(idle.Enabled(Command::Connect));
    EXPECT_TRUE(CommandState(WorkspaceState{}).Enabled(Command::Connect));
}

TEST(CommandState, ExecutionNeedsAConnectionAnAnalysedScriptAndForAStatementNoSelection) {
    struct Row {
        const char* what;
        void (*change)(WorkspaceState&);
        bool script;
        bool statement;
    };
    const Row rows[] = {
        {"idle", [](WorkspaceState&) {}, true, true},
        {"not connected", [](WorkspaceState& s) { s.connected = false; }, false, false},
        {"empty text", [](WorkspaceState& s) { s.textEmpty = true; }, false, false},
        {"no statements", [](WorkspaceState& s) { s.statementsReady = false; }, false, false},
        {"selection", [](WorkspaceState& s) { s.editorSelection = true; }, true, false},
        {"analysis behind", [](WorkspaceState& s) { s.analysisCurrent = false; }, true, false},
    };
    for (const Row& row : rows) {
        WorkspaceState s = ConnectedIdle();
        row.change(s);
        CommandState state(s);
        EXPECT_EQ(state.Enabled(Command::ExecuteScript), row.script) << row.what;
        EXPECT_EQ(state.Enabled(Command::ResultsToFile), row.script) << row.what;
        EXPECT_EQ(state.Enabled(Command::ExecuteStatement), row.statement) << row.what;
    }
}

TEST(CommandState, SelectionBoxesFollowTheServerType) {
    for (int type = 0; type < kConnectionTypeCount; ++type) {
        WorkspaceState s = ConnectedIdle();
        s.serverType = static_cast<ConnectionType>(type);
        CommandState state(s);
        EXPECT_EQ(state.Enabled(Command::DatabaseBox), type == 0 || type == 3) << type;
        EXPECT_TRUE(state.Enabled(Command::SchemaBox));
        EXPECT_TRUE(state.Enabled(Command::TargetPlatformBox));
    }
    for (Command c : {Command::DatabaseBox, Command::SchemaBox, Command::TargetPlatformBox})
        EXPECT_FALSE(CommandState(WorkspaceState{}).Enabled(c)) << "offline";
}

TEST(CommandState, OnlyPendingGridEditsHoldBackNewAndOpen) {
    struct Case {
        bool resultsViewActive, gridEditsPending, enabled;
    } cases[] = {{false, false, true}, {true, false, true}, {true, true, false}, {false, true, false}};
    for (const Case& c : cases) {
        WorkspaceState s = ConnectedIdle();
        s.resultsViewActive = c.resultsViewActive;
        s.gridEditsPending = c.gridEditsPending;
        for (Command command : {Command::New, Command::Open})
            EXPECT_EQ(CommandState(s).Enabled(command), c.enabled) << c.resultsViewActive << c.gridEditsPending;
    }
}

// The rules the box and the results view rely on, checked against the table itself.
TEST(TargetPlatform, EveryDialectHasOneEntryAndACommandOfItsOwn) {
    std::set<int> dialects, commands;
    for (size_t i = 0; i < kTargetPlatforms.size(); ++i) {
        const int dialect = static_cast<int>(kTargetPlatforms[i].dialect);
        EXPECT_TRUE(dialects.insert(dialect).second) << kTargetPlatforms[i].text;
        EXPECT_TRUE(commands.insert(kTargetPlatforms[i].command).second) << kTargetPlatforms[i].text;
        EXPECT_EQ(TargetPlatformIndex(dialect), static_cast<int>(i)) << kTargetPlatforms[i].text;
        for (BrowserCommand browser : kBrowserCommands)
            EXPECT_NE(static_cast<int>(browser), kTargetPlatforms[i].command);
        // Command::UseSyntaxOf stands for every entry of the menu and is not listed.
        for (Command frame :
             {Command::ConvertTo, Command::CopyConverted, Command::ResultsCopy, Command::ResultsSave,
              Command::GridEdits, Command::OutputWizard, Command::Options})
            EXPECT_NE(static_cast<int>(frame), kTargetPlatforms[i].command);
    }
    EXPECT_EQ(static_cast<int>(dialects.size()), kDialectCount);
    // The first entry is MS SQL, which an unknown stored value selects.
    EXPECT_EQ(kTargetPlatforms[0].dialect, Dialect::MSSQL);
    for (int unknown : {kDialectCount, 17, -1})
        EXPECT_EQ(TargetPlatformIndex(unknown), 0);
}

TEST(DravelDoc, TitleNamesConnectionAndFile) {
    CDravelDoc doc;
    EXPECT_EQ(doc.Title("Sales", false), QStringLiteral("[Untitled] "));
    EXPECT_EQ(doc.Title("Sales", true), QStringLiteral("[Sales - Untitled] "));
    doc.Opened(QStringLiteral("/tmp/a.sql"), ScriptEncoding::Utf8);
    EXPECT_EQ(doc.Title("Sales", true), QStringLiteral("[Sales - /tmp/a.sql] "));
}

TEST(DravelDoc, BytesBecomeEditorTextAndBackUnchanged) {
    struct Row {
        std::string bytes;
        ScriptEncoding encoding;
    };
    const Row rows[] = {
        {"select 1;\r\nselect 2;\r\n", ScriptEncoding::Utf8},
        {"select 'a\nb';\nselect 2;\r\n", ScriptEncoding::Utf8},
        {"select '\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80';\r\n", ScriptEncoding::Utf8},
        {"select 'caf\xe9';\r\n", ScriptEncoding::Latin1},
        {"\xff\xfe", ScriptEncoding::Latin1},
        {"", ScriptEncoding::Utf8},
    };
    for (const Row& row : rows) {
        CDravelDoc::Loaded loaded = CDravelDoc::DecodeBytes(row.bytes);
        EXPECT_EQ(loaded.encoding, row.encoding) << row.bytes;
        EXPECT_EQ(CDravelDoc::EncodeText(loaded.text, loaded.encoding), row.bytes);
    }
}
