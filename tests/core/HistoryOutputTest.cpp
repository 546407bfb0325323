// The plain-text execution history the runner and the tests collect.
#include "core/HistoryOutput.h"
#include "core/ResultSet.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(TextHistoryOutput, EachEntryEndsWithItsOwnCompletionLine) {
    TextHistoryOutput history;
    history.BeginEntry(0, 10, 0);
    history.AppendText("boom\r\n", true);
    history.MarkError();
    history.EndEntry(5);
    history.BeginEntry(12, 8, 5);
    history.AppendText("1 row(s) affected\r\n", false);
    history.EndEntry(9);

    EXPECT_EQ(history.Text(), "boom\r\nSQL batch completed with error(s)\r\n"
                              "1 row(s) affected\r\nSQL batch completed successfully\r\n");
    ASSERT_EQ(history.Entries().size(), 2u);
    const auto& first = history.Entries()[0];
    EXPECT_TRUE(first.failed);
    EXPECT_EQ(first.logStart, 0u);
    EXPECT_EQ(first.logEnd, 41u);
    EXPECT_EQ(first.sinkEnd, 5u);
    const auto& second = history.Entries()[1];
    EXPECT_FALSE(second.failed) << "the error flag belongs to one statement";
    EXPECT_EQ(second.textStart, 12u);
    EXPECT_EQ(second.sinkStart, 5u);
    EXPECT_EQ(second.logStart, first.logEnd);
    EXPECT_EQ(history.BringToFrontCount(), 1);

    history.AppendResultSet(std::make_shared<ResultSet>(2, 0, 1));
    ASSERT_EQ(history.ResultSets().size(), 1u);
    EXPECT_EQ(history.ResultSets()[0]->RowsSelectedText(), "0 row(s) selected \r\n");
}
