#include "support/ScriptedSocket.h"

#include <gtest/gtest.h>

#include <QMetaObject>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <sstream>

namespace qimtest {
namespace {

// A text as a failure message shows it: control bytes escaped, cut short.
std::string Shown(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (out.size() > 200) {
            out += "...";
            break;
        }
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int Number(const std::string& text) { return std::atoi(text.c_str()); }

}  // namespace

// ---- Scenario ----

void Scenario::Add(Kind kind, std::string bytes, int value) { steps_.push_back(Step{kind, std::move(bytes), value}); }

Scenario& Scenario::Script(const std::string& script) {
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        line.erase(0, first);
        if (line[0] == '#') continue;
        const std::string head = line.substr(0, 2);
        const std::string rest = line.size() > 3 ? line.substr(3) : std::string();
        if (head == "S:") Server(rest + "\r\n");
        else if (head == "S>") Server(rest);
        else if (head == "C:") Client(rest + "\r\n");
        else if (line == "-- client data") ClientData();
        else if (line == "-- cut") Cut();
        else if (line.rfind("-- delay ", 0) == 0) Delay(Number(line.substr(9)));
        else if (line == "-- close") Close();
        else if (line == "-- reset") Reset();
        else if (line.rfind("-- refuse ", 0) == 0) Add(Kind::Refuse, {}, Number(line.substr(10)));
        else if (line.rfind("-- lookup ", 0) == 0) Add(Kind::Lookup, {}, Number(line.substr(10)));
        else if (line.rfind("-- window ", 0) == 0) Add(Kind::Window, {}, Number(line.substr(10)));
        else if (line == "-- tls") Add(Kind::Tls);
        else if (line.rfind("-- tls fail ", 0) == 0) Add(Kind::Tls, {}, Number(line.substr(12)));
        else ADD_FAILURE() << "a scenario line that means nothing: " << line;
    }
    return *this;
}

Scenario& Scenario::Server(const std::string& bytes) {
    Add(Kind::Server, bytes);
    return *this;
}
Scenario& Scenario::Client(const std::string& bytes) {
    Add(Kind::Client, bytes);
    return *this;
}
Scenario& Scenario::ClientData() {
    Add(Kind::ClientData);
    return *this;
}
Scenario& Scenario::Cut() {
    Add(Kind::Cut);
    return *this;
}
Scenario& Scenario::Delay(int ms) {
    Add(Kind::Delay, {}, ms);
    return *this;
}
Scenario& Scenario::Close() {
    Add(Kind::Close);
    return *this;
}
Scenario& Scenario::Reset(int code) {
    Add(Kind::Reset, {}, code);
    return *this;
}

void Scenario::Problem(const std::string& text) {
    problems_.push_back(text);
    ADD_FAILURE() << text;
}

std::vector<std::string> Scenario::ClientLines() const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = said_.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(said_.substr(start, end - start));
    return lines;
}

