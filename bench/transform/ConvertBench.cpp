// bench_convert: the script generator on a million stored rows against hand-written formatting
// of the same INSERT text from the same stored values, and StreamConvert into a file against a
// bare loop that fetches, formats that text into a buffer and writes it to a file.
#include "core/FileTextSink.h"
#include "core/HistoryOutput.h"
#include "core/MemoryTextSink.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "execution/StreamConvert.h"
#include "support/BenchTable.h"
#include "transform/ScriptGenerator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace marlix;
using namespace marlix::bench;

namespace {

constexpr size_t kOutputReservation = size_t{1} << 30; // the whole INSERT text of a million rows
constexpr const char* kTable = "bench_rows";
constexpr int kRounds = 5; // fetching rounds; the conversions alone run more often
constexpr int kConvertRounds = 7;

// Processor time of this thread: the conversions run in this thread alone, and other work on a
// shared machine should not count against them.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

StatementHandle Execute(SQLHDBC connection) {
    StatementHandle statement(connection);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)kBenchQuery, SQL_NTS)))
        throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    return statement;
}

ConversionDescription BenchDescription() {
    ConversionDescription d;
    d.destinationTable = kTable;
    d.keyFields = {"id"};
    return d;
}

// Output of the hand-written formatters: a plain buffer, emptied into a file when one is given.
class RawBuffer {
public:
    explicit RawBuffer(size_t capacity, int fd = -1)
        : data_(new char[capacity]), capacity_(capacity), fd_(fd) {}
    char* Reserve(size_t n) {
        if (used_ + n > capacity_) Flush();
        return data_.get() + used_;
    }
    void Commit(char* end) { used_ = static_cast<size_t>(end - data_.get()); }
    void Clear() { used_ = total_ = 0; }
    void Flush() {
        if (fd_ < 0) throw std::runtime_error("hand-written output buffer full");
        for (size_t done = 0; done < used_;) {
            ssize_t n = ::write(fd_, data_.get() + done, used_ - done);
            if (n < 0) throw std::runtime_error("write failed");
            done += static_cast<size_t>(n);
        }
        total_ += used_;
        used_ = 0;
    }
    std::string_view View() const { return {data_.get(), used_}; }
    size_t Total() const { return total_ + used_; }

private:
    std::unique_ptr<char[]> data_;
    size_t capacity_;
    size_t used_ = 0;
    size_t total_ = 0;
    int fd_;
};

char* Put(char* at, std::string_view s) {
    std::memcpy(at, s.data(), s.size());
    return at + s.size();
}

char* Put2(char* at, unsigned v) {
    at[0] = static_cast<char>('0' + v / 10 % 10);
    at[1] = static_cast<char>('0' + v % 10);
    return at + 2;
}

// The MSSQL literal of a value, written by hand: quoted escaped text, the m.d.Y H:M:S.s
// timestamp in quotes, NULL, or the number as stored.
char* PutText(char* at, std::string_view text) {
    *at++ = '\'';
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (u == '\'')
            *at++ = '\'', *at++ = '\'';
        else if (u == '\n')
            *at++ = '\\', *at++ = 'n';
        else if (u == '\r')
            *at++ = '\\', *at++ = 'r';
        else if (u >= 1 && u < 32)
            *at++ = '?';
        else
            *at++ = c;
    }
    *at++ = '\'';
    return at;
}

char* PutTimestamp(char* at, const TIMESTAMP_STRUCT& ts) {
    *at++ = '\'';
    at = Put2(at, ts.month);
    *at++ = '.';
    at = Put2(at, ts.day);
    *at++ = '.';
    at = Put2(Put2(at, static_cast<unsigned>(ts.year) / 100), static_cast<unsigned>(ts.year) % 100);
    *at++ = ' ';
    at = Put2(at, ts.hour);
    *at++ = ':';
    at = Put2(at, ts.minute);
    *at++ = ':';
    at = Put2(at, ts.second);
    *at++ = '.';
    unsigned ms = ts.fraction / 1000000;
    *at++ = static_cast<char>('0' + ms / 100);
    at = Put2(at, ms % 100);
    *at++ = '\'';
    return at;
}

const char kOpening[] = "INSERT INTO bench_rows (id, name, qty, created, note, flag)\r\nVALUES(";

// Column kinds of the bench query: id, name, qty, created, note, flag.
enum class Kind { Number, Text, Stamp };
constexpr Kind kKinds[6] = {Kind::Number, Kind::Text, Kind::Number, Kind::Stamp, Kind::Text, Kind::Number};

