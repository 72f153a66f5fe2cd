#include "settings.h"

#include "runtime.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace quillion {

namespace {

// The code units as they are: QString::fromStdU16String would read a leading U+FEFF or U+FFFE
// as a byte-order mark, dropping it or byte-swapping the whole text.
QString ToQ(const std::u16string& s) {
    return QStringView(s).toString();
}

class UserSettings : public SettingsStore {
public:
    UserSettings()
        : settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmorrow"),
                    QStringLiteral("Quillion")) {
        settings_.beginGroup(QStringLiteral("Quillion"));
    }

    std::u16string GetSetting(const std::u16string& key,
                              const std::u16string& fallback) const override {
        const QVariant value = settings_.value(ToQ(key));
        if (!value.isValid())
            return fallback;
        // A hand-edited INI value with an unquoted comma reads back as a list.
        if (value.typeId() == QMetaType::QStringList)
            return value.toStringList().join(QStringLiteral(", ")).toStdU16String();
        return value.toString().toStdU16String();
    }

    void SaveSetting(const std::u16string& key, const std::u16string& value) override {
        settings_.setValue(ToQ(key), ToQ(value));
        settings_.sync(); // written on every change, as the store of the host does
    }

private:
    mutable QSettings settings_;
};

} // namespace

std::unique_ptr<SettingsStore> CreateUserSettings() {
    return std::make_unique<UserSettings>();
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
