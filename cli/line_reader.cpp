#include "line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillion::cli {
namespace {

constexpr std::size_t kReadBytes = 65536;
constexpr int kWaitStepMs = 100;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

FdSource::FdSource(int fd, bool (*interrupted)()) : fd_(fd), interrupted_(interrupted) {
    struct stat st {};
    waits_ = ::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

long FdSource::Read(char* buffer, std::size_t size) {
    for (;;) {
        // A pipe or terminal may keep a read waiting for ever; the signal that asks to stop may
        // reach another thread. So wait in short steps and look at the request between them.
        if (waits_) {
            pollfd ready{fd_, POLLIN, 0};
            const int r = ::poll(&ready, 1, kWaitStepMs);
            if (r < 0 && errno != EINTR)
                return -long(errno);
            if (r <= 0) {
                if (interrupted_ != nullptr && interrupted_())
                    return -long(EINTR);
                continue;
            }
        }
        const ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0)
            return long(n);
        if (errno != EINTR || (interrupted_ != nullptr && interrupted_()))
            return -long(errno);
    }
}

LineReader::LineReader(ByteSource& source, std::size_t maxLineBytes)
    : source_(source), maxLineBytes_(maxLineBytes), buffer_(maxLineBytes + 1 + kReadBytes) {}

bool LineReader::Fill() {
    if (ended_)
        return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const long n = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
    if (n <= 0) {
        ended_ = true;
        error_ = n < 0 ? int(-n) : 0;
        return false;
    }
    end_ += std::size_t(n);
    return true;
}

InputLine LineReader::Next() {
    for (;;) {
        if (atStart_ && (end_ - begin_ >= kByteOrderMark.size() || ended_)) {
            atStart_ = false;
            if (std::string_view(buffer_.data() + begin_, end_ - begin_)
                    .starts_with(kByteOrderMark))
                begin_ += kByteOrderMark.size();
        }
        const char* from = buffer_.data() + begin_;
        const auto* newline = static_cast<const char*>(std::memchr(from, '\n', end_ - begin_));
        // The input's last line needs no line end, unless a read error cut it.
        const bool lastLine = newline == nullptr && ended_ && error_ == 0 && end_ > begin_;
        if (newline != nullptr || lastLine) {
            const std::size_t length =
                newline != nullptr ? std::size_t(newline - from) : end_ - begin_;
            begin_ += length + (newline != nullptr ? 1 : 0);
            ++number_;
            if (skipping_) {
                skipping_ = false;
                continue;
            }
            std::string_view line(from, length);
            while (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (line.empty())
                continue;
            if (line.size() > maxLineBytes_)
                return {InputLine::Kind::TooLong, number_, {}, 0};
            return {InputLine::Kind::Line, number_, line, 0};
        }
        // No whole line in the buffer. Beyond the limit (a CR may still follow) the line is
        // reported now and its bytes dropped as they come.
        if (!skipping_ && end_ - begin_ > maxLineBytes_ + 1) {
            skipping_ = true;
            begin_ = end_ = 0;
            return {InputLine::Kind::TooLong, number_ + 1, {}, 0};
        }
        if (skipping_)
            begin_ = end_ = 0;
        if (Fill() || (error_ == 0 && (end_ > begin_ || atStart_)))
            continue; // more bytes, or a last line without a line end
        if (error_ != 0)
            return {InputLine::Kind::Failed, number_ + 1, {}, error_};
        if (skipping_) {
            skipping_ = false;
            ++number_; // the too-long last line
        }
        return {InputLine::Kind::End, number_, {}, 0};
    }
}

} // namespace quillion::cli
