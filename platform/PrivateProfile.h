// INI ("private profile") files with the Windows semantics Qim's settings rely
// on: case-insensitive sections and keys, one pair of surrounding quotes removed
// on read, values cut at size-1, key and section removal, and every comment,
// blank line, unknown line and the order of keys and sections kept on rewrite.
// Files are Shift_JIS with CR LF lines. A write replaces the file atomically
// (temporary file in the same folder, fsync, rename), so a crash leaves either
// the old or the new file, never half of one.
#pragma once

namespace platform {

// Copies the value of `key` (or `def` when missing) into `buffer`, at most
// size-1 bytes plus NUL, and returns the number of bytes copied. With a null
// `key` the buffer receives every key name of the section, with a null
// `section` every section name; each name is NUL-terminated and the list ends
// with an extra NUL (a cut list returns size-2).
unsigned GetPrivateProfileString(const char* section, const char* key, const char* def, char* buffer,
                                 unsigned size, const char* file);

// The value read as a decimal integer (leading blanks and a sign allowed,
// digits up to the first non-digit); `def` when the key is missing.
int GetPrivateProfileInt(const char* section, const char* key, int def, const char* file);

// Writes `key`=`value` into `section`, creating the file and the section when
// needed. A null `value` removes the key; a null `key` removes the section;
// all three null only flushes. Values with a line break are refused.
bool WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file);

// Writes reach the disk at once, so a flush has nothing left to do; it drops
// the parsed copy so that the next read sees changes made by others.
bool FlushPrivateProfile(const char* file);

// Limits the file to its owner (mode 0600); used for files that hold a password.
// New settings files are created that way already.
bool RestrictProfileFile(const char* file);

}  // namespace platform
