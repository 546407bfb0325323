#include "core/DialectLiterals.h"

namespace marlix {

void AppendBinaryLiteral(std::string_view digits, Dialect dialect, std::string& out) {
    switch (dialect) {
    case Dialect::POSTGRESQL:
        // bytea's hex input form (standard_conforming_strings, the default since 9.1).
        out += "'\\x";
        out += digits;
        out += '\'';
        break;
    case Dialect::ORACLE:
        out += "HEXTORAW('";
        out += digits;
        out += "')";
        break;
    case Dialect::FIREBIRD:
        out += "x'";
        out += digits;
        out += '\'';
        break;
    case Dialect::MYSQL:
    case Dialect::SQLITE:
    case Dialect::GENERIC:
        // X'' is also the empty value, where 0x alone is no literal at all.
        out += "X'";
        out += digits;
        out += '\'';
        break;
    default:
        out += "0x";
        out += digits;
        break;
    }
}

} // namespace marlix
