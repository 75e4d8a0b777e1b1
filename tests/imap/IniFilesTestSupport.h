// Settings mails as another program (or an attacker) could have put them on
// the server, and a look at what a folder tree holds.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace initest {

inline std::string Base64Lines(const std::string& bytes) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[v & 63] : '=';
        if ((i / 3 + 1) % 19 == 0) out += "\r\n";
    }
    return out + "\r\n";
}

struct Part {
    std::string name;  // Shift_JIS, as the mail names it
    std::string bytes;
};

// A multipart mail with a text part and one base64 part per entry. A name
// with a backslash goes unquoted, where the backslash is no escape.
inline std::string MailOf(const std::vector<Part>& parts) {
    std::string mail =
        "From: taro@example.jp\r\nTo: taro@example.jp\r\nSubject: INI Files\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n--b1\r\n"
        "Content-Type: text/plain; charset=US-ASCII\r\n\r\nsettings\r\n";
    for (const Part& p : parts)
        mail += "\r\n--b1\r\nContent-Type: application/octet-stream; name=" +
                (p.name.find('\\') == std::string::npos ? "\"" + p.name + "\"" : p.name) +
                "\r\nContent-Transfer-Encoding: base64\r\n\r\n" + Base64Lines(p.bytes);
    return mail + "\r\n--b1--\r\n";
}

// Every entry below `root`, relative to it.
inline std::set<std::string> Tree(const std::string& root) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        names.insert(std::filesystem::relative(entry.path(), root).string());
    return names;
}

}  // namespace initest
