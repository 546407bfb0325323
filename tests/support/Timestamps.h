#pragma once
// Date and time values as the driver hands them over, built field by field for tests.
#include <sql.h>
#include <sqlext.h>

namespace marlix::test {

inline constexpr unsigned kNanosecondsPerMillisecond = 1000000u;

inline TIMESTAMP_STRUCT Stamp(int y, int mo, int d, int h = 0, int mi = 0, int s = 0,
                              unsigned nanoseconds = 0) {
    TIMESTAMP_STRUCT ts{};
    ts.year = static_cast<SQLSMALLINT>(y);
    ts.month = static_cast<SQLUSMALLINT>(mo);
    ts.day = static_cast<SQLUSMALLINT>(d);
    ts.hour = static_cast<SQLUSMALLINT>(h);
    ts.minute = static_cast<SQLUSMALLINT>(mi);
    ts.second = static_cast<SQLUSMALLINT>(s);
    ts.fraction = nanoseconds;
    return ts;
}

} // namespace marlix::test
