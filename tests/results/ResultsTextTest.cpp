// The Results text without a window: its line index against a plain split of the same bytes,
// however the text was cut into batch outputs, and truncation, find and saving.
#include "results/text/ResultsText.h"
#include "core/FileTextSink.h"
#include "core/MemoryTextSink.h"
#include "results/text/ClipboardText.h"
#include "results/text/TextColumns.h"
#include "support/TestDatabases.h"

#include <QTest>

#include <filesystem>
#include <random>
#include <tuple>

using namespace marlix;

// A batch output holding the text, shared with the view's tests.
std::unique_ptr<MemoryTextSink> SinkOf(std::string_view text) {
    auto sink = std::make_unique<MemoryTextSink>(MemoryTextSink::kClipboardSize);
    sink->SetGrowable(true);
    sink->Write(text);
    sink->SetGrowable(false);
    return sink;
}

namespace {

// Every query of the index against the lines as a reader of the text would split them (at
// every "\n", without a "\r" before it), offset by offset and line by line.
void CheckAgainstReference(const ResultsText& results, const std::string& text) {
    struct {
        std::vector<size_t> starts{0}, ends;
    } ref;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ref.ends.push_back(i > ref.starts.back() && text[i - 1] == '\r' ? i - 1 : i);
            ref.starts.push_back(i + 1);
        }
    ref.ends.push_back(text.size());
    QCOMPARE(results.Length(), text.size());
    QCOMPARE(results.LineCount(), ref.starts.size());
    size_t longest = 0;
    for (size_t line = 0; line < ref.starts.size(); ++line) {
        QCOMPARE(results.LineStart(line), ref.starts[line]);
        QCOMPARE(results.LineEnd(line), ref.ends[line]);
        const std::string expected = text.substr(ref.starts[line], ref.ends[line] - ref.starts[line]);
        QCOMPARE(std::string(results.Line(line)), expected);
        longest = std::max(longest, expected.size());
    }
    QCOMPARE(results.MaxLineLength(), longest);
    size_t line = 0;
    for (size_t offset = 0; offset <= text.size(); ++offset) {
        while (line + 1 < ref.starts.size() && ref.starts[line + 1] <= offset)
            ++line;
        QCOMPARE(results.LineOfOffset(offset), line);
    }
    QCOMPARE(results.Text(0, text.size()), text);
}

// A text of lines from empty to longer than the index's step, with "\r\n", lone "\n" and lone "\r".
std::string MixedText(size_t lines, unsigned seed) {
    std::mt19937 random(seed);
    std::string text;
    for (size_t i = 0; i < lines; ++i) {
        size_t length = random() % 7 == 0 ? 2000 + random() % 3000 : random() % 90;
        for (size_t j = 0; j < length; ++j)
            text += static_cast<char>(j % 61 == 60 ? '\r' : 'a' + (i + j) % 26);
        text += random() % 3 == 0 ? "\n" : "\r\n";
    }
    return text;
}

} // namespace

class ResultsTextTest : public QObject {
    Q_OBJECT
private slots:
    void LineIndexMatchesSplitAcrossOutputs_data() {
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("empty") << QStringList{};
        QTest::newRow("one output") << QStringList{"select 1\r\nselect 2\r\n"};
        QTest::newRow("no final line end") << QStringList{"a\r\nb"};
        QTest::newRow("lone line feeds") << QStringList{"a\nb\r\n\nc"};
        QTest::newRow("line cut by an output boundary") << QStringList{"ab\r\ncd", "ef\r\n", "g"};
        QTest::newRow("break cut between CR and LF") << QStringList{"ab\r", "\ncd\r", "\n"};
        QTest::newRow("output of line ends only") << QStringList{"x", "\r\n\r\n", "\n", "y"};
        QTest::newRow("line over three outputs") << QStringList{"12", "34", "56\r\n7"};
        QTest::newRow("text ending in CR") << QStringList{"a\r\nb\r"};
        QTest::newRow("empty outputs between") << QStringList{"a\r", "", "\nb", ""};
    }
    void LineIndexMatchesSplitAcrossOutputs() {
        QFETCH(QStringList, pieces);
        ResultsText results;
        std::string text;
        for (const QString& piece : pieces) {
            std::string bytes = piece.toStdString();
            QCOMPARE(results.Append(SinkOf(bytes)), text.size());
            text += bytes;
        }
        CheckAgainstReference(results, text);
    }

