#pragma once
// The attributes of a test server's connection string, to fill the connect dialog with.
#include "core/CaseFold.h"

#include <string>
#include <string_view>

namespace marlix::test {

// The value of `key` in a plain "Key=value;..." connection string; empty when it is not there.
inline std::string AttributeOf(std::string_view connection, std::string_view key) {
    while (!connection.empty()) {
        const size_t end = connection.find(';');
        const std::string_view part = connection.substr(0, end);
        const size_t equals = part.find('=');
        if (equals != std::string_view::npos && EqualsFolded(part.substr(0, equals), key))
            return std::string(part.substr(equals + 1));
        if (end == std::string_view::npos) break;
        connection.remove_prefix(end + 1);
    }
    return {};
}

} // namespace marlix::test
