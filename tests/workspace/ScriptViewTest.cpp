// The script view drawn offscreen: analysis after every change, lazy colouring from the
// engine's tokens, clipboard and keys, read-only runs, the error line, the remembered position,
// find, and edits written in by the engine's byte offsets.
#include "metadata/BlockEdits.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/editor/ScriptHighlighter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <memory>

using namespace marlix;

namespace {

std::unique_ptr<CDravelView> ShownView(const QString& text, QSize size = {600, 400}) {
    auto view = std::make_unique<CDravelView>();
    view->resize(size);
    view->SetScriptText(text);
    view->show();
    view->activateWindow();
    if (!QTest::qWaitForWindowActive(view.get())) qWarning("the view's window did not become active");
    QApplication::processEvents();
    return view;
}

void PlaceCaret(CDravelView& view, int position, int anchor = -1) {
    QTextCursor cursor = view.Editor()->textCursor();
    cursor.setPosition(anchor < 0 ? position : anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    view.Editor()->setTextCursor(cursor);
}

// The foreground colours set on a line, as "start+length:#rrggbb".
QStringList LineColours(const CDravelView& view, int line) {
    QStringList colours;
    const QTextBlock block = view.Editor()->document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        colours << QStringLiteral("%1+%2:%3")
                       .arg(r.start)
                       .arg(r.length)
                       .arg(r.format.foreground().color().name());
    return colours;
}

QString Lines(int count, const QString& line) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << line;
    return lines.join(u'\n');
}

// Typed as the keyboard would, characters outside ASCII included.
void Type(QWidget* editor, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClicks(editor, QString(c));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(editor, &press);
        }
    }
}

QPoint PointOfPosition(const CDravelView& view, int position) {
    QTextCursor cursor = view.Editor()->textCursor();
    cursor.setPosition(position);
    return view.Editor()->cursorRect(cursor).center() + QPoint(2, 0);
}

// Drags `text` over the editor and drops it at `position`, as a mouse would.
void Drop(CDravelView& view, int position, const QString& text) {
    QMimeData dropped;
    dropped.setText(text);
    const QPoint at = PointOfPosition(view, position);
    QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.Editor()->viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.Editor()->viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.Editor()->viewport(), &drop);
}

} // namespace

class ScriptViewTest : public QObject {
    Q_OBJECT
private slots:
    void AnalysisFollowsEveryChange();
    void EditsFollowedAsAWholeAnalysisWould();
    void OnlyLinesWhoseColoursChangedAreRecoloured();
    void LongLinesAreColouredAroundTheColumnsShown();
    void PasteTurnsLoneLineEndsIntoLineBreaksAndCtrlEnterInsertsNothing();
    void ReadOnlyWhileABatchRuns();
    void ErrorLineIsMarkedAndClearedByAChange();
    void RememberedPositionIsTheOneUnderTheMouse();
    void FindSelectsScrollsAndWrapsAround();
    void ApplyEditCountsBytesOfNonAsciiText();
    void DropInsertsOnceAtTheDropPointAndFocuses();
};

void ScriptViewTest::AnalysisFollowsEveryChange() {
    auto view = ShownView(QStringLiteral("select 1;\nselect 2"));
    QSignalSpy changed(view.get(), &CDravelView::scriptChanged);
    QSignalSpy undo(view.get(), &CDravelView::undoAvailable);
    QCOMPARE(view->Script().Text(), "select 1;\nselect 2");
    QCOMPARE(view->Script().Statements().size(), 2u);
    QVERIFY(view->StatementsReady());
    QVERIFY(!view->CanUndo()); // setting the text leaves nothing to undo

    PlaceCaret(*view, 18);
    Type(view->Editor(), QString::fromUtf16(u" \u00e9;"));
    QCOMPARE(view->Script().Text(), "select 1;\nselect 2 \xc3\xa9;");
    QCOMPARE(view->CaretOffset(), view->Script().Text().size());
    QCOMPARE(changed.count(), 3);
    QVERIFY(view->AnalysisCurrent());
    QVERIFY(view->CanUndo());
    QVERIFY(!undo.isEmpty() && undo.first().first().toBool());
    QCOMPARE(view->ScriptText(), QString::fromUtf16(u"select 1;\nselect 2 \u00e9;"));

    view->Undo();
    QCOMPARE(view->Script().Text(), "select 1;\nselect 2");
    QVERIFY(view->SetScriptText(QString()));
    QVERIFY(view->IsEmpty());
    QVERIFY(!view->CanFind());
    QVERIFY(!view->StatementsReady());
    QCOMPARE(view->Script().Text(), "");
}