    // Long texts cut at random places, in sinks and in small texts: the index's steps and the
    // lines running from one output into the next.
    void LineIndexOfLongTextsCutAnywhere() {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            const std::string text = MixedText(400, seed);
            std::mt19937 random(seed);
            ResultsText results;
            for (size_t at = 0; at < text.size();) {
                size_t n = std::min(text.size() - at, size_t{1} + random() % 6000);
                if (seed % 2)
                    results.Append(SinkOf(std::string_view(text).substr(at, n)));
                else
                    results.Append(text.substr(at, n));
                at += n;
            }
            CheckAgainstReference(results, text);
        }
    }

    // The index costs a small fraction of the text even when every line is tiny.
    void IndexStaysSmallForShortLines() {
        std::string text;
        for (int i = 0; i < 400000; ++i)
            text += i % 2 ? "1\r\n" : "\n";
        ResultsText results;
        results.Append(SinkOf(text));
        QCOMPARE(results.LineCount(), size_t{400001});
        QVERIFY2(results.IndexBytes() * 100 < text.size(), "index over 1% of the text");
        QCOMPARE(results.LineStart(399999), text.size() - 3);
        QCOMPARE(results.LineOfOffset(text.size()), size_t{400000});
    }

    void TruncateKeepsTheLatestOutputAtZero() {
        ResultsText results;
        const std::string first = "first\r\nbatch\r\n", second = "second batch, a rather long first line\r\n";
        results.Append(SinkOf(first));
        results.Append(second);
        const size_t latest = results.Append(SinkOf("third\r\nbatch"));
        QCOMPARE(latest, first.size() + second.size());
        QCOMPARE(results.LatestStart(), latest);
        QCOMPARE(results.TruncateBeforeLatest(), latest);
        QCOMPARE(results.Origin(), latest);
        QCOMPARE(results.LatestStart(), size_t{0});
        CheckAgainstReference(results, "third\r\nbatch");
        QCOMPARE(results.Find("batch", 0), std::optional<size_t>(7));
        // Truncating again keeps the same text.
        QCOMPARE(results.TruncateBeforeLatest(), size_t{0});
        QCOMPARE(results.Length(), size_t{12});
        // A batch without output leaves nothing after truncation.
        QCOMPARE(results.Append(std::unique_ptr<MemoryTextSink>()), size_t{12});
        QCOMPARE(results.TruncateBeforeLatest(), size_t{12});
        QCOMPARE(results.Origin(), latest + 12);
        CheckAgainstReference(results, "");
    }

    void ClearThenAppendStartsAgain() {
        ResultsText results;
        results.Clear(); // nothing to clear
        QCOMPARE(results.Origin(), size_t{0});
        results.Append(SinkOf("one\r\ntwo\r\n"));
        results.Append(std::string("three"));
        results.Clear();
        QCOMPARE(results.Origin(), size_t{15});
        CheckAgainstReference(results, "");
        QCOMPARE(results.Find("one", 0), std::nullopt);
        QCOMPARE(results.Append(SinkOf("four\r\n")), size_t{0});
        QCOMPARE(results.LatestStart(), size_t{0});
        CheckAgainstReference(results, "four\r\n");
    }

    void FindAcrossOutputs_data() {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("found"); // -1: none
        const QStringList cut{"INSERT INTO t VALUES(1)\r\nINS", "E", "RT INTO t VALUES(2)\r\n"};
        QTest::newRow("inside an output") << cut << "VALUES(1)" << 0 << 14;
        QTest::newRow("over three outputs") << cut << "INSERT INTO t VALUES(2)" << 1 << 25;
        QTest::newRow("from the match itself") << cut << "INSERT" << 25 << 25;
        QTest::newRow("past the last") << cut << "INSERT" << 26 << -1;
        QTest::newRow("case counts") << cut << "insert" << 0 << -1;
        QTest::newRow("line break over outputs") << QStringList{"a\r", "\nb"} << "\r\nb" << 0 << 1;
        QTest::newRow("not quite at the end") << QStringList{"abc", "ab"} << "abx" << 0 << -1;
        QTest::newRow("from past the end") << QStringList{"abc"} << "a" << 5 << -1;
        QTest::newRow("empty needle") << QStringList{"abc"} << "" << 0 << -1;
    }
    void FindAcrossOutputs() {
        QFETCH(QStringList, pieces);
        QFETCH(QString, needle);
        QFETCH(int, from);
        QFETCH(int, found);
        ResultsText results;
        for (const QString& piece : pieces)
            results.Append(SinkOf(piece.toStdString()));
        auto hit = results.Find(needle.toStdString(), static_cast<size_t>(from));
        QCOMPARE(hit.has_value() ? static_cast<int>(*hit) : -1, found);
    }

    void WriteToKeepsEveryByte() {
        std::string text = "caf\xc3\xa9\r\n\xff\xfe raw\nlast";
        ResultsText results;
        results.Append(SinkOf(text.substr(0, 4)));
        results.Append(text.substr(4, 5));
        results.Append(SinkOf(text.substr(9)));
        MemoryTextSink memory(MemoryTextSink::kClipboardSize);
        results.WriteTo(memory);
        QCOMPARE(memory.Str(), text);

        const auto path = std::filesystem::temp_directory_path() / "marlix-results-text-write.sql";
        {
            FileTextSink file(path.string());
            results.WriteTo(file);
            file.Close();
        }
        const std::string read = test::ReadFile(path.string());
        std::filesystem::remove(path);
        QCOMPARE(read, text);
    }

    void ClipboardTextHasLineFeeds_data() {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF cut between outputs") << QByteArrayList{"a\r", "\nb\r\n"} << 0 << 6 << "a\nb\n";
        QTest::newRow("lone CR kept") << QByteArrayList{"a\rb\r"} << 0 << 4 << "a\rb\r";
        QTest::newRow("range ending inside CR LF") << QByteArrayList{"a\r\nb"} << 0 << 2 << "a\r";
        QTest::newRow("character cut between outputs")
            << QByteArrayList{"caf\xc3", "\xa9!"} << 0 << 6 << QString::fromUtf8("caf\xc3\xa9!");
        QTest::newRow("sequence cut short at the end")
            << QByteArrayList{"ab\xe2\x82"} << 0 << 4 << QString("ab") + QChar(QChar::ReplacementCharacter);
        QTest::newRow("empty range") << QByteArrayList{"abc"} << 2 << 2 << "";
    }
    void ClipboardTextHasLineFeeds() {
        QFETCH(QByteArrayList, pieces);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, expected);
        ResultsText results;
        for (const QByteArray& piece : pieces)
            results.Append(SinkOf(piece.toStdString()));
        QCOMPARE(ClipboardText(results, size_t(start), size_t(end)), expected);
    }

    // Long text, decoded a chunk at a time: a CR LF and a character over every cut.
    void ClipboardTextOfLongText() {
        std::string text;
        while (text.size() < 300000)
            text += text.size() % 7 ? "caf\xc3\xa9 \xe2\x82\xac\r\n" : "x\r\n";
        ResultsText results;
        results.Append(SinkOf(text.substr(0, 65535)));
        results.Append(text.substr(65535));
        std::string expected;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] != '\r') expected += text[i];
        QCOMPARE(ClipboardText(results, 0, text.size()), QString::fromStdString(expected));
    }

    // Columns are UTF-16 cells of the line: what the clicks and the drawing agree on.
    void ColumnsOfUtf8() {
        const std::string line = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80z"; // a é € 😀 z
        QCOMPARE(ColumnsOf(line), size_t{6});
        QCOMPARE(QString::fromUtf8(line.data(), qsizetype(line.size())).size(), qsizetype{6});
        const size_t bytes[] = {0, 1, 3, 6, 6, 10, 11, 11};
        for (size_t column = 0; column < 8; ++column)
            QCOMPARE(ByteOfColumn(line, column), bytes[column]);
        // From a byte: the next character's start and the previous one's.
        const std::tuple<size_t, size_t, size_t> steps[] = {{0, 1, 0},  {1, 3, 0},   {3, 6, 1},
                                                            {6, 10, 3}, {10, 11, 6}, {11, 11, 10}};
        for (auto [from, next, previous] : steps) {
            QCOMPARE(NextCharacter(line, from), next);
            QCOMPARE(PreviousCharacter(line, from), previous);
        }
        // A sequence cut short still moves forward.
        QCOMPARE(NextCharacter("\xe2\x82", 0), size_t{2});
    }
};

int RunResultsTextTests(int argc, char** argv) {
    ResultsTextTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ResultsTextTest.moc"
