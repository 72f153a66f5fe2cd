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
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
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

// Writes "quillion: PATH " and what follows to standard error, once per run for each told flag.
void TellOnce(std::atomic<bool>& told, const QString& path, const QByteArray& what) {
    if (told.exchange(true))
        return;
    const QByteArray line = "quillion: " + QFile::encodeName(path) + " " + what + "\n";
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
}

// Tells the user that the settings file is too large to be used.
void ReportTooLarge(const QString& path) {
    static std::atomic<bool> told = false;
    TellOnce(told, path,
             "is larger than " + QByteArray::number(kMaxSettingsFileBytes) +
                 " bytes: it is neither read nor written, and the settings of this run are not "
                 "kept");
}

// Tells the user that a value was not saved: the file would have become larger than the next
// start reads.
void ReportNotSaved(const QString& path) {
    static std::atomic<bool> told = false;
    TellOnce(told, path,
             "would become larger than " + QByteArray::number(kMaxSettingsFileBytes) +
                 " bytes: the text is not saved (it is kept for this run only), and the file "
                 "keeps what it held");
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// The settings file opened once: the folder that holds it (a link followed once, to the file
// it names) and the file in it, opened through that folder without following a link. Every
// check is made on these descriptors and the file is replaced through the folder's, so a name
// swapped meanwhile changes nothing of what was checked.
struct OpenedSettings {
    enum class State { Unusable, Missing, Opened };
    State state = State::Unusable;
    int folder = -1;
    std::string leaf;
    ReadFile file; // the file and its fstat (fd -1 when missing)
    OpenedSettings() = default;
    OpenedSettings(const OpenedSettings&) = delete;
    OpenedSettings& operator=(const OpenedSettings&) = delete;
    ~OpenedSettings() {
        if (file.fd >= 0)
            ::close(file.fd);
        if (folder >= 0)
            ::close(folder);
    }
};

void OpenSettings(const QString& path, OpenedSettings& out) {
    const std::string name = QFile::encodeName(path).toStdString();
    std::string target = name;
    struct stat entry {};
    const bool exists = ::lstat(name.c_str(), &entry) == 0;
    if (!exists && errno != ENOENT)
        return;
    if (exists && S_ISLNK(entry.st_mode)) {
        // Followed by design, once: a dangling or looping link is no settings file.
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(name.c_str(), nullptr),
                                                         &std::free);
        if (!real)
            return;
        target = real.get();
    }
    out.folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    out.leaf = LeafOf(target);
    if (out.folder < 0) {
        // A missing folder is made on the first save.
        out.state = exists ? OpenedSettings::State::Unusable : OpenedSettings::State::Missing;
        return;
    }
    // Without waiting: a FIFO put in its place gives no file rather than a hang.
    out.file.fd = ::openat(out.folder, out.leaf.c_str(),
                           O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (out.file.fd < 0) {
        out.state = errno == ENOENT && target == name ? OpenedSettings::State::Missing
                                                      : OpenedSettings::State::Unusable;
        return;
    }
    // A device, FIFO, socket or folder is no settings file: reading could hang, and writing
    // would replace it.
    if (::fstat(out.file.fd, &out.file.seen) == 0 && S_ISREG(out.file.seen.st_mode))
        out.state = OpenedSettings::State::Opened;
}

// What the settings file gave: its text, or that it is too large or unusable.
enum class Reading { Text, Missing, TooLarge, Unusable };

Reading ReadSettings(const QString& path, OpenedSettings& file, QByteArray& bytes) {
    OpenSettings(path, file);
    if (file.state == OpenedSettings::State::Missing)
        return Reading::Missing;
    if (file.state == OpenedSettings::State::Unusable)
        return Reading::Unusable;
    std::string text;
    const int error = ReadWhole(file.file.fd, std::size_t(kMaxSettingsFileBytes), text);
    if (error == EFBIG)
        return Reading::TooLarge;
    if (error != 0)
        return Reading::Unusable;
    bytes = QByteArray(text.data(), qsizetype(text.size()));
    return Reading::Text;
}

// How many times a save reads the file again when it changed between the read and the write.
constexpr int kSaveAttempts = 3;

std::function<void()>& BeforeWriteHook() {
    static std::function<void()> hook;
    return hook;
}

// The settings file, read at start and again before each save (so that what another window
// saved meanwhile is kept), replaced whole when a value changes, but only when it still is the
// file that was read, unchanged. A file over kMaxSettingsFileBytes is left alone: the values
// live in memory for the run; a save that would make it that large is refused.
class UserSettings : public SettingsStore {
public:
    explicit UserSettings(const QString& path) : path_(path) {
        OpenedSettings file;
        QByteArray bytes;
        const Reading read = ReadSettings(path_, file, bytes);
        if (read == Reading::TooLarge) {
            tooLarge_ = true;
            ReportTooLarge(path_);
        } else if (read == Reading::Text) {
            document_ = IniDocument::Parse(bytes, kSection);
        }
    }

    std::u16string GetSetting(const std::u16string& key,
                              const std::u16string& fallback) const override {
        const std::optional<QString> value = document_.Value(ToQ(key));
        return value ? value->toStdU16String() : fallback;
    }

    void SaveSetting(const std::u16string& key, const std::u16string& value) override {
        const QString text = ToQ(value);
        for (int attempt = 0; attempt < kSaveAttempts && !tooLarge_; ++attempt) {
            QDir().mkpath(QFileInfo(path_).path());
            OpenedSettings file;
            QByteArray bytes;
            const Reading read = ReadSettings(path_, file, bytes);
            if (read == Reading::TooLarge) {
                tooLarge_ = true;
                ReportTooLarge(path_);
                break;
            }
            if (read == Reading::Unusable || file.folder < 0)
                break;
            IniDocument document =
                read == Reading::Text ? IniDocument::Parse(bytes, kSection) : document_;
            if (document.Value(ToQ(key)) == text) {
                document_ = std::move(document);
                return; // stored already: nothing to write
            }
            document.SetValue(ToQ(key), text);
            const QByteArray out = document.Serialize();
            document_ = std::move(document);
            if (out.size() > kMaxSettingsFileBytes) {
                // The next start would not read it: the file keeps what it held.
                ReportNotSaved(path_);
                return;
            }
            if (BeforeWriteHook())
                BeforeWriteHook()();
            // A file that cannot be written loses the value quietly, as the host's store does.
            if (ReplaceIfUnchanged(file.folder, file.leaf, out.constData(), std::size_t(out.size()),
                                   file.file) != kErrChanged)
                return;
            // Changed since it was read (another program wrote it): read it again.
        }
        document_.SetValue(ToQ(key), text); // kept for this run only
    }

private:
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
    OpenedSettings file;
    OpenSettings(path, file);
    return file.state != OpenedSettings::State::Unusable;
}

void SetSettingsBeforeWriteHook(std::function<void()> hook) {
    BeforeWriteHook() = std::move(hook);
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
