// The script view's widget-free rules: the map between document positions and engine bytes,
// the ranges that follow edits, find, and the colour runs of a line.
#include "metadata/AnalysedScript.h"
#include "workspace/editor/FindState.h"
#include "workspace/editor/PositionMap.h"
#include "workspace/editor/ScriptColours.h"
#include "workspace/editor/TrackedRanges.h"

#include <QTest>

#include <optional>
#include <vector>

using namespace marlix;

Q_DECLARE_METATYPE(std::optional<DocumentRange>)

namespace {

std::vector<ColourRun> RunsOfLine(const QString& text, int line) {
    PositionMap map;
    AnalysedScript script;
    script.Rebuild(map.Rebuild(text));
    int start = 0;
    for (int i = 0; i < line; ++i)
        start = static_cast<int>(text.indexOf(u'\n', start)) + 1;
    int end = static_cast<int>(text.indexOf(u'\n', start));
    if (end < 0) end = static_cast<int>(text.size());
    std::vector<ColourRun> runs;
    LineColourRuns(script.View(), map, StandardKeywordTable(), start, end - start, runs);
    return runs;
}

QString Describe(const std::vector<ColourRun>& runs) {
    QStringList parts;
    for (const ColourRun& r : runs)
        parts << QStringLiteral("%1+%2:%3").arg(r.start).arg(r.length).arg(r.colour, 6, 16, QChar(u'0'));
    return parts.join(u' ');
}

} // namespace

class EditorRulesTest : public QObject {
    Q_OBJECT
private slots:
    void PositionMapTable_data();
    void PositionMapTable();
    void PositionMapAgreesWithUtf8AcrossCheckpoints();
    void PositionMapFollowsEditsAsARebuildWould();
    void TrackedRangesTable_data();
    void TrackedRangesTable();
    void TrackedRangesFollowASequenceOfEdits();
    void FindInitialText_data();
    void FindInitialText();
    void FindNextWrapsToTheBeginning();
    void LineColours_data();
    void LineColours();
};

void EditorRulesTest::PositionMapTable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("engine");
    QTest::addColumn<QList<int>>("byteOfPosition"); // positions 0 .. length + 1 (past the end clamps)
    QTest::addColumn<QList<int>>("positionOfByte"); // bytes 0 .. engine length + 1

    // Line feeds and characters of two to four bytes at every offset: the test after this one.
    QTest::newRow("empty") << QString() << QByteArray() << QList<int>{0, 0} << QList<int>{0, 0};
    QTest::newRow("paragraph and line separators are breaks")
        << QString::fromUtf16(u"\u2029x\u2028") << QByteArray("\r\nx\r\n") << QList<int>{0, 2, 3, 5, 5}
        << QList<int>{0, 0, 1, 2, 2, 3, 3};
    QTest::newRow("break at the end") << QStringLiteral("a\n") << QByteArray("a\n")
                                      << QList<int>{0, 1, 2, 2} << QList<int>{0, 1, 2, 2};
    QTest::newRow("each break its own line end")
        << QStringLiteral("a\nb\nc\n") << QByteArray("a\nb\r\nc\r")
        << QList<int>{0, 1, 2, 3, 5, 6, 7, 7} << QList<int>{0, 1, 2, 3, 3, 4, 5, 6, 6};
    QTest::newRow("surrogate pair, four bytes")
        << QString::fromUtf16(u"\U0001F600z") << QByteArray("\xf0\x9f\x98\x80z") << QList<int>{0, 0, 4, 5, 5}
        << QList<int>{0, 0, 0, 0, 2, 3, 3};
    QTest::newRow("lone surrogate becomes U+FFFD") << QString(QChar(0xD800)) + u'a'
                                                   << QByteArray("\xef\xbf\xbd"
                                                                 "a")
                                                   << QList<int>{0, 3, 4, 4} << QList<int>{0, 0, 0, 1, 2, 2};
}

void EditorRulesTest::PositionMapTable() {
    QFETCH(QString, text);
    QFETCH(QByteArray, engine);
    QFETCH(QList<int>, byteOfPosition);
    QFETCH(QList<int>, positionOfByte);
    PositionMap map;
    map.Ends() = LineEnds::Of(engine.toStdString()); // the script's line ends are the engine text's
    const std::string built = map.Rebuild(text);
    QCOMPARE(QByteArray::fromStdString(built), engine);
    QCOMPARE(map.EngineLength(), built.size());
    QCOMPARE(map.DocumentLength(), text.size());
    for (int p = 0; p < byteOfPosition.size(); ++p)
        QVERIFY2(map.ByteOfPosition(p) == static_cast<std::size_t>(byteOfPosition[p]),
                 qPrintable(QStringLiteral("position %1 gave byte %2").arg(p).arg(map.ByteOfPosition(p))));
    for (int b = 0; b < positionOfByte.size(); ++b)
        QVERIFY2(map.PositionOfByte(static_cast<std::size_t>(b)) == positionOfByte[b],
                 qPrintable(QStringLiteral("byte %1 gave position %2").arg(b).arg(map.PositionOfByte(b))));
    QCOMPARE(map.ByteOfPosition(-3), std::size_t{0});
}

