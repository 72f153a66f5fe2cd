#include "settings.h"

#include "plain_ini.h"
#include "runtime/runtime.h"

#include "runtime/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quillion {

namespace {

// The code units as they are: QString::fromStdU16String would read a leading U+FEFF or U+FFFE
// as a byte-order mark, dropping it or byte-swapping the whole text.
QString ToQ(const std::u16string& s) {
    return QStringView(s).toString();
}

const QString kSection = QStringLiteral("Quillion");
constexpr qsizetype kReadChunk = 64 << 10;

// Tells the user, once per run, that the settings file is too large to be used.
void ReportTooLarge(const QString& path) {
    static std::atomic<bool> told = false;
    if (told.exchange(true))
        return;
    const QByteArray line = "quillion: " + QFile::encodeName(path) + " is larger than " +
                            QByteArray::number(kMaxSettingsFileBytes) +
                            " bytes: it is neither read nor written, and the settings of this "
                            "run are not kept\n";
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
}

// The bytes of the settings file, read without waiting (a FIFO put in its place meanwhile gives
// nothing), or nothing when it is missing, unreadable, not a regular file or larger than
// kMaxSettingsFileBytes (tooLarge is then set).
std::optional<QByteArray> ReadSettingsFile(const QString& path, bool& tooLarge) {
    tooLarge = false;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxSettingsFileBytes) {
        tooLarge = true;
    } else if (S_ISREG(st.st_mode)) {
        bytes.emplace();
        for (;;) {
            const qsizetype at = bytes->size();
            if (at > kMaxSettingsFileBytes) { // it grew while it was read
                tooLarge = true;
                bytes.reset();
                break;
            }
            bytes->resize(at + kReadChunk);
            const ssize_t n = ::read(fd, bytes->data() + at, std::size_t(kReadChunk));
            if (n < 0 && errno == EINTR) {
                bytes->resize(at);
                continue;
            }
            if (n <= 0) {
                bytes->resize(at);
                if (n < 0)
                    bytes.reset();
                break;
            }
            bytes->resize(at + n);
        }
    }
    ::close(fd);
    return bytes;
}

// The settings file, read at start and again before each save (so that what another window
// saved meanwhile is kept), written whole through WriteFileContents when a value changes. A
// file over kMaxSettingsFileBytes is left alone: the values live in memory for the run.
class UserSettings : public SettingsStore {
public:
    explicit UserSettings(const QString& path) : path_(path) { Reload(); }

    std::u16string GetSetting(const std::u16string& key,
                              const std::u16string& fallback) const override {
        const std::optional<QString> value = document_.Value(ToQ(key));
        return value ? value->toStdU16String() : fallback;
    }

    void SaveSetting(const std::u16string& key, const std::u16string& value) override {
        if (tooLarge_ || !IsUsableSettingsFile(path_) || !Reload()) {
            document_.SetValue(ToQ(key), ToQ(value)); // kept for this run only
            return;
        }
        const QString text = ToQ(value);
        if (document_.Value(ToQ(key)) == text)
            return; // stored already: nothing to write
        document_.SetValue(ToQ(key), text);
        const QByteArray bytes = document_.Serialize();
        QDir().mkpath(QFileInfo(path_).path());
        // A file that cannot be written loses the value quietly, as the host's store does.
        (void)WriteFileContents(QFile::encodeName(path_).toStdString(), bytes.constData(),
                                std::size_t(bytes.size()));
    }

private:
    // Reads the file again; false when it has become too large to be used.
    bool Reload() {
        const std::optional<QByteArray> bytes = ReadSettingsFile(path_, tooLarge_);
        if (tooLarge_)
            ReportTooLarge(path_);
        else if (bytes)
            document_ = IniDocument::Parse(*bytes, kSection);
        return !tooLarge_;
    }

    QString path_;
    bool tooLarge_ = false;
    IniDocument document_ = IniDocument::Parse({}, kSection);
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
