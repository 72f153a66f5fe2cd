#include "fonts/cache_sweep.h"

#include "fonts/cache_files.h"

#include <cctype>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quillion {

namespace {

constexpr std::int64_t kSecondNs = 1'000'000'000;
constexpr std::int64_t kTemporaryAgeNs = 60 * kSecondNs;
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

// "<cache file name>.XXXXXX", as mkstemp leaves it.
bool IsTemporaryName(std::string_view name) {
    constexpr std::size_t kRandom = 6;
    if (name.size() < kRandom + 2 || name[name.size() - kRandom - 1] != '.')
        return false;
    for (const char c : name.substr(name.size() - kRandom))
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    const std::string_view base = name.substr(0, name.size() - kRandom - 1);
    return base == "font-faces" || IsGlyphFileName(base);
}

// The program path a glyph file names on its second line ("B\t<path>"); "" when it names none.
std::string ProgramOfGlyphFile(const std::string& path) {
    std::string text;
    if (!ReadSmallFile(path, text))
        return {};
    const std::size_t first = text.find('\n');
    if (first == std::string::npos || text.compare(first + 1, 2, "B\t") != 0)
        return {};
    const std::size_t end = text.find('\n', first + 1);
    return end == std::string::npos ? std::string() : text.substr(first + 3, end - first - 3);
}

} // namespace

void SweepCacheFolder(const std::string& folder, std::int64_t nowNs) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const bool temporary = IsTemporaryName(name);
        if (!temporary && !IsGlyphFileName(name))
            continue;
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        bool remove = false;
        if (temporary) {
            remove = Ns(st.st_mtim) < nowNs - kTemporaryAgeNs;
        } else {
            // Reading a file marks its access time at least once a day on common mounts.
            const std::int64_t lastUse = std::max(Ns(st.st_atim), Ns(st.st_mtim));
            const std::string program = ProgramOfGlyphFile(folder + "/" + name);
            struct stat programStat {};
            remove =
                lastUse < nowNs - kUnusedAgeNs ||
                (!program.empty() && ::stat(program.c_str(), &programStat) != 0 && errno == ENOENT);
        }
        if (remove)
            ::unlinkat(fd, name.c_str(), 0);
    }
    ::closedir(dir);
}

void SweepCacheFolder(const std::string& folder) {
    SweepCacheFolder(folder, WallClockNs());
}

} // namespace quillion
