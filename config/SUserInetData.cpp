#include "config/SUserInetData.h"

#include <cstring>

#include "config/QimSettingKeys.h"
#include "config/SQimProfile.h"
#include "common/MbChar.h"
#include "common/SCrypt.h"

namespace {

constexpr int kHostValueSize = 129;
constexpr int kPhraseSize = 72;

bool NeedsQuoting(const std::string& phrase) {
    static const char kSpecials[] = "()<>@,;:\\\".[]";
    for (const char* p = phrase.c_str(); *p;) {
        const std::size_t len = MbCharLen(p);
        if (len == 1 && std::strchr(kSpecials, *p)) return true;
        p += len;
    }
    return false;
}

// Backslashes before quotes and backslashes, never inside a double-byte
// character (the second byte of ソ is 0x5C).
std::string QuotedString(const std::string& phrase) {
    std::string out = "\"";
    for (const char* p = phrase.c_str(); *p;) {
        const std::size_t len = MbCharLen(p);
        if (len == 1 && (*p == '"' || *p == '\\')) out += '\\';
        out.append(p, len);
        p += len;
    }
    out += '"';
    return out;
}

}  // namespace

bool SUserInetData::Read() {
    const SQimProfile host(qimini::Host);
    pop3Port = host.GetInt(qimini::POP3Port, kPop3Port);
    smtpPort = host.GetInt(qimini::SMTPPort, 25);
    bool complete = host.GetString(qimini::UserName, userName, kHostValueSize, nullptr);
    complete &= host.GetString(qimini::MailAddr, mailAddress, kHostValueSize, nullptr);
    complete &= host.GetString(qimini::SMTPAddr, smtpServer, kHostValueSize, nullptr);
    complete &= host.GetString(qimini::POP3Addr, pop3Server, kHostValueSize, nullptr);
    complete &= host.GetString(qimini::ClientAddr, clientAddr, kHostValueSize, nullptr);
    mailBoxType = host.GetInt(qimini::MailBoxType, 0) != 0 ? 1 : 0;
    if (host.GetInt(qimini::PasswdSave, 0) != 0) {
        std::string stored;
        if (SCrypt().GetProfile(host, qimini::Passwd, stored)) password = stored;
    }
    host.GetString(qimini::AddrPhrase, addrPhrase, kPhraseSize, nullptr);
    return complete;
}

bool SUserInetData::Write() const {
    const SQimProfile host(qimini::Host);
    if (addrPhrase.empty() ? !host.DeleteKey(qimini::AddrPhrase) : !host.WriteString(qimini::AddrPhrase, addrPhrase))
        return false;
    // A password the scrambling cannot carry must not cost the server settings.
    bool passwordStored = true;
    if (host.GetInt(qimini::PasswdSave, 0) != 0) passwordStored = SCrypt().WriteProfile(host, qimini::Passwd, password);
    const bool rest = host.WriteInt(qimini::POP3Port, pop3Port) && host.WriteInt(qimini::SMTPPort, smtpPort) &&
                      host.WriteInt(qimini::MailBoxType, mailBoxType != 0 ? 1 : 0) &&
                      host.WriteString(qimini::UserName, userName) &&
                      host.WriteString(qimini::MailAddr, mailAddress) &&
                      host.WriteString(qimini::SMTPAddr, smtpServer) &&
                      host.WriteString(qimini::POP3Addr, pop3Server) &&
                      host.WriteString(qimini::ClientAddr, clientAddr);
    return rest && passwordStored;
}

bool SUserInetData::WritePasswordChoice(bool save) const {
    const SQimProfile host(qimini::Host);
    if (save) return host.WriteInt(qimini::PasswdSave, 1) && SCrypt().WriteProfile(host, qimini::Passwd, password);
    // A file that keeps no password is left as it is.
    if (PasswordSaved() && !host.WriteInt(qimini::PasswdSave, 0)) return false;
    std::string stored;
    return !host.GetString(qimini::Passwd, stored, kHostValueSize, nullptr) || host.DeleteKey(qimini::Passwd);
}

bool SUserInetData::PasswordSaved() { return SQimProfile(qimini::Host).GetInt(qimini::PasswdSave, 0) != 0; }

std::string SUserInetData::FromAddress() const {
    if (addrPhrase.empty()) return mailAddress;
    return (NeedsQuoting(addrPhrase) ? QuotedString(addrPhrase) : addrPhrase) + " <" + mailAddress + ">";
}

bool SUserInetData::NeedsRestartAfter(const SUserInetData& before) const {
    return pop3Port != before.pop3Port || mailBoxType != before.mailBoxType;
}
