// Face lookups kept between runs: fontconfig's answers in one small file, valid while the
// environment values and the files and folders they came from are as they were. A run that
// finds every answer there never loads fontconfig's configuration.
#pragma once

#include "fonts/cache_files.h"
#include "fonts/face_match.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillion {

using FaceAnswers = std::map<FaceQuery, FaceFile>;

class FaceCache {
public:
    // file: where the answers are kept; "" keeps nothing.
    explicit FaceCache(std::string file) : file_(std::move(file)) {}

    const std::string& File() const { return file_; }

    // The kept answers when the file is there, whole, and still describes the environment and
    // every watched path and face file; nothing otherwise. Never fails.
    FaceAnswers Load() const;

    // Replaces the file in one step (the folder is made when missing) with the answers, the
    // environment and the state of the watched paths. Writes nothing and returns false when the
    // file cannot be written, when a path cannot be written down, or when a watched path or face
    // file changed less than a second before notBeforeNs (ns since the epoch; the moment
    // fontconfig started reading): it may have changed while fontconfig read it. Never fails.
    bool Save(const FaceAnswers& answers, const std::vector<std::string>& watched,
              std::int64_t notBeforeNs) const;

private:
    std::string file_;
};

// $XDG_CACHE_HOME/quillion/font-faces, else $HOME/.cache/quillion/font-faces; "" when neither
// variable gives an absolute folder.
std::string DefaultFaceCacheFile();

} // namespace quillion
