// The window's answer to an untrusted server certificate: a box with the
// certificate's text and three buttons (trust this once, trust always, do
// not connect), installed for the program's run.
#pragma once

#include "platform/CertificateQuestion.h"

class TCertificateQuestion : public platform::CertificateQuestion {
public:
    platform::TrustAnswer AskTrust(const std::string& text) override;
};
