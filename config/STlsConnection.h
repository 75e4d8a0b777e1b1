// What the conversations share about secure connections: the TLS policy a
// connection gets from the settings, the question when a server's certificate
// fails verification (and the pins it leaves), and the texts of TLS.
#pragma once

#include <string>
#include <vector>

#include "common/SNotice.h"
#include "platform/NetSocket.h"

class SUserInetData;

// The policy for a connection to `host` with `security` (kSecurity...):
// the account's CA file, the fingerprints pinned for the host and those
// trusted for this run (`trustedOnce`).
platform::TlsPolicy TlsPolicyFor(const SUserInetData& inet, int security, const std::string& host,
                                 const std::vector<std::string>& trustedOnce);

// The file of the certificates trusted always (in the home directory).
std::string CertificatePinPath();

// The text of the trust question: host, problem, subject, issuer, validity, fingerprint.
std::string CertificateText(const std::string& host, const platform::TlsState& tls);

// Verification refused the certificate of `host`: asks the installed question.
// True when the user trusts it (this once: it joins `trustedOnce`; always: it
// is pinned as well) and the connection is to be made again; false with
// `refusal` set to the notice that ends the conversation. When true, `refusal`
// may hold a warning to show (its id not 0): the pin could not be saved.
bool AskToTrust(const std::string& host, const platform::TlsState& tls, std::vector<std::string>& trustedOnce,
                SNotice& refusal);

// A failed handshake other than an untrusted certificate.
SNotice TlsFailureNotice(const std::string& host, int code);

// "暗号化通信: TLSv1.3 TLS_AES_256_GCM_SHA384" for the status line; empty when not secured.
std::string TlsSessionText(const platform::TlsState& tls);
