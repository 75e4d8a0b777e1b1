#include "support/TestServers.h"

#include "support/TestCertificates.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace qimtest {
namespace {

std::string Script(const std::string& name) { return std::string(QIM_TEST_SERVERS_DIR) + "/" + name; }

int ValueOf(const std::string& output, const std::string& key) {
    std::size_t at = output.find(key + "=");
    return at == std::string::npos ? 0 : std::atoi(output.c_str() + at + key.size() + 1);
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Files of a folder sorted by name (the servers name them in arrival order).
std::vector<std::string> SortedFiles(const std::string& folder, const std::string& suffix = "") {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        std::string name = e.path().filename().string();
        if (suffix.empty() || (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0))
            files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

DovecotServer::DovecotServer() : DovecotServer(std::string(), std::string()) {}

DovecotServer::DovecotServer(const std::string& cert, const std::string& key) {
    int status = -1;
    std::string command = Script("dovecot.sh") + " start " + Quote(dir_.Path());
    if (!cert.empty()) command += " " + Quote(cert) + " " + Quote(key);
    std::string out = RunCommand(command + " 2>&1", &status);
    if (status != 0) return;
    pop3Port_ = ValueOf(out, "POP3_PORT");
    imapPort_ = ValueOf(out, "IMAP_PORT");
    if (!cert.empty()) {
        pop3sPort_ = ValueOf(out, "POP3S_PORT");
        imapsPort_ = ValueOf(out, "IMAPS_PORT");
    }
}

DovecotServer& DovecotServer::SharedTls() {
    static DovecotServer server(TestCertificates::Shared().ServerCert(), TestCertificates::Shared().ServerKey());
    return server;
}

DovecotServer::~DovecotServer() { RunCommand(Script("dovecot.sh") + " stop " + Quote(dir_.Path())); }

DovecotServer& DovecotServer::Shared() {
    static DovecotServer server;
    return server;
}

std::string DovecotServer::Log() const { return ReadFileBytes(dir_.File("dovecot.log")); }

std::string DovecotServer::NewUser() {
    const std::string user = "user" + std::to_string(++users_);
    AddUser(user);
    return user;
}

void DovecotServer::AddUser(const std::string& user) {
    RunCommand(Script("dovecot.sh") + " adduser " + Quote(dir_.Path()) + " " + Quote(user));
}

void DovecotServer::Deliver(const std::string& user, const std::string& message) {
    static int serial = 0;
    std::string file = dir_.File("outgoing." + std::to_string(++serial));
    WriteFileBytes(file, message);
    RunCommand(Script("dovecot.sh") + " deliver " + Quote(dir_.Path()) + " " + Quote(user) + " " + Quote(file));
    std::filesystem::remove(file);
}

std::vector<std::string> DovecotServer::Mailbox(const std::string& user) const {
    std::vector<std::string> files = SortedFiles(dir_.Path() + "/mail/" + user + "/new");
    for (const std::string& f : SortedFiles(dir_.Path() + "/mail/" + user + "/cur")) files.push_back(f);
    std::vector<std::string> messages;
    for (const std::string& f : files) messages.push_back(ReadFileBytes(f));
    return messages;
}

SmtpServer::SmtpServer() {
    int status = -1;
    std::string out = RunCommand(Script("smtp.sh") + " start " + Quote(dir_.Path()) + " 2>&1", &status);
    if (status == 0) port_ = ValueOf(out, "SMTP_PORT");
}

SmtpServer::~SmtpServer() { RunCommand(Script("smtp.sh") + " stop " + Quote(dir_.Path())); }

SmtpServer& SmtpServer::Shared() {
    static SmtpServer server;
    return server;
}

void SmtpServer::Clear() {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir_.Path() + "/mail", ec)) {
        const std::string name = e.path().filename().string();
        // Files still being written end in ".tmp"; the server renames them.
        if (name.size() > 4 && (name.compare(name.size() - 4, 4, ".eml") == 0 || name.compare(name.size() - 4, 4, ".env") == 0))
            std::filesystem::remove(e.path(), ec);
    }
}

namespace {

std::vector<SmtpMessage> StoredMessages(const std::string& folder) {
    std::vector<SmtpMessage> messages;
    for (const std::string& eml : SortedFiles(folder, ".eml")) {
        SmtpMessage m;
        m.data = ReadFileBytes(eml);
        std::istringstream env(ReadFileBytes(eml.substr(0, eml.size() - 4) + ".env"));
        std::getline(env, m.mailFrom);
        for (std::string rcpt; std::getline(env, rcpt);) m.rcptTo.push_back(rcpt);
        messages.push_back(m);
    }
    return messages;
}

}  // namespace

std::vector<SmtpMessage> SmtpServer::Messages() const { return StoredMessages(dir_.Path() + "/mail"); }

SmtpTlsServer::SmtpTlsServer() {
    const TestCertificates& certs = TestCertificates::Shared();
    if (!certs.Ok()) return;
    int status = -1;
    ports_ = RunCommand(Script("smtp_tls.sh") + " start " + Quote(dir_.Path()) + " " + Quote(certs.ServerCert()) + " " +
                            Quote(certs.ServerKey()) + " " + Quote(certs.WrongNameCert()) + " " +
                            Quote(certs.WrongNameKey()) + " 2>&1",
                        &status);
    ok_ = status == 0;
}

SmtpTlsServer::~SmtpTlsServer() { RunCommand(Script("smtp_tls.sh") + " stop " + Quote(dir_.Path())); }

SmtpTlsServer& SmtpTlsServer::Shared() {
    static SmtpTlsServer server;
    return server;
}

int SmtpTlsServer::Port(const std::string& variant) const {
    std::istringstream lines(ports_);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(variant + "=", 0) == 0) return std::atoi(line.c_str() + variant.size() + 1);
    return 0;
}

std::vector<SmtpMessage> SmtpTlsServer::Messages(const std::string& variant) const {
    return StoredMessages(dir_.Path() + "/mail/" + variant);
}

std::string SmtpTlsServer::Log() const { return ReadFileBytes(dir_.File("smtp.log")); }

}  // namespace qimtest
