#include "config/SUserInetData.h"

#include <cstring>

#include "config/QimSettingKeys.h"
#include "config/SQimProfile.h"
#include "common/MbChar.h"
#include "common/SCrypt.h"
#include "platform/PasswordKeeper.h"

namespace {

constexpr int kHostValueSize = 129;
constexpr int kPhraseSize = 72;
constexpr int kPathValueSize = 260;

int SecurityValue(int stored) { return stored == kSecurityStartTls || stored == kSecurityTls ? stored : kSecurityPlain; }

bool HasKey(const SQimProfile& host, const char* key) {
    std::string value;
    return host.GetString(key, value, 2, "\x01");
}

// The keys of secure connections exist only while they differ from their
// default, so a file written by an older version stays as it was.
bool WriteIfSet(const SQimProfile& host, const char* key, int value) {
    return value != 0 ? host.WriteInt(key, value) : (!HasKey(host, key) || host.DeleteKey(key));
}
bool WriteIfSet(const SQimProfile& host, const char* key, const std::string& value) {
    return !value.empty() ? host.WriteString(key, value) : (!HasKey(host, key) || host.DeleteKey(key));
}

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

bool KeeperDone(platform::PasswordKeeper::Result result) { return result == platform::PasswordKeeper::Result::Done; }

// The saved password: from the keyring when the option asks for it and a
// keyring answers, else the scrambled form of the file (a keyring that does
// not run today must not lose the account its password).
void ReadSavedPassword(const SQimProfile& host, const SUserInetData& data, std::string& password) {
    if (data.passwordInKeyring) {
        platform::PasswordKeeper* keeper = platform::GetPasswordKeeper();
        std::string kept;
        if (keeper && KeeperDone(keeper->Read(data.KeyringAccount(), kept))) {
            password = kept;
            return;
        }
    }
    std::string stored;
    if (SCrypt().GetProfile(host, qimini::Passwd, stored)) password = stored;
}

// The password into the keyring (then out of the file) or, without one,
// scrambled into the file. False when neither took it.
bool StoreSavedPassword(const SQimProfile& host, const SUserInetData& data) {
    if (data.passwordInKeyring) {
        platform::PasswordKeeper* keeper = platform::GetPasswordKeeper();
        if (keeper && KeeperDone(keeper->Write(data.KeyringAccount(), data.password)))
            return !HasKey(host, qimini::Passwd) || host.DeleteKey(qimini::Passwd);
    }
    return SCrypt().WriteProfile(host, qimini::Passwd, data.password);
}

// A password no longer kept leaves the keyring too.
void ForgetKeyringPassword(const SUserInetData& data) {
    if (platform::PasswordKeeper* keeper = platform::GetPasswordKeeper()) keeper->Remove(data.KeyringAccount());
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
    passwordInKeyring = host.GetInt(qimini::PasswdKeyring, 0) != 0;
    if (host.GetInt(qimini::PasswdSave, 0) != 0) ReadSavedPassword(host, *this, password);
    host.GetString(qimini::AddrPhrase, addrPhrase, kPhraseSize, nullptr);
    pop3Security = SecurityValue(host.GetInt(qimini::POP3Security, kSecurityPlain));
    smtpSecurity = SecurityValue(host.GetInt(qimini::SMTPSecurity, kSecurityPlain));
    smtpAuth = host.GetInt(qimini::SMTPAuth, 0) != 0 ? 1 : 0;
    smtpAuthPlainText = host.GetInt(qimini::SMTPAuthPlainText, 0) != 0;
    host.GetString(qimini::SMTPUser, smtpUser, kHostValueSize, nullptr);
    host.GetString(qimini::TLSCAFile, tlsCaFile, kPathValueSize, nullptr);
    return complete;
}

bool SUserInetData::Write() const {
    const SQimProfile host(qimini::Host);
    if (addrPhrase.empty() ? !host.DeleteKey(qimini::AddrPhrase) : !host.WriteString(qimini::AddrPhrase, addrPhrase))
        return false;
    // A password the scrambling cannot carry must not cost the server settings.
    bool passwordStored = true;
    if (host.GetInt(qimini::PasswdSave, 0) != 0) passwordStored = StoreSavedPassword(host, *this);
    const bool rest = host.WriteInt(qimini::POP3Port, pop3Port) && host.WriteInt(qimini::SMTPPort, smtpPort) &&
                      host.WriteInt(qimini::MailBoxType, mailBoxType != 0 ? 1 : 0) &&
                      host.WriteString(qimini::UserName, userName) &&
                      host.WriteString(qimini::MailAddr, mailAddress) &&
                      host.WriteString(qimini::SMTPAddr, smtpServer) &&
                      host.WriteString(qimini::POP3Addr, pop3Server) &&
                      host.WriteString(qimini::ClientAddr, clientAddr) &&
                      WriteIfSet(host, qimini::POP3Security, pop3Security) &&
                      WriteIfSet(host, qimini::SMTPSecurity, smtpSecurity) &&
                      WriteIfSet(host, qimini::SMTPAuth, smtpAuth) &&
                      WriteIfSet(host, qimini::SMTPAuthPlainText, smtpAuthPlainText ? 1 : 0) &&
                      WriteIfSet(host, qimini::SMTPUser, smtpUser) && WriteIfSet(host, qimini::TLSCAFile, tlsCaFile) &&
                      WriteIfSet(host, qimini::PasswdKeyring, passwordInKeyring ? 1 : 0);
    return rest && passwordStored;
}

bool SUserInetData::WritePasswordChoice(bool save) const {
    const SQimProfile host(qimini::Host);
    if (save) return host.WriteInt(qimini::PasswdSave, 1) && StoreSavedPassword(host, *this);
    // A file that keeps no password is left as it is.
    if (PasswordSaved() && !host.WriteInt(qimini::PasswdSave, 0)) return false;
    if (passwordInKeyring) ForgetKeyringPassword(*this);
    std::string stored;
    return !host.GetString(qimini::Passwd, stored, kHostValueSize, nullptr) || host.DeleteKey(qimini::Passwd);
}

bool SUserInetData::SetPasswordInKeyring(bool on) {
    const SQimProfile host(qimini::Host);
    const bool wasOn = passwordInKeyring;
    passwordInKeyring = on;
    if (!WriteIfSet(host, qimini::PasswdKeyring, on ? 1 : 0)) return false;
    // Nothing saved: nothing to move.
    if (!PasswordSaved()) return true;
    if (on) {
        // Without a keyring the scrambled form stays in the file.
        platform::PasswordKeeper* keeper = platform::GetPasswordKeeper();
        return keeper && KeeperDone(keeper->Write(KeyringAccount(), password)) &&
               (!HasKey(host, qimini::Passwd) || host.DeleteKey(qimini::Passwd));
    }
    const bool stored = SCrypt().WriteProfile(host, qimini::Passwd, password);
    if (stored && wasOn) ForgetKeyringPassword(*this);
    return stored;
}

bool SUserInetData::PasswordSaved() { return SQimProfile(qimini::Host).GetInt(qimini::PasswdSave, 0) != 0; }

std::string SUserInetData::FromAddress() const {
    if (addrPhrase.empty()) return mailAddress;
    return (NeedsQuoting(addrPhrase) ? QuotedString(addrPhrase) : addrPhrase) + " <" + mailAddress + ">";
}

bool SUserInetData::NeedsRestartAfter(const SUserInetData& before) const {
    return pop3Port != before.pop3Port || mailBoxType != before.mailBoxType;
}
