#include "runtime/whole_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace quillion {

namespace {

constexpr int kNameAttempts = 64;
constexpr std::size_t kMaxStemBytes = 64;

std::uint64_t RandomSuffix() {
    thread_local std::uint64_t state = [] {
        // getrandom(2) rather than std::random_device, whose set-up asks the processor for its
        // features: a trap into the hypervisor on a virtual machine, in every run of the renderer.
        std::uint64_t seed = 0;
        if (::getrandom(&seed, sizeof seed, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof seed))
            seed = static_cast<std::uint64_t>(std::time(nullptr)) ^
                   (static_cast<std::uint64_t>(::getpid()) << 32) ^
                   reinterpret_cast<std::uintptr_t>(&seed);
        return seed;
    }();
    // SplitMix64: a name needs no more than distinct, unguessable-enough suffixes, and a
    // one-shot run writes one file (a Mersenne Twister's set-up was 3% of such a run).
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return (z ^ (z >> 31)) & 0xFFFFFFFFFFFFull;
}

// ".<start of the file name>.<random>.tmp": hidden, recognisable and short enough for any file
// name the target may have.
std::string TemporaryLeafName(const std::string& leaf) {
    std::string stem = leaf;
    if (stem.size() > kMaxStemBytes) {
        std::size_t cut = kMaxStemBytes;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0u) == 0x80u) {
            --cut; // keep whole UTF-8 characters
        }
        stem.resize(cut);
    }
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(RandomSuffix()));
    return "." + stem + suffix;
}

int WriteAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// True when an existing regular file may not be written by this process. Root may write any
// file, but a file without any write permission bit is meant to stay as it is.
bool IsReadOnly(const struct stat& st, int folderFd, const char* name) {
    if ((st.st_mode & 0222) == 0) {
        return true;
    }
    return ::geteuid() != 0 && ::faccessat(folderFd, name, W_OK, AT_EACCESS) != 0;
}

// Creates a fresh temporary file beside leaf in folderFd; returns its descriptor or -errno.
int CreateTemporary(int folderFd, const std::string& leaf, std::string& temporary) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = TemporaryLeafName(leaf);
        // 0666: the umask gives the file the permissions any new file of this user gets.
        const int fd = ::openat(folderFd, temporary.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            return -errno;
        }
    }
    return -EEXIST;
}

