// A private D-Bus session bus for the tests of the desktop services: a
// dbus-daemon with a configuration of its own (it starts no service on
// demand), and on request GNOME Keyring's Secret Service on it with a fresh
// login keyring. Both are stopped by their PIDs when the object goes.
// Libraries keep their first connection to a session bus for the life of the
// process: a test program that points itself at a bus keeps one for all its tests.
#pragma once

#include <string>
#include <sys/types.h>

#include "support/TestSupport.h"

namespace qimtest {

class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool Ok() const { return !address_.empty(); }
    const std::string& Address() const { return address_; }
    // gnome-keyring-daemon (secrets only) on this bus, its keyring unlocked;
    // false when it did not take the name org.freedesktop.secrets in time.
    bool StartKeyring();
    // Stops the keyring (the bus stays); false when its name did not go.
    bool StopKeyring();
    // Points this process at the bus (DBUS_SESSION_BUS_ADDRESS) and at the
    // keyring's private folders; call before anything talks to a session bus.
    void UseForThisProcess() const;
    // Whether `name` has an owner on the bus.
    bool NameHasOwner(const std::string& name) const;
    std::string KeyringLog() const;

private:
    TempDir dir_;
    std::string address_;
    pid_t busPid_ = -1;
    pid_t keyringPid_ = -1;
};

}  // namespace qimtest
