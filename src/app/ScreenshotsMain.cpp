// marlix-screenshots: draws the real window in the states a user meets first, as PNG pictures.
// It fills a new SQLite demo database through the window itself, then opens the demo script.
//
//   marlix-screenshots DIR DATA_DIR DATABASE_FILE
#include "catalog/CatalogText.h"
#include "catalog/KeySelectionModel.h"
#include "catalog/MetadataWizardModel.h"
#include "core/MemoryTextSink.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "db/ServerDialect.h"
#include "results/grid/EditableResultSetModel.h"
#include "results/grid/GridsPane.h"
#include "results/grid/ModificationScriptDialog.h"
#include "results/grid/ResultGrid.h"
#include "results/history/HistoryPane.h"
#include "results/history/StatementSummaryPopup.h"
#include "results/view/SQLResultsView.h"
#include "transform/ModificationScript.h"
#include "workspace/browser/KeySelectionDialog.h"
#include "workspace/browser/MetadataWizardDialog.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/connect/ConnectDialog.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/MainFrame.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/ScriptCommands.h"
#include "workspace/help/AboutBox.h"
#include "workspace/help/HelpWindow.h"
#include "workspace/options/OptionsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>

#include <cstdio>

using namespace marlix;

namespace {

void Settle(int ms = 150) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool RunScript(CMainFrame& frame) {
    frame.Runs().ExecuteScript();
    QElapsedTimer timer;
    timer.start();
    while (frame.Execution().Running()) {
        if (timer.elapsed() > 60000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    Settle();
    return true;
}

bool Save(QWidget& window, const QString& dir, const char* name, QWidget* popup = nullptr) {
    QPixmap picture = window.grab();
    if (popup && popup->isVisible()) {
        QPainter painter(&picture);
        painter.drawPixmap(window.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    }
    const QString path = QDir(dir).filePath(QString::fromLatin1(name));
    if (!picture.save(path)) {
        std::fprintf(stderr, "marlix-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: marlix-screenshots DIR DATA_DIR DATABASE_FILE\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QDir data(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(dir);

    MemoryProfileStore profile;
    profile.WriteInt("MainFrm", "Right", 1280);
    profile.WriteInt("MainFrm", "Bottom", 800);
    profile.WriteInt("MainFrm", "HSplitPos", 330);
    CODBCSession session;
    if (!session.Initialize()) return 3;
    CMainFrame frame(session, profile);
    frame.show();

    ConnectionRequest request;
    request.connectionString = std::string("Driver=SQLite3;Database=") + argv[3];
    request.type = ConnectionType::MSAccess; // a file database: no database list
    request.title = "demo.sqlite";
    if (!frame.Connection().ConnectWith(request)) {
        std::fprintf(stderr, "marlix-screenshots: cannot connect to the demo database:\n%s\n",
                     qPrintable(frame.ResultsView().History().PlainText()));
        return 3;
    }
    // The demo rows, through the window itself.
    if (!frame.Scripts().OpenPath(data.filePath(QStringLiteral("demo.sql"))) || !RunScript(frame)) return 1;
    frame.ResultsView().Clear();
    frame.ResultsView().ShowTab(CSQLResultsView::ResultsTab);
    if (!frame.Scripts().OpenPath(data.filePath(QStringLiteral("demo-conversions.sql")))) return 1;
    Settle();
    bool ok = Save(frame, dir, "01-start-with-demo-script.png");

    if (!RunScript(frame)) return 1;
    frame.ResultsView().ShowTab(CSQLResultsView::ResultsTab);
    Settle();
    ok &= Save(frame, dir, "02-results-after-execute-script.png");

    frame.ResultsView().ShowTab(CSQLResultsView::GridsTab);
    Settle();
    ok &= Save(frame, dir, "03-grids.png");

    frame.ResultsView().ShowTab(CSQLResultsView::HistoryTab);
    Settle();
    HistoryPane& history = frame.ResultsView().History();
    history.ScrollToEnd();
    Settle();
    // Hover over the line of the first entry that is in sight.
    QPoint over(40, 8);
    for (int y = 4; y < history.viewport()->height(); y += 4) {
        if (history.ShowSummaryAt(QPoint(40, y))) {
            over = QPoint(40, y);
            break;
        }
    }
    history.ShowSummaryAt(over);
    // The popup keeps to its screen; the offscreen screen is smaller than this window, so put it
    // where a real screen would show it: 10 pixels right of and 5 below the mouse.
    if (QWidget* popup = history.SummaryPopup())
        popup->move(history.viewport()->mapToGlobal(over + QPoint(10, 5)));
    Settle();
    ok &= Save(frame, dir, "04-history-with-hover-popup.png", history.SummaryPopup());
    history.HideSummary();

    // A failing statement: the history tells why, the editor marks its line.
    ScriptEditor& editor = *frame.ScriptView().Editor();
    QTextCursor cursor = editor.textCursor();
    cursor.movePosition(QTextCursor::End);
    editor.setTextCursor(cursor);
    editor.insertPlainText(QStringLiteral("\nSELECT name, price FROM no_such_table;\n"));
    if (!RunScript(frame)) return 1;
    // The failing line in sight.
    editor.centerCursor();
    Settle();
    ok &= Save(frame, dir, "05-error-in-history-with-error-line.png");

    // The Options dialog on three tabs, the help window, the About box.
    {
        OptionsDialog* options = OpenOptionsDialog(profile, false, &frame);
        Settle();
        ok &= Save(*options, dir, "30-options-ms-sql-tab.png");
        options->SelectTab(4);
        Settle();
        ok &= Save(*options, dir, "31-options-interbase-firebird-tab.png");
        options->SelectTab(6);
        Settle();
        ok &= Save(*options, dir, "34-options-postgresql-tab.png");
        options->reject();
        HelpWindow* help = ShowHelp(&frame, HelpTopic::MainWindow);
        Settle(300);
        ok &= Save(*help, dir, "32-help-window-main-window-topic.png");
        help->close();
        AboutBox* about = ShowAboutBox(&frame);
        Settle();
        ok &= Save(*about, dir, "33-about-box.png");
        about->accept();
        Settle();
    }
    // Connect to Database, collapsed and with its Advanced group, for MySQL and for PostgreSQL, with
    // what a user's profile would remember.
    profile.WriteInt("Login Settings", "ConnectionType", 3);
    profile.WriteString("Login Settings", "ServersList3LastValue", "db1.example.com");
    profile.WriteString("Login Settings", "ServersList3ListItems", "db1.example.com;localhost;");
    profile.WriteString("Login Settings", "ServersList3Use database", "shop");
    profile.WriteString("Login Settings", "ServersList3DatabaseItems", "shop;stock;");
    profile.WriteInt("Login Settings", "Authentication3AuthType", 1);
    profile.WriteString("Login Settings", "Authentication3UserId", "marlix");
    profile.WriteString("Login Settings", "ServersList6LastValue", "127.0.0.1");
    profile.WriteString("Login Settings", "ServersList6Use database", "marlix");
    profile.WriteString("Login Settings", "Authentication6UserId", "marlix");
    const std::pair<ConnectionType, const char*> connectShots[] = {
        {ConnectionType::MySQL, "10-connect-mysql"}, {ConnectionType::PostgreSQL, "10-connect-postgresql"}};
    for (const auto& [type, name] : connectShots) {
        CConnectDialog dialog(session, profile, &frame);
        dialog.ChooseType(type);
        dialog.show();
        Settle();
        ok &= Save(dialog, dir, (std::string(name) + "-collapsed.png").c_str());
        dialog.SetExpanded(true);
        Settle();
        ok &= Save(dialog, dir, (std::string(name) + "-expanded.png").c_str());
    }

    // The object browser: a table opened, its context menu, and the Metadata Wizard on it.
    {
        CObjectBrowser& browser = frame.ObjectBrowser();
        if (auto* split = frame.findChild<QSplitter*>(QStringLiteral("verticalSplitter")))
            split->setSizes({300, frame.width() - 300});
        browser.Reload();
        CatalogTable* orders = FindTable(browser.Folders(), "orders");
        if (!orders) return 1;
        QTreeWidgetItem* item = CObjectBrowser::ItemOf(*orders);
        item->setExpanded(true);
        browser.Select(*orders);
        browser.scrollToItem(item, QAbstractItemView::PositionAtTop);
        browser.setFocus();
        Settle();
        ok &= Save(frame, dir, "20-catalog-browser-table-expanded.png");

        const QPoint at = browser.visualItemRect(item).center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, browser.viewport()->mapToGlobal(at));
        QApplication::sendEvent(browser.viewport(), &menuEvent);
        // Where a real screen would show it: at the mouse.
        browser.ContextMenu()->move(browser.viewport()->mapToGlobal(at));
        Settle();
        ok &= Save(frame, dir, "21-catalog-browser-context-menu.png", browser.ContextMenu());
        browser.ContextMenu()->close();

        WizardStart start{orders->Label(), orders->Label(), "", "Select", KeyFieldText(*orders), true};
        MetadataWizardModel model(start, browser.Columns());
        MetadataWizardDialog wizard(model, &frame);
        wizard.TypeBox()->setCurrentIndex(2);
        wizard.SelectFieldsButton()->click();
        wizard.ColumnList()->item(0)->setSelected(true);
        wizard.ColumnList()->item(3)->setSelected(true);
        wizard.FieldEdit()->setPlainText(QStringLiteral("id\nshipped_on"));
        wizard.show();
        Settle();
        ok &= Save(wizard, dir, "22-catalog-metadata-wizard.png");
        wizard.reject();
        Settle();

        // The same table as grouped INSERTs for SQLite, committed in batches, with exact literals.
        MetadataWizardModel grouped(start, browser.Columns());
        MetadataWizardDialog insertWizard(grouped, &frame);
        insertWizard.TypeBox()->setCurrentIndex(1);
        insertWizard.SyntaxBox()->setCurrentIndex(7);
        insertWizard.RowsBox()->setValue(500);
        insertWizard.CommitEveryBox()->setValue(20);
        insertWizard.LiteralsBox()->setCurrentIndex(2);
        insertWizard.show();
        Settle();
        ok &= Save(insertWizard, dir, "23-catalog-metadata-wizard-grouped-inserts.png");
        insertWizard.reject();
        Settle();

        // An UPDATE without key fields: OK waits, and the hint beside it says why.
        WizardStart keyless = start;
        keyless.keyFieldText.clear();
        keyless.typeText = "Update";
        MetadataWizardModel waiting(keyless, browser.Columns());
        MetadataWizardDialog waitingWizard(waiting, &frame);
        waitingWizard.show();
        Settle();
        ok &= Save(waitingWizard, dir, "24-catalog-metadata-wizard-ok-waits-for-keys.png");
        waitingWizard.reject();

        // Key selection, as Convert to UPDATEs shows it for a result without keys.
        KeySelectionModel keys(
            KeySelectionStart{orders->Label(), orders->Label(), {orders->Label(), "customers"}},
            browser.Columns());
        KeySelectionDialog keySelection(keys, &frame);
        keySelection.ColumnList()->item(0)->setSelected(true);
        keySelection.show();
        Settle();
        ok &= Save(keySelection, dir, "25-catalog-key-selection.png");
        keySelection.reject();
        Settle();
    }

    // Grid editing: a changed cell, a new row and a deleted row, and the script a save would run.
    {
        frame.ResultsView().Clear();
        frame.ScriptView().SetScriptText(
            QStringLiteral("select id, name, city from customers order by id;\n"));
        if (!RunScript(frame)) return 1;
        frame.ResultsView().ShowTab(CSQLResultsView::GridsTab);
        ResultGrid* grid = frame.ResultsView().Grids().GridAt(0);
        auto* model = grid ? qobject_cast<EditableResultSetModel*>(&grid->Model()) : nullptr;
        if (!model) return 1;
        model->setData(model->index(0, 2), QStringLiteral("Saint-Malo"));
        model->DeleteRow(1);
        const int added = model->EmptyRow();
        model->setData(model->index(added, 0), QStringLiteral("90"));
        model->setData(model->index(added, 1), QStringLiteral("O'Neil & Sons"));
        model->setData(model->index(added, 2), QStringLiteral("Cork"));
        grid->setFocus();
        grid->setCurrentIndex(model->index(0, 2));
        frame.UpdateCommands();
        Settle();
        ok &= Save(frame, dir, "40-grid-with-changed-new-and-deleted-rows.png");

        MemoryTextSink sink(2621440);
        WriteModificationScript(model->Edits(), sink, static_cast<int>(ServerDialectOf(frame.Session())));
        ModificationScriptDialog dialog(std::string(sink.Data(), sink.Length()), true, frame.Prompts(),
                                        &frame);
        dialog.show();
        Settle();
        ok &= Save(dialog, dir, "41-modification-script-dialog.png");
        dialog.reject();
        model->Edits().DiscardEdits();
        model->Refresh();
        Settle();
    }

    // A result cut by the row limit, with a long text column: the text table shows the column
    // cut with its mark and says the result is cut; the grid's caption says so too.
    {
        profile.WriteInt(kExecutionSettings, kDatasetRowLimit, 3);
        frame.ResultsView().Clear();
        frame.ScriptView().SetScriptText(QStringLiteral(
            "create table if not exists shot_notes (id integer primary key, body text);\n"
            "delete from shot_notes;\n"
            "insert into shot_notes select id, 'Note on ' || name || ': ' || "
            "replace(hex(zeroblob(150)), '00', 'delivered on time, ') from customers;\n"
            "select id, body from shot_notes order by id;\n"));
        if (!RunScript(frame)) return 1;
        frame.ResultsView().ShowTab(CSQLResultsView::ResultsTab);
        Settle();
        ok &= Save(frame, dir, "42-text-table-with-long-text-cut-by-the-row-limit.png");
        frame.ResultsView().ShowTab(CSQLResultsView::GridsTab);
        Settle();
        ok &= Save(frame, dir, "43-grid-of-a-result-cut-by-the-row-limit.png");
        profile.WriteInt(kExecutionSettings, kDatasetRowLimit, 0);
    }

    frame.Document().SetModified(false);
    return ok ? 0 : 1;
}
