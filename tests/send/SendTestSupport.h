// What the composing and sending tests share: a home of their own with a
// scripted dialog service, the event loop, and a small SMTP peer on loopback
// whose replies a test scripts, for the odd and hostile servers.
#pragma once

#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <string>
#include <vector>

#include "platform/ScriptedDialogService.h"
#include "support/EventLoop.h"
#include "tests/app/AppTestSupport.h"

namespace qimtest {

// What Python's email package reads from a message: the decoded subject, the
// text of each text/plain part, and the name and bytes of every other part.
struct Parsed {
    std::string subject;
    std::vector<std::string> texts;
    std::vector<std::pair<std::string, std::string>> files;
};
// `dir` receives the message as a file for the script.
Parsed ParseWithPython(const std::string& dir, const std::string& message);

class SendTest : public QimHomeTest {
protected:
    void SetUp() override;
    // The texts of the boxes shown so far, as UTF-8.
    std::vector<std::string> BoxTexts() const;
    bool Showed(unsigned stringId) const;

    platform::ScriptedDialogService dialogs_;
    std::unique_ptr<platform::ScopedDialogService> scope_;
};

// An SMTP peer that answers as a server would unless the test says otherwise:
// `reply` gets each command line (without CR LF) and returns the reply bytes,
// "" for no answer at all, or "<close>" to drop the connection. The data
// after DATA is collected up to the dot line, then `dataReply` is sent.
class FakeSmtpServer {
public:
    FakeSmtpServer();
    int Port() const { return server_.serverPort(); }

    std::string greeting = "220 fake.example ESMTP\r\n";
    std::function<std::string(const std::string& command)> reply;
    std::string dataReply = "250 2.0.0 queued\r\n";  // "<close>" drops the connection instead
    // Every byte the client sent, and the data of the message (still stuffed).
    std::string received;
    std::string data;
    std::vector<std::string> commands;
    bool closed = false;

    static std::string StandardReply(const std::string& command);
    void Send(const std::string& bytes);

private:
    void Feed();
    QTcpServer server_;
    QTcpSocket* conn_ = nullptr;
    std::string pending_;
    bool inData_ = false;
};

}  // namespace qimtest
