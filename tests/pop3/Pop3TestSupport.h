// Helpers of the receive tests: the event loop, a home folder with the
// account in memory, a scripted POP3 server on loopback for the replies the
// real one never gives, and message texts.
#pragma once

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/QimGlobals.h"
#include "app/SSettingData.h"
#include "app/SUserInetData.h"
#include "common/JapaneseCodes.h"
#include "support/TestSupport.h"

namespace pop3test {

inline void EnsureApp() {
    static QCoreApplication* app = [] {
        static int argc = 1;
        static char name[] = "test_pop3";
        static char* argv[] = {name, nullptr};
        return new QCoreApplication(argc, argv);
    }();
    (void)app;
}

// Shift_JIS text (written as UTF-8 in the test) to ISO-2022-JP, as a server holds it.
inline std::string Jis(const std::string& utf8) {
    const std::string sjis = qimtest::Sjis(utf8);
    std::string out(static_cast<std::size_t>(LengthAsJis(reinterpret_cast<const unsigned char*>(sjis.c_str()))) + 8, '\0');
    const int n = Sjis2Jis(out.data(), reinterpret_cast<const unsigned char*>(sjis.c_str()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// A POP3 server that answers from a script: each command line (without CR
// LF) gets the bytes `answer` returns; `close` set by the answer ends the
// connection after them.
class FakePop3 {
public:
    struct Answer {
        std::string bytes;
        bool close = false;
    };
    std::string greeting = "+OK fake ready\r\n";
    std::function<Answer(const std::string& line)> answer;
    std::vector<std::string> received;

    FakePop3() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) Serve(s);
        });
    }
    int Port() const { return server_.serverPort(); }
    bool Has(const std::string& line) const {
        for (const std::string& r : received)
            if (r == line) return true;
        return false;
    }

private:
    void Serve(QTcpSocket* s) {
        auto buffer = std::make_shared<std::string>();
        s->write(greeting.data(), static_cast<qint64>(greeting.size()));
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
            const QByteArray got = s->readAll();
            buffer->append(got.constData(), static_cast<std::size_t>(got.size()));
            std::size_t end;
            while ((end = buffer->find("\r\n")) != std::string::npos) {
                std::string line = buffer->substr(0, end);
                buffer->erase(0, end + 2);
                received.push_back(line);
                Answer a = answer ? answer(line) : Answer{"+OK\r\n", false};
                if (!a.bytes.empty()) s->write(a.bytes.data(), static_cast<qint64>(a.bytes.size()));
                if (a.close) {
                    s->flush();
                    s->disconnectFromHost();
                    return;
                }
            }
        });
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }

    QTcpServer server_;
};

// The mailbox behind a FakePop3 as a server keeps it: STAT, RETR (dot-
// stuffed), DELE marks a message, QUIT removes the marked ones. `special`
// answers a command first when it returns true.
struct FakeMailbox {
    std::vector<std::string> messages;
    std::vector<bool> marked;
    std::function<bool(const std::string& line, FakePop3::Answer& answer)> special;

    explicit FakeMailbox(std::vector<std::string> m) : messages(std::move(m)), marked(messages.size(), false) {}

    static std::string Stuffed(const std::string& message) {
        std::string out;
        bool lineStart = true;
        for (char c : message) {
            if (lineStart && c == '.') out += '.';
            out += c;
            lineStart = c == '\n';
        }
        return out;
    }

    FakePop3::Answer Answer(const std::string& line) {
        FakePop3::Answer answer;
        if (special && special(line, answer)) return answer;
        const std::size_t n = line.size() > 5 ? std::strtoul(line.c_str() + 5, nullptr, 10) : 0;
        if (line == "STAT") return {"+OK " + std::to_string(messages.size()) + " 100\r\n"};
        if (line.rfind("RETR ", 0) == 0 && n >= 1 && n <= messages.size())
            return {"+OK\r\n" + Stuffed(messages[n - 1]) + ".\r\n"};
        if (line.rfind("DELE ", 0) == 0 && n >= 1 && n <= messages.size()) {
            marked[n - 1] = true;
            return {"+OK\r\n"};
        }
        if (line == "QUIT") {
            std::vector<std::string> left;
            for (std::size_t i = 0; i < messages.size(); ++i)
                if (!marked[i]) left.push_back(messages[i]);
            messages = left;
            marked.assign(messages.size(), false);
            return {"+OK bye\r\n", true};
        }
        return {"+OK\r\n"};
    }
    void Serve(FakePop3& server) {
        server.answer = [this](const std::string& line) { return Answer(line); };
    }
};

// A home folder (the inbox) and the account records in memory.
struct Home {
    qimtest::TempDir dir;
    SUserInetData inet;
    SSettingData settings;
    Home() {
        EnsureApp();
        SetQimHome(dir.Path());
        SetQimIniPath(dir.File("QIM.INI"));
        inet.pop3Server = "127.0.0.1";
        inet.userName = "taro";
        inet.password = "secret";
    }
};

}  // namespace pop3test
