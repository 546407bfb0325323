// marlix-screenshots: draws the real window in the states a user meets first, as PNG pictures.
// It fills a new SQLite demo database through the window itself, then opens the demo script.
//
//   marlix-screenshots DIR DATA_DIR DATABASE_FILE
#include "core/DialectSettings.h"
#include "core/ProfileStore.h"
#include "db/ODBCSession.h"
#include "results/HistoryPane.h"
#include "results/SQLResultsView.h"
#include "results/StatementSummaryPopup.h"
#include "workspace/ConnectionCommands.h"
#include "workspace/DravelDoc.h"
#include "workspace/DravelView.h"
#include "workspace/ExecutionController.h"
#include "workspace/MainFrame.h"
#include "workspace/RunCommands.h"
#include "workspace/ScriptCommands.h"
#include "workspace/ScriptEditor.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
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
    LoadDialectSettings(profile);
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
    frame.Document().SetModified(false);
    return ok ? 0 : 1;
}
