// The real servers of the protocol tests: Dovecot (POP3 with APOP, IMAP4) and
// an SMTP server that stores what it accepts. Both listen on 127.0.0.1 and are
// stopped by their PID when the object goes. A test program starts one of each
// (Shared) and runs the tests that use them one after the other in one process
// (tests/CMakeLists.txt), each with a mailbox user or a message list of its own.
#pragma once

#include <string>
#include <vector>

#include "support/TestCertificates.h"
#include "support/TestSupport.h"

namespace qimtest {

class DovecotServer {
public:
    // Every user's password.
    static constexpr const char* kPassword = "secret";

    // The server of this test program, started on first use.
    static DovecotServer& Shared();

    DovecotServer();  // starts it; Ok() tells whether it runs
    // The same offering STLS and POP3S with this certificate and key.
    DovecotServer(const std::string& cert, const std::string& key);
    // A server of this test program with the tests' own certificate (TestCertificates).
    static DovecotServer& SharedTls();
    int Pop3sPort() const { return pop3sPort_; }
    // IMAP4 with TLS from the first byte (with a certificate only).
    int ImapsPort() const { return imapsPort_; }
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;
    bool Ok() const { return pop3Port_ > 0; }
    int Pop3Port() const { return pop3Port_; }
    int ImapPort() const { return imapPort_; }
    const std::string& Folder() const { return dir_.Path(); }
    // The server's log, for a failure message.
    std::string Log() const;

    // A user with an empty mailbox, not used before in this server's life.
    std::string NewUser();
    void AddUser(const std::string& user);
    // Puts a message (bytes as they are) into the user's inbox.
    void Deliver(const std::string& user, const std::string& message);
    // The messages left in the user's inbox, in delivery order.
    std::vector<std::string> Mailbox(const std::string& user) const;

private:
    TempDir dir_;
    int pop3Port_ = 0;
    int imapPort_ = 0;
    int pop3sPort_ = 0;
    int imapsPort_ = 0;
    int users_ = 0;
};

struct SmtpMessage {
    std::string mailFrom;
    std::vector<std::string> rcptTo;
    std::string data;  // as received, dot-unstuffed
};

class SmtpServer {
public:
    // The server of this test program, started on first use.
    static SmtpServer& Shared();

    SmtpServer();
    ~SmtpServer();
    SmtpServer(const SmtpServer&) = delete;
    SmtpServer& operator=(const SmtpServer&) = delete;
    bool Ok() const { return port_ > 0; }
    int Port() const { return port_; }
    // The messages stored since the last Clear, in arrival order. Recipients
    // whose address holds "reject" are refused with 550.
    std::vector<SmtpMessage> Messages() const;
    // Forgets the messages stored so far (a test's start).
    void Clear();

private:
    TempDir dir_;
    int port_ = 0;
};

// SMTP servers with TLS and AUTH (user "user", password "secret"), each variant
// on a port of its own: "starttls" (every mechanism, SIZE 200000),
// "starttls_plain", "starttls_login" (that mechanism only), "implicit" (TLS
// from the first byte), "nostarttls" (no TLS offered) and "mismatch" (TLS with
// a certificate for another name). Certificates: TestCertificates.
class SmtpTlsServer {
public:
    static SmtpTlsServer& Shared();
    SmtpTlsServer();
    ~SmtpTlsServer();
    SmtpTlsServer(const SmtpTlsServer&) = delete;
    SmtpTlsServer& operator=(const SmtpTlsServer&) = delete;
    bool Ok() const { return ok_; }
    int Port(const std::string& variant) const;
    // The messages the variant stored so far, in arrival order.
    std::vector<SmtpMessage> Messages(const std::string& variant) const;
    std::string Log() const;

private:
    TempDir dir_;
    std::string ports_;  // "variant=port" lines
    bool ok_ = false;
};

}  // namespace qimtest