// Hand-written INSERT text of every stored row, with the footer line end.
void HandFormatStored(const ResultSet& rs, RawBuffer& out) {
    const int64_t rows = rs.RowCount();
    for (int64_t row = 0; row < rows; ++row) {
        char* at = out.Reserve(4096);
        at = Put(at, {kOpening, sizeof kOpening - 1});
        for (int c = 0; c < 6; ++c) {
            if (c) at = Put(at, ", ");
            CellRef cell = rs.Cell(row, c);
            if (cell.isNull)
                at = Put(at, "NULL");
            else if (kKinds[c] == Kind::Text)
                at = PutText(at, cell.Text());
            else if (kKinds[c] == Kind::Stamp)
                at = PutTimestamp(at, rs.Timestamp(row, c));
            else
                at = Put(at, cell.Text());
        }
        at = Put(at, ")\r\n");
        out.Commit(at);
    }
    out.Commit(Put(out.Reserve(2), "\r\n"));
}

// Binds every column, fetches to the end and formats each row's INSERT text into a buffer that
// goes to the file whenever it is full.
long BareFetchAndFormat(SQLHDBC connection, RawBuffer& out) {
    StatementHandle statement = Execute(connection);
    char buffers[6][256];
    SQLLEN indicators[6];
    TIMESTAMP_STRUCT stamp{};
    for (SQLUSMALLINT c = 1; c <= 6; ++c) {
        if (kKinds[c - 1] == Kind::Stamp)
            SQLBindCol(statement, c, SQL_C_TYPE_TIMESTAMP, &stamp, sizeof stamp, &indicators[c - 1]);
        else
            SQLBindCol(statement, c, SQL_C_CHAR, buffers[c - 1], sizeof buffers[c - 1], &indicators[c - 1]);
    }
    long rows = 0;
    SQLRETURN rc;
    while ((rc = SQLFetch(statement)) != SQL_NO_DATA) {
        if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
        char* at = out.Reserve(4096);
        at = Put(at, {kOpening, sizeof kOpening - 1});
        for (int c = 0; c < 6; ++c) {
            if (c) at = Put(at, ", ");
            if (indicators[c] == SQL_NULL_DATA)
                at = Put(at, "NULL");
            else if (kKinds[c] == Kind::Text)
                at = PutText(at, {buffers[c], static_cast<size_t>(indicators[c])});
            else if (kKinds[c] == Kind::Stamp)
                at = PutTimestamp(at, stamp);
            else
                at = Put(at, {buffers[c], static_cast<size_t>(indicators[c])});
        }
        at = Put(at, ")\r\n");
        out.Commit(at);
        ++rows;
    }
    out.Commit(Put(out.Reserve(2), "\r\n"));
    out.Flush();
    return rows;
}

struct Figures {
    double fetch = 1e100, convert = 1e100, hand = 1e100;
    // Fetching loops: elapsed time, and the processor time of this process (driver and
    // formatting; a server's own work is the same for both loops).
    double stream = 1e100, bare = 1e100, streamCpu = 1e100, bareCpu = 1e100;
    long rows = 0;
    size_t convertBytes = 0, streamBytes = 0, bareBytes = 0;
    bool sameText = true;
};

