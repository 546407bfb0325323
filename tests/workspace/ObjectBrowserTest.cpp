// The object browser in the real window on each server: the reload on connect with columns read
// when a table is opened, Generate SELECT at the caret that then runs, a table dragged as its
// name, the wizard on a table and on a block, the Schema box, the shortcuts that are the tree's
// only while it has the focus, and no catalog read while a batch holds the connection.
#include "workspace/browser/ObjectBrowser.h"
#include "catalog/CatalogNode.h"
#include "catalog/MetadataWizardModel.h"
#include "metadata/AnalysedScript.h"
#include "workspace/FrameHarness.h"
#include "workspace/browser/ColumnsUpdatedDialog.h"
#include "workspace/browser/MetadataWizardDialog.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/SelectionBar.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <functional>

using namespace marlix;
using namespace marlix::test;

Q_DECLARE_METATYPE(marlix::test::Server)

namespace {

void Run(FrameHarness& h, const std::string& sql) {
    CODBCSession& session = h.Session();
    session.Thread().Call([&] { Exec(session.Connection(), sql); });
}

// Creates a table afresh (`name` is the first word of `columns`), reloads the tree and returns
// the table of that label in the Tables folder, or null.
CatalogTable* NewTable(FrameHarness& h, const std::string& columns, const std::string& label) {
    try {
        Run(h, "DROP TABLE " + columns.substr(0, columns.find(' ')));
    } catch (const CODBCException&) {
    }
    Run(h, "CREATE TABLE " + columns);
    emit h.Frame().Connection().reloadCatalog();
    for (const auto& table : h.Frame().ObjectBrowser().Folders().tables.tables)
        if (table->Label() == label) return table.get();
    return nullptr;
}

QStringList ChildTexts(QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

} // namespace

class ObjectBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void reloadListsTablesAndOpeningOneReadsItsColumns_data() {
        QTest::addColumn<Server>("server");
        for (Server server : {Server::SQLite, Server::PostgreSQL, Server::MariaDB})
            QTest::newRow(ServerName(server)) << server;
    }
    void reloadListsTablesAndOpeningOneReadsItsColumns();
    void aTableIsDraggedAsItsNameAlone();
    void wizardOnATableOrInTheEditorWritesTheBlock();
    void wizardQuotesMixedCaseNamesOnPostgreSQL();
    void treeCommandsOnAMixedCaseTable();
    void schemaBoxListsSchemasAndChoosingOneReloads();
    void nothingIsReadWhileABatchRuns();
    void columnsUpdatedDialogListsThirtyTwoColumnsAndShowsTheMask();
};

