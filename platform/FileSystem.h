// File-system operations on Shift_JIS paths (converted to the UTF-8 names on
// disk): existence, size, deletion of files and of whole trees, moving without
// ever replacing an existing file, unique temporary files.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Whether an entry of that name exists (a dangling symbolic link counts).
bool PathExists(const char* sjisPath);
// Whether the name is a directory (or a link to one).
bool IsDirectory(const char* sjisPath);
// Whether the name is a regular file (or a link to one).
bool IsRegularFile(const char* sjisPath);
// Size of a regular file that can be opened for reading; false otherwise.
bool FileSize(const char* sjisPath, std::uint64_t* size);

bool RemoveFile(const char* sjisPath);
// Creates one directory (not its parents) with the usual permissions (umask
// applies). False when it exists already or cannot be made.
bool CreateDirectory(const char* sjisPath);
// Removes an empty directory; false (errno ENOTEMPTY) when it holds anything.
bool RemoveDirectory(const char* sjisPath);
// Deletes a directory with everything below it, depth first, stopping at the
// first failure (the directory itself then stays). Symbolic links are removed,
// never followed; a link given as the directory itself is refused. A path that
// does not exist gives true: there is nothing to delete.
bool RemoveTree(const char* sjisPath);
// Moves a file or directory. Never replaces an existing destination: that is a
// failure. Across file systems a file is copied (with its mode) and then the
// source deleted; a directory is not moved.
bool MoveFile(const char* sjisFrom, const char* sjisTo);
// Copies a regular file with its mode bits. Never replaces an existing
// destination, and the destination name appears only once the whole copy is
// on disk (it is written under a temporary name beside it first), so a crash
// never leaves half a file under that name.
bool CopyFileNoReplace(const char* sjisFrom, const char* sjisTo);
// Renames `sjisFrom` over `sjisTo`, replacing it in one step. For files that
// are derived from others (a cache rewritten in full), never for mails.
bool ReplaceFile(const char* sjisFrom, const char* sjisTo);

// Creates a new empty file "<prefix>XXXXXX.tmp" with a unique name in
// `sjisDir` and gives its path. False when the folder does not take it.
bool CreateTempFile(const char* sjisDir, const char* prefix, std::string& sjisPath);
// The system's folder for temporary files: TMPDIR when it is set and has a
// Shift_JIS form, else /tmp.
std::string TempDirectory();

}  // namespace platform
