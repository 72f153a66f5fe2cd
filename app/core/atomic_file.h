// Replacing a file's content in one step: the bytes go to a new file in the target's folder,
// which is renamed over the target only when it is complete.
#pragma once

#include <cstddef>
#include <string>

namespace quillion {

// Writes size bytes to path (a UTF-8 file system path). Returns 0 on success or the errno value
// of the first failing call; on failure the temporary file is removed and the target is left as
// it was. The new file gets the permissions of the file it replaces, or those of any new file
// (0666 less the umask). A symbolic link as the target is followed: the file it names is
// replaced and the link stays. A directory as the target fails with EISDIR.
int ReplaceFileContents(const std::string& path, const void* data, std::size_t size);

} // namespace quillion
