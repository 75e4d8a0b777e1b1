// The server certificates the user chose to trust always although they fail
// verification: one line per host and SHA-256 fingerprint, in a file of its
// own readable by the owner only, replaced whole on every change.
#pragma once

#include <string>
#include <vector>

namespace platform {

class CertificatePins {
public:
    // `sjisPath`: the file (it need not exist yet).
    explicit CertificatePins(std::string sjisPath) : path_(std::move(sjisPath)) {}

    // The fingerprints pinned for `host` (host names compare without case).
    std::vector<std::string> For(const std::string& host) const;
    // Pins `fingerprint` for `host`; false when the file cannot be written.
    bool Add(const std::string& host, const std::string& fingerprint) const;

private:
    struct Pin {
        std::string host;
        std::string fingerprint;
    };
    std::vector<Pin> Load() const;

    std::string path_;
};

}  // namespace platform
