#include "core/DateTimeText.h"
#include "core/DialectSettings.h"
#include "core/ProfileStore.h"
#include "core/qt/QtUserLocale.h"
#include "support/Timestamps.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace marlix;
using marlix::test::kNanosecondsPerMillisecond;
using marlix::test::Stamp;

namespace {

std::string Expand(const TIMESTAMP_STRUCT& ts, std::string_view pattern) {
    std::string out = "<";
    ExpandDatePattern(ts, pattern, out);
    return out;
}

std::string Format(const TIMESTAMP_STRUCT& ts, int mode, DateTimeKind kind, bool quoted,
                   const DialectSettingsSet& settings = DefaultDialectSettingsSet()) {
    std::string out;
    FormatDateTime(ts, mode, kind, out, quoted, settings);
    return out;
}

std::string Parsed(std::string_view text, const UserLocale& locale) {
    TIMESTAMP_STRUCT ts = Stamp(1, 1, 1);
    int result = ParseDateTime(text, ts, locale);
    if (result == kParseInvalid) return "invalid";
    std::string out = std::to_string(result) + " ";
    ExpandDatePattern(ts, "Y-m-d H:M:S.s", out);
    return out;
}

// The locale provider, restored after each test.
class DateTimeTextTest : public ::testing::Test {
protected:
    void TearDown() override { SetUserLocaleProvider(nullptr); }
};

const TIMESTAMP_STRUCT kSample = Stamp(2004, 6, 27, 10, 20, 30);

} // namespace

TEST(AppendPaddedNumber, PadsNeverCutsAndSignsNegatives) {
    std::string out;
    AppendPaddedNumber(7, 3, out);
    out += '|';
    AppendPaddedNumber(0, 4, out);
    out += '|';
    AppendPaddedNumber(123456, 2, out);
    out += '|';
    AppendPaddedNumber(-42, 4, out);
    out += '|';
    AppendPaddedNumber(INT64_MIN, 1, out);
    EXPECT_EQ(out, "007|0000|123456|-0042|-9223372036854775808");
}

TEST(ExpandDatePattern, EveryLetterAndOtherCharactersCopied) {
    TIMESTAMP_STRUCT ts = Stamp(2004, 9, 7, 15, 4, 5, 9 * kNanosecondsPerMillisecond);
    EXPECT_EQ(Expand(ts, "Y y m d H I M S s p b B"), "<2004 04 09 07 15 03 04 05 009 PM sep September");
    EXPECT_EQ(Expand(ts, "[Y/m/d]T:x"), "<[2004/09/07]T:x");
    EXPECT_EQ(Expand(Stamp(812, 1, 1), "Y y"), "<0812 12");
}

TEST(ExpandDatePattern, TwelveHourClockAsWritten) {
    EXPECT_EQ(Expand(Stamp(2004, 1, 1, 12, 30), "I:Mp"), "<12:30PM");
    EXPECT_EQ(Expand(Stamp(2004, 1, 1, 0, 15), "I:Mp"), "<00:15AM");
    EXPECT_EQ(Expand(Stamp(2004, 1, 1, 23, 59), "I:Mp"), "<11:59PM");
}

TEST(ExpandDatePattern, MonthNamesOutsideTheCalendarAreLeftOut) {
    EXPECT_EQ(Expand(Stamp(0, 0, 0), "(b)(B)"), "<()()");
    EXPECT_EQ(Expand(Stamp(2004, 6, 27), "\"DATE '\"Y\"Y\"m"), "<DATE '2004Y06"); // quoted letters stay
}

TEST_F(DateTimeTextTest, DefaultSettingsOfEveryDialect) {
    const TIMESTAMP_STRUCT ts = Stamp(2004, 6, 27, 10, 20, 30, 5 * kNanosecondsPerMillisecond);
    struct Case {
        Dialect dialect;
        const char* date;
        const char* time;
        const char* timestamp;
    } cases[] = {
        {Dialect::MSSQL, "'06.27.2004 10:20:30.005'", "'06.27.2004 10:20:30.005'",
         "'06.27.2004 10:20:30.005'"},
        {Dialect::ORACLE, "TIMESTAMP '2004-06-27 10:20:30.005'", "TIMESTAMP '2004-06-27 10:20:30.005'",
         "TIMESTAMP '2004-06-27 10:20:30.005'"},
        {Dialect::GENERIC, "27.06.2004 10:20:30", "27.06.2004 10:20:30", "27.06.2004 10:20:30"},
        {Dialect::ACCESS, "#06/27/2004 10:20:30#", "#06/27/2004 10:20:30#", "#06/27/2004 10:20:30#"},
        {Dialect::MYSQL, "'2004-06-27'", "'10:20:30'", "'2004-06-27 10:20:30'"},
        {Dialect::FIREBIRD, "'2004-06-27'", "'10:20:30'", "'2004-06-27 10:20:30'"},
    };
    for (const Case& c : cases) {
        int mode = static_cast<int>(c.dialect);
        SCOPED_TRACE(mode);
        EXPECT_EQ(Format(ts, mode, DateTimeKind::Date, true), c.date);
        EXPECT_EQ(Format(ts, mode, DateTimeKind::Time, true), c.time);
        EXPECT_EQ(Format(ts, mode, DateTimeKind::DateTime, true), c.timestamp);
    }
    // Unquoted (display) forms never get apostrophes or Access's '#'.
    EXPECT_EQ(Format(ts, 0, DateTimeKind::Date, false), "06.27.2004 10:20:30.005");
    EXPECT_EQ(Format(ts, 3, DateTimeKind::Date, false), "06/27/2004 10:20:30");
}

