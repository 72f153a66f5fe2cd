// Start-up helpers: the optional skin, the application title and the file test.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quillion {

// The window as the skin sees it.
class SkinWindow {
public:
    virtual ~SkinWindow() = default;
    // The window and its option buttons, check boxes, frames and labels take the system's
    // button-face colour; other controls keep theirs.
    virtual void SetButtonFaceBackgrounds() = 0;
    virtual void SetSkinStyleSheet(const QString& styleSheet) = 0;
};

// The skin component: the skin file is a Qt style sheet, loaded and then applied to a window.
class SkinFramework {
public:
    static constexpr qint64 kMaxSkinBytes = 1 << 20;

    // Reads the style sheet. A file that cannot be opened or read, or one larger than
    // kMaxSkinBytes, raises RuntimeError 75 "Path/File access error".
    void LoadSkin(const QString& path, const QString& iniPath);
    int Options() const { return options_; }
    void SetOptions(int options) { options_ = options; }
    // Bit 0 of Options: the skin is applied to the controls as well as to the window.
    bool SkinsControls() const { return (options_ & 1) != 0; }
    void SetApplyToDialogs(bool on) { applyToDialogs_ = on; }
    void SetKeepSkinOnResize(bool on) { keepOnResize_ = on; }
    bool ApplyToDialogs() const { return applyToDialogs_; }
    bool KeepSkinOnResize() const { return keepOnResize_; }
    // Applies the loaded sheet (nothing when no skin was loaded).
    void ApplySkin(SkinWindow& window) const;
    bool Loaded() const { return loaded_; }
    const QString& StyleSheet() const { return styleSheet_; }

private:
    QString styleSheet_;
    bool loaded_ = false;
    int options_ = 0;
    bool applyToDialogs_ = false;
    bool keepOnResize_ = false;
};

// The skin file of the program folder: <folder>/x/o.cjs.
QString SkinFilePath(const QString& programFolder);
// The hand cursor file: <folder>/HAND-M.CUR.
QString CursorFilePath(const QString& programFolder);

// A regular file, or a symbolic link to one: not a device, FIFO, socket or folder, whose opening
// could wait for ever or read without end.
bool IsRegularFile(const QString& path);

// A normal file: a regular file whose name is not hidden (no leading dot). Whether it can be
// read is not asked: a skin that cannot be read is an error for the one who loads it.
bool IsNormalFile(const QString& path);

// When the skin file is a normal file: backgrounds to the button face, then the skin is
// loaded, its options set and it is applied to the window. Otherwise nothing happens.
void ApplySkin(const QString& programFolder, SkinFramework& skin, SkinWindow& window);

// The application title: the product name cut at its last blank, again while longer than 40
// characters. A name without a blank is the title as it stands.
std::u16string AppTitleFromProductName(std::u16string_view productName);

// True when the date and time of the file at path can be read. Never throws.
bool FileExists(const QString& path);

} // namespace quillion
