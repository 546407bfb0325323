#include "FetchedResult.h"
#include "core/DateTimeText.h"
#include "core/ResultSet.h"
#include "core/SyntaxException.h"
#include "core/ValueText.h"
#include "db/StatementHandle.h"
#include "support/TestDatabases.h"
#include "support/Timestamps.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace marlix;
using marlix::test::Server;
using marlix::test::Stamp;
using marlix::test::TestSession;

namespace {

constexpr Dialect kAll[] = {Dialect::MSSQL, Dialect::ORACLE,   Dialect::GENERIC,    Dialect::ACCESS,
                            Dialect::MYSQL, Dialect::FIREBIRD, Dialect::POSTGRESQL, Dialect::SQLITE};

ColumnDescriptor Column(int sqlType, const char* name = "c") {
    ColumnDescriptor column;
    column.sqlType = static_cast<int16_t>(sqlType);
    std::strcpy(column.name, name);
    column.nameLength = static_cast<int16_t>(std::strlen(name));
    return column;
}

// A stored text cell: the bytes and their terminating NUL.
struct TextCell {
    explicit TextCell(std::string_view text) : bytes(text) { bytes += '\0'; }
    CellRef Ref() const { return {bytes.data(), static_cast<uint32_t>(bytes.size()), false}; }
    std::string bytes;
};

std::string Exact(int sqlType, std::string_view stored, Dialect dialect) {
    ColumnDescriptor column = Column(sqlType);
    TextCell cell(stored);
    std::string out;
    AppendExactLiteral(column, cell.Ref(), dialect, out);
    return out;
}

// The literal of the same value as the streaming conversion writes it from the bound bytes.
std::string ExactThrough(int sqlType, std::string_view bound, Dialect dialect) {
    ColumnDescriptor column = Column(sqlType);
    column.indicator = static_cast<SQLLEN>(bound.size());
    std::string out;
    AppendExactFetchThroughLiteral(column, dialect, bound, out);
    return out;
}

std::string Standard(int sqlType, std::string_view stored, Dialect dialect) {
    ColumnDescriptor column = Column(sqlType);
    TextCell cell(stored);
    std::string out;
    AppendValueText(column, cell.Ref(), static_cast<int>(dialect), DefaultDialectSettingsSet(), true, out);
    return out;
}

std::string ExactDate(const TIMESTAMP_STRUCT& ts, int sqlType, Dialect dialect) {
    ColumnDescriptor column = Column(sqlType);
    CellRef cell{reinterpret_cast<const char*>(&ts), sizeof ts, false};
    std::string out;
    AppendExactLiteral(column, cell, dialect, out);
    // The streaming conversion reads the bound timestamp and must write the same.
    column.timestamp = ts;
    column.indicator = sizeof ts;
    std::string through;
    AppendExactFetchThroughLiteral(column, dialect, {}, through);
    EXPECT_EQ(through, out);
    return out;
}

} // namespace

TEST(ExactLiteral, CharacterValuesKeepEveryCharacter) {
    // Tabs and letters beyond ASCII stay as they are; backslashes are doubled where they escape.
    const std::string text = "it's\t Z\xC3\xBCrich \xF0\x9F\x98\x80 C:\\dir\\";
    for (Dialect d : kAll) {
        const std::string expected = d == Dialect::MYSQL
                                         ? "'it''s\t Z\xC3\xBCrich \xF0\x9F\x98\x80 C:\\\\dir\\\\'"
                                         : "'it''s\t Z\xC3\xBCrich \xF0\x9F\x98\x80 C:\\dir\\'";
        EXPECT_EQ(Exact(SQL_VARCHAR, text, d), expected) << static_cast<int>(d);
        EXPECT_EQ(ExactThrough(SQL_VARCHAR, text, d), expected) << static_cast<int>(d);
    }
    EXPECT_EQ(Exact(SQL_CHAR, "", Dialect::SQLITE), "''");
    // The wide types stay national for SQL Server only.
    EXPECT_EQ(Exact(SQL_WVARCHAR, "a'b", Dialect::MSSQL), "N'a''b'");
    EXPECT_EQ(Exact(SQL_WLONGVARCHAR, "a'b", Dialect::ORACLE), "'a''b'");
}