// Edits, pastes and undos in the document, each followed from the change alone, leave the map and
// the script as analysing the whole text again would (mixed line ends, pairs, blocks).
void ScriptViewTest::EditsFollowedAsAWholeAnalysisWould() {
    auto view = ShownView(QString::fromUtf16(u"select 1;\r\n/*METADATA><OPTIONS Syntax = \"ORACLE\" Literals = "
                                             u"\"EXACT\"/></METADATA*/\nselect '\U0001F600' from t;\rselect 2"));
    const QString pieces[] = {QStringLiteral("x"), QStringLiteral("/*"), QStringLiteral(";\n"), QStringLiteral("'"),
                              QString::fromUtf16(u"\u00e9\U0001F600"), QStringLiteral("\n"),
                              QStringLiteral("/*METADATA><RESULTSET Table = \"t\"/></METADATA*/")};
    std::srand(3);
    for (int step = 0; step < 120; ++step) {
        QTextCursor cursor = view->Editor()->textCursor();
        const int size = view->Editor()->document()->characterCount() - 1;
        cursor.setPosition(std::rand() % (size + 1));
        if (std::rand() % 4 == 0) {
            view->Undo();
        } else {
            cursor.setPosition(std::min(size, cursor.position() + std::rand() % 3), QTextCursor::KeepAnchor);
            cursor.insertText(pieces[std::rand() % 7]);
        }
        const QString text = view->Editor()->document()->toRawText();
        QCOMPARE(view->Positions().DocumentText(), text);
        PositionMap map;
        map.Ends() = view->Positions().Ends();
        AnalysedScript whole;
        whole.Rebuild(map.Rebuild(text), view->Script().Options());
        const AnalysedScript& followed = view->Script();
        QCOMPARE(followed.Text(), whole.Text());
        QCOMPARE(followed.Script().Tokens().size(), whole.Script().Tokens().size());
        for (std::size_t t = 0; t < whole.Script().Tokens().size(); ++t) {
            const Token &a = followed.Script().Tokens()[t], &b = whole.Script().Tokens()[t];
            QVERIFY(a.offset == b.offset && a.length == b.length && a.cls == b.cls && a.separator == b.separator);
        }
        QCOMPARE(followed.Statements().size(), whole.Statements().size());
        for (std::size_t i = 0; i < whole.Statements().size(); ++i) {
            const StatementRecord &a = followed.Statements()[i], &b = whole.Statements()[i];
            QVERIFY(a.start == b.start && a.end == b.end && a.description.literals == b.description.literals);
            QCOMPARE(a.analysed.sourceTable, b.analysed.sourceTable);
        }
        QCOMPARE(followed.ResultSetItems().size(), whole.ResultSetItems().size());
        for (int p = 0; p <= text.size(); p += 3)
            QCOMPARE(view->Positions().ByteOfPosition(p), map.ByteOfPosition(p));
    }
}

