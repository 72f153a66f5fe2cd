// Small files kept between runs in the user's cache folder: reading one whole, replacing one
// in a single step, and the state of a path that tells whether it changed since.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillion {

// A path's state as one word: "-" when it cannot be looked at, else a hash of its type, device,
// inode, size and change times (16 hex digits). Any edit, replacement or new entry in a folder
// changes it.
struct PathState {
    std::string word;
    std::int64_t lastChangeNs = 0; // the later of the modification and status-change times
};
PathState StateOf(const std::string& path);
// A path and the state word it had when kept.
struct KeptState {
    std::string_view path, word;
};
// Whether every path still has its kept word (StateOf), looked at in order. A run of paths in
// one folder is looked at relative to that folder, opened once.
bool StatesUnchanged(const std::vector<KeptState>& kept);
// Whether the path last changed more than a second (the coarseness of file times) before
// notBeforeNs: a state taken after that moment shows any later change.
bool Settled(const PathState& state, std::int64_t notBeforeNs);

// What a symbolic link names, made absolute against the link's folder when it is relative;
// "" when the path is not a link or cannot be read.
std::string LinkTarget(const std::string& path);

// $XDG_CACHE_HOME/quillion, else $HOME/.cache/quillion; "" when neither variable gives an
// absolute folder. Whether it may be used is decided on the descriptor each cache file is read
// or written through (OpenTrustedFolder), not on the name beforehand.
std::string CacheFolder();
// Whether folder is missing (it is made private when first written) or is a folder owned by
// this user and not writable by group or others.
bool TrustedFolder(const std::string& folder);
// The cache folder itself, opened once (never through a symbolic link) and checked on that
// descriptor: a folder of this user's own that neither group nor others may write. With
// create, a missing folder is made first (private to the user, parents too). -1 when there is
// no such folder. Every file of the cache is then read, written and removed relative to it.
int OpenTrustedFolder(const std::string& folder, bool create);

// The whole file when it is a regular file of at most 4 MiB that can be read. The file is
// opened without waiting and its type is checked on the open descriptor: a FIFO, device or
// socket (or a link to one) is never waited for, and is no file.
bool ReadSmallFile(const std::string& file, std::string& out);
// The same for name inside the open folder folderFd, where a symbolic link is no file either.
bool ReadSmallFileAt(int folderFd, const std::string& name, std::string& out);
// The whole cache file target (ReadSmallFileAt) when its folder is trusted (OpenTrustedFolder,
// checked on the descriptor it is then read through).
bool ReadCacheFile(const std::string& target, std::string& out);
// Writes text to a new file in the cache folder of target (making the folder when missing) that
// takes target's name when complete (ReplaceInFolder). False, with nothing left behind, when
// any step fails or when the folder is not trusted (OpenTrustedFolder). The folder is swept
// afterwards (SweepCacheFolder).
bool ReplaceFile(const std::string& target, std::string_view text);
// target's folder and name: "/a/b/font-faces" is "/a/b" and "font-faces".
std::string FolderPart(const std::string& target);
// The same without a copy: "" for a path with no folder before its name.
std::string_view FolderOf(std::string_view path);
std::string NamePart(const std::string& target);

// A fast 64-bit hash of the bytes: any change of a single byte changes it.
std::uint64_t ContentHash(std::string_view bytes);
// The 16 lower-case hex digits of value, most significant first, at out.
void PutHex16(std::uint64_t value, char* out);
// The text with a last line "end <hash of the text>" added.
std::string Sealed(std::string text);
// Removes that last line when it is there and matches the text before it; false otherwise.
bool Unseal(std::string& text);

// The program's name as fontconfig's rules on "prgname" may see it: the name of its file and
// the name it was started by, joined by "/"; "" when neither is known.
std::string ProgramName();
// The program's file (/proc/self/exe's target), read once per process; "" when unknown.
const std::string& ProgramFile();

// Fields of a line; lines of a text.
std::vector<std::string_view> Split(std::string_view text, char separator);
// A whole field as a decimal int.
bool ToInt(std::string_view text, int& out);
// True when the text can be a field: no tab, line feed or carriage return.
bool Writable(std::string_view field);

// Now, in nanoseconds since the epoch (the clock file times are given in).
std::int64_t WallClockNs();

} // namespace quillion
