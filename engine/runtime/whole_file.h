// The one place where the program writes whole files (pictures, the settings file, the font
// caches) and reads small ones whole. Regular files are replaced in one step: the bytes go to a
// new file in the target's folder, which is renamed over the target only when it is complete.
// Every step after a name is resolved works relative to the descriptor of the folder that holds
// it (openat, fstatat, renameat, unlinkat), so no name can be swapped between a check and its
// use. Devices and FIFOs are written into, never replaced; symbolic links are followed for
// single files and never followed inside a batch folder.
#pragma once

#include <cstddef>
#include <string>
#include <sys/stat.h>

namespace quillion {

// Failures that have no errno value of their own. Every other failure is an errno value.
inline constexpr int kErrNoReader = -1; // a FIFO that no process reads
inline constexpr int kErrReadOnly = -2; // an existing regular file without write permission
inline constexpr int kErrChanged = -3;  // the name no longer holds the file that was read

// The reason for a failure code of the functions below, in words.
std::string FileErrorText(int error);

// Writes size bytes to path (a UTF-8 file system path). Returns 0 on success, else an errno
// value or one of the kErr codes above.
// - A regular file (or a new name) is replaced whole: on failure the temporary file is removed
//   and the target is left as it was. The new file keeps the permissions of the one it
//   replaces, or gets those of any new file (0666 less the umask). A read-only file is refused.
// - A symbolic link is followed once: the file it names is written (through the descriptor of
//   its folder) and the link stays. A dangling link fails with ENOENT.
// - A character or block device, FIFO or socket is opened and written into, as shell
//   redirection does, and never replaced. A FIFO is opened without waiting: when nobody reads
//   it the write fails with kErrNoReader instead of hanging.
// - A directory fails with EISDIR.
int WriteFileContents(const std::string& path, const void* data, std::size_t size);

// Writes size bytes under name inside the open folder folderFd: a new file that gets the name
// when complete (a file without a name linked in, where the file system allows; otherwise a
// temporary name renamed over name). Whatever stands under name (a file, a symbolic link, a
// FIFO, a device) is replaced and never opened, so a link's target is never touched; a read-only
// regular file is refused and a directory fails with EISDIR. The data are not synced: call
// SyncFolder once when all files are written. Returns 0 or a failure code as above; on failure
// the temporary file is removed and name keeps what it held.
int ReplaceInFolder(int folderFd, const std::string& name, const void* data, std::size_t size);

// A file as it was read: its open descriptor and its fstat then; fd -1 when the name held
// nothing.
struct ReadFile {
    int fd = -1;
    struct stat seen {};
};

// Replaces name inside folderFd with size bytes (synced to the disk) only when the name still
// holds what was read: nothing (read.fd < 0), or the very file open as read.fd, of the size and
// modification time it had (it did not grow or change since). Otherwise nothing changes and
// the result is kErrChanged. The new file keeps the permissions of the one it replaces; a
// read-only one is refused.
int ReplaceIfUnchanged(int folderFd, const std::string& name, const void* data, std::size_t size,
                       const ReadFile& read);

// Reads the open file fd from its current offset to its end into out. 0, or EFBIG when it holds
// more than limit bytes (out is then empty), or the errno of a failed read.
int ReadWhole(int fd, std::size_t limit, std::string& out);

// Removes the temporary files the writers above leave when the program is killed while
// writing: regular files in folderFd named exactly ".<name>.<12 hex digits>.tmp" and last
// changed more than a minute ago. Nothing else is touched; one that cannot be removed stays.
void RemoveStaleTemporaries(int folderFd);

// Flushes everything written to the file system that holds folderFd to the disk; 0 or errno.
int SyncFolder(int folderFd);

} // namespace quillion
