#include "tests/send/SendTestSupport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "app/QimStrings.h"
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

FakeSmtpServer::FakeSmtpServer() {
    EnsureCoreApp();
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
        conn_ = server_.nextPendingConnection();
        QObject::connect(conn_, &QTcpSocket::readyRead, conn_, [this] { Feed(); });
        QObject::connect(conn_, &QTcpSocket::disconnected, conn_, [this] { closed = true; });
        Send(greeting);
    });
}

std::string FakeSmtpServer::StandardReply(const std::string& command) {
    const std::string verb = command.substr(0, 4);
    if (verb == "HELO") return "250 fake.example\r\n";
    if (verb == "MAIL" || verb == "RCPT") return "250 2.1.0 OK\r\n";
    if (verb == "DATA") return "354 End data with <CR><LF>.<CR><LF>\r\n";
    if (verb == "QUIT") return "221 2.0.0 Bye\r\n";
    return "500 what?\r\n";
}

void FakeSmtpServer::Send(const std::string& bytes) {
    if (!conn_ || bytes.empty()) return;
    if (bytes == "<close>") {
        conn_->disconnectFromHost();
        return;
    }
    conn_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void FakeSmtpServer::Feed() {
    const QByteArray chunk = conn_->readAll();
    received.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    pending_.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    std::size_t end;
    while ((end = pending_.find("\r\n")) != std::string::npos) {
        const std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 2);
        if (inData_) {
            if (line == ".") {
                inData_ = false;
                Send(dataReply);
            } else {
                data += line + "\r\n";
            }
            continue;
        }
        commands.push_back(line);
        const std::string answer = reply ? reply(line) : StandardReply(line);
        if (line.rfind("DATA", 0) == 0 && answer.rfind("354", 0) == 0) inData_ = true;
        Send(answer);
    }
}

}  // namespace qimtest
