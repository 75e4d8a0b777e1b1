// The user's account and servers: section Host of QIM.INI. The password is
// kept in memory and stored (scrambled) only when PasswdSave is set in the file;
// with PasswdKeyring it is stored in the desktop's keyring instead, and
// scrambled in the file only while no keyring takes it.
#pragma once

#include <string>

class SUserInetData {
public:
    std::string userName;     // UserName
    std::string password;     // Passwd
    std::string mailAddress;  // MailAddr
    std::string addrPhrase;   // AddrPhrase (a name put before the address)
    std::string pop3Server;   // POP3Addr
    std::string smtpServer;   // SMTPAddr
    int pop3Port = 110;       // POP3Port (143: server folders over IMAP4)
    int smtpPort = 25;        // SMTPPort
    std::string clientAddr;   // ClientAddr
    int mailBoxType = 0;      // MailBoxType (0 or 1)
    // Secure connections: kSecurityPlain, kSecurityStartTls or kSecurityTls.
    int pop3Security = 0;     // POP3Security
    int smtpSecurity = 0;     // SMTPSecurity
    int smtpAuth = 0;         // SMTPAuth: 1 authenticate when the server offers it
    std::string smtpUser;     // SMTPUser (empty: the user name)
    // SMTPAuthPlainText: PLAIN and LOGIN also on a connection without TLS.
    bool smtpAuthPlainText = false;
    std::string tlsCaFile;    // TLSCAFile: a PEM file of further trusted certificates
    bool passwordInKeyring = false;  // PasswdKeyring

    // True only when UserName, MailAddr, SMTPAddr, POP3Addr and ClientAddr are all there.
    bool Read();
    // The phrase first (its key removed when empty), the password when the file
    // allows it, then ports, mailbox type, names and servers. False when a
    // write failed; a password that cannot be stored does not keep the rest
    // from being written.
    bool Write() const;
    // Whether the password is kept between runs (the password prompt's check
    // box): writes PasswdSave, and the scrambled password when it is kept; a
    // password no longer to be kept leaves the file. False when a write failed.
    bool WritePasswordChoice(bool save) const;
    // Whether PasswdSave is set in the file.
    static bool PasswordSaved();
    // Turns the keyring option on or off and moves a saved password to where
    // it now belongs (out of the file into the keyring, or back). True when
    // the password is now where the option says: false with the option on
    // means no keyring took it and it stays scrambled in the file.
    bool SetPasswordInKeyring(bool on);
    // The name of the password in the keyring: "user@server".
    std::string KeyringAccount() const { return std::string(userName).append("@").append(pop3Server); }
    // What a receive needs before it can ask the server anything.
    bool HasReceiveAccount() const { return !pop3Server.empty() && pop3Port >= 1 && !userName.empty(); }

    // "phrase <address>", the phrase quoted when it holds an RFC 822 special
    // character; the address alone without a phrase.
    std::string FromAddress() const;
    // The name SMTP authentication uses.
    const std::string& SmtpLoginName() const { return smtpUser.empty() ? userName : smtpUser; }
    // Whether changing from `before` to this needs a restart (receive port or mailbox type).
    bool NeedsRestartAfter(const SUserInetData& before) const;
};

constexpr int kPop3Port = 110;
constexpr int kImap4Port = 143;
constexpr int kImap4TlsPort = 993;
// Server-folder mode: the receive port is IMAP4's, plain or TLS.
inline bool IsServerFolderPort(int port) { return port == kImap4Port || port == kImap4TlsPort; }

constexpr int kSecurityPlain = 0;
constexpr int kSecurityStartTls = 1;  // STLS / STARTTLS after the greeting
constexpr int kSecurityTls = 2;       // TLS from the first byte
