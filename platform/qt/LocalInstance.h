// The stand-in for finding a program's running copy by its window and sending
// it a message: the running copy listens on a local socket of a fixed name and
// answers one request line per connection. The socket lives in the user's
// runtime folder (XDG_RUNTIME_DIR) when there is one, else in the folder for
// temporary files, and only its owner may connect.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLocalServer;

namespace platform {

class InstanceServer {
public:
    // Gets a request line (without its line end) and gives the answer bytes.
    using Handler = std::function<std::string(const std::string& request)>;

    explicit InstanceServer(Handler handler);
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // Starts answering under `name`. False when a live server already answers
    // there (a socket file nobody answers on is replaced) or the socket cannot
    // be made.
    bool Listen(const std::string& name);
    void Close();
    bool IsListening() const;

private:
    void OnConnection();

    Handler handler_;
    std::unique_ptr<QLocalServer> server_;
};

// The full socket path for `name`.
std::string InstanceSocketPath(const std::string& name);
// Whether a server answers the connection under `name`.
bool InstanceAnswers(const std::string& name, int timeoutMs);
// Sends one request line and gives the whole answer; nullopt when nobody
// answers within the time (the wait never blocks longer than `timeoutMs` per step).
std::optional<std::string> AskInstance(const std::string& name, const std::string& request, int timeoutMs);

}  // namespace platform
