#pragma once
// The user's profile: integers and strings in named sections. Every read carries its
// default, so a missing profile or value is never an error.
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace marlix {

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    virtual int GetInt(std::string_view section, std::string_view name, int defaultValue) const = 0;
    virtual std::string GetString(std::string_view section, std::string_view name,
                                  std::string_view defaultValue) const = 0;
    virtual void WriteInt(std::string_view section, std::string_view name, int value) = 0;
    virtual void WriteString(std::string_view section, std::string_view name, std::string_view value) = 0;
};

// Profile kept in memory only: for tests, and for a runner started without a settings file.
class MemoryProfileStore final : public ProfileStore {
public:
    int GetInt(std::string_view section, std::string_view name, int defaultValue) const override;
    std::string GetString(std::string_view section, std::string_view name,
                          std::string_view defaultValue) const override;
    void WriteInt(std::string_view section, std::string_view name, int value) override;
    void WriteString(std::string_view section, std::string_view name, std::string_view value) override;

private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::string> values_;
};

} // namespace marlix
