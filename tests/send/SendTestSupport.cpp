#include "tests/send/SendTestSupport.h"

#include <unistd.h>

#include <QByteArray>

#include "config/QimNotices.h"
#include "config/QimStrings.h"
#include "support/TestSupport.h"

#include <sstream>

namespace qimtest {

namespace {

std::string FromBase64(const std::string& text) {
    return QByteArray::fromBase64(QByteArray::fromStdString(text)).toStdString();
}

}  // namespace

Parsed ParseWithPython(const std::string& dir, const std::string& message) {
    const std::string path = dir + "/received.eml";
    WriteFileBytes(path, message);
    int status = -1;
    const std::string out =
        RunCommand(std::string("/usr/bin/python3 ") + QIM_TEST_SERVERS_DIR + "/../send/parse_mail.py " + path, &status);
    EXPECT_EQ(status, 0) << out;
    Parsed parsed;
    std::istringstream lines(out);
    for (std::string kind, a, b; lines >> kind;) {
        if (kind == "subject") {
            lines >> a;
            parsed.subject = FromBase64(a);
        } else if (kind == "text") {
            lines >> a;
            parsed.texts.push_back(FromBase64(a));
        } else if (kind == "file") {
            lines >> a >> b;
            parsed.files.emplace_back(FromBase64(a), FromBase64(b));
        } else if (kind == "names") {
            std::string c, d, e;
            lines >> a >> b >> c >> d >> e;
            parsed.names.push_back({FromBase64(a), FromBase64(b), FromBase64(c), FromBase64(d), FromBase64(e)});
        }
    }
    return parsed;
}

void SendTest::SetUp() {
    QimHomeTest::SetUp();
    EnsureCoreApp();
    scope_ = std::make_unique<platform::ScopedDialogService>(dialogs_);
}

std::vector<std::string> SendTest::BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : dialogs_.Boxes()) texts.push_back(Utf8(box.text));
    return texts;
}

bool SendTest::Showed(unsigned stringId) const {
    const std::string text = LoadQimString(stringId);
    for (const auto& box : dialogs_.Boxes())
        if (box.text.find(text) != std::string::npos) return true;
    return false;
}

void ShowInBoxes(const SNotice& notice) { ShowNotice(notice); }

std::string LocalHostName() {
    char host[129] = {};
    gethostname(host, 128);
    return host;
}

void PlaySmtpUntilData(Scenario& s, const SmtpExchange& e) {
    s.Script("S: 220 fake.example ESMTP\nC: EHLO " + LocalHostName() + "\nS: 250 fake.example\n");
    s.Script("C: MAIL FROM:<" + e.from + ">\nS: 250 2.1.0 OK\n");
    for (const std::string& r : e.recipients) s.Script("C: RCPT TO:<" + r + ">\nS: 250 2.1.5 OK\n");
    s.Script("C: DATA\n");
}

void PlaySmtp(Scenario& s, const SmtpExchange& e) {
    PlaySmtpUntilData(s, e);
    s.Script("S: 354 End data with <CR><LF>.<CR><LF>");
    s.Client(e.data);
    s.Script("S: 250 2.0.0 queued\nC: QUIT\nS: 221 2.0.0 Bye\n-- close");
}

}  // namespace qimtest
