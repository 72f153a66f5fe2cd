#include "atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace quillion {

namespace {

constexpr int kNameAttempts = 64;
constexpr std::size_t kMaxStemBytes = 64;

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// ".<start of the file name>.<random>.tmp" in the target's folder: hidden, recognisable and
// short enough for any file name the target may have.
std::string TemporaryName(const std::string& path, std::mt19937_64& random) {
    const auto slash = path.rfind('/');
    std::string stem = slash == std::string::npos ? path : path.substr(slash + 1);
    if (stem.size() > kMaxStemBytes) {
        std::size_t cut = kMaxStemBytes;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0u) == 0x80u) {
            --cut; // keep whole UTF-8 characters
        }
        stem.resize(cut);
    }
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    std::string folder = FolderOf(path);
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder + "." + stem + suffix;
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

// The path whose file is replaced: the target itself, or the file its symbolic link names.
int ResolveTarget(const std::string& path, std::string& resolved, struct stat& existing,
                  bool& exists) {
    resolved = path;
    exists = false;
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        return errno == ENOENT ? 0 : errno;
    }
    if (S_ISLNK(link.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
        if (!real) {
            return errno; // a dangling or looping link
        }
        resolved = real.get();
        if (::stat(resolved.c_str(), &existing) != 0) {
            return errno;
        }
    } else {
        existing = link;
    }
    if (S_ISDIR(existing.st_mode)) {
        return EISDIR;
    }
    exists = true;
    return 0;
}

} // namespace

int ReplaceFileContents(const std::string& path, const void* data, std::size_t size) {
    if (path.empty() || path.back() == '/') {
        return path.empty() ? ENOENT : EISDIR;
    }
    std::string target;
    struct stat existing {};
    bool exists = false;
    if (const int e = ResolveTarget(path, target, existing, exists); e != 0) {
        return e;
    }

    std::random_device seed;
    std::mt19937_64 random((std::uint64_t(seed()) << 32) ^ seed());
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        temporary = TemporaryName(target, random);
        // 0666: the umask gives the file the permissions any new file of this user gets.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) {
            return errno;
        }
    }
    if (fd < 0) {
        return EEXIST;
    }

    int error = WriteAll(fd, static_cast<const unsigned char*>(data), size);
    if (error == 0 && exists && ::fchmod(fd, existing.st_mode & 0777) != 0) {
        error = errno;
    }
    if (error == 0 && ::fdatasync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
    }
    return error;
}

} // namespace quillion
