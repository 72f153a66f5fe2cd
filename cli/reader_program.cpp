#include "verify.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>

namespace quillion::cli {

namespace {
constexpr char kReaderProgram[] = "quillion-render-verify";
} // namespace

int RunWithReader(const std::vector<std::string>& args, std::ostream& err) {
    std::string self(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= self.size()) {
        err << "quillion-render: --verify: cannot find this program's folder: "
            << std::strerror(n < 0 ? errno : ENAMETOOLONG) << '\n';
        return 1;
    }
    self.resize(static_cast<std::size_t>(n));
    const std::string program = self.substr(0, self.rfind('/') + 1) + kReaderProgram;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kReaderProgram));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    err.flush();
    ::execv(program.c_str(), argv.data());
    err << "quillion-render: --verify needs " << program << ": " << std::strerror(errno) << '\n';
    return 1;
}

} // namespace quillion::cli