TEST_F(DateTimeTextTest, SettingsWrittenToTheProfileAreReadBackAndFormatWithThem) {
    MemoryProfileStore profile;
    DialectSettingsSet changed = DefaultDialectSettingsSet();
    changed[static_cast<int>(Dialect::ORACLE)] = {"d-b-Y", "I.M p", true, true};
    changed[static_cast<int>(Dialect::ACCESS)] = {"Y/m/d", "H:M", true, false};
    changed[static_cast<int>(Dialect::MSSQL)] = {"Y-m-d", "H:M:S", false, false};
    WriteDialectSettings(profile, changed);
    EXPECT_EQ(profile.GetString(kSettingsSection, "DateOracle", ""), "d-b-Y");
    EXPECT_EQ(profile.GetInt(kSettingsSection, "QuotesAccess", -1), 1);
    EXPECT_EQ(profile.GetInt(kSettingsSection, "DateTimeMS", -1), 0);
    for (const char* name : {"TimeMy", "TimeIB", "DateDefault", "TimeDflt", "DatePG", "TimeSQLite"})
        EXPECT_NE(profile.GetString(kSettingsSection, name, "?"), "?") << name;
    for (const char* name : {"QuotesMy", "DateTimeIB", "QuotesDefault", "ExactPG", "ExactSQLite"})
        EXPECT_NE(profile.GetInt(kSettingsSection, name, -1), -1) << name;

    const DialectSettingsSet read = ReadDialectSettings(profile);
    EXPECT_EQ(read, changed);
    const TIMESTAMP_STRUCT ts = Stamp(2004, 6, 27, 15, 5, 0);
    EXPECT_EQ(Format(ts, 1, DateTimeKind::Date, true, read), "'27-jun-2004 03.05 PM'");
    EXPECT_EQ(Format(ts, 3, DateTimeKind::Date, true, read), "'2004/06/27'");
    EXPECT_EQ(Format(ts, 3, DateTimeKind::Time, false, read), "15:05");
    EXPECT_EQ(Format(ts, 0, DateTimeKind::Date, true, read), "2004-06-27");
    EXPECT_EQ(Format(ts, 0, DateTimeKind::DateTime, true, read), "2004-06-27 15:05:00");

    MemoryProfileStore partial; // a value that is absent reads as its default
    partial.WriteString(kSettingsSection, "TimeDflt", "H.M");
    DialectSettingsSet expected = DefaultDialectSettingsSet();
    expected[static_cast<int>(Dialect::GENERIC)].timePattern = "H.M";
    EXPECT_EQ(ReadDialectSettings(partial), expected);
}

TEST_F(DateTimeTextTest, OdbcEscapeFormIgnoresDialectSettings) {
    const TIMESTAMP_STRUCT ts = Stamp(2004, 6, 27, 10, 20, 30);
    EXPECT_EQ(Format(ts, kOdbcEscapeMode, DateTimeKind::DateTime, true), "{ts '2004-06-27 10:20:30.000'}");
    EXPECT_EQ(Format(ts, kOdbcEscapeMode, DateTimeKind::Date, false), "{d '2004-06-27'}");
    EXPECT_EQ(Format(ts, kOdbcEscapeMode, DateTimeKind::Time, true), "{t '10:20:30.000'}");
}

