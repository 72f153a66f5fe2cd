// The two values kept between runs: "Barcode" (the last text) and "With Caption" ("1"/"0"),
// in the per-user store of application "Velmorrow", section "Quillion".
#pragma once

#include "settings_store.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace quillion {

// The user's settings file: <configuration folder>/Velmorrow/Quillion.ini, the configuration
// folder being $XDG_CONFIG_HOME or ~/.config.
QString UserSettingsPath();

// True when path may be read and written as the settings file: it does not exist yet, or it
// is a regular file or a symbolic link to one (written through, the link kept).
bool IsUsableSettingsFile(const QString& path);

// The largest settings file that is read and written: a larger one (no file this program wrote)
// is left alone, and the user is told once on standard error. A save that would make the file
// larger is refused (the value is kept for the run, the file keeps what it held, the user is
// told once): nothing is written that the next start would not read.
inline constexpr qint64 kMaxSettingsFileBytes = 1 << 20;

// The settings file at UserSettingsPath(): the INI layout of QSettings, keys in the section
// "Quillion", every value a plain string (IniDocument); replaced whole (ReplaceIfUnchanged)
// when a saved value differs from the stored one, the rest of the file kept. The file is
// opened once per read, through its folder's descriptor, and replaced through that folder only
// when it is still the file read, unchanged; otherwise it is read again. When the path is
// not a usable settings file, or is larger than kMaxSettingsFileBytes, a store in memory for
// this run instead: the file is neither read nor written.
std::unique_ptr<SettingsStore> CreateUserSettings();

// For tests: called in a save between the file's re-read and its replacement, where another
// program may change it. An empty function removes the hook.
void SetSettingsBeforeWriteHook(std::function<void()> hook);

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
