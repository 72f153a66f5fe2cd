// The font file for a family, weight and slant: from the answers kept by earlier runs while
// they are valid, else from fontconfig, whose new answer is kept for the next run.
#pragma once

#include "fonts/face_cache.h"

namespace quillion {

class FaceFinder {
public:
    explicit FaceFinder(FaceCache cache) : cache_(std::move(cache)) {}

    // Not thread-safe: callers serialise. The reference stays valid for the finder's life.
    const FaceFile& Find(const FaceQuery& query);

    // How many queries went to fontconfig (the others were answered from the kept file).
    int FontconfigQueries() const { return fontconfigQueries_; }

private:
    FaceCache cache_;
    bool loaded_ = false;
    FaceAnswers answers_;
    int fontconfigQueries_ = 0;
    std::int64_t fontconfigStartNs_ = 0;
};

} // namespace quillion