void EditorRulesTest::PositionMapAgreesWithUtf8AcrossCheckpoints() {
    // Mixed widths, so that pairs and breaks of every line end fall on every offset of the lookup
    // checkpoints.
    const QString pieces[] = {QStringLiteral("select"),      QString::fromUtf16(u"\U0001F600"),
                              QStringLiteral("\n"),          QString::fromUtf16(u"\u00e9"),
                              QString::fromUtf16(u"\u20ac"), QStringLiteral(" ")};
    // Each break its own line end, in turn CR LF, LF and CR.
    const char* kinds[] = {"\r\n", "\n", "\r"};
    QString text, withEnds;
    for (int i = 0; text.size() < 3000; ++i) {
        const QString& piece = pieces[(i * 7 + i / 3) % 6];
        text += piece;
        withEnds += piece == u"\n" ? QString::fromLatin1(kinds[i / 5 % 3]) : piece;
    }
    PositionMap map;
    map.Ends() = LineEnds::Of(withEnds.toStdString());
    const std::string built = map.Rebuild(text);
    QCOMPARE(QByteArray::fromStdString(built), withEnds.toUtf8());

    std::size_t previous = 0;
    for (int p = 0; p <= text.size(); ++p) {
        const std::size_t byte = map.ByteOfPosition(p);
        QVERIFY(byte >= previous);
        previous = byte;
        if (p < text.size() && text[p].unicode() < 0x80 && text[p] != u'\n')
            QCOMPARE(built[byte], static_cast<char>(text[p].unicode()));
        const bool secondHalf = p > 0 && p < text.size() && text[p].isLowSurrogate();
        QCOMPARE(map.PositionOfByte(byte), secondHalf ? p - 1 : p);
        if (!secondHalf && p < text.size()) {
            // Every other byte of the character (or the '\n' of a break) maps back to it.
            const std::size_t next = map.ByteOfPosition(text[p].isHighSurrogate() ? p + 2 : p + 1);
            for (std::size_t b = byte + 1; b < next; ++b)
                QCOMPARE(map.PositionOfByte(b), p);
        }
    }
}

void EditorRulesTest::PositionMapFollowsEditsAsARebuildWould() {
    // Random edits of pairs, lone halves and breaks of mixed line ends, some cutting a pair.
    const QString pieces[] = {QStringLiteral("ab"), QString::fromUtf16(u"\U0001F600"), QStringLiteral("\n"),
                              QString::fromUtf16(u"\u00e9\u20ac"), QString(QChar(0xD83D)), QString(QChar(0xDE00))};
    QString text;
    for (int i = 0; i < 400; ++i)
        text += pieces[(i * 7 + i / 3) % 6];
    // Each break's line end as the script has it: the ones kept stay, new ones take the style.
    std::vector<std::string> ends;
    auto endsOf = [&ends] {
        std::string lines = "x";
        for (const std::string& end : ends)
            lines += end + "x";
        return LineEnds::Of(lines);
    };
    for (const QChar c : text)
        if (c == u'\n') ends.push_back(ends.size() % 3 == 0 ? "\r\n" : ends.size() % 3 == 1 ? "\n" : "\r");
    PositionMap map;
    map.Ends() = endsOf();
    std::string engine = map.Rebuild(text);
    std::srand(5);
    for (int step = 0; step < 300; ++step) {
        const int size = map.DocumentLength();
        const int at = std::rand() % (size + 1);
        const int removed = std::min(size - at, std::rand() % 4 == 0 ? std::rand() % 300 : std::rand() % 3);
        QString added;
        for (int n = std::rand() % 4; n > 0; --n)
            added += pieces[std::rand() % 6];
        const auto breaksBefore = static_cast<std::ptrdiff_t>(PositionMap::BreaksIn(text, 0, at));
        ends.erase(ends.begin() + breaksBefore,
                   ends.begin() + breaksBefore + static_cast<std::ptrdiff_t>(PositionMap::BreaksIn(text, at, at + removed)));
        ends.insert(ends.begin() + breaksBefore, PositionMap::BreaksIn(added, 0, static_cast<int>(added.size())),
                    std::string(map.Ends().StyleText()));
        const PositionMap::EngineEdit edit = map.Follow(at, removed, added);
        engine.replace(edit.at, edit.removed, edit.inserted);
        text.replace(at, removed, added);
        QCOMPARE(map.DocumentText(), text);
        PositionMap fresh;
        fresh.Ends() = endsOf();
        QCOMPARE(QByteArray::fromStdString(engine), QByteArray::fromStdString(fresh.Rebuild(text)));
        QCOMPARE(map.EngineLength(), engine.size());
        for (int p = 0; p <= text.size(); p += 1 + std::rand() % 5)
            QCOMPARE(map.ByteOfPosition(p), fresh.ByteOfPosition(p));
        for (std::size_t b = 0; b <= engine.size(); b += 1 + std::rand() % 5)
            QCOMPARE(map.PositionOfByte(b), fresh.PositionOfByte(b));
    }
}

