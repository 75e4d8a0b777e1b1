// IMAP4 mailbox names in modified UTF-7 (RFC 3501 5.1.3) and back to the
// Shift_JIS names of the local folder tree: printable ASCII stands for itself
// ("&" as "&-"), everything else is UTF-16 in big-endian order, base64-encoded
// with "," for "/" and without padding, between "&" and "-".
#pragma once

#include <string>

class ModifiedUTF7 {
public:
    // Widens half-width katakana first (servers and other clients show the
    // full-width forms), then EncodeNative.
    static bool Encode(const std::string& sjis, std::string& out);
    // Encodes the name as it is. A stretch of bytes that has no Unicode form
    // (not Shift_JIS) is carried as its raw bytes base64-encoded, the form
    // Decode takes back; a double-byte character without a Unicode form gives
    // false.
    static bool EncodeNative(const std::string& sjis, std::string& out);
    // Decodes a name. A run whose UTF-16 has no Shift_JIS form is taken as raw
    // Shift_JIS bytes (the form EncodeNative gives for odd bytes). An "&"
    // without its "-", a run that is not modified base64 or one that decodes to
    // a NUL leaves "&" and the rest of the input as they are and gives false.
    static bool Decode(const std::string& in, std::string& out);

    // Building blocks.
    static bool SjisToUnicode(const std::string& sjis, std::u16string& out);
    static bool UnicodeToSjis(const std::u16string& units, std::string& out);
    // UTF-16 units to big-endian bytes and back (false for an odd byte count).
    static void ChangeByteOrder(const std::u16string& units, std::string& bigEndian);
    static bool ChangeByteOrder(const std::string& bigEndian, std::u16string& units);
    // Appends `in` to `out` with every "&" written "&-".
    static void AndToAndMinus(const std::string& in, std::string& out);
    // Appends base64 of `bytes` with "," for "/" and no padding.
    static void EncodeModifiedBase64(const std::string& bytes, std::string& out);
    // Replaces `bytes` with the decoded text; false for a character outside
    // the alphabet or a length that no encoding gives.
    static bool DecodeModifiedBase64(const std::string& text, std::string& bytes);
};
