#include "fonts/face_finder.h"

namespace quillion {

const FaceFile& FaceFinder::Find(const FaceQuery& query) {
    if (!loaded_) {
        answers_ = cache_.Load();
        loaded_ = true;
    }
    if (const auto it = answers_.find(query); it != answers_.end())
        return it->second;
    if (fontconfigQueries_++ == 0)
        fontconfigStartNs_ = WallClockNs();
    const FaceFile& face = answers_.emplace(query, MatchFace(query)).first->second;
    // The kept answers were valid for this configuration (or there were none), so they are
    // written back with the new one. A file that cannot be written only means no help next run.
    if (const auto paths = ConfigurationPaths())
        cache_.Save(answers_, *paths, fontconfigStartNs_);
    return face;
}

} // namespace quillion
