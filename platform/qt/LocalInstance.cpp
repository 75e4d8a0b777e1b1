#include "platform/qt/LocalInstance.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace platform {
namespace {

// A request may carry a mailto: URL with a subject and a text.
constexpr int kMaxRequest = 64 * 1024;
constexpr int kMaxAnswer = 64 * 1024;
// A client that connects and says nothing is dropped after this.
constexpr int kIdleClientMs = 5000;

QString SocketPath(const std::string& name) { return QString::fromStdString(InstanceSocketPath(name)); }

}  // namespace

std::string InstanceSocketPath(const std::string& name) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    QString dir = QDir::tempPath();
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir()) dir = QString::fromLocal8Bit(runtime);
    return (dir + "/" + QString::fromStdString(name)).toStdString();
}

InstanceServer::InstanceServer(Handler handler) : handler_(std::move(handler)) {}

InstanceServer::~InstanceServer() { Close(); }

bool InstanceServer::Listen(const std::string& name) {
    Close();
    if (InstanceAnswers(name, 1000)) return false;
    const QString path = SocketPath(name);
    // Nobody answers: what is left there is the socket of a copy that ended badly.
    QLocalServer::removeServer(path);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        server_.reset();
        return false;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] { OnConnection(); });
    return true;
}

void InstanceServer::Close() {
    if (!server_) return;
    server_->close();
    server_.reset();
}

bool InstanceServer::IsListening() const { return server_ && server_->isListening(); }

void InstanceServer::OnConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kIdleClientMs, socket, [socket] { socket->abort(); });
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (socket->property("answered").toBool()) return;  // one request per connection
            if (!socket->canReadLine() && socket->bytesAvailable() < kMaxRequest) return;
            socket->setProperty("answered", true);
            QByteArray line = socket->readLine(kMaxRequest);
            while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
            const std::string answer = handler_(line.toStdString());
            socket->write(answer.data(), static_cast<qint64>(answer.size()));
            socket->disconnectFromServer();
        });
    }
}

bool InstanceAnswers(const std::string& name, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath(name));
    const bool connected = socket.waitForConnected(timeoutMs);
    socket.abort();
    return connected;
}

std::optional<std::string> AskInstance(const std::string& name, const std::string& request, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath(name));
    if (!socket.waitForConnected(timeoutMs)) return std::nullopt;
    const QByteArray line = QByteArray::fromStdString(request) + '\n';
    socket.write(line);
    socket.flush();
    QByteArray answer;
    for (;;) {
        answer += socket.readAll();
        if (answer.size() > kMaxAnswer) return std::nullopt;
        if (socket.state() == QLocalSocket::UnconnectedState) break;
        if (!socket.waitForReadyRead(timeoutMs) && socket.state() != QLocalSocket::UnconnectedState) {
            return std::nullopt;  // the running copy does not answer
        }
    }
    answer += socket.readAll();
    return answer.toStdString();
}

}  // namespace platform