void ObjectBrowserTest::reloadListsTablesAndOpeningOneReadsItsColumns() {
    QFETCH(Server, server);
    MARLIX_QT_FRAME_ON(h, server);
    CatalogTable* table = NewTable(h, "brw_item (id INTEGER PRIMARY KEY, name VARCHAR(20) NOT NULL)",
                                   server == Server::PostgreSQL ? "public.brw_item" : "brw_item");
    QVERIFY(table);
    CObjectBrowser& browser = h.Frame().ObjectBrowser();
    QTreeWidgetItem* root = CObjectBrowser::ItemOf(browser.Folders().root);
    QCOMPARE(root->text(0), QString::fromLatin1(ServerName(server)));
    QCOMPARE(ChildTexts(root), (QStringList{"Tables", "Views", "Procedures"}));
    QVERIFY(root->isExpanded() && root->child(0)->isExpanded());
    QVERIFY(!root->child(1)->isExpanded() && !root->child(2)->isExpanded());

    QTreeWidgetItem* item = CObjectBrowser::ItemOf(*table);
    // Unread, but it can be opened.
    QCOMPARE(item->childCount(), 0);
    QCOMPARE(item->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    item->setExpanded(true);
    QVERIFY(table->loaded);
    QCOMPARE(ChildTexts(item).size(), 2);
    QVERIFY(ChildTexts(item)[0].startsWith(QStringLiteral("id ")));
    QVERIFY(ChildTexts(item)[1].endsWith(QStringLiteral("(20), NOT NULL"))); // the size once
    // Opening it again reads nothing more.
    item->setExpanded(false);
    item->setExpanded(true);
    QCOMPARE(ChildTexts(item).size(), 2);
    QVERIFY2(!h.HistoryText().contains(QStringLiteral("Error")), qPrintable(h.HistoryText()));

    // The procedures are read when their folder is first opened.
    QVERIFY(!browser.Folders().procedures.loaded);
    root->child(2)->setExpanded(true);
    QVERIFY(browser.Folders().procedures.loaded);
    emit h.Frame().Connection().reloadCatalog();
    QVERIFY(!browser.Folders().procedures.loaded);
    QVERIFY(!root->child(2)->isExpanded());
    QCOMPARE(root->child(2)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    h.Frame().Connection().Disconnect();
    QCOMPARE(root->text(0), QStringLiteral("(No data)"));
    QCOMPARE(CObjectBrowser::ItemOf(browser.Folders().tables)->childCount(), 0);
}

// On PostgreSQL, whose tables are listed with their schema. The editor's drop of a text is
// ScriptViewTest's.
void ObjectBrowserTest::aTableIsDraggedAsItsNameAlone() {
    MARLIX_QT_FRAME_ON(h, Server::PostgreSQL);
    CatalogTable* record = NewTable(h, "brw_drag (id INTEGER)", "public.brw_drag");
    QVERIFY(record);
    CObjectBrowser& browser = h.Frame().ObjectBrowser();
    std::unique_ptr<QMimeData> data(
        browser.model()->mimeData({browser.indexFromItem(CObjectBrowser::ItemOf(*record))}));
    QVERIFY(data);
    // The name alone, without its schema.
    QCOMPARE(data->text(), QStringLiteral("brw_drag"));
    // Folders are not dragged.
    QVERIFY(
        !browser.model()->mimeData({browser.indexFromItem(CObjectBrowser::ItemOf(browser.Folders().views))}));
}

// The key read on each server is CatalogReadsTest's and the wizard's rules MetadataWizardModel's
// (WizardModelTest); here the dialog's roads into the script.
void ObjectBrowserTest::wizardOnATableOrInTheEditorWritesTheBlock() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    CatalogTable* record =
        NewTable(h, "brw_wiz (b INTEGER NOT NULL, a INTEGER NOT NULL, note VARCHAR(10), PRIMARY KEY (b, a))",
                 "brw_wiz");
    QVERIFY(record);
    CObjectBrowser& browser = h.Frame().ObjectBrowser();
    browser.Select(*record);
    h.SetScript(QString());

    QStringList shownColumns;
    QString waiting; // OK without key fields: enabled for an INSERT, not for an UPDATE, and why
    WhenShown<MetadataWizardDialog>([&](MetadataWizardDialog& dialog) {
        for (int i = 0; i < dialog.ColumnList()->count(); ++i)
            shownColumns << dialog.ColumnList()->item(i)->text();
        const QString keys = dialog.KeyEdit()->toPlainText();
        dialog.KeyEdit()->clear();
        for (const char* type : {"Insert array", "Update"}) {
            dialog.TypeBox()->setCurrentText(QString::fromLatin1(type));
            waiting += QString::number(dialog.OkButton()->isEnabled()) + dialog.OkHint()->text();
        }
        dialog.KeyEdit()->setPlainText(keys);
        dialog.SelectFieldsButton()->click(); // OK waits for fields: WizardModelTest
        dialog.FieldEdit()->setPlainText(QStringLiteral("a\nnote"));
    });
    browser.Run(BrowserCommand::OutputWizard);
    QCOMPARE(shownColumns, (QStringList{"b", "a", "note"}));
    QCOMPARE(
        waiting,
        QStringLiteral("10Key fields are needed for UPDATE, DELETE, REPLACE and UPSERT: add at least one."));

    const AnalysedScript& script = h.Frame().ScriptView().Script();
    QVERIFY(!script.BlockError());
    QCOMPARE(script.Statements().size(), size_t{1});
    const ConversionDescription& description = script.Statements()[0].description;
    QCOMPARE(description.sourceTable, record->Label());
    QCOMPARE(description.type, StatementType::UPDATE);
    QCOMPARE(description.keyFields, (std::vector<std::string>{"a", "b"})); // the key the wizard showed
    // The UPDATE names its rows by both keys: the SELECT fetches b too.
    QVERIFY(h.Frame().ScriptView().ScriptText().contains(QStringLiteral("SELECT a, note, b FROM brw_wiz;")));
    QVERIFY(h.RunScript());
    QVERIFY2(!h.HistoryText().contains(QStringLiteral("rror")), qPrintable(h.HistoryText()));

    // From the editor: the dialog shows the block at the caret and its choice is written back.
    QVERIFY(NewTable(h, "item (id INTEGER PRIMARY KEY, name VARCHAR(20))", "item"));
    const QString block =
        QStringLiteral("/*METADATA>\n\t<OPTIONS Syntax = \"SQLITE\"/>\n"
                       "\t<RESULTSET Type = \"INSERT\", Source = \"item\", Table = \"copy\", Rows = \"500\", "
                       "CommitEvery = \"20\">\n"
                       "\t\t<KEYS>\n\t\t\t<KEY_id Field = \"id\"/>\n\t\t</KEYS>\n\t</RESULTSET>\n"
                       "</METADATA*/\nSELECT id, name FROM item;\nSELECT name FROM item;\n");
    h.SetScript(block);
    h.PutCaret(QStringLiteral("<RESULTSET"));
    QAction* wizard = h.Frame().Actions().Action(Command::OutputWizard);
    QVERIFY(wizard->isEnabled());
    int syntax = -1, rows = -1, commitEvery = -1;
    WhenShown<MetadataWizardDialog>([&](MetadataWizardDialog& dialog) {
        syntax = dialog.SyntaxBox()->currentIndex();
        rows = dialog.RowsBox()->value();
        commitEvery = dialog.CommitEveryBox()->value();
        dialog.TypeBox()->setCurrentIndex(5); // Upsert
        dialog.CommitEveryBox()->setValue(0);
    });
    wizard->trigger();
    QCOMPARE(syntax, 7); // SQLite
    QCOMPARE(rows, 500);
    QCOMPARE(commitEvery, 20);
    // The rows stay although the type no longer groups rows; no commits is no attribute.
    QString expected = block;
    expected.replace(
        QStringLiteral("Type = \"INSERT\", Source = \"item\", Table = \"copy\", Rows = \"500\", "
                       "CommitEvery = \"20\""),
        QStringLiteral("Type = \"UPSERT\", Source = \"item\", Table = \"copy\", Rows = \"500\""));
    QCOMPARE(h.Frame().ScriptView().ScriptText(), expected);
    QCOMPARE(h.Frame().ScriptView().Script().Statements()[0].description.type, StatementType::UPSERT);

    // Outside a block: a new block for the statement's table, with its key, where the mouse was.
    const int second = h.Frame().ScriptView().ScriptText().indexOf(QStringLiteral("SELECT name"));
    h.RightClickAt(second);
    QTest::qWait(100);
    QString source;
    WhenShown<MetadataWizardDialog>([&](MetadataWizardDialog& dialog) {
        source = dialog.SourceBox()->currentText();
        dialog.GenerateBox()->setChecked(false);
    });
    h.Frame().Actions().ContextOutputWizard()->trigger();
    QCOMPARE(source, QStringLiteral("item"));
    QVERIFY(!script.BlockError());
    QCOMPARE(script.Statements().size(), size_t{2});
    QCOMPARE(script.Statements()[1].description.keyFields, std::vector<std::string>{"id"});
    QCOMPARE(script.Statements()[1].description.describedByBlock, 1);
}

// A table of schema "Sales" named "Customer": the block names it as the SELECT does, quoted, and
// the UPDATE it converts to runs on the server.
void ObjectBrowserTest::wizardQuotesMixedCaseNamesOnPostgreSQL() {
    MARLIX_QT_FRAME_ON(h, Server::PostgreSQL);
    Run(h, "DROP SCHEMA IF EXISTS \"Sales\" CASCADE");
    Run(h, "CREATE SCHEMA \"Sales\"");
    CatalogTable* record =
        NewTable(h, "\"Sales\".\"Customer\" (\"CustomerID\" INTEGER PRIMARY KEY, \"Name\" VARCHAR(20))",
                 "Sales.Customer");
    QVERIFY(record);
    Run(h, "INSERT INTO \"Sales\".\"Customer\" VALUES (7, 'Ann')");
    h.Frame().ObjectBrowser().Select(*record);
    QString shown;
    WhenShown<MetadataWizardDialog>([&](MetadataWizardDialog& dialog) {
        shown = dialog.DestinationEdit()->text() + QString::number(dialog.ColumnList()->count());
        dialog.TypeBox()->setCurrentText(QStringLiteral("Update"));
        dialog.SyntaxBox()->setCurrentText(QStringLiteral("PostgreSQL"));
        dialog.SelectFieldsButton()->click();
        dialog.FieldEdit()->setPlainText(QStringLiteral("name"));
    });
    h.Frame().ObjectBrowser().Run(BrowserCommand::OutputWizard);
    QCOMPARE(shown, QStringLiteral("\"Sales\".\"Customer\"2"));
    QVERIFY(h.Frame().ScriptView().ScriptText().contains(
        QStringLiteral("SELECT \"Name\", \"CustomerID\" FROM \"Sales\".\"Customer\";")));
    // The block's SELECT runs, and the UPDATE it converts to as well.
    for (bool update : {false, true}) {
        QVERIFY(update ? h.RunScript(h.ResultsText()) : h.RunScript());
        QVERIFY2(!h.HistoryText().contains(QStringLiteral("rror")), qPrintable(h.HistoryText()));
    }
    QVERIFY2(h.HistoryText().contains(QStringLiteral("1 row(s) affected")), qPrintable(h.HistoryText()));
}

// The quoting of the names on each server is CatalogReadsTest's and the rules by kind and
// connection BrowserCommandStateTest's; here the window's roads: the context menu follows the
// rules, the tree's keys are its own only while it has the focus, Generate SELECT writes at the
// caret a statement that runs.
void ObjectBrowserTest::treeCommandsOnAMixedCaseTable() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    CatalogTable* table = NewTable(
        h, "\"BrowserMixed\" (\"Id\" INTEGER PRIMARY KEY, \"Full Name\" VARCHAR(20))", "BrowserMixed");
    QVERIFY(table);
    Run(h, "INSERT INTO \"BrowserMixed\" VALUES (7, 'seven')");
    CObjectBrowser& browser = h.Frame().ObjectBrowser();
    auto enabled = [&](const CatalogNode& record) {
        browser.Select(record);
        browser.UpdateContextMenu();
        QStringList on;
        for (BrowserCommand command : kBrowserCommands)
            if (browser.Action(command)->isEnabled()) on << QString::number(static_cast<int>(command));
        return on.join(QLatin1Char(' '));
    };
    QCOMPARE(enabled(*table), QStringLiteral("57634 32808 32846 32797 32775 32777"));

    h.SetScript(QStringLiteral("select 1 as one;"));
    browser.setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(&browser, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("BrowserMixed")));
    // F5 refreshes the table (its columns are read), and runs no script.
    QTest::keyClick(&browser, Qt::Key_F5);
    QVERIFY(table->loaded);
    QVERIFY(!h.Frame().Execution().Running());
    QVERIFY(h.ResultsText().isEmpty());
    // In the editor the same keys are the window's.
    h.Frame().ScriptView().FocusEditor();
    QTest::keyClick(h.Frame().ScriptView().Editor(), Qt::Key_F5);
    QVERIFY(h.WaitForBatchEnd());
    QVERIFY2(h.ResultsText().contains(QStringLiteral("one")), qPrintable(h.ResultsText()));

    h.SetScript(QStringLiteral("-- first\n\n-- last\n"));
    h.PutCaret(QStringLiteral("\n-- last"), 1);
    browser.setFocus();
    QTest::keyClick(&browser, Qt::Key_G, Qt::ControlModifier);
    const QString script = h.Frame().ScriptView().ScriptText();
    QVERIFY2(script.startsWith(QStringLiteral("-- first\n\nSELECT\n\ta.")), qPrintable(script));
    QVERIFY2(script.endsWith(QStringLiteral(";\n-- last\n")), qPrintable(script));
    QVERIFY(h.Frame().ScriptView().Editor()->hasFocus());
    QVERIFY(h.RunScript());
    QVERIFY2(!h.HistoryText().contains(QStringLiteral("rror")), qPrintable(h.HistoryText()));
    QVERIFY2(h.ResultsText().contains(QStringLiteral("seven")), qPrintable(h.ResultsText()));

    h.Frame().Connection().Disconnect();
    QCOMPARE(enabled(browser.Folders().tables), QString());
}

