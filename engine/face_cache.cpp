#include "face_cache.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quillion {

namespace {

constexpr std::string_view kHeader = "quillion font faces 1";
constexpr std::string_view kTrailer = "end";
constexpr std::size_t kMaxFileBytes = 4 << 20;
constexpr std::int64_t kSettleNs = 1'000'000'000;

// What fontconfig reads from the environment: where its configuration is, the user's folders,
// and the languages that order its matches.
constexpr std::array<const char*, 10> kEnvironment = {"FONTCONFIG_FILE",
                                                      "FONTCONFIG_PATH",
                                                      "FONTCONFIG_SYSROOT",
                                                      "HOME",
                                                      "XDG_CONFIG_HOME",
                                                      "XDG_DATA_HOME",
                                                      "FC_LANG",
                                                      "LC_ALL",
                                                      "LC_CTYPE",
                                                      "LANG"};

std::int64_t Ns(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// A path's state as one word: "-" when it cannot be looked at, else its type, device, inode,
// size and change times. Any edit, replacement or new entry in a folder changes it.
struct PathState {
    std::string word;
    std::int64_t lastChangeNs = 0; // the later of the modification and status-change times
};

PathState StateOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {"-", 0};
    PathState s;
    s.word = std::to_string(st.st_mode) + ':' + std::to_string(st.st_dev) + ':' +
             std::to_string(st.st_ino) + ':' + std::to_string(st.st_size) + ':' +
             std::to_string(Ns(st.st_mtim)) + ':' + std::to_string(Ns(st.st_ctim));
    s.lastChangeNs = std::max(Ns(st.st_mtim), Ns(st.st_ctim));
    return s;
}

std::string EnvironmentLine(const char* name) {
    const char* value = std::getenv(name);
    std::string line = "E\t";
    line += name;
    if (value) {
        line += "\t=";
        line += value;
    }
    return line;
}

bool Writable(std::string_view field) {
    return field.find_first_of("\t\n\r", 0) == std::string_view::npos;
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

bool ReadWhole(const std::string& file, std::string& out) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              static_cast<std::size_t>(st.st_size) <= kMaxFileBytes;
    if (ok) {
        out.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (ok && done < out.size()) {
            const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            if (ok)
                done += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return ok;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

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

// Writes text to a new file beside target and renames it over target.
bool ReplaceFile(const std::string& target, std::string_view text) {
    const std::size_t slash = target.find_last_of('/');
    if (slash == std::string::npos || slash == 0 || !MakeFolders(target.substr(0, slash)))
        return false;
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, text);
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(temp.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(temp.c_str());
    return false;
}

} // namespace

FaceAnswers FaceCache::Load() const {
    std::string text;
    if (file_.empty() || !ReadWhole(file_, text) || text.empty() || text.back() != '\n')
        return {};
    text.pop_back();
    const std::vector<std::string_view> lines = Split(text, '\n');
    if (lines.size() < 2 + kEnvironment.size() || lines.front() != kHeader ||
        lines.back() != kTrailer)
        return {};
    for (std::size_t i = 0; i < kEnvironment.size(); ++i)
        if (lines[1 + i] != EnvironmentLine(kEnvironment[i]))
            return {};
    FaceAnswers answers;
    for (std::size_t i = 1 + kEnvironment.size(); i + 1 < lines.size(); ++i) {
        const std::vector<std::string_view> f = Split(lines[i], '\t');
        if (f.size() == 3 && f[0] == "P") {
            if (StateOf(std::string(f[1])).word != f[2])
                return {};
            continue;
        }
        FaceQuery query;
        FaceFile face;
        int italic = 0, embolden = 0;
        if (f.size() != 8 || f[0] != "F" || !ToInt(f[2], query.weight) || !ToInt(f[3], italic) ||
            !ToInt(f[4], face.index) || !ToInt(f[5], embolden))
            return {};
        query.family = f[1];
        query.italic = italic != 0;
        face.embolden = embolden != 0;
        face.path = f[7];
        if (StateOf(face.path).word != f[6])
            return {};
        answers.emplace(std::move(query), std::move(face));
    }
    return answers;
}

bool FaceCache::Save(const FaceAnswers& answers, const std::vector<std::string>& watched,
                     std::int64_t notBeforeNs) const {
    if (file_.empty())
        return false;
    std::string text(kHeader);
    text += '\n';
    for (const char* name : kEnvironment) {
        const char* value = std::getenv(name);
        if (value && !Writable(value))
            return false;
        text += EnvironmentLine(name);
        text += '\n';
    }
    const auto settled = [&](const PathState& s) {
        return s.lastChangeNs < notBeforeNs - kSettleNs;
    };
    for (const std::string& path : watched) {
        const PathState state = StateOf(path);
        if (!Writable(path) || !settled(state))
            return false;
        text += "P\t" + path + '\t' + state.word + '\n';
    }
    for (const auto& [query, face] : answers) {
        const PathState state = StateOf(face.path);
        if (!settled(state))
            return false;
        if (!Writable(query.family) || !Writable(face.path))
            continue; // asked again next time
        text += "F\t" + query.family + '\t' + std::to_string(query.weight) + '\t' +
                (query.italic ? "1" : "0") + '\t' + std::to_string(face.index) + '\t' +
                (face.embolden ? "1" : "0") + '\t' + state.word + '\t' + face.path + '\n';
    }
    text += kTrailer;
    text += '\n';
    return ReplaceFile(file_, text);
}

std::string DefaultFaceCacheFile() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome && cacheHome[0] == '/')
        return std::string(cacheHome) + "/quillion/font-faces";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.cache/quillion/font-faces";
    return {};
}

std::int64_t WallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Ns(now);
}

} // namespace quillion
