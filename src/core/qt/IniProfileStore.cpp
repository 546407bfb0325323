#include "core/qt/IniProfileStore.h"

#include <QSettings>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlix {
namespace {

// Section and value names keep their blanks and brackets ("DatasetSizeLimit (MB)");
// QSettings escapes them in the file and reads them back unchanged.
QString KeyOf(std::string_view section, std::string_view name) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

IniProfileStore::IniProfileStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Marlix"), QStringLiteral("Marlix"))) {}

IniProfileStore::IniProfileStore(const std::string& path)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat)) {}

IniProfileStore::~IniProfileStore() = default;

std::string IniProfileStore::Unusable(const std::string& path) {
    // Without blocking on a pipe nobody writes to.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    struct stat info {};
    const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    char byte = 0;
    const bool readable = folder || ::read(fd, &byte, 1) >= 0;
    const int error = errno;
    ::close(fd);
    if (folder) return "is a folder, not a file";
    if (!readable) return std::strerror(error);
    return {};
}

int IniProfileStore::GetInt(std::string_view section, std::string_view name, int defaultValue) const {
    QVariant v = settings_->value(KeyOf(section, name));
    if (!v.isValid()) return defaultValue;
    bool ok = false;
    int value = v.toString().trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

std::string IniProfileStore::GetString(std::string_view section, std::string_view name,
                                       std::string_view defaultValue) const {
    QVariant v = settings_->value(KeyOf(section, name));
    if (!v.isValid()) return std::string(defaultValue);
    return v.toString().toStdString();
}

void IniProfileStore::WriteInt(std::string_view section, std::string_view name, int value) {
    settings_->setValue(KeyOf(section, name), value);
}

void IniProfileStore::WriteString(std::string_view section, std::string_view name, std::string_view value) {
    settings_->setValue(KeyOf(section, name),
                        QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void IniProfileStore::Sync() {
    settings_->sync();
}

std::string IniProfileStore::FileName() const {
    return settings_->fileName().toStdString();
}

} // namespace marlix
