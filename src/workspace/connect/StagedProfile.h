#pragma once
// The connect dialog's writes held back until the connection they describe is made: a server or
// port that fails is not offered again as the last one used.
#include "core/ProfileStore.h"

#include <map>
#include <string>
#include <utility>

namespace marlix {

class StagedProfile final : public ProfileStore {
public:
    explicit StagedProfile(ProfileStore& profile) : profile_(profile) {}

    int GetInt(std::string_view section, std::string_view name, int defaultValue) const override {
        auto staged = ints_.find(KeyOf(section, name));
        return staged != ints_.end() ? staged->second : profile_.GetInt(section, name, defaultValue);
    }
    std::string GetString(std::string_view section, std::string_view name,
                          std::string_view defaultValue) const override {
        auto staged = strings_.find(KeyOf(section, name));
        return staged != strings_.end() ? staged->second : profile_.GetString(section, name, defaultValue);
    }
    void WriteInt(std::string_view section, std::string_view name, int value) override {
        ints_[KeyOf(section, name)] = value;
    }
    void WriteString(std::string_view section, std::string_view name, std::string_view value) override {
        strings_[KeyOf(section, name)] = std::string(value);
    }

    // Writes what was held back into the profile.
    void Apply() {
        for (const auto& [key, value] : ints_)
            profile_.WriteInt(key.first, key.second, value);
        for (const auto& [key, value] : strings_)
            profile_.WriteString(key.first, key.second, value);
        ints_.clear();
        strings_.clear();
    }

private:
    using Key = std::pair<std::string, std::string>;
    static Key KeyOf(std::string_view section, std::string_view name) {
        return {std::string(section), std::string(name)};
    }

    ProfileStore& profile_;
    std::map<Key, int> ints_;
    std::map<Key, std::string> strings_;
};

} // namespace marlix
