// The real servers of the protocol tests, each private to one test: Dovecot
// (POP3 with APOP, IMAP4) and an SMTP server that stores what it accepts.
// Both listen on 127.0.0.1 and are stopped by their PID when the object goes.
#pragma once

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace qimtest {

class DovecotServer {
public:
    DovecotServer();  // starts it; Ok() tells whether it runs
    ~DovecotServer();
    bool Ok() const { return pop3Port_ > 0; }
    int Pop3Port() const { return pop3Port_; }
    int ImapPort() const { return imapPort_; }
    const std::string& Folder() const { return dir_.Path(); }

    void AddUser(const std::string& user, const std::string& password);
    // Puts a message (bytes as they are) into the user's inbox.
    void Deliver(const std::string& user, const std::string& message);
    // The messages left in the user's inbox, in delivery order.
    std::vector<std::string> Mailbox(const std::string& user) const;

private:
    TempDir dir_;
    int pop3Port_ = 0;
    int imapPort_ = 0;
};

struct SmtpMessage {
    std::string mailFrom;
    std::vector<std::string> rcptTo;
    std::string data;  // as received, dot-unstuffed
};

class SmtpServer {
public:
    SmtpServer();
    ~SmtpServer();
    bool Ok() const { return port_ > 0; }
    int Port() const { return port_; }
    // Recipients whose address holds "reject" are refused with 550.
    std::vector<SmtpMessage> Messages() const;

private:
    TempDir dir_;
    int port_ = 0;
};

}  // namespace qimtest