// No line break or other control character is written as it is: the script's line ends may be
// changed by whatever carries or reads it. Each target's escaped form, or a chain of codes.
TEST(ExactLiteral, ControlCharactersInFormsThatSurviveLineEnds) {
    const std::string text = "a\nb\\\rc\r\nd'\x1b";
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::MYSQL), "'a\\nb\\\\\\rc\\r\\nd''\x1b'");
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::POSTGRESQL), "E'a\\nb\\\\\\rc\\r\\nd''\\033'");
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::GENERIC), "U&'a\\000Ab\\\\\\000Dc\\000D\\000Ad''\\001B'");
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::ORACLE),
              "UNISTR('a\\000Ab\\\\\\000Dc\\000D\\000Ad''\\001B')");
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::SQLITE), "CAST(X'610A625C0D630D0A64271B' AS TEXT)");
    EXPECT_EQ(Exact(SQL_VARCHAR, "b\\\r\nd'\x1b", Dialect::FIREBIRD),
              "'b\\' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'd''' || ASCII_CHAR(27)");
    EXPECT_EQ(Exact(SQL_VARCHAR, "\na", Dialect::ACCESS), "Chr(10) & 'a'");
    EXPECT_EQ(Exact(SQL_WVARCHAR, "a\n", Dialect::MSSQL), "N'a' + NCHAR(10)");
    EXPECT_EQ(ExactThrough(SQL_VARCHAR, text, Dialect::SQLITE), Exact(SQL_VARCHAR, text, Dialect::SQLITE));
    // A chain of thousands of codes is grouped in parentheses, nested as deep as the logarithm of
    // the number of terms; the groups of nine terms read (1 + 2) + (3 + 4) + ... + 9.
    EXPECT_EQ(Exact(SQL_VARCHAR, "a\nb\nc\nd\ne", Dialect::ACCESS),
              "('a' & Chr(10)) & ('b' & Chr(10)) & ('c' & Chr(10)) & ('d' & Chr(10)) & 'e'");
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "ab\n";
    const std::string chain = Exact(SQL_VARCHAR, many, Dialect::MSSQL);
    // Each group opens with a (MAX) string: SQL Server cuts other concatenations at 8000 bytes.
    const std::string head = "CAST('' AS VARCHAR(MAX))";
    int depth = 0, deepest = 0;
    size_t groups = 0;
    for (size_t i = head.size(); i < chain.size(); ++i) {
        if (chain.compare(i, 8, "CHAR(10)") == 0) i += 8;
        groups += chain[i] == '(' ? 1 : 0;
        depth += chain[i] == '(' ? 1 : chain[i] == ')' ? -1 : 0;
        deepest = std::max(deepest, depth);
        if (chain.compare(i, head.size() + 1, "(" + head) == 0) i += head.size();
    }
    EXPECT_LE(deepest, 6);
    EXPECT_EQ(chain.rfind(head, 0), 0u);
    EXPECT_EQ(marlix::test::Occurrences(chain, head), groups + 1);
    EXPECT_EQ(marlix::test::Occurrences(chain, "CHAR(10)"), 100000u);
    EXPECT_EQ(marlix::test::Occurrences(chain, "'ab'"), 100000u);
}

TEST(ExactLiteral, NulCharactersInEachTargetsOwnForm) {
    const std::string text("a\0b'", 4);
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::MYSQL), "'a\\0b'''");
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::MSSQL), "'a' + CHAR(0) + 'b'''");
    EXPECT_EQ(Exact(SQL_WCHAR, text, Dialect::MSSQL), "N'a' + NCHAR(0) + N'b'''");
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::ORACLE), "UNISTR('a\\0000b''')");
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::SQLITE), "CAST(X'61006227' AS TEXT)");
    EXPECT_EQ(Exact(SQL_VARCHAR, text, Dialect::ACCESS), "'a' & Chr(0) & 'b'''");
    // PostgreSQL's text cannot hold NUL at all, and standard SQL has no way to write it: the
    // conversion stops rather than writing something else.
    for (Dialect d : {Dialect::POSTGRESQL, Dialect::GENERIC}) {
        try {
            Exact(SQL_VARCHAR, text, d);
            ADD_FAILURE() << "no error for " << static_cast<int>(d);
        } catch (const CSyntaxException& e) {
            EXPECT_NE(e.Message().find("column c"), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find("NUL"), std::string::npos) << e.Message();
        }
        EXPECT_THROW(ExactThrough(SQL_VARCHAR, text, d), CSyntaxException);
    }
}

