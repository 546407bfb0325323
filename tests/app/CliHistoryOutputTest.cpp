// The runner's history gathers text while a batch runs: what it holds back must come out whole
// and in order, an error at once, and everything by the time the history goes.
#include "app/CliHistoryOutput.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace marlix;

namespace {

std::string Available(int fd) {
    std::string text;
    char block[4096];
    for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;)
        text.append(block, static_cast<size_t>(n));
    return text;
}

} // namespace

TEST(CliHistoryOutput, HoldsBackOnlyOrdinaryTextOfARunningBatch) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    ASSERT_GE(::fcntl(fds[1], F_SETPIPE_SZ, 1 << 20), 1 << 18); // holds all that is written unread
    auto history = std::make_unique<CliHistoryOutput>(fds[1], false);
    history->AppendText("connected\r\n", false);
    EXPECT_EQ(Available(fds[0]), "connected\r\n") << "outside a batch nothing waits";

    history->BatchStarted();
    std::string expected;
    for (int i = 0; i < 3000; ++i) { // more than one gathered piece
        history->BeginEntry(0, 1, 0);
        history->AppendText("1 row(s) affected\r\n", false);
        history->EndEntry(0);
        expected += "1 row(s) affected\r\nSQL batch completed successfully\r\n";
    }
    history->AppendText("Error at line 2\r\n", true);
    expected += "Error at line 2\r\n";
    EXPECT_EQ(Available(fds[0]), expected) << "an error is written at once, after all before it";

    history->MarkError();
    history->EndEntry(0);
    history.reset();
    EXPECT_EQ(Available(fds[0]), "SQL batch completed with error(s)\r\n");
    ::close(fds[0]);
    ::close(fds[1]);
}
