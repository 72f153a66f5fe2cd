// Batch input for tests: bytes from a string in chunks of a chosen size, and a read error
// after a chosen number of bytes; lines one read at a time with trouble at a chosen read.
#pragma once

#include "line_reader.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quillion::cli::testing {

class StringSource : public ByteSource {
public:
    StringSource(std::string bytes, std::size_t chunk, std::size_t failAt = std::string::npos,
                 int error = 0)
        : bytes_(std::move(bytes)), chunk_(chunk), failAt_(failAt), error_(error) {}
    long Read(char* buffer, std::size_t size) override {
        if (at_ >= failAt_)
            return -long(error_);
        const std::size_t end = std::min({bytes_.size(), failAt_, at_ + std::min(size, chunk_)});
        std::memcpy(buffer, bytes_.data() + at_, end - at_);
        const long n = long(end - at_);
        at_ = end;
        return n;
    }

private:
    std::string bytes_;
    std::size_t chunk_;
    std::size_t failAt_;
    int error_;
    std::size_t at_ = 0;
};

// Gives "L1\n", "L2\n", ... `lines` of them, one a read, and runs `trouble` as the read
// numbered `at` begins (a signal raised, memory running out) as in the middle of a batch.
class LinePerReadSource : public ByteSource {
public:
    LinePerReadSource(int lines, int at = 0, std::function<void()> trouble = {})
        : lines_(lines), at_(at), trouble_(std::move(trouble)) {}
    long Read(char* buffer, std::size_t size) override {
        if (++reads_ == at_ && trouble_)
            trouble_();
        if (reads_ > lines_)
            return 0;
        const std::string line = "L" + std::to_string(reads_) + "\n";
        line.copy(buffer, std::min(size, line.size()));
        return long(line.size());
    }

private:
    int lines_, at_, reads_ = 0;
    std::function<void()> trouble_;
};

struct ReadBack {
    std::vector<std::pair<std::size_t, std::string>> lines; // number, bytes ("" when too long)
    InputLine::Kind last = InputLine::Kind::End;
    int error = 0;
    std::size_t count = 0;
};

inline ReadBack ReadAllLines(ByteSource& source, std::size_t maxLineBytes = kMaxLineBytes) {
    LineReader reader(source, maxLineBytes);
    ReadBack back;
    for (;;) {
        const InputLine line = reader.Next();
        if (line.kind == InputLine::Kind::End || line.kind == InputLine::Kind::Failed) {
            back.last = line.kind;
            back.error = line.error;
            back.count = reader.LineCount();
            return back;
        }
        back.lines.emplace_back(line.number, std::string(line.bytes));
    }
}

} // namespace quillion::cli::testing
