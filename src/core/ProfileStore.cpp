#include "core/ProfileStore.h"

#include <charconv>

namespace marlix {

int MemoryProfileStore::GetInt(std::string_view section, std::string_view name, int defaultValue) const {
    auto it = values_.find(Key(section, name));
    if (it == values_.end()) return defaultValue;
    int value = 0;
    const std::string& text = it->second;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return (ec == std::errc() && end == text.data() + text.size()) ? value : defaultValue;
}

std::string MemoryProfileStore::GetString(std::string_view section, std::string_view name,
                                          std::string_view defaultValue) const {
    auto it = values_.find(Key(section, name));
    return it == values_.end() ? std::string(defaultValue) : it->second;
}

void MemoryProfileStore::WriteInt(std::string_view section, std::string_view name, int value) {
    values_[Key(section, name)] = std::to_string(value);
}

void MemoryProfileStore::WriteString(std::string_view section, std::string_view name,
                                     std::string_view value) {
    values_[Key(section, name)] = std::string(value);
}

} // namespace marlix