void ObjectBrowserTest::schemaBoxListsSchemasAndChoosingOneReloads() {
    FrameHarness h;
    // A type that has a schema list (MS Access has none) and no database list.
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::PostgreSQL, ConnectionType::Oracle);
    // Without autocommit: a failing statement would end the transaction.
    for (const char* sql :
         {"DROP SCHEMA IF EXISTS w_1 CASCADE", "DROP SCHEMA IF EXISTS wx1 CASCADE", "CREATE SCHEMA w_1",
          "CREATE SCHEMA wx1", "CREATE TABLE w_1.t (a INTEGER)", "CREATE TABLE wx1.t (b INTEGER)"})
        Run(h, sql);
    h.Frame().ObjectBrowser().RefreshSchemaList();
    QComboBox* box = h.Frame().Selection().SchemaBox();
    QCOMPARE(box->itemText(0), QStringLiteral("<all database schemas>"));
    const int s1 = box->findText(QStringLiteral("w_1"));
    QVERIFY(s1 > 0 && box->findText(QStringLiteral("wx1")) > 0 &&
            box->findText(QStringLiteral("public")) > 0);
    box->setCurrentIndex(s1);
    emit box->activated(s1);
    CObjectBrowser& browser = h.Frame().ObjectBrowser();
    QCOMPARE(ChildTexts(CObjectBrowser::ItemOf(browser.Folders().tables)), QStringList{"w_1.t"});
    CObjectBrowser::ItemOf(*browser.Folders().tables.tables[0])->setExpanded(true);
    QCOMPARE(ChildTexts(CObjectBrowser::ItemOf(*browser.Folders().tables.tables[0])),
             QStringList{"a int4, NULL"});
}

