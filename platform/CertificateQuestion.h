// The question a conversation asks when a server's certificate fails
// verification: go on trusting it this once, always (pinned), or not at all.
// The windows install the dialog; tests install a scripted one; without
// either the answer is the safe one, Refuse (qimtool).
#pragma once

#include <string>

namespace platform {

enum class TrustAnswer { Refuse, Once, Always };

class CertificateQuestion {
public:
    virtual ~CertificateQuestion() = default;
    // `text` (Shift_JIS) names the host and shows the certificate and the problem.
    virtual TrustAnswer AskTrust(const std::string& text) = 0;
};

// The installed question, or null.
CertificateQuestion* InstalledCertificateQuestion();
// Installs `question` (null: none) and returns the one before.
CertificateQuestion* SetCertificateQuestion(CertificateQuestion* question);

}  // namespace platform
