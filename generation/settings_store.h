// The store of the values kept between runs as the window's handlers see it: no Qt, so that
// the generation path builds without it (settings.h has the stores).
#pragma once

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

} // namespace quillion
