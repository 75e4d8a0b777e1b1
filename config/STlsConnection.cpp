#include "config/STlsConnection.h"

#include "config/QimGlobals.h"
#include "config/QimSettingKeys.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SUserInetData.h"
#include "platform/CertificatePins.h"
#include "platform/CertificateQuestion.h"
#include "platform/SocketCodes.h"

platform::TlsPolicy TlsPolicyFor(const SUserInetData& inet, int security, const std::string& host,
                                 const std::vector<std::string>& trustedOnce) {
    platform::TlsPolicy policy;
    policy.mode = security == kSecurityTls ? platform::TlsPolicy::Mode::Implicit : platform::TlsPolicy::Mode::Plain;
    policy.peerName = host;
    policy.caFile = inet.tlsCaFile;
    policy.trustedFingerprints = platform::CertificatePins(CertificatePinPath()).For(host);
    policy.trustedFingerprints.insert(policy.trustedFingerprints.end(), trustedOnce.begin(), trustedOnce.end());
    return policy;
}

std::string CertificatePinPath() {
    std::string path = GetQimHome();
    if (!path.empty() && path.back() != '/') path += '/';
    return path.append(qimini::CertificatePinFile);
}

std::string CertificateText(const std::string& host, const platform::TlsState& tls) {
    const platform::CertificateInfo& c = tls.certificate;
    return FormatNotice(LoadQimString(qimstr::CertificateUntrusted),
                        {host, tls.problem, c.subject, c.issuer, c.notBefore, c.notAfter, c.sha256});
}

bool AskToTrust(const std::string& host, const platform::TlsState& tls, std::vector<std::string>& trustedOnce,
                SNotice& refusal) {
    const std::string text = CertificateText(host, tls);
    platform::CertificateQuestion* question = platform::InstalledCertificateQuestion();
    const platform::TrustAnswer answer =
        question && !tls.certificate.sha256.empty() ? question->AskTrust(text) : platform::TrustAnswer::Refuse;
    if (answer == platform::TrustAnswer::Refuse) {
        refusal = SNotice::Program(qimstr::CertificateRefused, {text});
        return false;
    }
    trustedOnce.push_back(tls.certificate.sha256);
    if (answer == platform::TrustAnswer::Always &&
        !platform::CertificatePins(CertificatePinPath()).Add(host, tls.certificate.sha256)) {
        // The connection still goes on as trusted once; the user learns why it will ask again.
        refusal = SNotice::Program(qimstr::CertificatePinNotSaved, {CertificatePinPath()},
                                   platform::MessageIcon::Exclamation);
    }
    return true;
}

SNotice TlsFailureNotice(const std::string& host, int code) {
    return SNotice::Program(qimstr::TlsHandshakeFailed,
                            {host, std::string(platform::SocketErrorText(code)), static_cast<long>(code)});
}

std::string TlsSessionText(const platform::TlsState& tls) {
    if (!tls.secured) return std::string();
    return FormatNotice(LoadQimString(qimstr::TlsSessionStatus), {tls.protocol, tls.cipher});
}
