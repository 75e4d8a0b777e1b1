#include "platform/CertificatePins.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/AtomicFile.h"
#include "platform/NativePath.h"

namespace platform {
namespace {

constexpr unsigned kOwnerOnly = 0600;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

}  // namespace

std::vector<CertificatePins::Pin> CertificatePins::Load() const {
    std::vector<Pin> pins;
    std::string native;
    if (!ToNativePath(path_.c_str(), native)) return pins;
    std::ifstream in(native, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        Pin pin;
        if (fields >> pin.host >> pin.fingerprint) pins.push_back({Lower(pin.host), pin.fingerprint});
    }
    return pins;
}

std::vector<std::string> CertificatePins::For(const std::string& host) const {
    std::vector<std::string> found;
    const std::string key = Lower(host);
    for (const Pin& pin : Load())
        if (pin.host == key) found.push_back(pin.fingerprint);
    return found;
}

bool CertificatePins::Add(const std::string& host, const std::string& fingerprint) const {
    // A host or fingerprint with blanks or line ends would corrupt the file.
    auto plain = [](const std::string& s) {
        return !s.empty() && std::none_of(s.begin(), s.end(), [](unsigned char c) { return c <= ' '; });
    };
    if (!plain(host) || !plain(fingerprint)) return false;
    std::vector<Pin> pins = Load();
    const std::string key = Lower(host);
    for (const Pin& pin : pins)
        if (pin.host == key && pin.fingerprint == fingerprint) return true;
    pins.push_back({key, fingerprint});
    std::string data;
    for (const Pin& pin : pins) data.append(pin.host).append(" ").append(pin.fingerprint).append("\r\n");
    return ReplaceFileContents(path_.c_str(), data, kOwnerOnly);
}

}  // namespace platform
