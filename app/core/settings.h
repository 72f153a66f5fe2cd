// The two values kept between runs: "Barcode" (the last text) and "With Caption" ("1"/"0"),
// in the per-user store of application "Velmorrow", section "Quillion".
#pragma once

#include <QString>

#include <map>
#include <memory>
#include <string>

namespace quillion {

inline constexpr char16_t kKeyBarcode[] = u"Barcode";
inline constexpr char16_t kKeyWithCaption[] = u"With Caption";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored string, or fallback when the key is absent or unreadable. Never throws.
    virtual std::u16string GetSetting(const std::u16string& key,
                                      const std::u16string& fallback) const = 0;
    // Stores the string; a store that cannot be written loses the value quietly.
    virtual void SaveSetting(const std::u16string& key, const std::u16string& value) = 0;
};

// The user's settings file: <configuration folder>/Velmorrow/Quillion.ini, the configuration
// folder being $XDG_CONFIG_HOME or ~/.config.
QString UserSettingsPath();

// True when path may be read and written as the settings file: it does not exist yet, or it
// is a regular file or a symbolic link to one (written through, the link kept).
bool IsUsableSettingsFile(const QString& path);

// The settings file at UserSettingsPath(): the INI layout of QSettings, keys in the section
// "Quillion", every value a plain string (IniDocument); written whole on every change through
// WriteFileContents, the rest of the file kept. When the path is not a usable settings file, a
// store in memory for this run instead: the file is neither read nor written.
std::unique_ptr<SettingsStore> CreateUserSettings();

// A store in memory, for tests and for callers that keep nothing between runs.
class MemorySettings : public SettingsStore {
public:
    std::u16string GetSetting(const std::u16string& key,
                              const std::u16string& fallback) const override;
    void SaveSetting(const std::u16string& key, const std::u16string& value) override;
    const std::map<std::u16string, std::u16string>& Values() const { return values_; }

private:
    std::map<std::u16string, std::u16string> values_;
};

// Start-up reading: the stored text (empty when absent), and whether "With Caption" is
// ticked: the numeric value (Val) of the stored text equals 1; absent counts as "1".
std::u16string ReadStoredBarcode(const SettingsStore& store);
bool ReadStoredWithCaption(const SettingsStore& store);

} // namespace quillion
