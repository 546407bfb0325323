#include "execution/StreamConvert.h"

#include "core/ODBCException.h"
#include "core/ResultSet.h"
#include "transform/ScriptGenerator.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace marlix {

int64_t StreamConvert(ResultSet& resultSet, SQLHSTMT statement, int position, StatementType type,
                      const ConversionContext& context, TextSink& sink) {
    resultSet.fetchThrough = true;
    ScriptGenerator generator(resultSet);
    const int columnCount = resultSet.ColumnCount();

    // Only the columns a row text shows are read; long ones would cost a SQLGetData each, so
    // they are read (whole) only where the text shows them, or compare them as keys.
    const bool withLong = WritesLongColumns(resultSet.Description(), type, context);
    const std::vector<int>& keys = resultSet.KeyColumns();
    std::vector<int> textColumns;
    for (int c = 0; c < columnCount; ++c) {
        const ColumnDescriptor& column = resultSet.Column(c);
        if (column.IsDateTime()) continue;
        const bool key =
            type != StatementType::SELECT && std::find(keys.begin(), keys.end(), c) != keys.end();
        // The text table shows long character values (cut), and long binary ones unless suppressed.
        const bool shown = type == StatementType::SELECT &&
                           !(ColumnDescriptor::IsBinaryType(column.sqlType) && context.suppressBlobValues);
        if (!column.IsLong() || withLong || key || shown) textColumns.push_back(c);
    }
    std::vector<std::string_view> bound(static_cast<size_t>(columnCount));

    // The header waits for the first row: the parameter-array header is written only for a
    // result that has rows.
    bool headerWritten = false;
    int64_t row = 0;
    for (;;) {
        // A cancelled conversion ends here, without the footer: the caller ends the batch.
        if (resultSet.CancelRequested()) return row;
        const SQLRETURN rc = SQLFetch(statement);
        if (rc == SQL_NO_DATA) break;
        if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement, position);
        int reading = -1;
        try {
            for (int c : textColumns) {
                const ColumnDescriptor& column = resultSet.Column(c);
                reading = c;
                // The whole value, also where it is longer than the bind buffer.
                bound[static_cast<size_t>(c)] = column.indicator == SQL_NULL_DATA
                                                    ? std::string_view{}
                                                    : resultSet.BoundText(statement, c);
            }
            reading = -1;
            generator.SetFetchedRow(bound);
            if (!headerWritten) {
                generator.WriteScriptHeader(type, context, sink);
                headerWritten = true;
            }
            generator.WriteScriptRow(type, context, row, sink);
        } catch (...) {
            // A value being read, or else the one being written.
            resultSet.ThrowValueFailure(std::current_exception(),
                                        reading >= 0 ? reading : generator.ColumnInHand(), row + 1);
        }
        ++row;
        if ((row & 1023) == 0) resultSet.ReportProgress(row);
    }
    resultSet.ReportProgress(row);
    if (!headerWritten) generator.WriteScriptHeader(type, context, sink);
    generator.WriteScriptFooter(type, context, sink);
    return row;
}

} // namespace marlix