TEST(ExactLiteral, BinaryValuesInEachTargetsBinaryLiteral) {
    struct Case {
        Dialect dialect;
        const char* value;
        const char* empty;
    };
    const Case cases[] = {
        {Dialect::MSSQL, "0x0AFF", "0x"},
        {Dialect::MYSQL, "X'0AFF'", "X''"},
        {Dialect::POSTGRESQL, "'\\x0AFF'", "'\\x'"},
        {Dialect::SQLITE, "X'0AFF'", "X''"},
        {Dialect::ORACLE, "HEXTORAW('0AFF')", "HEXTORAW('')"},
        {Dialect::FIREBIRD, "x'0AFF'", "x''"},
        {Dialect::GENERIC, "X'0AFF'", "X''"},
        {Dialect::ACCESS, "0x0AFF", "0x"},
    };
    for (const Case& c : cases) {
        for (int type : {SQL_BINARY, SQL_VARBINARY, SQL_LONGVARBINARY}) {
            EXPECT_EQ(Exact(type, "0x0AFF", c.dialect), c.value) << static_cast<int>(c.dialect);
            EXPECT_EQ(Exact(type, "0x", c.dialect), c.empty) << static_cast<int>(c.dialect);
            EXPECT_EQ(ExactThrough(type, std::string_view("\x0A\xFF", 2), c.dialect), c.value);
            EXPECT_EQ(ExactThrough(type, "", c.dialect), c.empty);
        }
    }
}

TEST(ExactLiteral, GuidsAsTheirText) {
    // SQLGUID as bound with SQL_C_BINARY: the first three fields in the machine's byte order.
    SQLGUID guid{0xA0EEBC99, 0x9C0B, 0x4EF8, {0xBB, 0x6D, 0x6B, 0xB9, 0xBD, 0x38, 0x0A, 0x11}};
    std::string_view bytes(reinterpret_cast<const char*>(&guid), sizeof guid);
    std::string stored = "0x";
    for (unsigned char b : bytes) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        stored += kDigits[b >> 4];
        stored += kDigits[b & 15];
    }
    for (Dialect d : {Dialect::MSSQL, Dialect::POSTGRESQL, Dialect::MYSQL}) {
        EXPECT_EQ(Exact(SQL_GUID, stored, d), "'A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11'");
        EXPECT_EQ(Standard(SQL_GUID, stored, d), "'A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11'");
        EXPECT_EQ(ExactThrough(SQL_GUID, bytes, d), "'A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11'");
    }
    // A grid shows the uuid's text as PostgreSQL writes it.
    ColumnDescriptor column = Column(SQL_GUID);
    TextCell cell(stored);
    std::string shown;
    AppendValueText(column, cell.Ref(), 0, DefaultDialectSettingsSet(), false, shown);
    EXPECT_EQ(shown, "a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11");
    // A driver that delivers the text of the GUID.
    EXPECT_EQ(ExactThrough(SQL_GUID, "a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11", Dialect::POSTGRESQL),
              "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'");
}

TEST(ExactLiteral, NumbersAsDeliveredAndOtherTextsQuoted) {
    for (Dialect d : kAll) {
        for (const char* number : {"12.50", "-0.30000000000000004", "1e+300", "1.0e+300", ".5", "42"}) {
            EXPECT_EQ(Exact(SQL_DOUBLE, number, d), number) << static_cast<int>(d);
            EXPECT_EQ(ExactThrough(SQL_NUMERIC, number, d), number) << static_cast<int>(d);
        }
        // What is no number is written as the text it is, not as a broken number.
        EXPECT_EQ(Exact(SQL_INTERVAL_DAY_TO_SECOND, "1 02:03:04", d), "'1 02:03:04'");
    }
    EXPECT_EQ(Exact(SQL_DOUBLE, "1e", Dialect::MYSQL), "'1e'");
}