void ObjectBrowserTest::nothingIsReadWhileABatchRuns() {
    MARLIX_QT_FRAME_ON(h, Server::PostgreSQL);
    CatalogTable* table = NewTable(h, "brw_busy (id INTEGER)", "public.brw_busy");
    QVERIFY(table);
    CObjectBrowser& browser = h.Frame().ObjectBrowser();
    browser.Select(*table);
    h.SetScript(QStringLiteral("select pg_sleep(1.5);"));
    h.Frame().Runs().ExecuteScript();
    QVERIFY(h.Frame().Execution().Running());

    CObjectBrowser::ItemOf(*table)->setExpanded(true);
    QVERIFY(!table->loaded);
    browser.Run(BrowserCommand::GenerateSelect);
    QCOMPARE(h.Frame().ScriptView().ScriptText(), QStringLiteral("select pg_sleep(1.5);"));
    const size_t tables = browser.Folders().tables.tables.size();
    browser.Reload();
    QCOMPARE(browser.Folders().tables.tables.size(), tables);

    QVERIFY(h.WaitForBatchEnd());
    CObjectBrowser::ItemOf(*table)->setExpanded(false);
    CObjectBrowser::ItemOf(*table)->setExpanded(true);
    QVERIFY(table->loaded);
}

void ObjectBrowserTest::columnsUpdatedDialogListsThirtyTwoColumnsAndShowsTheMask() {
    CatalogTableFolder tables(nullptr, "TABLE");
    auto add = [&](const char* name, int columns) {
        CatalogTable& table =
            *tables.tables.emplace_back(std::make_unique<CatalogTable>(nullptr, name, "", ""));
        for (int i = 0; i < columns; ++i)
            table.columns.push_back(std::make_unique<CatalogColumn>(
                nullptr, QStringLiteral("c%1").arg(i).toStdString(), &table, false));
        table.loaded = true;
        return &table;
    };
    add("zeta", 2);
    CatalogTable* wide = add("wide", 33);
    CatalogTable* unread = add("alpha", 0);
    unread->loaded = false;
    std::vector<std::string> read;
    ColumnsUpdatedDialog dialog(tables, *wide, [&](CatalogTable& table) {
        read.push_back(table.name);
        table.columns.push_back(std::make_unique<CatalogColumn>(nullptr, "a0", &table, false));
        table.loaded = true;
        return true;
    });
    // Sorted, and the browser's table chosen.
    QCOMPARE(dialog.TableBox()->itemText(0), QStringLiteral("alpha"));
    QCOMPARE(dialog.TableBox()->currentText(), QStringLiteral("wide"));
    QCOMPARE(dialog.ColumnList()->count(), 32); // a 33rd column is not listed
    // The mask of a choice is ColumnsUpdatedMask's (CatalogTextTest); here it follows the list.
    QCOMPARE(dialog.MaskText(), QStringLiteral("0"));
    dialog.ColumnList()->item(0)->setSelected(true);
    dialog.ColumnList()->item(31)->setSelected(true);
    QCOMPARE(dialog.MaskText(), QStringLiteral("-2147483647"));
    // Another table: its columns are read when they are not yet.
    dialog.TableBox()->setCurrentIndex(0);
    emit dialog.TableBox()->activated(0);
    QCOMPARE(read, std::vector<std::string>{"alpha"});
    QCOMPARE(dialog.ColumnList()->count(), 1);
    QCOMPARE(dialog.MaskText(), QStringLiteral("0"));
}

QTEST_MAIN(ObjectBrowserTest)
#include "ObjectBrowserTest.moc"