// Whether leaf in folderFd still holds what read describes: nothing, or the file open as
// read.fd with the size and modification time it had when it was read.
bool StillHolds(int folderFd, const std::string& leaf, const ReadFile& read) {
    struct stat entry {};
    const bool exists = ::fstatat(folderFd, leaf.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0;
    if (read.fd < 0)
        return !exists && errno == ENOENT;
    struct stat now {};
    return exists && ::fstat(read.fd, &now) == 0 && entry.st_dev == read.seen.st_dev &&
           entry.st_ino == read.seen.st_ino && now.st_size == read.seen.st_size &&
           now.st_mtim.tv_sec == read.seen.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == read.seen.st_mtim.tv_nsec;
}

// Gives the complete temporary file its name: over whatever leaf holds, or, with expect, only
// when leaf still holds what expect describes (a new name is never taken from a file that
// appeared meanwhile).
int RenameInto(int folderFd, const std::string& temporary, const std::string& leaf,
               const ReadFile* expect) {
    if (expect == nullptr)
        return ::renameat(folderFd, temporary.c_str(), folderFd, leaf.c_str()) == 0 ? 0 : errno;
    if (expect->fd < 0) {
        // A name that must still be free: taken in one step that fails when it is not.
        if (::renameat2(folderFd, temporary.c_str(), folderFd, leaf.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno == EEXIST)
            return kErrChanged;
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // A file system without that flag: looked at just before the rename instead.
    }
    if (!StillHolds(folderFd, leaf, *expect))
        return kErrChanged;
    return ::renameat(folderFd, temporary.c_str(), folderFd, leaf.c_str()) == 0 ? 0 : errno;
}

// Writes a new file beside leaf and renames it over leaf. existing is the entry it replaces
// (null when there is none); expect, when given, what leaf must still hold at the rename.
int WriteAndRename(int folderFd, const std::string& leaf, const unsigned char* data,
                   std::size_t size, const struct stat* existing, bool syncData,
                   const ReadFile* expect = nullptr) {
    std::string temporary;
    const int fd = CreateTemporary(folderFd, leaf, temporary);
    if (fd < 0) {
        return -fd;
    }
    int error = WriteAll(fd, data, size);
    if (error == 0 && existing != nullptr && S_ISREG(existing->st_mode) &&
        ::fchmod(fd, existing->st_mode & 0777) != 0) {
        error = errno;
    }
    if (error == 0 && syncData && ::fdatasync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0) {
        error = RenameInto(folderFd, temporary, leaf, expect);
    }
    if (error != 0) {
        ::unlinkat(folderFd, temporary.c_str(), 0);
    }
    return error;
}

// SIGPIPE held back while writing into a FIFO whose reader goes away: the write fails with
// EPIPE instead of ending the program, and the pending signal is taken out again.
class PipeSignalBlock {
public:
    PipeSignalBlock() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~PipeSignalBlock() {
        if (!wasPending_) {
            sigset_t pending;
            sigpending(&pending);
            if (sigismember(&pending, SIGPIPE) == 1) {
                const timespec zero{0, 0};
                sigtimedwait(&pipe_, nullptr, &zero);
            }
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    PipeSignalBlock(const PipeSignalBlock&) = delete;
    PipeSignalBlock& operator=(const PipeSignalBlock&) = delete;

private:
    sigset_t pipe_{};
    sigset_t old_{};
    bool wasPending_ = false;
};

// Writes into an existing device, FIFO or socket leaf of folderFd (never through a link). Sets
// regular to the file's fstat when the name turned out to hold a regular file after all (it was
// replaced in the meantime): nothing is written then.
int WriteIntoSpecialFile(int folderFd, const std::string& leaf, const struct stat& seen,
                         const unsigned char* data, std::size_t size, struct stat& regular) {
    regular.st_mode = 0;
    // Without waiting: a FIFO without a reader fails at once with ENXIO, a terminal line waits
    // for no carrier.
    const int fd =
        ::openat(folderFd, leaf.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return errno == ENXIO && S_ISFIFO(seen.st_mode) ? kErrNoReader : errno;
    }
    struct stat opened {};
    int error = ::fstat(fd, &opened) != 0 ? errno : 0;
    if (error == 0 && S_ISREG(opened.st_mode)) {
        regular = opened;
        ::close(fd);
        return 0;
    }
    const int flags = error == 0 ? ::fcntl(fd, F_GETFL) : -1;
    if (error == 0 && (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
        error = errno;
    }
    if (error == 0) {
        const PipeSignalBlock noSignal;
        error = WriteAll(fd, data, size);
    }
    if (error == 0 && S_ISBLK(opened.st_mode) && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

// Files without a name (O_TMPFILE) are not supported by this file system.
constexpr int kNoUnnamedFiles = -100;

// Writes a file without a name in folderFd and links it as name. Fails with EEXIST when name
// is taken (nothing is changed then), kNoUnnamedFiles when the file system cannot do this.
int LinkNewFile(int folderFd, const std::string& name, const unsigned char* data,
                std::size_t size) {
    const int fd = ::openat(folderFd, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? kNoUnnamedFiles : errno;
    }
    int error = WriteAll(fd, data, size);
    if (error == 0 && ::linkat(fd, "", folderFd, name.c_str(), AT_EMPTY_PATH) != 0) {
        error = errno;
        if (error == ENOENT || error == EPERM) {
            // Linking by descriptor needs a privilege; the path in /proc does not.
            const std::string self = "/proc/self/fd/" + std::to_string(fd);
            error = ::linkat(AT_FDCWD, self.c_str(), folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0
                        ? 0
                        : (errno == ENOENT ? kNoUnnamedFiles : errno);
        }
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno; // linked, but not whole: take the name away again
        ::unlinkat(folderFd, name.c_str(), 0);
    }
    return error;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The regular file a path names: the path itself, or the file its symbolic link leads to.
int ResolveLink(const std::string& path, std::string& resolved) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) {
        return errno; // a dangling or looping link
    }
    resolved = real.get();
    return 0;
}

// Writes leaf inside the open folderFd, leaf being no link (a link that appeared after the name
// was resolved fails with ELOOP).
int WriteInFolder(int folderFd, const std::string& leaf, const unsigned char* bytes,
                  std::size_t size) {
    struct stat existing {};
    if (::fstatat(folderFd, leaf.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? WriteAndRename(folderFd, leaf, bytes, size, nullptr, true) : errno;
    }
    if (S_ISLNK(existing.st_mode)) {
        return ELOOP;
    }
    if (S_ISDIR(existing.st_mode)) {
        return EISDIR;
    }
    if (!S_ISREG(existing.st_mode)) {
        struct stat regular {};
        const int error = WriteIntoSpecialFile(folderFd, leaf, existing, bytes, size, regular);
        if (!S_ISREG(regular.st_mode)) {
            return error;
        }
        existing = regular;
    }
    if (IsReadOnly(existing, folderFd, leaf.c_str())) {
        return kErrReadOnly;
    }
    return WriteAndRename(folderFd, leaf, bytes, size, &existing, true);
}

} // namespace

std::string FileErrorText(int error) {
    switch (error) {
    case 0:
        return {};
    case kErrNoReader:
        return "no process reads the FIFO";
    case kErrReadOnly:
        return "the file is read-only";
    default:
        return std::generic_category().message(error);
    }
}

int WriteFileContents(const std::string& path, const void* data, std::size_t size) {
    if (path.empty() || path.back() == '/') {
        return path.empty() ? ENOENT : EISDIR;
    }
    // The name is resolved once: a link to the file it names. From then on everything happens
    // relative to the folder that holds the file.
    std::string target = path;
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
        if (errno != ENOENT) {
            return errno;
        }
    } else if (S_ISLNK(entry.st_mode)) {
        if (const int e = ResolveLink(path, target); e != 0) {
            return e;
        }
    }
    const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return errno;
    }
    const int error =
        WriteInFolder(folder, LeafOf(target), static_cast<const unsigned char*>(data), size);
    ::close(folder);
    return error;
}

int ReplaceIfUnchanged(int folderFd, const std::string& name, const void* data, std::size_t size,
                       const ReadFile& read) {
    if (name.empty() || name.find('/') != std::string::npos) {
        return EINVAL;
    }
    const bool exists = read.fd >= 0;
    if (exists && IsReadOnly(read.seen, folderFd, name.c_str())) {
        return kErrReadOnly;
    }
    return WriteAndRename(folderFd, name, static_cast<const unsigned char*>(data), size,
                          exists ? &read.seen : nullptr, true, &read);
}

int ReadWhole(int fd, std::size_t limit, std::string& out) {
    constexpr std::size_t kChunk = 64 << 10;
    out.clear();
    for (;;) {
        const std::size_t at = out.size();
        // One byte beyond the limit tells a file of exactly limit bytes from a longer one.
        const std::size_t want = std::min(kChunk, limit + 1 - at);
        out.resize(at + want);
        const ssize_t n = ::read(fd, out.data() + at, want);
        out.resize(at + static_cast<std::size_t>(n > 0 ? n : 0));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            out.clear();
            return error;
        }
        if (n == 0) {
            return 0;
        }
        if (out.size() > limit) {
            out.clear();
            return EFBIG;
        }
    }
}

int ReplaceInFolder(int folderFd, const std::string& name, const void* data, std::size_t size) {
    if (name.empty() || name.find('/') != std::string::npos) {
        return EINVAL;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    // The usual case, a name not taken yet: one file-system change in the folder (a file with no
    // name, given its name when complete), and nothing left behind if the process dies.
    const int linked = LinkNewFile(folderFd, name, bytes, size);
    if (linked != EEXIST && linked != kNoUnnamedFiles) {
        return linked;
    }
    struct stat existing {};
    const bool exists = ::fstatat(folderFd, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) {
        return errno;
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        return EISDIR;
    }
    if (exists && S_ISREG(existing.st_mode) && IsReadOnly(existing, folderFd, name.c_str())) {
        return kErrReadOnly;
    }
    return WriteAndRename(folderFd, name, bytes, size, exists ? &existing : nullptr, false);
}

namespace {

// ".<name>.<12 hex digits>.tmp", as TemporaryLeafName makes them.
bool IsTemporaryLeaf(const std::string& name) {
    constexpr std::size_t kDigits = 12;
    constexpr std::string_view kEnding = ".tmp";
    const std::size_t minimum = 1 + 1 + 1 + kDigits + kEnding.size();
    if (name.size() < minimum || name[0] != '.' || !name.ends_with(kEnding))
        return false;
    const std::size_t digits = name.size() - kEnding.size() - kDigits;
    if (name[digits - 1] != '.')
        return false;
    for (std::size_t i = digits; i < digits + kDigits; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])) ||
            std::isupper(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

} // namespace

void RemoveStaleTemporaries(int folderFd) {
    constexpr time_t kAgeSeconds = 60;
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    const time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (IsTemporaryLeaf(name) &&
            ::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_mtime < now - kAgeSeconds)
            ::unlinkat(folderFd, name.c_str(), 0);
    }
    ::closedir(dir);
}

int SyncFolder(int folderFd) {
    return ::syncfs(folderFd) == 0 ? 0 : errno;
}

} // namespace quillion
