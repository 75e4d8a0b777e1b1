// A throw-away GnuPG home for the tests that run real gpg: key pairs without
// passphrase for the given addresses, GNUPGHOME pointing at it while it
// lives, and its gpg-agent stopped when it goes.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "support/TestSupport.h"

namespace qimtest {

class GpgKeyring {
public:
    // `ok` tells whether every key was made.
    explicit GpgKeyring(std::initializer_list<const char*> addresses) {
        home_ = dir_.File("gnupg");
        mkdir(home_.c_str(), 0700);
        // Nothing may wait for a person typing a passphrase.
        WriteFileBytes(home_ + "/gpg-agent.conf", "pinentry-program /bin/false\n");
        setenv("GNUPGHOME", home_.c_str(), 1);
        for (const char* who : addresses) {
            int status = -1;
            RunCommand(Gpg() + " --passphrase '' --quick-gen-key '" + std::string(who) +
                           "' future-default default never 2>&1",
                       &status);
            if (status != 0) {
                ok_ = false;
                failed_ = who;
            }
        }
    }
    ~GpgKeyring() {
        RunCommand("gpgconf --homedir '" + home_ + "' --kill all 2>&1");
        unsetenv("GNUPGHOME");
    }
    GpgKeyring(const GpgKeyring&) = delete;
    GpgKeyring& operator=(const GpgKeyring&) = delete;

    bool Ok() const { return ok_; }
    // The address whose key could not be made.
    const std::string& Failed() const { return failed_; }
    const std::string& Home() const { return home_; }
    // gpg on this keyring, never asking anything.
    std::string Gpg() const { return "gpg --homedir '" + home_ + "' --batch --yes --pinentry-mode loopback"; }

private:
    TempDir dir_;
    std::string home_;
    bool ok_ = true;
    std::string failed_;
};

}  // namespace qimtest