TEST_F(DateTimeTextTest, LocaleFormFollowsDateOrderAndClock) {
    SetUserLocaleProvider([] { return UserLocale{1, false}; });
    EXPECT_EQ(Format(Stamp(2004, 6, 27), kLocaleMode, DateTimeKind::Date, false), "27.06.2004");
    EXPECT_EQ(Format(Stamp(2004, 6, 27, 10, 20), kLocaleMode, DateTimeKind::Date, false), "27.06.2004");
    EXPECT_EQ(Format(Stamp(2004, 6, 27, 10, 20, 30), kLocaleMode, DateTimeKind::DateTime, false),
              "27.06.2004 10:20:30");
    EXPECT_EQ(Format(Stamp(2004, 6, 27, 10, 20, 0, 5 * kNanosecondsPerMillisecond), kLocaleMode,
                     DateTimeKind::DateTime, false),
              "27.06.2004 10:20:00.005");

    SetUserLocaleProvider([] { return UserLocale{0, true}; });
    EXPECT_EQ(Format(Stamp(2004, 6, 27, 15, 20), kLocaleMode, DateTimeKind::DateTime, false),
              "06.27.2004 03:20PM");
    EXPECT_EQ(Format(Stamp(2004, 6, 27, 15, 20, 7), kLocaleMode, DateTimeKind::DateTime, false),
              "06.27.2004 03:20:07PM");

    SetUserLocaleProvider([] { return UserLocale{2, false}; });
    EXPECT_EQ(Format(Stamp(2004, 6, 27), kLocaleMode, DateTimeKind::DateTime, false), "2004.06.27");
}

TEST_F(DateTimeTextTest, LocaleFormUsesTheGenericFlags) {
    SetUserLocaleProvider([] { return UserLocale{1, false}; });
    DialectSettingsSet settings = DefaultDialectSettingsSet();
    settings[static_cast<int>(Dialect::GENERIC)] = {"d.m.Y", "H:M:S", true, false};
    const TIMESTAMP_STRUCT ts = Stamp(2004, 6, 27, 10, 20);
    EXPECT_EQ(Format(ts, kLocaleMode, DateTimeKind::Date, true, settings), "'27.06.2004'");
    EXPECT_EQ(Format(ts, kLocaleMode, DateTimeKind::Date, false, settings), "27.06.2004");
    // A time value shows its time even at midnight, never an empty text.
    EXPECT_EQ(Format(Stamp(2004, 6, 27), kLocaleMode, DateTimeKind::Time, false, settings), "00:00");
}

