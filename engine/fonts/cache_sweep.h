// Tidying the cache folder after a write: what interrupted writes and programs long gone left
// there is removed, so that the folder does not grow without bound.
#pragma once

#include <cstdint>

namespace quillion {

// Removes from the open cache folder folderFd, each only when it is a regular file:
// - temporary files of an interrupted write (".font-faces.<12 hex digits>.tmp" and the like)
//   last changed more than a minute ago (RemoveStaleTemporaries, the whole-file writer's own);
// - glyph files ("glyphs-<hash>") whose program file no longer exists, or that were neither
//   read nor written for 30 days.
// Nothing else is touched; a file that cannot be removed stays. Never fails.
void SweepCacheFolder(int folderFd, std::int64_t nowNs);
void SweepCacheFolder(int folderFd);

} // namespace quillion
