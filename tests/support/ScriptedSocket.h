// A socket for the conversations' tests that plays a scenario instead of a
// network: what the server says, as it is written, and what the client must
// say, line by line. It keeps the order of events of platform::NetSocket and
// fails the test when the client says anything the scenario does not expect,
// or when a scenario has not been played to its end once its socket closes or
// the test is over.
//
// A scenario is written in lines:
//   S: text          the server sends text and CR LF
//   S> text          the server sends text without a line end
//   C: text          the client must send text and CR LF next
//   -- client data   the client sends a message's data, whatever it holds, up
//                    to and with the line "." that ends it
//   -- cut           what the server sent so far arrives; what follows comes
//                    in a later read
//   -- delay MS      the server waits MS milliseconds before it goes on
//   -- close         the server closes the connection
//   -- reset         the connection breaks (its close carries an error code)
//   -- refuse CODE   the connect fails with CODE (first step only)
//   -- lookup CODE   the host lookup fails with CODE (first step only)
//   -- window N      the socket takes at most N bytes of each send
//   -- tls           the client must start TLS here (StartTls); what the
//                    server sent before and the client has not read is
//                    dropped, as a real handshake drops it
//   -- tls fail CODE the same, and the handshake fails with CODE
//   # ...            a comment
// Long or binary exchanges are added with Server and Client.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/NetSocket.h"
#include "platform/qt/SocketFactory.h"

namespace qimtest {

class Scenario {
public:
    Scenario() = default;
    explicit Scenario(const std::string& script) { Script(script); }
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    // Adds the steps of `script` (the lines above).
    Scenario& Script(const std::string& script);
    // The server sends `bytes` as they are.
    Scenario& Server(const std::string& bytes);
    // The client must send exactly `bytes` next.
    Scenario& Client(const std::string& bytes);
    // The client sends the data of a message, up to its end line ".".
    Scenario& ClientData();
    Scenario& Cut();
    Scenario& Delay(int ms);
    Scenario& Close();
    Scenario& Reset(int code = platform::kWsaEConnReset);

    // Every step was played.
    bool Finished() const { return next_ >= steps_.size(); }
    // What went wrong (empty when nothing did).
    const std::vector<std::string>& Problems() const { return problems_; }
    // Every byte the client sent.
    const std::string& ClientBytes() const { return said_; }
    // The client's lines (without CR LF), in order.
    std::vector<std::string> ClientLines() const;
    // Whether the client sent this line.
    bool ClientSaid(const std::string& line) const;
    // The socket of this scenario has been closed by the client.
    bool ClosedByClient() const { return closedByClient_; }

private:
    friend class ScriptedSocket;
    friend class ScriptedSockets;
    enum class Kind { Server, Client, ClientData, Cut, Delay, Close, Reset, Refuse, Lookup, Window, Tls };
    struct Step {
        Kind kind;
        std::string bytes;
        int value = 0;
    };
    void Add(Kind kind, std::string bytes = std::string(), int value = 0);
    void Problem(const std::string& text);

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::vector<std::string> problems_;
    std::string said_;
    bool closedByClient_ = false;
    bool inUse_ = false;
};

// While it lives, every new conversation socket plays the next scenario of its
// list, in order. When it goes it fails the test for each scenario that was
// not played to its end, and for sockets asked for beyond the list.
class ScriptedSockets {
public:
    explicit ScriptedSockets(std::vector<Scenario*> scenarios);
    explicit ScriptedSockets(Scenario& scenario) : ScriptedSockets(std::vector<Scenario*>{&scenario}) {}
    ~ScriptedSockets();
    ScriptedSockets(const ScriptedSockets&) = delete;
    ScriptedSockets& operator=(const ScriptedSockets&) = delete;

    // Sockets made so far.
    int Made() const { return made_; }

private:
    std::vector<Scenario*> scenarios_;
    std::vector<std::unique_ptr<Scenario>> spare_;  // for sockets beyond the list
    platform::SocketFactory previous_;
    int made_ = 0;
};

}  // namespace qimtest
