#include "platform/CertificateQuestion.h"

namespace platform {
namespace {

CertificateQuestion*& Installed() {
    static CertificateQuestion* question = nullptr;
    return question;
}

}  // namespace

CertificateQuestion* InstalledCertificateQuestion() { return Installed(); }

CertificateQuestion* SetCertificateQuestion(CertificateQuestion* question) {
    CertificateQuestion* previous = Installed();
    Installed() = question;
    return previous;
}

}  // namespace platform
