// File names that come from a mail (an attachment's name, the name on a
// uuencode "begin" line) are the sender's choice: before one is joined to a
// folder it is reduced to a plain name that stays inside that folder.
#pragma once

#include <cstddef>
#include <string>

// The name after the last '/' or '\' (never the second byte of a double-byte
// character), without control characters, with the characters Windows file
// systems refuse turned into '_', without leading dots and blanks (no ".." and
// no hidden file), at most kMaxMailFileName bytes. `fallback` when nothing is
// left.
std::string PlainFileNameFromMail(const std::string& name, const char* fallback = "attachment.dat");

constexpr std::size_t kMaxMailFileName = 200;
