// The desktop's keyring as the settings see it: a password kept under an
// account name outside the settings files. The programs install one (the
// Secret Service, platform/qt/SecretServiceKeeper.h); without one, or when it
// does not answer, the settings keep their own scrambled form.
#pragma once

#include <string>

namespace platform {

class PasswordKeeper {
public:
    enum class Result {
        Done,
        NotFound,     // the keyring answered and holds no such entry
        Unavailable,  // no keyring, a locked one left locked, or no answer in time
    };
    virtual ~PasswordKeeper() = default;
    // Account names and passwords are Shift_JIS, as everywhere inside.
    virtual Result Read(const std::string& account, std::string& password) = 0;
    virtual Result Write(const std::string& account, const std::string& password) = 0;
    virtual Result Remove(const std::string& account) = 0;
};

// The keeper of the process; null when none is installed.
PasswordKeeper* GetPasswordKeeper();
void SetPasswordKeeper(PasswordKeeper* keeper);

}  // namespace platform
