// Passwords in the desktop's keyring: the Secret Service (GNOME Keyring,
// KWallet) through QtKeychain, under the service name "Qim". Each call waits
// for the keyring's answer in a local event loop, at most `timeoutMs` (a
// locked keyring asks the user to unlock it meanwhile).
#pragma once

#include <QString>

#include "platform/PasswordKeeper.h"

namespace platform {

class SecretServiceKeeper : public PasswordKeeper {
public:
    explicit SecretServiceKeeper(int timeoutMs = 60000, QString service = QStringLiteral("Qim"))
        : timeoutMs_(timeoutMs), service_(std::move(service)) {}

    Result Read(const std::string& account, std::string& password) override;
    Result Write(const std::string& account, const std::string& password) override;
    Result Remove(const std::string& account) override;

private:
    int timeoutMs_;
    QString service_;
};

}  // namespace platform
