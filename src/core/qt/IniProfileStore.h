#pragma once
// The user's profile as an INI file through QSettings: organisation and application
// "Marlix" in the user's config folder, or an explicit file (tests, the runner's --settings).
#include "core/ProfileStore.h"

#include <memory>
#include <string>

class QSettings;

namespace marlix {

class IniProfileStore final : public ProfileStore {
public:
    IniProfileStore();                                 // ~/.config/Marlix/Marlix.ini
    explicit IniProfileStore(const std::string& path); // an explicit file
    ~IniProfileStore() override;

    // Why the file at `path` cannot be read as a profile (it is missing, a folder or unreadable),
    // or an empty text when it can. An explicit profile that cannot be read would otherwise read
    // as empty, and every setting would silently take its default.
    static std::string Unusable(const std::string& path);

    int GetInt(std::string_view section, std::string_view name, int defaultValue) const override;
    std::string GetString(std::string_view section, std::string_view name,
                          std::string_view defaultValue) const override;
    void WriteInt(std::string_view section, std::string_view name, int value) override;
    void WriteString(std::string_view section, std::string_view name, std::string_view value) override;
    // Writes pending changes to the file now.
    void Sync();
    std::string FileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace marlix