void EditorRulesTest::TrackedRangesTable_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("added");
    QTest::addColumn<std::optional<DocumentRange>>("expected"); // for the range [10, 20)

    using R = std::optional<DocumentRange>;
    QTest::newRow("insertion above moves it") << 2 << 0 << 3 << R{{13, 23}};
    QTest::newRow("insertion at its start moves it") << 10 << 0 << 1 << R{{11, 21}};
    QTest::newRow("insertion at its end leaves it") << 20 << 0 << 4 << R{{10, 20}};
    QTest::newRow("insertion inside edits it") << 15 << 0 << 1 << R{};
    QTest::newRow("removal above, ending at its start") << 4 << 6 << 0 << R{{4, 14}};
    QTest::newRow("removal reaching into it") << 8 << 3 << 0 << R{};
    QTest::newRow("removal of its last character") << 19 << 1 << 0 << R{};
    QTest::newRow("removal of all of it") << 10 << 10 << 0 << R{};
    QTest::newRow("removal below") << 20 << 5 << 0 << R{{10, 20}};
    QTest::newRow("replacement above") << 0 << 3 << 5 << R{{12, 22}};
    QTest::newRow("replacement below") << 25 << 1 << 3 << R{{10, 20}};
    QTest::newRow("whole text replaced (open, set text)") << 0 << 40 << 40 << R{};
}

void EditorRulesTest::TrackedRangesTable() {
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(int, added);
    QFETCH(std::optional<DocumentRange>, expected);
    TrackedRanges ranges;
    const int id = ranges.Add(10, 20);
    ranges.ApplyChange(position, removed, added);
    QCOMPARE(ranges.Current(id), expected);
}

void EditorRulesTest::TrackedRangesFollowASequenceOfEdits() {
    TrackedRanges ranges;
    const int first = ranges.Add(0, 8);
    const int second = ranges.Add(9, 17);
    const int third = ranges.Add(18, 26);
    ranges.ApplyChange(0, 0, 2);   // above everything
    ranges.ApplyChange(13, 1, 0);  // inside the second
    ranges.ApplyChange(10, 0, 50); // inside the (edited) second, above the third
    ranges.ApplyChange(20, 0, 1);  // inside the second's old place, above the third
    QCOMPARE(ranges.Current(first), (DocumentRange{2, 10}));
    QCOMPARE(ranges.Current(second), std::nullopt);
    QCOMPARE(ranges.Current(third), (DocumentRange{70, 78}));
    QCOMPARE(ranges.Current(3), std::nullopt);
    QCOMPARE(ranges.Current(-1), std::nullopt);
    ranges.Clear();
    QCOMPARE(ranges.Current(first), std::nullopt);
    QCOMPARE(ranges.Add(5, 6), 0);
}

void EditorRulesTest::FindInitialText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("expected");

    const QString text = QStringLiteral("select a.b  from t");
    QTest::newRow("caret at a word's start") << text << 0 << 0 << QStringLiteral("select");
    QTest::newRow("caret inside a word") << text << 3 << 3 << QStringLiteral("select");
    QTest::newRow("punctuation belongs to the run") << text << 8 << 8 << QStringLiteral("a.b");
    QTest::newRow("caret on a blank") << text << 6 << 6 << QString();
    QTest::newRow("caret at the end") << text << 18 << 18 << QString();
    QTest::newRow("selection: its last run") << text << 0 << 18 << QStringLiteral("t");
    QTest::newRow("selection ending in blanks") << text << 2 << 12 << QStringLiteral("a.b");
    QTest::newRow("selection made backwards") << text << 12 << 2 << QStringLiteral("a.b");
    QTest::newRow("run cut by the selection's start") << text << 9 << 10 << QStringLiteral("b");
    QTest::newRow("selection of blanks") << text << 10 << 12 << QString();
    QTest::newRow("line breaks are blanks")
        << QString::fromUtf16(u"ab\u2029cd") << 1 << 1 << QStringLiteral("ab");
    QTest::newRow("non-ASCII characters are not")
        << QString::fromUtf16(u"caf\u00e9 x") << 3 << 3 << QString::fromUtf16(u"caf\u00e9");
}

