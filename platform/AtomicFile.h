// Replacing a whole file so that a crash leaves either the old or the new
// contents, never a mix: a temporary file beside it, fsync, rename.
#pragma once

#include <string>

namespace platform {

// Writes `data` to a new file beside `sjisPath` with permission bits `mode`
// (the umask does not apply), syncs it and renames it over `sjisPath`. An
// existing file is replaced whatever its own permission bits. False (with
// nothing changed) when any step fails.
bool ReplaceFileContents(const char* sjisPath, const std::string& data, unsigned mode);

}  // namespace platform
