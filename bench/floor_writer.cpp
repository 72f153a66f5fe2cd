// The floor of a batch run: what writing the files alone costs. Two threads write COUNT files
// of SIZE bytes into FOLDER, each a whole file put in place at once: by default a new temporary
// name opened with O_CREAT | O_EXCL, one write, close, renamed over the final name
// (RENAME_NOREPLACE); with "link", as quillion-render's whole-file writer does first, a file
// without a name (O_TMPFILE), one write, linked as the final name (linkat), closed.
//   ./build-bench/bench/floor_writer FOLDER [COUNT] [SIZE] [rename|link]
// (defaults 2000, 600, rename)
// Prints the wall time; bench/peer_zint.sh runs it beside zint and quillion-render.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

int WriteOne(int folder, const std::string& name, const std::vector<char>& bytes) {
    const std::string temporary = "." + name + ".tmp";
    const int fd =
        ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    int error = n == ssize_t(bytes.size()) ? 0 : (n < 0 ? errno : EIO);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 &&
        ::renameat2(folder, temporary.c_str(), folder, name.c_str(), RENAME_NOREPLACE) != 0)
        error = errno;
    if (error != 0)
        ::unlinkat(folder, temporary.c_str(), 0);
    return error;
}

int LinkOne(int folder, const std::string& name, const std::vector<char>& bytes) {
    const int fd = ::openat(folder, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    int error = n == ssize_t(bytes.size()) ? 0 : (n < 0 ? errno : EIO);
    if (error == 0 && ::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [COUNT] [SIZE] [rename|link]\n", argv[0]);
        return 2;
    }
    const int count = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int size = argc > 3 ? std::atoi(argv[3]) : 600;
    const bool link = argc > 4 && std::strcmp(argv[4], "link") == 0;
    const int folder = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0 || count <= 0 || size <= 0) {
        std::fprintf(stderr, "%s: %s\n", argv[1], folder < 0 ? std::strerror(errno) : "bad count");
        return 1;
    }
    const std::vector<char> bytes(std::size_t(size), 'x');
    const auto start = std::chrono::steady_clock::now();
    int errors[2] = {0, 0};
    std::thread threads[2];
    for (int t = 0; t < 2; ++t)
        threads[t] = std::thread([&, t] {
            char name[32];
            for (int i = t; i < count && errors[t] == 0; i += 2) {
                std::snprintf(name, sizeof name, "%05d.png", i + 1);
                errors[t] = link ? LinkOne(folder, name, bytes) : WriteOne(folder, name, bytes);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    const double us =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    ::close(folder);
    for (const int error : errors)
        if (error != 0) {
            std::fprintf(stderr, "%s\n", std::strerror(error));
            return 1;
        }
    std::printf("%.0f us for %d files of %d bytes (%.1f us each)\n", us, count, size, us / count);
    return 0;
}