bool Scenario::ClientSaid(const std::string& line) const {
    const std::vector<std::string> lines = ClientLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// ---- The socket ----

class ScriptedSocket : public platform::NetSocket {
public:
    ScriptedSocket(Scenario& scenario, platform::SocketListener* listener)
        : scenario_(scenario), listener_(listener), context_(std::make_unique<QObject>()) {
        scenario_.inUse_ = true;
    }
    ~ScriptedSocket() override { Close(); }

    void SetListener(platform::SocketListener* listener) override { listener_ = listener; }

    int LookupHost(const std::string& host) override {
        const int handle = ++handles_;
        int error = 0;
        if (Next() && Next()->kind == Scenario::Kind::Lookup) {
            error = Next()->value;
            ++scenario_.next_;
        }
        addresses_ = error ? std::vector<std::string>{}
                           : std::vector<std::string>{platform::IsNumericHost(host) ? host : "127.0.0.1"};
        lookup_ = handle;
        Post([this, handle, error] {
            if (lookup_ != handle) return;
            lookup_ = 0;
            if (listener_) listener_->OnHostLookup(handle, error);
        });
        return handle;
    }
    bool CancelLookup(int handle) override {
        if (handle == 0 || handle != lookup_) return false;
        lookup_ = 0;
        return true;
    }
    const std::vector<std::string>& HostAddresses() const override { return addresses_; }

    bool Connect(const std::vector<std::string>& addresses, int port) override {
        if (state_ != State::Idle) {
            lastError_ = platform::kWsaEIsConn;
            return false;
        }
        if (addresses.empty() || port < 1 || port > 65535) {
            lastError_ = platform::kWsaEAddrNotAvail;
            return false;
        }
        while (Next() && Next()->kind == Scenario::Kind::Window) window_ = std::max(1, scenario_.steps_[scenario_.next_++].value);
        if (Next() && Next()->kind == Scenario::Kind::Refuse) {
            const int code = Next()->value;
            ++scenario_.next_;
            state_ = State::Closed;
            PostEvent(platform::kSocketConnect, code);
            return true;
        }
        state_ = State::Connected;
        PostEvent(platform::kSocketConnect, 0);
        PostEvent(platform::kSocketWrite, 0);
        Play();
        return true;
    }

    int Send(const char* data, int length) override {
        if (state_ != State::Connected) {
            lastError_ = platform::kWsaENotConn;
            return -1;
        }
        if (length <= 0) return 0;
        const int taken = std::min(length, window_);
        scenario_.said_.append(data, static_cast<std::size_t>(taken));
        heard_.append(data, static_cast<std::size_t>(taken));
        Match();
        // More room comes once the peer took what it was given.
        if (taken < length) PostEvent(platform::kSocketWrite, 0);
        return taken;
    }

    int Recv(char* buffer, int size) override {
        if (chunks_.empty()) {
            if (peerClosed_) return 0;
            lastError_ = state_ == State::Broken ? resetCode_ : platform::kWsaEWouldBlock;
            return -1;
        }
        std::string& chunk = chunks_.front();
        const int n = std::min(size, static_cast<int>(chunk.size()));
        std::copy(chunk.begin(), chunk.begin() + n, buffer);
        chunk.erase(0, static_cast<std::size_t>(n));
        if (chunk.empty()) chunks_.pop_front();
        AfterData();
        return n;
    }

    int BytesWaiting() const override {
        int n = 0;
        for (const std::string& c : chunks_) n += static_cast<int>(c.size());
        return n;
    }

    void Rearm() override {
        if (state_ != State::Connected) return;
        PostEvent(platform::kSocketWrite, 0);
        if (!chunks_.empty()) PostRead();
    }

    // Closing a socket that never connected ends nothing; afterwards the
    // socket may connect again and the scenario goes on.
    void Close() override {
        const bool used = state_ != State::Idle;
        ++generation_;
        lookup_ = 0;
        readPosted_ = false;
        if (!used) return;
        state_ = State::Idle;
        chunks_.clear();
        heard_.clear();
        data_.clear();
        matched_ = 0;
        peerClosed_ = closePosted_ = waiting_ = false;
        scenario_.closedByClient_ = true;
        // The server's own ending needs no client.
        while (Next() && (Next()->kind == Scenario::Kind::Close || Next()->kind == Scenario::Kind::Reset ||
                          Next()->kind == Scenario::Kind::Delay || Next()->kind == Scenario::Kind::Cut))
            ++scenario_.next_;
        if (Next())
            scenario_.Problem("the client closed the connection before the scenario ended; the next step is " +
                              Describe(*Next()));
    }

    int LastError() const override { return lastError_; }

    bool StartTls() override {
        if (state_ != State::Connected) {
            lastError_ = platform::kWsaENotConn;
            return false;
        }
        const Scenario::Step* step = Next();
        if (!step || step->kind != Scenario::Kind::Tls) {
            scenario_.Problem("the client started TLS " +
                              (step ? "where the scenario expects " + Describe(*step) : "after the end of the scenario"));
            return false;
        }
        ++scenario_.next_;
        const int code = step->value;
        chunks_.clear();  // the bytes before the handshake
        ++generation_;    // and the notifications about them
        readPosted_ = false;
        if (code) {
            tls_ = platform::TlsState();
            PostEvent(platform::kSocketTls, code);
            return true;
        }
        tls_.secured = true;
        tls_.protocol = "TLSv1.3";
        tls_.cipher = "SCRIPTED";
        PostEvent(platform::kSocketTls, 0);
        PostEvent(platform::kSocketWrite, 0);
        Play();
        return true;
    }
    const platform::TlsState& Tls() const override { return tls_; }

private:
    enum class State { Idle, Connected, Broken, Closed };

    const Scenario::Step* Next() const {
        return scenario_.next_ < scenario_.steps_.size() ? &scenario_.steps_[scenario_.next_] : nullptr;
    }

    static std::string Describe(const Scenario::Step& step) {
        switch (step.kind) {
        case Scenario::Kind::Server: return "S: " + Shown(step.bytes);
        case Scenario::Kind::Client: return "C: " + Shown(step.bytes);
        case Scenario::Kind::ClientData: return "-- client data";
        case Scenario::Kind::Cut: return "-- cut";
        case Scenario::Kind::Delay: return "-- delay " + std::to_string(step.value);
        case Scenario::Kind::Close: return "-- close";
        case Scenario::Kind::Reset: return "-- reset";
        case Scenario::Kind::Refuse: return "-- refuse " + std::to_string(step.value);
        case Scenario::Kind::Lookup: return "-- lookup " + std::to_string(step.value);
        case Scenario::Kind::Window: return "-- window " + std::to_string(step.value);
        case Scenario::Kind::Tls: return step.value ? "-- tls fail " + std::to_string(step.value) : "-- tls";
        }
        return "?";
    }

    template <typename F>
    void Post(F&& work) {
        QMetaObject::invokeMethod(
            context_.get(),
            [this, generation = generation_, work = std::forward<F>(work)]() mutable {
                if (generation == generation_) work();
            },
            Qt::QueuedConnection);
    }

    void PostEvent(int event, int error) {
        Post([this, event, error] {
            if (event == platform::kSocketRead) readPosted_ = false;
            if (listener_) listener_->OnSocketEvent(event, error);
        });
    }

    void PostRead() {
        if (readPosted_) return;
        readPosted_ = true;
        PostEvent(platform::kSocketRead, 0);
    }

    // After the client took data: more waits, or the peer's close comes last.
    void AfterData() {
        if (!chunks_.empty()) {
            PostRead();
        } else if (peerClosed_ && !closePosted_) {
            closePosted_ = true;
            PostEvent(platform::kSocketClose, 0);
        }
    }

    // The server's steps up to the next thing the client must say.
    void Play() {
        std::string chunk;
        auto flush = [&] {
            if (!chunk.empty()) chunks_.push_back(chunk);
            chunk.clear();
        };
        while (const Scenario::Step* step = Next()) {
            if (step->kind == Scenario::Kind::Client || step->kind == Scenario::Kind::ClientData ||
                step->kind == Scenario::Kind::Tls)
                break;
            ++scenario_.next_;
            if (step->kind == Scenario::Kind::Server) {
                chunk += step->bytes;
            } else if (step->kind == Scenario::Kind::Cut) {
                flush();
            } else if (step->kind == Scenario::Kind::Delay) {
                flush();
                waiting_ = true;
                QTimer::singleShot(step->value, context_.get(), [this, generation = generation_] {
                    if (generation != generation_) return;
                    waiting_ = false;
                    Play();
                    Match();
                });
                break;
            } else if (step->kind == Scenario::Kind::Close) {
                flush();
                peerClosed_ = true;
                break;
            } else if (step->kind == Scenario::Kind::Reset) {
                flush();
                chunks_.clear();
                state_ = State::Broken;
                resetCode_ = step->value;
                PostEvent(platform::kSocketClose, step->value);
                return;
            } else {
                scenario_.Problem(Describe(*step) + " can only begin a scenario");
            }
        }
        flush();
        if (!chunks_.empty()) PostRead();
        else AfterData();
    }

    // What the client sent, against what the scenario expects of it.
    void Match() {
        while (!heard_.empty() && state_ == State::Connected && !waiting_) {
            const Scenario::Step* step = Next();
            if (step && step->kind == Scenario::Kind::ClientData) {
                if (!TakeData()) return;
                continue;
            }
            if (!step || step->kind != Scenario::Kind::Client) {
                Unexpected(step ? "while the server is to " + Describe(*step) : "after the end of the scenario");
                return;
            }
            const std::string& expected = step->bytes;
            const std::size_t n = std::min(heard_.size(), expected.size() - matched_);
            if (heard_.compare(0, n, expected, matched_, n) != 0) {
                Unexpected("where the scenario expects " + Describe(*step));
                return;
            }
            heard_.erase(0, n);
            matched_ += n;
            if (matched_ < expected.size()) return;
            matched_ = 0;
            ++scenario_.next_;
            Play();
        }
    }

    // A message's data, up to and with its end line; false while it goes on.
    bool TakeData() {
        const std::size_t before = data_.size();
        data_ += heard_;
        std::size_t end = data_.rfind(".\r\n", 0) == 0 ? 0 : data_.find("\r\n.\r\n");
        if (end == std::string::npos) {
            heard_.clear();
            return false;
        }
        end += end == 0 && data_.rfind(".\r\n", 0) == 0 ? 3 : 5;
        heard_.erase(0, end - before);
        data_.clear();
        ++scenario_.next_;
        Play();
        return true;
    }

    // The client said something out of the script: the test fails, and the
    // connection breaks so that the conversation ends.
    void Unexpected(const std::string& where) {
        const std::size_t end = heard_.find("\r\n");
        scenario_.Problem("the client said \"" + Shown(heard_.substr(0, end == std::string::npos ? heard_.size() : end + 2)) +
                          "\" " + where);
        heard_.clear();
        chunks_.clear();
        state_ = State::Broken;
        resetCode_ = platform::kWsaEConnReset;
        PostEvent(platform::kSocketClose, platform::kWsaEConnReset);
    }

    Scenario& scenario_;
    platform::SocketListener* listener_;
    std::unique_ptr<QObject> context_;
    State state_ = State::Idle;
    unsigned generation_ = 0;
    std::vector<std::string> addresses_;
    int handles_ = 0;
    int lookup_ = 0;
    int lastError_ = 0;
    int window_ = 1 << 20;
    std::deque<std::string> chunks_;  // the server's bytes, a read's worth each
    std::string heard_;               // client bytes not yet matched
    std::size_t matched_ = 0;         // bytes of the current client step already heard
    std::string data_;                // the message data heard so far
    bool readPosted_ = false;
    bool peerClosed_ = false;
    bool closePosted_ = false;
    bool waiting_ = false;            // the server is in a delay
    int resetCode_ = 0;
    platform::TlsState tls_;
};

// ---- The factory ----

ScriptedSockets::ScriptedSockets(std::vector<Scenario*> scenarios) : scenarios_(std::move(scenarios)) {
    previous_ = platform::SetSocketFactory([this](platform::SocketListener* listener) -> std::unique_ptr<platform::NetSocket> {
        if (made_ >= static_cast<int>(scenarios_.size())) {
            ADD_FAILURE() << "a conversation asked for socket " << made_ + 1 << " of " << scenarios_.size();
            // It is refused at once, so that the conversation ends.
            auto refused = std::make_unique<Scenario>("-- refuse " + std::to_string(platform::kWsaEConnRefused));
            Scenario& s = *refused;
            spare_.push_back(std::move(refused));
            ++made_;
            return std::make_unique<ScriptedSocket>(s, listener);
        }
        return std::make_unique<ScriptedSocket>(*scenarios_[static_cast<std::size_t>(made_++)], listener);
    });
}

ScriptedSockets::~ScriptedSockets() {
    platform::SetSocketFactory(std::move(previous_));
    for (std::size_t i = 0; i < scenarios_.size(); ++i) {
        const Scenario& s = *scenarios_[i];
        if (!s.inUse_) ADD_FAILURE() << "scenario " << i + 1 << " was never played";
        else if (!s.Finished()) ADD_FAILURE() << "scenario " << i + 1 << " was not played to its end";
    }
}

}  // namespace qimtest
