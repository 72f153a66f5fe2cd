#include "batch_names.h"

#include <unordered_set>

namespace quillion::cli {

std::string SafeFileStem(std::string_view text) {
    std::string stem(text.substr(0, kMaxTextNameBytes));
    for (char& c : stem) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!kept)
            c = '_';
    }
    if (!stem.empty() && stem.front() == '.')
        stem.front() = '_';
    return stem;
}

std::vector<std::string> BatchFileNames(const std::vector<BatchLine>& lines, std::size_t lineCount,
                                        NameRule rule, OutputFormat format) {
    std::vector<std::string> names;
    names.reserve(lines.size());
    if (rule == NameRule::Line) {
        for (const BatchLine& line : lines)
            names.push_back(BatchFileName(line.number, lineCount, format));
        return names;
    }
    const std::string ending = FileEnding(format);
    std::unordered_set<std::string> given;
    for (const BatchLine& line : lines) {
        const std::string stem = SafeFileStem(line.bytes);
        std::string name = stem + ending;
        for (std::size_t k = 2; given.count(name) != 0; ++k)
            name = stem + "-" + std::to_string(k) + ending;
        given.insert(name);
        names.push_back(std::move(name));
    }
    return names;
}

std::string BatchSummary(std::size_t written, std::size_t failed) {
    return std::to_string(written) + " written, " + std::to_string(failed) + " failed";
}

} // namespace quillion::cli
