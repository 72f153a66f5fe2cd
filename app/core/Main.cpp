#include "Main.h"

#include "file_errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace quillion {

void SkinFramework::LoadSkin(const QString& path, const QString& /*iniPath*/) {
    // The file is there (the caller looked): not being able to open or read it is an access
    // error, as is a file too large to be a skin.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSkinBytes)
        RaisePathFileAccessError();
    const QByteArray bytes = file.read(kMaxSkinBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxSkinBytes)
        RaisePathFileAccessError();
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

bool FileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

} // namespace quillion
