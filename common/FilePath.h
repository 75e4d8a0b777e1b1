// Paths of the folder tree on disk, as Shift_JIS strings with '/' between
// components: joining, splitting, resolving against a base, comparing, and the
// few file operations the rest of the library needs.
#pragma once

#include <string>

// Size of the fixed path buffers of the stored formats and dialogs (with NUL).
constexpr int kMaxPath = 260;

// `dir`, a '/' unless `dir` is empty or already ends in one, then `name`.
// `out` may be `dir` or `name`.
void MergeFilePath(std::string& out, const std::string& dir, const std::string& name);
// At the last '/': `name` is what follows it, `dir` what precedes it, except
// that the root keeps its '/' ("/a" gives "/" and "a"). Without a '/', `dir` is
// empty and `name` the whole path. Always true.
bool SplitFilePath(const std::string& path, std::string& dir, std::string& name);
// "." gives `base`; "./x" gives `base` joined with "x"; anything else `base`
// joined with `rel`.
void MakeFullPath(std::string& out, const std::string& base, const std::string& rel);
// Whether two folder paths name the same folder, a trailing '/' aside. The
// comparison is exact, as the file system's is.
bool IsSameDir(const std::string& a, const std::string& b);
// Whether `candidate` is `folder` or, when `deep`, lies anywhere below it.
bool IsSubfolder(const std::string& folder, const std::string& candidate, bool deep);

// Whether anything of that name exists.
bool DoesFileExist(const char* path);
// Whether a folder of that name exists.
bool DoesDirectoryExist(const char* path);
// Size of a file that can be opened for reading, in two 32-bit halves
// (`high` may be null).
bool GetFileSize(const char* path, unsigned long* low, unsigned long* high);
// Deletes the folder with everything in it; stops at the first failure. A
// path that does not exist gives true.
bool DeleteDirectory(const char* path);
// Moves a file (never onto an existing one); afterwards the destination
// carries the read-only, hidden, directory and archive attributes the source
// had (a mail's marks), its others unchanged.
bool MoveFileKeepAttrib(const char* from, const char* to);
