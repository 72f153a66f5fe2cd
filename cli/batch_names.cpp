#include "batch_names.h"

#include "batch.h"

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

BatchNamer::BatchNamer(NameRule rule, std::size_t lineCount, OutputFormat format)
    : rule_(rule), lineCount_(lineCount), format_(format) {}

std::string BatchNamer::Next(std::size_t lineNumber, std::string_view text) {
    if (rule_ == NameRule::Line)
        return BatchFileName(lineNumber, lineCount_, format_);
    const std::string stem = SafeFileStem(text);
    const std::string ending = FileEnding(format_);
    std::string name = stem + ending;
    for (std::size_t k = 2; given_.count(name) != 0; ++k)
        name = stem + "-" + std::to_string(k) + ending;
    given_.insert(name);
    return name;
}

std::string BatchSummary(std::size_t written, std::size_t failed) {
    return std::to_string(written) + " written, " + std::to_string(failed) + " failed";
}

} // namespace quillion::cli
