// Whether the user's POP3 login is confirmed: a send waits for it. A window
// asks (the answer comes later, from the event loop); when the login is not
// confirmed yet the user-authentication run starts, and every asker gets the
// outcome once the receive session reports it.
#pragma once

#include <QPointer>
#include <functional>
#include <vector>

class QObject;
class SUserInetData;

class SLoginState {
public:
    // Called with the asker's code and whether the login is confirmed.
    using Answer = std::function<void(int code, bool confirmed)>;

    explicit SLoginState(SUserInetData& inet) : inet_(inet) {}

    // Starts the user-authentication run; it ends with Report. Without one, an
    // asker that finds the login unconfirmed is told so at once.
    void SetAuthenticator(std::function<void()> run) { authenticator_ = std::move(run); }

    // The asker's question (0x402). The answer is delivered through the event
    // loop, and never after `asker` is gone.
    void Ask(QObject* asker, int code, Answer answer);
    // The receive session's outcome (0x403): accepted, refused (the password
    // held in memory is forgotten, qimstr::WrongPassword) or prompt cancelled.
    void Report(int result);

    bool Confirmed() const { return confirmed_; }

private:
    struct Waiting {
        QPointer<QObject> asker;
        int code;
        Answer answer;
    };
    static void Deliver(const Waiting& waiting, bool confirmed);

    SUserInetData& inet_;
    std::function<void()> authenticator_;
    std::vector<Waiting> waiting_;
    bool confirmed_ = false;
};
