#include "settings.h"

#include "plain_ini.h"
#include "runtime.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QVariant>

#include <cerrno>
#include <sys/stat.h>

namespace quillion {

namespace {

// The code units as they are: QString::fromStdU16String would read a leading U+FEFF or U+FFFE
// as a byte-order mark, dropping it or byte-swapping the whole text.
QString ToQ(const std::u16string& s) {
    return QStringView(s).toString();
}

class UserSettings : public SettingsStore {
public:
    explicit UserSettings(const QString& path) : settings_(path, PlainIniFormat()) {
        settings_.beginGroup(QStringLiteral("Quillion"));
    }

    std::u16string GetSetting(const std::u16string& key,
                              const std::u16string& fallback) const override {
        // Every value the file gives is a plain string (a list reads back joined by ", ").
        const QVariant value = settings_.value(ToQ(key));
        return value.isValid() ? value.toString().toStdU16String() : fallback;
    }

    void SaveSetting(const std::u16string& key, const std::u16string& value) override {
        settings_.setValue(ToQ(key), ToQ(value));
        settings_.sync(); // written on every change, as the store of the host does
    }

private:
    mutable QSettings settings_;
};

} // namespace

QString UserSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velmorrow/Quillion.ini");
}

bool IsUsableSettingsFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat entry {};
    if (::lstat(name.constData(), &entry) != 0)
        return errno == ENOENT; // made on the first save
    // A device, FIFO, socket or folder (or a link to one, or a dangling or looping link) is no
    // settings file: opening it could hang, and writing would replace it.
    struct stat target {};
    return ::stat(name.constData(), &target) == 0 && S_ISREG(target.st_mode);
}

std::unique_ptr<SettingsStore> CreateUserSettings() {
    const QString path = UserSettingsPath();
    if (!IsUsableSettingsFile(path))
        return std::make_unique<MemorySettings>();
    return std::make_unique<UserSettings>(path);
}

std::u16string MemorySettings::GetSetting(const std::u16string& key,
                                          const std::u16string& fallback) const {
    const auto it = values_.find(key);
    return it == values_.end() ? fallback : it->second;
}

void MemorySettings::SaveSetting(const std::u16string& key, const std::u16string& value) {
    values_[key] = value;
}

std::u16string ReadStoredBarcode(const SettingsStore& store) {
    return store.GetSetting(kKeyBarcode, u"");
}

bool ReadStoredWithCaption(const SettingsStore& store) {
    return Val(store.GetSetting(kKeyWithCaption, u"1")) == 1.0;
}

} // namespace quillion
