#include "picture_export.h"

#include "file_errors.h"
#include "runtime/runtime.h"
#include "runtime/whole_file.h"

#include <QBuffer>
#include <QDir>

#include <algorithm>

namespace quillion {

bool HasPictureToCopy(const Image& picture) {
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.empty())
        return false;
    const Pixel first = picture.pixels.front();
    return std::any_of(picture.pixels.begin(), picture.pixels.end(),
                       [first](Pixel p) { return p != first; });
}

QImage ToQImage(const Image& picture) {
    if (picture.width <= 0 || picture.height <= 0)
        return QImage();
    const QImage view(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                      picture.height, qsizetype(picture.width) * qsizetype(sizeof(Pixel)),
                      QImage::Format_RGB32);
    QImage copy = view.copy();
    if (copy.isNull())
        throw RuntimeError(err::kOutOfMemory, "Out of memory");
    return copy;
}

QByteArray EncodePng(const Image& picture) {
    const QImage image = ToQImage(picture);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw RuntimeError(err::kOutOfMemory, "Out of memory");
    return bytes;
}

QString WritePngFile(const Image& picture, const QString& folder, const QString& fileName) {
    const QByteArray bytes = EncodePng(picture);
    const QString path = QDir(folder).filePath(fileName);
    if (WriteFileContents(QFile::encodeName(path).toStdString(), bytes.constData(),
                          std::size_t(bytes.size())) != 0)
        RaisePathFileAccessError();
    return path;
}

} // namespace quillion
