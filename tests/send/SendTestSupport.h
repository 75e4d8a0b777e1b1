// What the composing and sending tests share: a home of their own with a
// scripted dialog service, the event loop, and the SMTP conversations the
// scripted socket plays.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/SNotice.h"
#include "platform/ScriptedDialogService.h"
#include "support/EventLoop.h"
#include "support/ScriptedSocket.h"
#include "tests/app/AppTestSupport.h"

namespace qimtest {

// What Python's email package reads from a message: the decoded subject, the
// text of each text/plain part, and the name and bytes of every other part.
struct Parsed {
    std::string subject;
    std::vector<std::string> texts;
    std::vector<std::pair<std::string, std::string>> files;
    // For each of those parts: the file name from Content-Disposition (or
    // Content-Type) and from Content-Type's name, first as the compat32 policy
    // gives them, then as the current one does; and the bytes the current one
    // gives.
    struct Names {
        std::string compatFileName, compatName, fileName, name, bytes;
    };
    std::vector<Names> names;
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

// Shows a notice of a send as the windows do: a box (scripted in the tests).
void ShowInBoxes(const SNotice& notice);

// The local host name a session says EHLO (or HELO) with.
std::string LocalHostName();

// The conversation of one send as a well-behaved server leads it: greeting,
// EHLO, MAIL FROM, one RCPT TO per recipient, DATA, then `data` as the client
// must send it (dot-stuffed, the end line included), the 250 and QUIT.
struct SmtpExchange {
    std::string from = "me@example.jp";
    std::vector<std::string> recipients = {"you@example.jp"};
    std::string data;
};
void PlaySmtp(Scenario& scenario, const SmtpExchange& exchange);
// The same up to (and with) the client's DATA line.
void PlaySmtpUntilData(Scenario& scenario, const SmtpExchange& exchange);

}  // namespace qimtest