// The runs of each line are EditorRulesTest's; here they reach the document, lazily.
void ScriptViewTest::OnlyLinesWhoseColoursChangedAreRecoloured() {
    auto view = ShownView(Lines(300, QStringLiteral("select a from t where b = 'x';")));
    const ScriptHighlighter& highlighter = view->Highlighter();
    QCOMPARE(LineColours(*view, 0).join(u' '),
             QStringLiteral("0+6:#0000ff 9+4:#0000ff 16+5:#0000ff 24+1:#808080 26+3:#ff0000 29+1:#808080"));
    // The words stay black in the editor's own colour, whatever the desktop's palette.
    QCOMPARE(view->Editor()->palette().color(QPalette::Text), QColor(Qt::black));
    const QTextBlock line5 = view->Editor()->document()->findBlockByNumber(5);
    PlaceCaret(*view, line5.position() + line5.length() - 1);

    long long before = highlighter.LinesRecoloured();
    QTest::keyClicks(view->Editor(), QStringLiteral(" i"));
    QApplication::processEvents();
    QCOMPARE(highlighter.LinesRecoloured() - before, 0); // the word i is black: no colour changed

    before = highlighter.LinesRecoloured();
    const long long checked = highlighter.LinesChecked();
    QTest::keyClick(view->Editor(), Qt::Key_N);
    QApplication::processEvents();
    QCOMPARE(highlighter.LinesRecoloured() - before, 1); // "in" is gray on line 5, nowhere else
    QVERIFY(highlighter.LinesChecked() - checked < 40);  // only the lines on screen were looked at
    QVERIFY(LineColours(*view, 5).contains(QStringLiteral("31+2:#808080")));

    // A comment opened at the top recolours the lines shown only.
    PlaceCaret(*view, 0);
    before = highlighter.LinesRecoloured();
    QTest::keyClicks(view->Editor(), QStringLiteral("/*"));
    QApplication::processEvents();
    QCOMPARE(view->Script().Script().Tokens().size(), 1u); // one comment to the end
    const long long recoloured = highlighter.LinesRecoloured() - before;
    QVERIFY2(recoloured > 5 && recoloured < 60, qPrintable(QString::number(recoloured)));
    QCOMPARE(LineColours(*view, 3), QStringList{QStringLiteral("0+30:#008080")});

    // Lines further down are coloured when they come into view.
    view->Editor()->verticalScrollBar()->setValue(250);
    QApplication::processEvents();
    QCOMPARE(LineColours(*view, 260), QStringList{QStringLiteral("0+30:#008080")});

    // Closing the comment brings the keywords back on the lines shown.
    QTest::keyClick(view->Editor(), Qt::Key_Backspace);
    QApplication::processEvents();
    QVERIFY(LineColours(*view, 260).contains(QStringLiteral("0+6:#0000ff")));
}

