// Face lookup through fontconfig: which font file serves a family, weight and slant, and which
// files and folders that answer depends on.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <vector>

namespace quillion {

// A family, weight and slant as the fonts ask for them; the family in lower case.
struct FaceQuery {
    std::string family;
    int weight = 400;
    bool italic = false;
    auto operator<=>(const FaceQuery&) const = default;
};

// The font file (and face index in it) that serves a query; an empty path when none does.
struct FaceFile {
    std::string path;
    int index = 0;
    bool embolden = false; // no bold face: the regular one is made bold
    bool operator==(const FaceFile&) const = default;
};

// fontconfig's best match. Its metric aliases give Liberation Mono for "Courier New" and
// Liberation Sans for "Arial", with the bold and italic files. Loads fontconfig's
// configuration on first use; no file when fontconfig cannot be loaded.
FaceFile MatchFace(const FaceQuery& query);

// Every path whose change can change a match: the configuration files and their folders, the
// font folders and every folder below them, and the per-user places fontconfig reads when they
// exist. Loads fontconfig's configuration on first use. Nothing when the font folders hold too
// many folders to watch, or when fontconfig cannot be loaded.
std::optional<std::vector<std::string>> ConfigurationPaths();

} // namespace quillion