// Each target's own form of the values without digits, standard and exact alike; where it has
// none, an exact script stops naming the column and the value, a standard one quotes the word
// (NULL where the server refuses the word too).
TEST(ExactLiteral, SpecialNumbersInTheTargetsOwnFormOrRefused) {
    struct Case {
        const char* stored;
        Dialect dialect;
        const char* exact; // null: refused
        const char* standard;
    } const cases[] = {
        {"NaN", Dialect::POSTGRESQL, "'NaN'::float8", "'NaN'::float8"},
        {"-Infinity", Dialect::POSTGRESQL, "'-Infinity'::float8", "'-Infinity'::float8"},
        {"-0", Dialect::POSTGRESQL, "'-0'::float8", "'-0'::float8"},
        {"Inf", Dialect::SQLITE, "9e999", "9e999"},
        {"-Infinity", Dialect::SQLITE, "-9e999", "-9e999"},
        {"NaN", Dialect::SQLITE, nullptr, "NULL"},
        {"-0", Dialect::SQLITE, "-0", "-0"},
        {"Infinity", Dialect::MYSQL, nullptr, "NULL"},
        {"NaN", Dialect::ORACLE, "BINARY_DOUBLE_NAN", "BINARY_DOUBLE_NAN"},
        {"-inf", Dialect::ORACLE, "-BINARY_DOUBLE_INFINITY", "-BINARY_DOUBLE_INFINITY"},
        {"NaN", Dialect::MSSQL, nullptr, "'NaN'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Standard(SQL_DOUBLE, c.stored, c.dialect), c.standard) << c.stored;
        if (c.exact) {
            EXPECT_EQ(Exact(SQL_DOUBLE, c.stored, c.dialect), c.exact) << c.stored;
            EXPECT_EQ(ExactThrough(SQL_REAL, c.stored, c.dialect), c.exact) << c.stored;
        } else {
            try {
                Exact(SQL_FLOAT, c.stored, c.dialect);
                ADD_FAILURE() << c.stored;
            } catch (const CSyntaxException& e) {
                EXPECT_NE(e.Message().find("column c exactly"), std::string::npos) << e.Message();
                EXPECT_NE(e.Message().find(c.stored[0] == 'N' ? "NaN" : "Infinity"), std::string::npos);
            }
        }
    }
    // A number column's "-0" is zero.
    EXPECT_EQ(Exact(SQL_NUMERIC, "-0", Dialect::POSTGRESQL), "-0");
}

// Dates and times the timestamp structure cannot hold are stored as the driver's text and written
// as they are for the target that holds them (and SQLite, which keeps any text); elsewhere the
// script stops, naming the column and the value.
TEST(ExactLiteral, DateTextsOnlyForTheTargetsThatHoldThem) {
    struct Case {
        int type;
        const char* text;
        Dialect holder;
    } const cases[] = {
        {SQL_TYPE_DATE, "0000-00-00", Dialect::MYSQL},
        {SQL_TYPE_TIMESTAMP, "0000-00-00 00:00:00", Dialect::MYSQL},
        {SQL_TYPE_TIME, "-838:59:59", Dialect::MYSQL},
        {SQL_TYPE_TIMESTAMP, "0044-03-15 10:00:00 BC", Dialect::POSTGRESQL},
        {SQL_TYPE_DATE, "-infinity", Dialect::POSTGRESQL},
    };
    for (const Case& c : cases) {
        TIMESTAMP_STRUCT ts;
        ASSERT_FALSE(ResultSet::ParseDateTimeText(c.text, DateTimeKindOf(c.type), ts)) << c.text;
        for (Dialect d : kAll) {
            const std::string quoted = "'" + std::string(c.text) + "'";
            if (d == c.holder || d == Dialect::SQLITE)
                EXPECT_EQ(Exact(c.type, c.text, d), quoted);
            else
                EXPECT_THROW(Exact(c.type, c.text, d), CSyntaxException) << c.text << static_cast<int>(d);
        }
    }
    // A time past a day is kept in the structure, and written for MySQL and SQLite only.
    TIMESTAMP_STRUCT ts{};
    ASSERT_TRUE(ResultSet::ParseDateTimeText("100:00:00.5", DateTimeKind::Time, ts));
    EXPECT_EQ(ExactDate(ts, SQL_TYPE_TIME, Dialect::MYSQL), "'100:00:00.5'");
    EXPECT_THROW(ExactDate(ts, SQL_TYPE_TIME, Dialect::POSTGRESQL), CSyntaxException);
    EXPECT_FALSE(ResultSet::ParseDateTimeText("2024-02-30", DateTimeKind::Date, ts));
}

TEST(ExactLiteral, BitsAreDigitsAndQuotedForPostgreSql) {
    for (Dialect d : kAll) {
        const bool pg = d == Dialect::POSTGRESQL;
        EXPECT_EQ(Exact(SQL_BIT, "1", d), pg ? "'1'" : "1");
        EXPECT_EQ(Exact(SQL_BIT, "0", d), pg ? "'0'" : "0");
        // MariaDB's BIT(1) arrives as the bit's byte.
        EXPECT_EQ(Exact(SQL_BIT, std::string_view("\x01", 1), d), pg ? "'1'" : "1");
        EXPECT_EQ(ExactThrough(SQL_BIT, std::string_view("\0", 1), d), pg ? "'0'" : "0");
    }
}

TEST(ExactLiteral, NullStaysNull) {
    const CellRef null{"NULL", 5, true};
    for (int type : {SQL_VARCHAR, SQL_VARBINARY, SQL_DOUBLE, SQL_TYPE_TIMESTAMP, SQL_BIT}) {
        ColumnDescriptor column = Column(type);
        for (Dialect d : kAll) {
            std::string out;
            AppendExactLiteral(column, null, d, out);
            EXPECT_EQ(out, "NULL");
            out.clear();
            column.indicator = SQL_NULL_DATA;
            AppendExactFetchThroughLiteral(column, d, {}, out);
            EXPECT_EQ(out, "NULL");
        }
    }
}

TEST(ExactLiteral, DatesAndTimesWithEveryDigitWhateverTheSettings) {
    const TIMESTAMP_STRUCT ts = Stamp(2024, 1, 2, 3, 4, 5, 123456700);
    const TIMESTAMP_STRUCT whole = Stamp(987, 11, 30, 23, 59, 58, 0);
    const TIMESTAMP_STRUCT time = Stamp(0, 0, 0, 10, 20, 30, 500000000);
    struct Case {
        Dialect dialect;
        const char* timestamp;
        const char* wholeTimestamp;
        const char* date;
        const char* time;
    };
    // MYSQL, POSTGRESQL, SQLITE, FIREBIRD and GENERIC write the ISO forms.
    const Case iso = {Dialect::GENERIC, "'2024-01-02 03:04:05.1234567'", "'0987-11-30 23:59:58'",
                      "'2024-01-02'", "'10:20:30.5'"};
    const Case own[] = {
        {Dialect::MSSQL, "'2024-01-02T03:04:05.1234567'", "'0987-11-30T23:59:58'", "'20240102'",
         "'10:20:30.5'"},
        {Dialect::ORACLE, "TIMESTAMP '2024-01-02 03:04:05.1234567'", "TIMESTAMP '0987-11-30 23:59:58'",
         "DATE '2024-01-02'", "'10:20:30.5'"},
        // Access keeps whole seconds.
        {Dialect::ACCESS, "#2024-01-02 03:04:05#", "#0987-11-30 23:59:58#", "#2024-01-02#", "#10:20:30#"},
    };
    // The dialects' own date settings (Y-d-m, m.d.Y, no quotes, always DATETIME) do not apply.
    for (Dialect dialect : kAll) {
        const int d = static_cast<int>(dialect);
        Case c = iso;
        for (const Case& o : own)
            if (o.dialect == dialect) c = o;
        EXPECT_EQ(ExactDate(ts, SQL_TYPE_TIMESTAMP, dialect), c.timestamp) << d;
        EXPECT_EQ(ExactDate(whole, SQL_TYPE_TIMESTAMP, dialect), c.wholeTimestamp) << d;
        EXPECT_EQ(ExactDate(Stamp(2024, 1, 2, 0, 0, 0, 0), SQL_TYPE_DATE, dialect), c.date) << d;
        EXPECT_EQ(ExactDate(time, SQL_TYPE_TIME, dialect), c.time) << d;
    }
}

TEST(ExactLiteral, SecondFractionsTrimmed) {
    auto fraction = [](uint32_t nanoseconds) {
        std::string out;
        AppendSecondFraction(nanoseconds, out);
        return out;
    };
    EXPECT_EQ(fraction(0), "");
    EXPECT_EQ(fraction(1), ".000000001");
    EXPECT_EQ(fraction(100000000), ".1");
    EXPECT_EQ(fraction(123000000), ".123");
    EXPECT_EQ(fraction(999999999), ".999999999");
    EXPECT_EQ(fraction(3000), ".000003");
}

TEST(StandardLiteral, PostgreSqlAndSqliteBinaryAndBits) {
    EXPECT_EQ(Standard(SQL_VARBINARY, "0x0AFF", Dialect::POSTGRESQL), "'\\x0AFF'");
    EXPECT_EQ(Standard(SQL_LONGVARBINARY, "0x", Dialect::POSTGRESQL), "'\\x'");
    EXPECT_EQ(Standard(SQL_VARBINARY, "0x0AFF", Dialect::SQLITE), "X'0AFF'");
    EXPECT_EQ(Standard(SQL_BINARY, "0x", Dialect::SQLITE), "X''");
    EXPECT_EQ(Standard(SQL_BIT, "1", Dialect::POSTGRESQL), "'1'");
    EXPECT_EQ(Standard(SQL_BIT, std::string_view("\0", 1), Dialect::POSTGRESQL), "'0'");
    EXPECT_EQ(Standard(SQL_BIT, "1", Dialect::SQLITE), "1");
    // The historic forms of the other dialects are kept, but for an empty value (0x alone is a
    // literal for MSSQL and ACCESS only) and a bit delivered as its byte (MariaDB's BIT(1)).
    for (Dialect d : {Dialect::MSSQL, Dialect::ORACLE, Dialect::GENERIC, Dialect::ACCESS, Dialect::MYSQL,
                      Dialect::FIREBIRD}) {
        EXPECT_EQ(Standard(SQL_VARBINARY, "0x0AFF", d), "0x0AFF");
        EXPECT_EQ(Standard(SQL_BIT, std::string_view("\x01", 1), d), "1");
    }
    EXPECT_EQ(Standard(SQL_VARBINARY, "0x", Dialect::MSSQL), "0x");
    EXPECT_EQ(Standard(SQL_VARBINARY, "0x", Dialect::MYSQL), "X''");
    EXPECT_EQ(Standard(SQL_BINARY, "0x", Dialect::ORACLE), "HEXTORAW('')");
    // Display text is not a literal.
    ColumnDescriptor binary = Column(SQL_VARBINARY);
    TextCell cell("0x0AFF");
    std::string display;
    AppendValueText(binary, cell.Ref(), static_cast<int>(Dialect::POSTGRESQL), DefaultDialectSettingsSet(),
                    false, display);
    EXPECT_EQ(display, "0x0AFF");
    // Streaming writes the same from the bound bytes.
    binary.indicator = 2;
    std::string through;
    AppendFetchThroughValueText(binary, static_cast<int>(Dialect::POSTGRESQL), DefaultDialectSettingsSet(),
                                std::string_view("\x0A\xFF", 2), through);
    EXPECT_EQ(through, "'\\x0AFF'");
}
