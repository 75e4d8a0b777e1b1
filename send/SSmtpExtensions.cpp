#include "send/SSmtpExtensions.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    return text;
}

bool Offers(const std::vector<std::string>& offered, const char* name) {
    return std::find(offered.begin(), offered.end(), name) != offered.end();
}

}  // namespace

void SSmtpExtensions::Note(const char* line) {
    std::string text(line);
    if (text.size() < 4) return;
    text.erase(0, 4);  // "250-" or "250 "
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    // Some servers still write "AUTH=LOGIN PLAIN".
    std::replace(text.begin(), text.end(), '=', ' ');
    std::istringstream words(text);
    std::string keyword;
    if (!(words >> keyword)) return;
    keyword = Upper(keyword);
    if (keyword == "STARTTLS") {
        startTls = true;
    } else if (keyword == "AUTH") {
        for (std::string m; words >> m;)
            if (!Offers(authMechanisms, Upper(m).c_str())) authMechanisms.push_back(Upper(m));
    } else if (keyword == "SIZE") {
        std::string value;
        if (words >> value) sizeLimit = std::max(0LL, std::atoll(value.c_str()));
    }
}

SSmtpAuthMechanism ChooseSmtpAuth(const std::vector<std::string>& offered, bool secured, bool plainTextAllowed) {
    if (Offers(offered, "CRAM-MD5")) return SSmtpAuthMechanism::CramMd5;
    if (!secured && !plainTextAllowed) return SSmtpAuthMechanism::None;
    if (Offers(offered, "PLAIN")) return SSmtpAuthMechanism::Plain;
    if (Offers(offered, "LOGIN")) return SSmtpAuthMechanism::Login;
    return SSmtpAuthMechanism::None;
}

const char* SmtpAuthName(SSmtpAuthMechanism mechanism) {
    switch (mechanism) {
    case SSmtpAuthMechanism::Plain: return "PLAIN";
    case SSmtpAuthMechanism::Login: return "LOGIN";
    case SSmtpAuthMechanism::CramMd5: return "CRAM-MD5";
    default: return "";
    }
}

std::string SmtpBase64(const std::string& text) { return QByteArray::fromStdString(text).toBase64().toStdString(); }

std::string SmtpDecodeChallenge(const std::string& base64) {
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(base64),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? decoded.decoded.toStdString() : std::string();
}

std::string SmtpPlainResponse(const std::string& user, const std::string& password) {
    std::string raw;
    raw.append(1, '\0').append(user).append(1, '\0').append(password);
    return SmtpBase64(raw);
}

std::string SmtpCramMd5Response(const std::string& user, const std::string& password, const std::string& challenge) {
    const QByteArray digest = QMessageAuthenticationCode::hash(QByteArray::fromStdString(challenge),
                                                               QByteArray::fromStdString(password),
                                                               QCryptographicHash::Md5)
                                  .toHex();
    std::string raw = user;
    raw.append(" ").append(digest.toStdString());
    return SmtpBase64(raw);
}
