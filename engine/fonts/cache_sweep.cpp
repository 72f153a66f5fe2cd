#include "fonts/cache_sweep.h"

#include "fonts/cache_files.h"
#include "runtime/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <cctype>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quillion {

namespace {

constexpr std::int64_t kSecondNs = 1'000'000'000;
constexpr std::int64_t kUnusedAgeNs = 30LL * 24 * 3600 * kSecondNs;
constexpr std::string_view kGlyphPrefix = "glyphs-";
constexpr std::size_t kHashDigits = 16;

std::int64_t Ns(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * kSecondNs + t.tv_nsec;
}

bool IsGlyphFileName(std::string_view name) {
    if (name.size() != kGlyphPrefix.size() + kHashDigits || !name.starts_with(kGlyphPrefix))
        return false;
    for (const char c : name.substr(kGlyphPrefix.size()))
        if (!std::isdigit(static_cast<unsigned char>(c)) && (c < 'a' || c > 'f'))
            return false;
    return true;
}

// The program path a glyph file names on its second line ("B\t<path>"); "" when it names none.
std::string ProgramOfGlyphFile(int folderFd, const std::string& name) {
    std::string text;
    if (!ReadSmallFileAt(folderFd, name, text))
        return {};
    const std::size_t first = text.find('\n');
    if (first == std::string::npos || text.compare(first + 1, 2, "B\t") != 0)
        return {};
    const std::size_t end = text.find('\n', first + 1);
    return end == std::string::npos ? std::string() : text.substr(first + 3, end - first - 3);
}

} // namespace

void SweepCacheFolder(int folderFd, std::int64_t nowNs) {
    RemoveStaleTemporaries(folderFd);
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!IsGlyphFileName(name))
            continue;
        struct stat st {};
        if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        // Reading a file marks its access time at least once a day on common mounts.
        const std::int64_t lastUse = std::max(Ns(st.st_atim), Ns(st.st_mtim));
        const std::string program = ProgramOfGlyphFile(folderFd, name);
        struct stat programStat {};
        if (lastUse < nowNs - kUnusedAgeNs ||
            (!program.empty() && ::stat(program.c_str(), &programStat) != 0 && errno == ENOENT))
            ::unlinkat(folderFd, name.c_str(), 0);
    }
    ::closedir(dir);
}

void SweepCacheFolder(int folderFd) {
    SweepCacheFolder(folderFd, WallClockNs());
}

} // namespace quillion
