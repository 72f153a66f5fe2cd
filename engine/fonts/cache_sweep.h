// Tidying the cache folder after a write: what interrupted writes and programs long gone left
// there is removed, so that the folder does not grow without bound.
#pragma once

#include <cstdint>
#include <string>

namespace quillion {

// Removes from the cache folder, each only when it is a regular file:
// - temporary files of an interrupted write ("font-faces.XXXXXX", "glyphs-<hash>.XXXXXX")
//   last changed more than a minute before nowNs;
// - glyph files ("glyphs-<hash>") whose program file no longer exists, or that were neither
//   read nor written for 30 days.
// Nothing else is touched; a file that cannot be removed stays. Never fails.
void SweepCacheFolder(const std::string& folder, std::int64_t nowNs);
void SweepCacheFolder(const std::string& folder);

} // namespace quillion
