// The single-instance rule: a second start finds the running copy, refuses to
// run beside it (qimstr::TwoCopies) and brings it to the top; /DOUBLE always starts,
// /DOUBLEX starts when the running copy works on another home directory.
#pragma once

#include <optional>
#include <string>

// The running copy as a second start sees it.
class SRunningCopy {
public:
    virtual ~SRunningCopy() = default;
    virtual bool Exists() = 0;
    // Its home directory (absolute), or nullopt when it does not answer.
    virtual std::optional<std::string> HomeDirectory() = 0;
    // Brings its windows to the top and shows its main window normally.
    virtual void Activate() = 0;
    // Hands it a mailto: start (what follows "mailto:"): it opens its compose
    // window for it. False when it did not take it.
    virtual bool HandOverMailto(const std::string& mailto) { return false; }
};

// The running copy found through the platform's local socket.
class SLocalRunningCopy : public SRunningCopy {
public:
    explicit SLocalRunningCopy(int timeoutMs = 3000) : timeoutMs_(timeoutMs) {}
    bool Exists() override;
    std::optional<std::string> HomeDirectory() override;
    void Activate() override;
    bool HandOverMailto(const std::string& mailto) override;

private:
    int timeoutMs_;
};

// The name under which a running copy answers (after the user and "QimWindowClass").
std::string QimInstanceName();

// Requests of the local socket: a request code of the application in decimal
// ("530", qimreq::HomeDirectory, asks for the home directory), or this word.
constexpr const char* kActivateRequest = "activate";
// The beginning of a request that hands over a mailto: start ("mailto:..."); answered "1".
constexpr const char* kMailtoRequest = "mailto:";

// True when this start may go on; false after qimstr::TwoCopies was shown and the
// running copy was brought to the top. `home` is this start's home directory.
// A start with a `mailto` address hands it to the running copy instead, which
// opens its compose window (as a click on a mailto: link expects); the box
// shows only when the running copy does not take it.
bool ApplyInstanceRule(int instanceMode, const std::string& home, SRunningCopy& running,
                       const std::string& mailto = std::string());

// `path` made absolute against the working directory, so two copies started in
// different folders compare the same folder alike.
std::string AbsoluteDirectory(const std::string& path);
