// Reading batch input one line at a time, in a fixed amount of memory.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace quillion::cli {

inline constexpr std::size_t kMaxLineBytes = 65536;

// Where the bytes come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes into buffer: the number read, 0 at the end, or -errno.
    virtual long Read(char* buffer, std::size_t size) = 0;
};

// A file descriptor (not owned). A read interrupted by a signal is tried again unless
// interrupted() says the signal asks to stop; then it fails with -EINTR. A pipe, FIFO or
// terminal is waited for in short steps, so that a stop request is seen within them.
class FdSource : public ByteSource {
public:
    FdSource(int fd, bool (*interrupted)());
    long Read(char* buffer, std::size_t size) override;

private:
    int fd_;
    bool (*interrupted_)();
    bool waits_ = false;
};

struct InputLine {
    enum class Kind { Line, TooLong, End, Failed };
    Kind kind = Kind::End;
    std::size_t number = 0; // 1-based line number (Line, TooLong)
    std::string_view bytes; // the line without its line end (Line); valid until the next call
    int error = 0;          // errno value (Failed)
};

// Splits the source into non-empty lines: LF ends a line, any run of CRs before it (or at the
// end of the input) is stripped, a UTF-8 byte order mark at the very start is dropped, empty
// lines are counted and skipped. A line of more than maxLineBytes bytes is reported as TooLong
// as soon as it is seen and skipped without being held. A read error ends the input with Failed;
// the line it interrupts is not returned at all, never cut short.
class LineReader {
public:
    explicit LineReader(ByteSource& source, std::size_t maxLineBytes = kMaxLineBytes);
    InputLine Next();
    // Lines seen so far, empty ones included.
    std::size_t LineCount() const { return number_; }

private:
    bool Fill(); // false when the input has ended

    ByteSource& source_;
    std::size_t maxLineBytes_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::size_t number_ = 0;
    bool atStart_ = true;
    bool skipping_ = false; // inside a line already reported as too long
    bool ended_ = false;
    int error_ = 0;
};

} // namespace quillion::cli