void ScriptViewTest::LongLinesAreColouredAroundTheColumnsShown() {
    // One line of 1,000 statements, as a dump's INSERT of many rows would be.
    QString line;
    for (int i = 0; i < 1000; ++i)
        line += QStringLiteral("select x%1 from t; ").arg(i, 4, 10, QChar(u'0'));
    QCOMPARE(line.size(), 21000);
    auto view = ShownView(line + QStringLiteral("\nselect"));
    auto span = [&] {
        const QTextBlock block = view->Editor()->document()->firstBlock();
        const QList<QTextLayout::FormatRange> formats = block.layout()->formats();
        return formats.isEmpty()
                   ? std::pair{-1, -1}
                   : std::pair{formats.first().start, formats.last().start + formats.last().length};
    };
    QCOMPARE(span().first, 0);
    QVERIFY(span().second < ScriptHighlighter::kLongLine);
    QCOMPARE(LineColours(*view, 1), QStringList{QStringLiteral("0+6:#0000ff")});

    view->Editor()->horizontalScrollBar()->setValue(view->Editor()->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    QVERIFY(span().first > 10000);
    QCOMPARE(span().second, 20999); // the last statement's ';' (the blank after it is black)
    // The colours are those of the tokens there: "select" at a statement's start is blue.
    QVERIFY(LineColours(*view, 0).contains(QStringLiteral("%1+6:#0000ff").arg(line.lastIndexOf(u"select"))));
}

void ScriptViewTest::PasteTurnsLoneLineEndsIntoLineBreaksAndCtrlEnterInsertsNothing() {
    // Pasted into a CR LF script, every line end becomes CR LF.
    auto view = ShownView(QStringLiteral("xy\r\n"));
    PlaceCaret(*view, 1);
    QApplication::clipboard()->setText(QStringLiteral("a\nb\rc\r\nd"));
    view->Paste();
    QCOMPARE(view->ScriptText(), QStringLiteral("xa\nb\nc\ndy\n"));
    QCOMPARE(view->Script().Text(), "xa\r\nb\r\nc\r\ndy\r\n");
    QCOMPARE(view->Editor()->document()->blockCount(), 5);
    view->Undo(); // one step takes the whole paste back
    QCOMPARE(view->ScriptText(), QStringLiteral("xy\n"));

    // Copy gives the selection as plain text with '\n' line breaks.
    view->SetScriptText(QStringLiteral("one\ntwo"));
    view->SelectAll();
    QVERIFY(view->HasSelection());
    view->Copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("one\ntwo"));
    QVERIFY(!QApplication::clipboard()->mimeData()->hasHtml());

    // Ctrl+Enter, the Execute Statement key, inserts nothing.
    view->SetScriptText(QStringLiteral("select 1"));
    PlaceCaret(*view, 4);
    QTest::keyClick(view->Editor(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(view->Editor(), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(view->ScriptText(), QStringLiteral("select 1"));

    // Shift+Enter breaks the line like Enter, not with a separator inside the line.
    QTest::keyClick(view->Editor(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(view->Editor()->document()->blockCount(), 2);
    QCOMPARE(view->Script().Text(), "sele\nct 1");
}

void ScriptViewTest::ReadOnlyWhileABatchRuns() {
    auto view = ShownView(QStringLiteral("select 1"));
    PlaceCaret(*view, 8);
    QTest::keyClicks(view->Editor(), QStringLiteral(";"));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    view->SetBatchRunning(true);
    QVERIFY(view->Editor()->isReadOnly());

    QTest::keyClicks(view->Editor(), QStringLiteral("x"));
    QTest::keyClick(view->Editor(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(view->Editor(), Qt::Key_Return);
    view->Undo();
    view->Paste();
    view->SelectAll();
    view->Cut();
    QVERIFY(!view->ReplaceSelection(QStringLiteral("r")));
    QVERIFY(!view->ApplyEdit(TextEdit{0, 0, "e"}));
    QVERIFY(!view->SetScriptText(QStringLiteral("new")));
    Drop(*view, 2, QStringLiteral("dropped"));
    QCOMPARE(view->ScriptText(), QStringLiteral("select 1;"));

    view->SetBatchRunning(false);
    PlaceCaret(*view, 9);
    QTest::keyClicks(view->Editor(), QStringLiteral("x"));
    QCOMPARE(view->ScriptText(), QStringLiteral("select 1;x"));
}

void ScriptViewTest::ErrorLineIsMarkedAndClearedByAChange() {
    auto view = ShownView(QString::fromUtf16(u"select 1;\n-- \u00e9\u00e9\nselect x;\nselect 3;"));
    const std::size_t third = view->Script().Text().find("select x");
    view->MarkErrorOffset(third + 7);
    QCOMPARE(view->ErrorLine(), 2);

    // The navy arrow sits in the margin, 4 to 8 pixels below the top of that line.
    ScriptEditor* editor = view->Editor();
    QTextCursor line(editor->document()->findBlockByNumber(2));
    const int top = editor->cursorRect(line).top();
    const QImage image = editor->grab().toImage();
    const QPoint origin = editor->contentsRect().topLeft();
    QCOMPARE(QColor(image.pixel(origin + QPoint(6, top + 6))), QColor(0, 0, 128));
    QVERIFY(QColor(image.pixel(origin + QPoint(6, top + 10))) != QColor(0, 0, 128));

    view->MarkErrorOffset(std::size_t{1} << 40); // past the end: the last line
    QCOMPARE(view->ErrorLine(), 3);
    PlaceCaret(*view, 0);
    QTest::keyClicks(editor, QStringLiteral(" "));
    QCOMPARE(view->ErrorLine(), -1);
    view->MarkErrorOffset(0);
    QCOMPARE(view->ErrorLine(), 0);
    view->ClearErrorLine();
    QCOMPARE(view->ErrorLine(), -1);
}

void ScriptViewTest::RememberedPositionIsTheOneUnderTheMouse() {
    auto view = ShownView(QString::fromUtf16(u"-- \u00e9\u20ac\nselect 1;\nselect 2;"));
    QAction copy(QStringLiteral("Copy"));
    QAction execute(QStringLiteral("Execute Statement"));
    view->SetContextMenuActions({&copy, &execute});
    QCOMPARE(view->RememberedOffset(), std::nullopt);

    PlaceCaret(*view, 0);
    const int position = static_cast<int>(view->ScriptText().indexOf(QStringLiteral("select 2"))) + 3;
    const QPoint at = PointOfPosition(*view, position);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, view->Editor()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->Editor()->viewport(), &request);
    QCOMPARE(view->RememberedOffset(), view->Script().Text().find("select 2") + 3);
    QCOMPARE(view->CaretOffset(), std::size_t{0}); // the caret stays where it was
    QMenu* menu = view->findChild<QMenu*>();
    QVERIFY(menu && menu->isVisible());
    QCOMPARE(menu->actions(), (QList<QAction*>{&copy, &execute}));
    menu->close();

    view->SetScriptText(QStringLiteral("select 3"));
    QCOMPARE(view->RememberedOffset(), std::nullopt);
}

// Where find starts and wraps is FindState's (EditorRulesTest); here the match is selected
// and scrolled to, and the dialog opens on the run at the caret.
void ScriptViewTest::FindSelectsScrollsAndWrapsAround() {
    QString text = Lines(100, QStringLiteral("select a;")) + QStringLiteral("\nselect needle;\n") +
                   Lines(100, QStringLiteral("select b;"));
    auto view = ShownView(text);
    view->Finder().Start(0);
    QVERIFY(view->FindNext(QStringLiteral("needle")));
    QCOMPARE(view->Editor()->textCursor().selectedText(), QStringLiteral("needle"));
    QCOMPARE(view->Editor()->verticalScrollBar()->value(), 100); // its line is the first visible

    PlaceCaret(*view, 3);
    view->Find();
    QLineEdit* what = view->findChild<QLineEdit*>();
    QVERIFY(what);
    QCOMPARE(what->text(), QStringLiteral("select"));
    QCOMPARE(view->Finder().Position(), 3);
    what->window()->close();
}

void ScriptViewTest::ApplyEditCountsBytesOfNonAsciiText() {
    auto view = ShownView(QString::fromUtf16(u"-- caf\u00e9 \U0001F600 \u20ac\nselect 1;\nselect 2;"));
    const std::size_t second = view->Script().Statements().at(1).start;
    QVERIFY(view->ApplyEdit(
        TextEdit{second, second, "/*METADATA><OPTIONS Syntax = \"ORACLE\"/></METADATA*/\r\n"}));
    QCOMPARE(view->ScriptText(), QString::fromUtf16(u"-- caf\u00e9 \U0001F600 \u20ac\nselect 1;\n"
                                                    u"/*METADATA><OPTIONS Syntax = \"ORACLE\"/></METADATA*/\n"
                                                    u"select 2;"));
    QVERIFY(view->Script().Text().find("</METADATA*/\nselect 2;") !=
            std::string_view::npos); // the script's LF
    QCOMPARE(view->Script().SyntaxItems().size(), 1u);

    // A replacement: the "1" of the first statement.
    const std::size_t one = view->Script().Text().find("select 1") + 7;
    QVERIFY(view->ApplyEdit(TextEdit{one, one + 1, "42"}));
    QVERIFY(view->ScriptText().contains(QStringLiteral("\nselect 42;\n")));
    QVERIFY(!view->ApplyEdit(TextEdit{1, view->Script().Text().size() + 1, "x"})); // outside the text
    view->Undo();
    view->Undo();
    QCOMPARE(view->ScriptText(), QString::fromUtf16(u"-- caf\u00e9 \U0001F600 \u20ac\nselect 1;\nselect 2;"));
}

void ScriptViewTest::DropInsertsOnceAtTheDropPointAndFocuses() {
    auto view = ShownView(QStringLiteral("select  from t"));
    QLineEdit elsewhere;
    elsewhere.show();
    elsewhere.setFocus();
    Drop(*view, 7, QStringLiteral("a,\nb"));
    QCOMPARE(view->ScriptText(), QStringLiteral("select a,\nb from t"));
    QCOMPARE(view->Script().Text(), "select a,\nb from t");
    QVERIFY(view->Editor()->hasFocus());
}

QTEST_MAIN(ScriptViewTest)
#include "ScriptViewTest.moc"