Figures Measure(SQLHDBC connection, const std::string& folder) {
    Figures f;
    // The stored result set, fetched once; the conversions are measured on it.
    double start = Now();
    ResultSet rs(6, 0, 0, BenchDescription(), 0);
    {
        StatementHandle statement = Execute(connection);
        TextHistoryOutput history;
        rs.DescribeAndBind(statement, 0);
        rs.FetchAll(statement, 0, history);
    }
    f.fetch = Now() - start;
    f.rows = static_cast<long>(rs.RowCount());

    const std::string streamFile = folder + "/bench_convert_stream.sql";
    const std::string bareFile = folder + "/bench_convert_bare.sql";
    // The output memory is kept from round to round: the best round measures formatting, not
    // the first touch of fresh pages.
    MemoryTextSink sink(kOutputReservation);
    RawBuffer hand(kOutputReservation);
    for (int round = 0; round < kConvertRounds; ++round) {
        sink.Clear();
        start = ThreadSeconds();
        ConvertResultSet(rs, StatementType::INSERT, DefaultContext(Dialect::MSSQL), sink);
        f.convert = std::min(f.convert, ThreadSeconds() - start);
        f.convertBytes = sink.Length();

        hand.Clear();
        start = ThreadSeconds();
        HandFormatStored(rs, hand);
        f.hand = std::min(f.hand, ThreadSeconds() - start);
        f.sameText = f.sameText && hand.View() == sink.View();
    }

    for (int round = 0; round < kRounds; ++round) {
        start = Now();
        double cpu = ProcessorSeconds();
        {
            StatementHandle statement = Execute(connection);
            ResultSet through(6, 0, 0, BenchDescription(), 0);
            through.DescribeAndBind(statement, 0);
            FileTextSink file(streamFile);
            StreamConvert(through, statement, 0, StatementType::INSERT, DefaultContext(Dialect::MSSQL), file);
            file.Close();
            f.streamBytes = file.Length();
        }
        f.stream = std::min(f.stream, Now() - start);
        f.streamCpu = std::min(f.streamCpu, ProcessorSeconds() - cpu);

        start = Now();
        cpu = ProcessorSeconds();
        {
            int fd = ::open(bareFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (fd < 0) throw std::runtime_error("cannot open " + bareFile);
            RawBuffer out(FileTextSink::kBufferSize, fd);
            BareFetchAndFormat(connection, out);
            ::close(fd);
            f.bareBytes = out.Total();
        }
        f.bare = std::min(f.bare, Now() - start);
        f.bareCpu = std::min(f.bareCpu, ProcessorSeconds() - cpu);
    }
    f.sameText = f.sameText && f.streamBytes == f.convertBytes && f.bareBytes == f.convertBytes;
    std::filesystem::remove(streamFile);
    std::filesystem::remove(bareFile);
    return f;
}

} // namespace

int main() {
    CODBCSession session;
    if (!session.Initialize()) {
        std::fprintf(stderr, "%s\n", kOdbcInitFailedMessage);
        return 1;
    }
    MemoryProfileStore profile;
    const std::string folder = BenchFolder();

    std::string summary;
    bool allWithinTarget = true;
    for (const BenchDatabase& db : AvailableDatabases()) {
        try {
            ConnectionRequest request{ConnectionType::MicrosoftSQL, db.connectionString, "", "", db.name};
            session.Connect(request, profile);
            EnsureBenchTable(session.Connection(), db.server);
            Figures f = Measure(session.Connection(), folder);
            session.Disconnect();

            double convertRatio = f.convert / f.hand;
            double streamRatio = f.streamCpu / f.bareCpu;
            const char* n = db.name.c_str();
            std::printf("%-10s fetch into result set:  %9.0f rows/s (%ld rows)\n", n, f.rows / f.fetch,
                        f.rows);
            std::printf("%-10s ConvertResultSet INSERT: %9.0f rows/s, %5.1f ns/row, %.1f MB of text\n", n,
                        f.rows / f.convert, 1e9 * f.convert / f.rows, f.convertBytes / 1048576.0);
            std::printf("%-10s hand-written formatting: %9.0f rows/s, %5.1f ns/row%s\n", n, f.rows / f.hand,
                        1e9 * f.hand / f.rows, f.sameText ? "" : "  [TEXTS DIFFER]");
            std::printf(
                "%-10s StreamConvert to file:   %9.0f rows/s elapsed, %9.0f rows/s of processor time\n", n,
                f.rows / f.stream, f.rows / f.streamCpu);
            std::printf("%-10s bare fetch+format+write: %9.0f rows/s elapsed, %9.0f rows/s of processor time "
                        "(elapsed ratio %.2f)\n",
                        n, f.rows / f.bare, f.rows / f.bareCpu, f.stream / f.bare);
            char line[200];
            std::snprintf(line, sizeof line, "%s%s convert/hand %.2f, stream/bare %.2f",
                          summary.empty() ? "" : "; ", n, convertRatio, streamRatio);
            summary += line;
            allWithinTarget = allWithinTarget && f.sameText && convertRatio <= 3.0 && streamRatio <= 1.2;
        } catch (const CODBCException& e) {
            std::fprintf(stderr, "%s: %s\n", db.name.c_str(), e.Message().c_str());
            return 1;
        }
    }
    std::printf("processor time ratios (targets convert/hand <= 3, stream/bare <= 1.2): %s%s\n",
                summary.c_str(), allWithinTarget ? "" : "  [outside target]");
    return 0;
}
