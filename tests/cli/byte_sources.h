// Batch input for tests: bytes from a string in chunks of a chosen size, and a read error
// after a chosen number of bytes.
#pragma once

#include "line_reader.h"

#include <algorithm>
#include <cstring>
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
