#include "Main.h"

#include "runtime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace quillion {

namespace {
constexpr std::size_t kMaxTitleLength = 40;
constexpr std::int32_t kErrPathFileAccess = 75;

[[noreturn]] void RaiseAccessError() {
    throw RuntimeError(kErrPathFileAccess, "Path/File access error");
}
} // namespace

void SkinFramework::LoadSkin(const QString& path, const QString& /*iniPath*/) {
    // The file is there (the caller looked): not being able to open or read it is an access
    // error, as is a file too large to be a skin.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSkinBytes)
        RaiseAccessError();
    const QByteArray bytes = file.read(kMaxSkinBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxSkinBytes)
        RaiseAccessError();
    styleSheet_ = QString::fromUtf8(bytes);
    loaded_ = true;
}

void SkinFramework::ApplySkin(SkinWindow& window) const {
    if (loaded_)
        window.SetSkinStyleSheet(styleSheet_);
}

QString SkinFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("/x/o.cjs");
}

QString CursorFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("/HAND-M.CUR");
}

bool IsRegularFile(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

bool IsNormalFile(const QString& path) {
    const QFileInfo info(path);
    return IsRegularFile(path) && !info.isHidden();
}

void ApplySkin(const QString& programFolder, SkinFramework& skin, SkinWindow& window) {
    const QString path = SkinFilePath(programFolder);
    if (!IsNormalFile(path))
        return;
    window.SetButtonFaceBackgrounds();
    skin.LoadSkin(path, QString());
    skin.SetOptions(skin.Options() | 1);
    skin.SetApplyToDialogs(true);
    skin.SetKeepSkinOnResize(true);
    skin.ApplySkin(window);
}

std::u16string AppTitleFromProductName(std::u16string_view productName) {
    std::u16string_view title = productName;
    do {
        const std::size_t blank = title.rfind(u' ');
        if (blank == std::u16string_view::npos)
            break; // nothing left to cut at
        title = title.substr(0, blank);
    } while (title.size() > kMaxTitleLength);
    return std::u16string(title);
}

bool FileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

} // namespace quillion
