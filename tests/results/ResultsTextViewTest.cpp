// The Results pane as the user handles it: dragging and keys select, copy puts the text on the
// clipboard, scrolling and find bring the right line up, and odd bytes are drawn without harm.
#include "results/text/ResultsTextView.h"
#include "core/MemoryTextSink.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace marlix;

// A batch output holding the text (ResultsTextTest.cpp).
std::unique_ptr<MemoryTextSink> SinkOf(std::string_view text);

namespace {

// A point inside the cell of the column on the line, as it is on screen now.
QPoint CellPoint(const ResultsTextView& view, size_t line, size_t column) {
    QFontMetricsF metrics(view.font());
    const qreal width = metrics.horizontalAdvance(QLatin1Char('M'));
    const qreal height = std::ceil(metrics.height());
    const qreal x = (double(column) - view.horizontalScrollBar()->value()) * width + 1;
    const qreal y = (double(line) - double(view.FirstVisibleLine())) * height + height / 2;
    return QPointF(x, y).toPoint();
}

void Show(ResultsTextView& view) {
    view.resize(480, 240);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setFocus();
}

std::string Numbered(size_t lines) {
    std::string text;
    for (size_t i = 0; i < lines; ++i)
        text += "INSERT INTO t VALUES(" + std::to_string(i) + ")\r\n";
    return text;
}

// Pixels of the text colour in the rows of a grabbed view.
int InkIn(const QImage& image, int top, int bottom, QRgb base) {
    int ink = 0;
    for (int y = std::max(0, top); y < std::min(image.height(), bottom); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += image.pixel(x, y) != base;
    return ink;
}

} // namespace

class ResultsTextViewTest : public QObject {
    Q_OBJECT
private slots:
    void DragShiftClickAndKeysSelect() {
        ResultsTextView view;
        view.Text().Append(SinkOf("first line\r\nsec"));
        view.Text().Append(std::string("ond line\r\nthird"));
        view.TextChanged();
        Show(view);
        QSignalSpy changes(&view, &ResultsTextView::selectionChanged);
        QWidget* area = view.viewport();

        QTest::mousePress(area, Qt::LeftButton, {}, CellPoint(view, 0, 6));
        QTest::mouseMove(area, CellPoint(view, 1, 6));
        QTest::mouseRelease(area, Qt::LeftButton, {}, CellPoint(view, 1, 6));
        QCOMPARE(view.SelectedText(), std::string("line\r\nsecond"));
        QVERIFY(changes.count() > 0);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("line\nsecond"));

        QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, CellPoint(view, 2, 4));
        QCOMPARE(view.SelectedText(), std::string("line\r\nsecond line\r\nthir"));
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier); // nothing after the end
        QCOMPARE(view.SelectedText(), std::string("line\r\nsecond line\r\nthird"));
        QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), std::string("line\r\nsecon"));
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), std::string("line\r\nsecond line"));

        // A click without Shift starts again; keys from there go over the line break as one.
        QTest::mouseClick(area, Qt::LeftButton, {}, CellPoint(view, 0, 10));
        QVERIFY(!view.HasSelection());
        view.CopySelection(); // no selection: the clipboard stays as it was
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("line\nsecond"));
        view.CopyAll(); // the decoding is ClipboardText's (ResultsTextTest)
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("first line\nsecond line\nthird"));
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), std::string("\r\n"));
        QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), std::string("e"));

        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(view.SelectedText(), std::string("first line\r\nsecond line\r\nthird"));
    }

    void ScrollToOffsetPutsItsLineFirst() {
        ResultsTextView view;
        const std::string text = Numbered(1000);
        view.Text().Append(SinkOf(text.substr(0, 12345)));
        view.Text().Append(SinkOf(text.substr(12345)));
        view.TextChanged();
        Show(view);
        const size_t line500 = view.Text().LineStart(500);
        view.ScrollToOffset(line500 + 5);
        QCOMPARE(view.FirstVisibleLine(), size_t{500});
        // The line cut between the two outputs, and the last lines, come to the top as well.
        const size_t cutLine = view.Text().LineOfOffset(12345);
        view.ScrollToOffset(12345);
        QCOMPARE(view.FirstVisibleLine(), cutLine);
        view.ScrollToOffset(view.Text().LineStart(999));
        QCOMPARE(view.FirstVisibleLine(), size_t{999});
        view.ScrollToEnd();
        QCOMPARE(view.FirstVisibleLine() + view.VisibleLines(), view.Text().LineCount());
        QCOMPARE(view.verticalScrollBar()->maximum(), int(view.Text().LineCount() - view.VisibleLines()));
    }

    // A text that fits needs no scrolling, until a line is brought to the top; scrolling back
    // ends that.
    void ShortTextScrollsOnlyWhenAsked() {
        ResultsTextView view;
        view.Text().Append(SinkOf(Numbered(3)));
        view.TextChanged();
        Show(view);
        QCOMPARE(view.verticalScrollBar()->maximum(), 0);
        const size_t latest = view.Text().Append(SinkOf("latest\r\n"));
        view.TextChanged();
        view.ScrollToOffset(latest);
        QCOMPARE(view.FirstVisibleLine(), size_t{3});
        view.verticalScrollBar()->setValue(0);
        QCOMPARE(view.verticalScrollBar()->maximum(), 0);
    }

    void TextChangedFollowsTruncateAndClear() {
        ResultsTextView view;
        view.Text().Append(SinkOf(Numbered(300)));
        view.TextChanged();
        Show(view);
        const size_t latest = view.Text().Append(SinkOf("latest batch\r\n" + Numbered(200)));
        view.TextChanged();
        view.ScrollToOffset(latest);
        const size_t topLine = view.FirstVisibleLine();
        QCOMPARE(topLine, size_t{300});
        view.Select(latest + 7, latest + 12);
        QCOMPARE(view.SelectedText(), std::string("batch"));
        // Appending leaves the view where it was.
        view.Text().Append(std::string("more\r\n"));
        view.TextChanged();
        QCOMPARE(view.FirstVisibleLine(), topLine);

        QSignalSpy changes(&view, &ResultsTextView::selectionChanged);
        view.Text().TruncateBeforeLatest(); // the latest output is the short "more"
        view.TextChanged();
        QVERIFY(!view.HasSelection());
        QCOMPARE(view.FirstVisibleLine(), size_t{0});
        QCOMPARE(changes.count(), 1);

        const size_t start = view.Text().Append(SinkOf("kept\r\n" + Numbered(100)));
        view.TextChanged();
        view.ScrollToOffset(view.Text().LineStart(50));
        view.Select(start, start + 4);
        view.Text().TruncateBeforeLatest();
        view.TextChanged();
        QCOMPARE(view.SelectedText(), std::string("kept"));
        QCOMPARE(view.SelectionStart(), size_t{0});
        QCOMPARE(view.FirstVisibleLine(), size_t{49}); // the same text: the line "more" went

        view.Text().Clear();
        view.TextChanged();
        QVERIFY(!view.HasSelection());
        QCOMPARE(view.FirstVisibleLine(), size_t{0});
        view.grab(); // an empty text draws
    }

    // Matching is ResultsText::Find's (ResultsTextTest); here the match is selected, brought into
    // view, and the search goes on from it and wraps to the top.
    void FindNextSelectsScrollsAndWraps() {
        ResultsTextView view;
        const std::string text = Numbered(400);
        const size_t at = text.find("VALUES(333)");
        view.Text().Append(SinkOf(text));
        view.TextChanged();
        Show(view);
        QVERIFY(view.FindNext("VALUES(333)"));
        QCOMPARE(view.SelectionStart(), at);
        QCOMPARE(view.SelectedText(), std::string("VALUES(333)"));
        const size_t line = view.Text().LineOfOffset(at);
        QVERIFY(view.FirstVisibleLine() <= line && line < view.FirstVisibleLine() + view.VisibleLines());
        QVERIFY(view.FindNext("INSERT"));
        QCOMPARE(view.Text().LineOfOffset(view.SelectionStart()), line + 1);
        QVERIFY(!view.FindNext("VALUES(333)"));
        QVERIFY(view.FindNext("VALUES(333)")); // from the top again
        QCOMPARE(view.SelectionStart(), at);
    }

    // Glyphs wider than a cell (CJK from a fallback font) move what follows them: a click lands on
    // the character drawn under it, and the selection is drawn over the characters it holds.
    void ClicksFollowWideGlyphs() {
        const std::string wide = "\xe6\xbc\xa2\xe5\xad\x97\xe6\xbc\xa2\xe5\xad\x97";
        ResultsTextView view;
        view.Text().Append(wide + "abc\r\nnext");
        view.TextChanged();
        Show(view);
        QFontMetricsF metrics(view.font());
        const qreal x = metrics.horizontalAdvance(QString::fromStdString(wide));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(int(x) + 2, CellPoint(view, 0, 0).y()));
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), std::string("abc"));
        // The selection's highlight ends where "c" ends.
        const QImage image = view.viewport()->grab().toImage();
        const qreal end = metrics.horizontalAdvance(QString::fromStdString(wide + "abc"));
        const QRgb highlight = view.palette().highlight().color().rgb();
        const int y = 1; // above the small letters' ink
        QCOMPARE(image.pixel(int(end) - 1, y), highlight);
        QVERIFY(image.pixel(int(end) + 2, y) != highlight);
    }

    void DrawsAnyBytesWithoutHarm() {
        ResultsTextView view;
        std::string odd =
            "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80 \xe6\xbc\xa2\xe5\xad\x97 tab\there \xff\xfe\xc3 end\r\n";
        std::string wide(12000, 'w');
        wide += "\xe2\x82\xac\r\n";
        view.Text().Append(SinkOf(odd + "cut \xe2\x82"));
        view.Text().Append(SinkOf("\xac in two\r\n" + wide + "last\rline"));
        view.TextChanged();
        Show(view);
        const QRgb base = view.palette().base().color().rgb();
        QFontMetricsF metrics(view.font());
        const int height = int(std::ceil(metrics.height()));
        QVERIFY(InkIn(view.viewport()->grab().toImage(), 0, height, base) > 0);

        // Keys step over whole characters: three steps select a, é and €.
        view.ScrollToOffset(0);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellPoint(view, 0, 0));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), std::string("a\xc3\xa9\xe2\x82\xac"));
        view.CopySelection();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("aé€"));

        // Far to the right of the long line, selected through the cut character.
        view.SelectAll();
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
        QVERIFY(view.horizontalScrollBar()->maximum() >= 12000 - 100);
        QVERIFY(InkIn(view.viewport()->grab().toImage(), 2 * height, 3 * height, base) > 0);
        view.horizontalScrollBar()->setValue(6000);
        view.viewport()->grab();
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_PageUp, Qt::ShiftModifier);
        view.viewport()->grab();
    }
};

int RunResultsTextViewTests(int argc, char** argv) {
    ResultsTextViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ResultsTextViewTest.moc"