void EditorRulesTest::FindInitialText() {
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(QString, expected);
    QCOMPARE(FindState::InitialText(text, anchor, caret), expected);
}

void EditorRulesTest::FindNextWrapsToTheBeginning() {
    const QString text = QStringLiteral("abc Abc abc");
    FindState find;
    find.Start(1);
    QCOMPARE(find.FindNext(text, u"abc"), (FindState::Match{8, 3})); // case-sensitive: Abc is skipped
    QCOMPARE(find.Position(), 11);
    QCOMPARE(find.FindNext(text, u"abc"), std::nullopt);
    QCOMPARE(find.Position(), 0);
    QCOMPARE(find.FindNext(text, u"abc"), (FindState::Match{0, 3}));
    QCOMPARE(find.FindNext(text, u""), std::nullopt);
    QCOMPARE(find.Position(), 0);
    find.Start(50);
    QCOMPARE(find.FindNext(text, u"abc"), std::nullopt);
    QCOMPARE(find.FindNext(text, u"Abc"), (FindState::Match{4, 3}));
}

void EditorRulesTest::LineColours_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("runs"); // start+length:colour (0xBBGGRR)

    QTest::newRow("select in any case is a keyword, selects is not")
        << QStringLiteral("select selects SeLeCt") << 0 << QStringLiteral("0+6:ff0000 15+6:ff0000");
    QTest::newRow("keywords with x typed in lower case")
        << QStringLiteral("exec exists index") << 0 << QStringLiteral("0+4:ff0000 5+6:808080 12+5:ff0000");
    QTest::newRow("COMMIT blue, IN gray after INDEX")
        << QStringLiteral("commit in ind") << 0 << QStringLiteral("0+6:ff0000 7+2:808080");
    QTest::newRow("magenta keywords")
        << QStringLiteral("case user") << 0 << QStringLiteral("0+4:ff00ff 5+4:ff00ff");
    QTest::newRow("strings red, punctuation gray, names black")
        << QStringLiteral("x = 'a''b', [select], \"from\"") << 0
        << QStringLiteral("2+1:808080 4+6:0000ff 10+1:808080 20+1:808080");
    QTest::newRow("line comment teal up to its break, the next line coloured again")
        << QStringLiteral("-- select\nselect") << 1 << QStringLiteral("0+6:ff0000");
    QTest::newRow("block comment over lines: a middle line is all teal")
        << QStringLiteral("/* a\nselect b\nc */ from") << 1 << QStringLiteral("0+8:808000");
    QTest::newRow("block comment over lines: its last line")
        << QStringLiteral("/* a\nselect b\nc */ from") << 2 << QStringLiteral("0+4:808000 5+4:ff0000");
    QTest::newRow("METADATA markers, tag names magenta; values red; tag punctuation gray; words by keyword")
        << QStringLiteral("/*METADATA><RESULTSET Table = \"t\" Keys = \"k\"/></METADATA*/") << 0
        << QStringLiteral("0+11:ff00ff 11+1:808080 12+9:ff00ff 22+5:ff0000 28+1:808080 30+3:0000ff "
                          "39+1:808080 41+3:0000ff 44+2:808080 46+12:ff00ff");
    // A '>' that does not follow a tag name at once is a word of the block, black.
    QTest::newRow("METADATA lone slash red")
        << QStringLiteral("/*METADATA><A / ></METADATA*/") << 0
        << QStringLiteral("0+11:ff00ff 11+1:808080 12+1:ff00ff 14+1:0000ff "
                          "17+12:ff00ff");
    QTest::newRow("TEXT block green on each of its lines")
        << QStringLiteral("/*TEXT>select\nx</TEXT*/ select") << 1 << QStringLiteral("0+9:008000 10+6:ff0000");
    QTest::newRow("runs count positions, not bytes")
        << QString::fromUtf16(u"\u00e9\U0001F600 'x' \u20ac select") << 0
        << QStringLiteral("4+3:0000ff 10+6:ff0000");
}

void EditorRulesTest::LineColours() {
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, runs);
    QCOMPARE(Describe(RunsOfLine(text, line)), runs);
}

QTEST_MAIN(EditorRulesTest)
#include "EditorRulesTest.moc"
