// The header of an attached file's part as it goes out, written so that every
// reader finds the same name: the whole name in one quoted ISO-2022-JP encoded
// word in Content-Type "name" and Content-Disposition "filename" (readers of
// RFC 2047 names), and the exact name in UTF-8 as RFC 2231 "filename*" (the
// others, and any name ISO-2022-JP cannot carry exactly, such as half-width
// katakana). Lines end with LF only: the text stream that writes the part makes
// them CR LF. The filename* lines stay within kAttachmentHeaderMaxLine bytes;
// a line with an encoded word, which cannot be split, may be longer, but an
// attachment's name never makes one reach the 998 bytes mail allows.
#pragma once

#include <string>

namespace qimsend {

constexpr std::size_t kAttachmentHeaderMaxLine = 78;

// `sjisName` is the file's name without its folder (Shift_JIS).
std::string AttachmentPartHeader(const std::string& sjisName);

// The RFC 2231 parameter(s) for `utf8Name`, one per line, each beginning with a
// blank and ending without its line end, joined with ";\n": "filename*=UTF-8''…"
// when it fits a line, else the numbered continuations "filename*0*=UTF-8''…",
// "filename*1*=…", never cutting a character.
std::string Rfc2231FileName(const std::string& utf8Name);

}  // namespace qimsend
