#include "fonts/cache_files.h"

#include "fonts/cache_sweep.h"
#include "runtime/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillion {

namespace {

constexpr std::size_t kMaxFileBytes = 4 << 20;
constexpr std::int64_t kSettleNs = 1'000'000'000;

std::int64_t Ns(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// A state word: a 64-bit hash of the mode, device, inode, size and the modification and change
// times, in 16 hex digits (a run compares some eighty of them with what it kept, and writing six
// decimal numbers for each was most of the work).
class StateWord {
public:
    explicit StateWord(const struct stat& st) {
        const std::uint64_t fields[6] = {
            std::uint64_t(st.st_mode),     std::uint64_t(st.st_dev),
            std::uint64_t(st.st_ino),      std::uint64_t(st.st_size),
            std::uint64_t(Ns(st.st_mtim)), std::uint64_t(Ns(st.st_ctim))};
        PutHex16(
            ContentHash(std::string_view(reinterpret_cast<const char*>(fields), sizeof fields)),
            text_);
    }
    std::string_view View() const { return {text_, sizeof text_}; }

private:
    char text_[16];
};

// Makes the folder and its missing parents (private to the user, as cache folders are).
bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

PathState StateOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {"-", 0};
    PathState s;
    s.word = StateWord(st).View();
    s.lastChangeNs = std::max(Ns(st.st_mtim), Ns(st.st_ctim));
    return s;
}

namespace {
constexpr std::size_t kFolderRun = 4; // paths in one folder worth opening it for
} // namespace

bool StatesUnchanged(const std::vector<KeptState>& kept) {
    std::string name; // the C string each look-up takes
    for (std::size_t i = 0; i < kept.size();) {
        const std::string_view folder = FolderOf(kept[i].path);
        std::size_t end = i + 1;
        while (end < kept.size() && FolderOf(kept[end].path) == folder)
            ++end;
        int fd = -1;
        if (end - i >= kFolderRun && !folder.empty()) {
            name.assign(folder);
            fd = ::open(name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        bool same = true;
        for (; same && i < end; ++i) {
            struct stat st {};
            const bool found = fd >= 0 ? (name.assign(kept[i].path.substr(folder.size() + 1)),
                                          ::fstatat(fd, name.c_str(), &st, 0) == 0)
                                       : (name.assign(kept[i].path),
                                          !name.empty() && ::stat(name.c_str(), &st) == 0);
            same = found ? StateWord(st).View() == kept[i].word : kept[i].word == "-";
        }
        if (fd >= 0)
            ::close(fd);
        if (!same)
            return false;
    }
    return true;
}

bool Settled(const PathState& state, std::int64_t notBeforeNs) {
    return state.lastChangeNs < notBeforeNs - kSettleNs;
}

std::string LinkTarget(const std::string& path) {
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
        return {};
    target.resize(static_cast<std::size_t>(n));
    if (target.front() == '/')
        return target;
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1) + target;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

bool ToInt(std::string_view text, int& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

namespace {

// Reads fd to its end into out (at most kMaxFileBytes) into a buffer of the size fstat gave and
// one byte more to see the end, grown only when the file grew meanwhile: ReadWhole's 64 KiB
// chunk would be zero-filled, and in a one-shot run every page so touched is a page fault.
bool ReadSized(int fd, std::size_t size, std::string& out) {
    out.clear();
    std::size_t want = std::min(size, kMaxFileBytes) + 1;
    for (;;) {
        const std::size_t at = out.size();
        out.resize(at + want);
        const ssize_t n = ::read(fd, out.data() + at, want);
        out.resize(at + static_cast<std::size_t>(n > 0 ? n : 0));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            return true;
        if (n < 0 || out.size() > kMaxFileBytes) {
            out.clear();
            return false;
        }
        want = 4096;
    }
}

bool ReadOpenedSmallFile(int fd, std::string& out) {
    if (fd < 0)
        return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                    ReadSized(fd, static_cast<std::size_t>(st.st_size), out);
    ::close(fd);
    return ok;
}

} // namespace

bool ReadSmallFile(const std::string& file, std::string& out) {
    return ReadOpenedSmallFile(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC),
                               out);
}

bool ReadSmallFileAt(int folderFd, const std::string& name, std::string& out) {
    return ReadOpenedSmallFile(
        ::openat(folderFd, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW),
        out);
}

std::string_view FolderOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::string FolderPart(const std::string& target) {
    return std::string(FolderOf(target));
}

std::string NamePart(const std::string& target) {
    return target.substr(target.find_last_of('/') + 1);
}

int OpenTrustedFolder(const std::string& folder, bool create) {
    if (folder.empty() || (create && !MakeFolders(folder)))
        return -1;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // As ssh does with its folder: another user, or a group, who could write here could plant
    // answers. Checked on the descriptor: whatever the name holds later, this folder is used.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 022) == 0)
        return fd;
    ::close(fd);
    return -1;
}

bool ReadCacheFile(const std::string& target, std::string& out) {
    const int folder = OpenTrustedFolder(FolderPart(target), false);
    if (folder < 0)
        return false;
    const bool read = ReadSmallFileAt(folder, NamePart(target), out);
    ::close(folder);
    return read;
}

bool ReplaceFile(const std::string& target, std::string_view text) {
    const std::string name = NamePart(target);
    const int folder = OpenTrustedFolder(FolderPart(target), true);
    if (folder < 0)
        return false;
    const bool written =
        !name.empty() && ReplaceInFolder(folder, name, text.data(), text.size()) == 0;
    if (written)
        SweepCacheFolder(folder);
    ::close(folder);
    return written;
}

bool Writable(std::string_view field) {
    return field.find_first_of("\t\n\r", 0) == std::string_view::npos;
}

std::string CacheFolder() {
    std::string folder;
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (cacheHome && cacheHome[0] == '/')
        folder = std::string(cacheHome) + "/quillion";
    else if (home && home[0] == '/')
        folder = std::string(home) + "/.cache/quillion";
    return folder;
}

const std::string& ProgramFile() {
    static const std::string file = LinkTarget("/proc/self/exe");
    return file;
}

std::string ProgramName() {
    const std::string& file = ProgramFile();
    std::string name = file.substr(file.find_last_of('/') + 1);
    name += '/';
    name += program_invocation_short_name;
    return name == "/" ? std::string() : name;
}

bool TrustedFolder(const std::string& folder) {
    if (folder.empty())
        return false;
    const int fd = OpenTrustedFolder(folder, false);
    if (fd < 0) {
        struct stat st {};
        return ::lstat(folder.c_str(), &st) != 0 && errno == ENOENT;
    }
    ::close(fd);
    return true;
}

std::uint64_t ContentHash(std::string_view bytes) {
    // Each step is one-to-one in both the state and the word, so a word that differs leaves a
    // state that differs through every later step.
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = 0x2545F4914F6CDD1Dull ^ bytes.size();
    const auto step = [&](std::uint64_t word) {
        h = (h ^ word) * kMultiplier;
        h ^= h >> 29;
    };
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        step(word);
    }
    std::uint64_t tail = 0;
    if (at < bytes.size())
        std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
    step(tail);
    step(bytes.size());
    return h;
}

void PutHex16(std::uint64_t value, char* out) {
    for (int i = 15; i >= 0; --i, value >>= 4)
        out[i] = "0123456789abcdef"[value & 15];
}

namespace {
constexpr std::size_t kSealLine = 4 + 16 + 1; // "end ", 16 hex digits, line feed

std::string SealLine(std::string_view body) {
    std::string line = "end 0123456789abcdef\n"; // the digits' places
    PutHex16(ContentHash(body), line.data() + 4);
    return line;
}
} // namespace

std::string Sealed(std::string text) {
    text += SealLine(text);
    return text;
}

bool Unseal(std::string& text) {
    if (text.size() < kSealLine)
        return false;
    const std::size_t body = text.size() - kSealLine;
    if ((body > 0 && text[body - 1] != '\n') ||
        std::string_view(text).substr(body) != SealLine(std::string_view(text).substr(0, body)))
        return false;
    text.resize(body);
    return true;
}

std::int64_t WallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Ns(now);
}

} // namespace quillion
