#include "imap/SImap4MailboxNames.h"

#include "common/JapaneseCodes.h"
#include "common/ModifiedUTF7.h"
#include "imap/Imap4Codes.h"

std::vector<std::string> SImap4MailboxNames::SplitLocal(const std::string& localPath) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < localPath.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(localPath[i]);
        if (IsKanji1(c) && i + 1 < localPath.size()) {
            parts.back().append(localPath, i, 2);
            ++i;
        } else if (c == '\\') {
            parts.emplace_back();
        } else {
            parts.back().push_back(static_cast<char>(c));
        }
    }
    return parts;
}

std::string SImap4MailboxNames::ServerNameOf(const std::string& localPath) const {
    const std::vector<std::string> parts = SplitLocal(localPath);
    std::string name;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) name.append(delimiter_);
        if (i == 0 && parts[0] == qimimap::kQimPRoot) {
            name.append(root_);
            continue;
        }
        std::string encoded;
        name.append(ModifiedUTF7::Encode(parts[i], encoded) ? encoded : parts[i]);
    }
    return name;
}

std::string SImap4MailboxNames::LocalPathOf(const std::string& serverName) const {
    std::vector<std::string> parts;
    if (delimiter_.empty()) {
        parts.push_back(serverName);
    } else {
        std::size_t start = 0;
        for (std::size_t at; (at = serverName.find(delimiter_, start)) != std::string::npos; start = at + delimiter_.size())
            parts.push_back(serverName.substr(start, at - start));
        parts.push_back(serverName.substr(start));
    }
    std::string path;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) path.push_back('\\');
        if (i == 0 && parts[0] == root_) {
            path.append(qimimap::kQimPRoot);
            continue;
        }
        std::string decoded;
        path.append(ModifiedUTF7::Decode(parts[i], decoded) ? decoded : parts[i]);
    }
    return path;
}

std::string SImap4MailboxNames::SettingsMailbox() const {
    std::string name(root_);
    return name.append(delimiter_).append(qimimap::kSettingsMailbox);
}

std::string SImap4MailboxNames::MailboxOf(const std::string& localPath) const {
    if (localPath == qimimap::kQimPRoot) return "inbox";
    if (localPath == qimimap::kSettingsMailbox) return SettingsMailbox();
    return ServerNameOf(localPath);
}

bool SImap4MailboxNames::IsSafeLocalPath(const std::string& localPath) {
    if (localPath.empty() || localPath.size() > kFolderLineMax) return false;
    for (unsigned char c : localPath)
        if (c < 0x20 || c == 0x7F || c == '/') return false;
    const std::vector<std::string> parts = SplitLocal(localPath);
    if (parts.size() < 2 || parts[0] != qimimap::kQimPRoot) return false;
    for (const std::string& part : parts)
        if (part.empty() || part == "." || part == "..") return false;
    return true;
}
