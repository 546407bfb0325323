#pragma once
// Results shown as text without being stored: each row is converted right after it is fetched.
#include "core/ConversionContext.h"
#include "core/ConversionDescription.h"
#include "core/TextSink.h"

#include <sql.h>

#include <cstdint>

namespace marlix {

class ResultSet;

// Converts the rest of the statement's current result into the sink, row by row while
// fetching. The result set must be described and bound on the statement (DescribeAndBind); it
// becomes a fetch-through result set that stores no rows. Returns the number of rows written.
// Stops before the next row, writing no footer, once the result set's cancel flag is raised.
// Throws CODBCException (carrying `position`) when a fetch fails.
int64_t StreamConvert(ResultSet& resultSet, SQLHSTMT statement, int position, StatementType type,
                      const ConversionContext& context, TextSink& sink);

} // namespace marlix
