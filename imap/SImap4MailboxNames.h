// The names of server folders: local paths "_QimP\A\B" (backslashes between
// Shift_JIS components) and the server's mailbox names (the root name, then
// the components in modified UTF-7, joined with the server's hierarchy
// delimiter). Splitting at backslashes steps over double-byte characters, so
// a kanji such as 表 (second byte 0x5C) stays whole.
#pragma once

#include <string>
#include <vector>

class SImap4MailboxNames {
public:
    // `root`: "_QimP", or "#mh" on servers of the MH namespace.
    SImap4MailboxNames(std::string root, std::string delimiter)
        : root_(std::move(root)), delimiter_(std::move(delimiter)) {}

    // "_QimP\Work" -> "_QimP.Work" (the root component becomes the root name;
    // a component that cannot be encoded goes as it is).
    std::string ServerNameOf(const std::string& localPath) const;
    // "_QimP.Work" -> "_QimP\Work" (a component that cannot be decoded stays as it is).
    std::string LocalPathOf(const std::string& serverName) const;
    // The mailbox of a local folder: "_QimP" is the INBOX, "_inimbox" the
    // settings mailbox, anything else ServerNameOf.
    std::string MailboxOf(const std::string& localPath) const;
    // The mailbox that holds the settings mail: root, delimiter, "_inimbox".
    std::string SettingsMailbox() const;

    // Whether a local path made from a server's name may name a folder of the
    // folder list, which becomes directories under the cache root: "_QimP"
    // and at least one component below it, no empty, "." or ".." component,
    // no '/', no control byte, and short enough for the list's reader.
    static bool IsSafeLocalPath(const std::string& localPath);
    // The components of a local path.
    static std::vector<std::string> SplitLocal(const std::string& localPath);

    // The longest line the folder list's reader takes (without its line end).
    static constexpr std::size_t kFolderLineMax = 259;

private:
    std::string root_;
    std::string delimiter_;
};