// Dates of every order, two-digit years, the years 1900 to 2099, month lengths, leap years by the
// Gregorian rule (2000 divisible by 400, 1900 a century year), 24- and 12-hour times (AM/PM only
// on a 12-hour clock, 00:15AM being the formatter's midnight form): each text with the kind read
// and the value, on a d.m.y locale with a 24-hour clock unless named.
TEST(ParseDateTime, DatesAndTimesOfTheLocale) {
    const UserLocale dmy{1, false}, mdy{0, false}, ymd{2, false}, mdy12{0, true};
    const std::string day = " 00:00:00.000";
    const struct {
        const char* text;
        UserLocale locale;
        std::string read;
    } cases[] = {
        // clang-format off
        {"6/27/2004", mdy, "0 2004-06-27" + day}, {"2004-06-27", ymd, "0 2004-06-27" + day},
        {"27.6.2004", mdy, "invalid"}, {"27.6.2004", dmy, "0 2004-06-27" + day},
        {"1.2.7", dmy, "0 2007-02-01" + day}, {"1.2.68", dmy, "0 1968-02-01" + day},
        {"1.2.49", dmy, "0 2049-02-01" + day}, {"1.2.50", dmy, "0 1950-02-01" + day},
        {"1.2.1900", dmy, "0 1900-02-01" + day}, {"31.12.2099", dmy, "0 2099-12-31" + day},
        {"30.4.2004", dmy, "0 2004-04-30" + day}, {"31.7.2004", dmy, "0 2004-07-31" + day},
        {"29.2.2004", dmy, "0 2004-02-29" + day}, {"29.2.2000", dmy, "0 2000-02-29" + day},
        {"29.2.00", dmy, "0 2000-02-29" + day}, {"28.2.1900", dmy, "0 1900-02-28" + day},
        {"27.6.2004 10:20", dmy, "2 2004-06-27 10:20:00.000"},
        {"27.6.2004 23:59:58.5", dmy, "2 2004-06-27 23:59:58.500"},
        {"27.6.2004T0:05:06.789", dmy, "2 2004-06-27 00:05:06.789"},
        {"6/27/2004 12:05AM", mdy12, "2 2004-06-27 00:05:00.000"},
        {"6/27/2004 1:05PM", mdy12, "2 2004-06-27 13:05:00.000"},
        {"6/27/2004 12:05pm", mdy12, "2 2004-06-27 12:05:00.000"},
        {"6/27/2004 11:59aM", mdy12, "2 2004-06-27 11:59:00.000"},
        {"6/27/2004 13:05:01", mdy12, "2 2004-06-27 13:05:01.000"},
        {"6/27/2004 13:05PM", mdy12, "invalid"}, {"6/27/2004 00:15AM", mdy12, "invalid"},
        {"6/27/2004 1:05PMx", mdy12, "invalid"}, {"6/27/2004 1:05P", mdy12, "invalid"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parsed(c.text, c.locale), c.read) << c.text;
    for (const char* text : {"1.2.1899", "1.1.2100", "31.4.2004", "0.7.2004", "1.13.2004", "1.0.2004",
                             "29.2.2003", "29.2.1900", "30.2.2004", "", "27.6", "27.6.", "27..6.2004",
                             ".27.6.2004", "27.6.2004x", "a.b.c", "27.6.2004 ", "1234567890.1.2004",
                             "27.6.2004 24:00", "27.6.2004 10:60", "27.6.2004 10:20:60", "27.6.2004 10",
                             "27.6.2004 10:20:30.1234567890", "27.6.2004 10:20 x", "27.6.2004 1:05PM"})
        EXPECT_EQ(Parsed(text, dmy), "invalid") << '"' << text << '"';
    // clang-format on
    EXPECT_TRUE(IsLeapYear(2400));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
}

TEST(ParseDateTime, InvalidTextLeavesTheValueAlone) {
    TIMESTAMP_STRUCT ts = Stamp(1999, 1, 2, 3, 4, 5);
    EXPECT_EQ(ParseDateTime("29.2.2003", ts, UserLocale{1, false}), kParseInvalid);
    EXPECT_EQ(ts.year, 1999);
    EXPECT_EQ(ts.hour, 3);
}

TEST(ParseDateTime, InstalledLocaleProviderIsUsed) {
    SetUserLocaleProvider([] { return UserLocale{2, false}; });
    TIMESTAMP_STRUCT ts{};
    EXPECT_EQ(ParseDateTime("2004.6.27", ts), kParsedDate);
    EXPECT_EQ(ts.day, 27);
    SetUserLocaleProvider(nullptr);
}

TEST(UserLocale, ReadFromStrftimeFormats) {
    auto order = [](const char* d, const char* t) {
        UserLocale l = LocaleFromFormats(d, t);
        return std::to_string(l.dateOrder) + (l.twelveHourClock ? "/12" : "/24");
    };
    EXPECT_EQ(order("%m/%d/%y", "%r"), "0/12");
    EXPECT_EQ(order("%d.%m.%Y", "%T"), "1/24");
    EXPECT_EQ(order("%Y-%m-%d", "%H:%M:%S"), "2/24");
    EXPECT_EQ(order("%F", "%I:%M:%S %p"), "2/12");
    EXPECT_EQ(order("%e %B %Y", "%l:%M %P"), "1/12");
    EXPECT_EQ(order("%D", "%R"), "0/24");
    EXPECT_EQ(order("%Ey", "%OH"), "2/24");
}

// Desktop locales: dates shown in their order, read back as shown, respelt or in ISO 8601.
UserLocale desktop;
TEST(DesktopLocale, GridsShowAndReadDatesInTheLocaleOrder) {
    const char* cases[][4] = {{"en_US", "04.01.2024 02:30:05 PM", "04.01.2024", "4/1/24 2:30:05pm"},
                              {"de_DE", "01.04.2024 14:30:05", "01.04.2024", "1.4.2024 14:30:05"},
                              {"en_GB", "01.04.2024 14:30:05", "01.04.2024", "1/4/2024 14:30:05"}};
    SetUserLocaleProvider([] { return desktop; });
    for (const auto& c : cases) {
        desktop = UserLocaleOf(QLocale(QString::fromLatin1(c[0])));
        EXPECT_EQ(Format(Stamp(2024, 4, 1, 14, 30, 5), kLocaleMode, DateTimeKind::DateTime, false), c[1]);
        EXPECT_EQ(Format(Stamp(2024, 4, 1, 14, 30, 5), kLocaleMode, DateTimeKind::Date, false), c[2]);
        for (const char* text :
             {c[1], c[3], "2024-04-01 14:30:05", "2024-4-1T14:30:05.5", c[2], "2024-04-01"})
            EXPECT_EQ(Parsed(text, desktop).substr(0, 22),
                      text[10] ? "2 2024-04-01 14:30:05." : "0 2024-04-01 00:00:00.");
    }
    SetUserLocaleProvider(nullptr);
}
