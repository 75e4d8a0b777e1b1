#include "common/TextTools.h"
#include "common/SMimeEntity.h"

#include <cctype>
#include <vector>

#include "common/SCharsetText.h"
#include "common/SHeaderWords.h"
#include "common/STransferDecode.h"

namespace {

std::string Lower(std::string_view s) {
    std::string out;
    for (char c : s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}


bool LooksLikeField(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c <= ' ' || c >= 0x7F) return i > 0 && Trim(line.substr(i, colon - i)).empty();
    }
    return true;
}


std::string PercentDecode(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexDigitValue(s[i + 1]) >= 0 && HexDigitValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(s[i + 1]) * 16 + HexDigitValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// "--boundary" or "--boundary--", blanks after it allowed.
bool IsDelimiter(std::string_view line, const std::string& delimiter, bool& close) {
    if (line.substr(0, delimiter.size()) != delimiter) return false;
    std::string_view rest = line.substr(delimiter.size());
    close = rest.substr(0, 2) == "--";
    if (close) rest.remove_prefix(2);
    return Trim(rest).empty();
}

}  // namespace

SMimeEntity::SMimeEntity(std::string_view bytes) {
    // The header ends at the first empty line, or at the first line that is
    // neither a field nor a continuation (a mail that forgot the empty line
    // keeps its body).
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t next = 0;
        const std::string_view line = LineAt(bytes, at, next);
        if (line.empty()) {
            at = next;
            break;
        }
        if ((line[0] == ' ' || line[0] == '\t') && !fields_.empty()) {
            fields_.back().second += ' ';
            fields_.back().second += Trim(line);
        } else if (LooksLikeField(line)) {
            const std::size_t colon = line.find(':');
            fields_.emplace_back(std::string(Trim(line.substr(0, colon))), std::string(Trim(line.substr(colon + 1))));
        } else {
            break;
        }
        at = next;
    }
    body_ = bytes.substr(std::min(at, bytes.size()));

    if (const std::string* type = Field("Content-Type")) {
        std::string main;
        typeParams_ = ParseParams(*type, main);
        const std::size_t slash = main.find('/');
        if (slash != std::string::npos && slash > 0 && slash + 1 < main.size()) {
            type_ = Lower(Trim(main.substr(0, slash)));
            subtype_ = Lower(Trim(main.substr(slash + 1)));
        }
    }
    if (const std::string* cte = Field("Content-Transfer-Encoding")) encoding_ = Lower(Trim(*cte));
    if (const std::string* disposition = Field("Content-Disposition")) {
        std::string main;
        dispositionParams_ = ParseParams(*disposition, main);
        attachment_ = Lower(Trim(main)) == "attachment";
    }
}

const std::string* SMimeEntity::Field(std::string_view name) const {
    const std::string wanted = Lower(name);
    for (const auto& [n, v] : fields_)
        if (Lower(n) == wanted) return &v;
    return nullptr;
}

SMimeEntity::Params SMimeEntity::ParseParams(std::string_view value, std::string& mainValue) {
    std::vector<std::pair<std::string, std::string>> raw;  // name as written (lower), value
    std::size_t at = value.find(';');
    mainValue = std::string(Trim(value.substr(0, at)));
    while (at != std::string_view::npos && at < value.size()) {
        ++at;
        while (at < value.size() && (value[at] == ' ' || value[at] == '\t' || value[at] == ';')) ++at;
        const std::size_t eq = value.find('=', at);
        if (eq == std::string_view::npos) break;
        std::string name = Lower(Trim(value.substr(at, eq - at)));
        std::size_t p = eq + 1;
        while (p < value.size() && (value[p] == ' ' || value[p] == '\t')) ++p;
        std::string v;
        if (p < value.size() && value[p] == '"') {
            for (++p; p < value.size() && value[p] != '"'; ++p) {
                if (value[p] == '\\' && p + 1 < value.size()) ++p;
                v += value[p];
            }
            at = value.find(';', p);
        } else {
            at = value.find(';', p);
            v = std::string(Trim(value.substr(p, at == std::string_view::npos ? std::string_view::npos : at - p)));
        }
        if (!name.empty()) raw.emplace_back(std::move(name), std::move(v));
    }
    // RFC 2231: "name*" is encoded; "name*0", "name*1*" ... are pieces joined
    // in order, the first encoded piece naming the charset.
    Params params;
    std::map<std::string, std::map<int, std::pair<bool, std::string>>> pieces;
    for (const auto& [name, v] : raw) {
        const std::size_t star = name.find('*');
        if (star == std::string::npos) {
            if (!params.count(name)) params[name] = {std::string(), v};
            continue;
        }
        const std::string base = name.substr(0, star);
        std::string rest = name.substr(star + 1);
        const bool encoded = !rest.empty() && rest.back() == '*';
        if (encoded) rest.pop_back();
        if (rest.empty()) {
            pieces[base][-1] = {true, v};  // name*=... alone
        } else if (rest.front() != '*' && rest.size() < 4 && std::isdigit(static_cast<unsigned char>(rest[0]))) {
            bool digits = true;
            for (char c : rest) digits = digits && std::isdigit(static_cast<unsigned char>(c));
            if (digits) pieces[base][std::stoi(rest)] = {encoded, v};
        } else if (rest == "*") {
            pieces[base][-1] = {true, v};
        }
    }
    for (auto& [base, parts] : pieces) {
        std::string charset, bytes;
        bool first = true;
        for (auto& [index, piece] : parts) {
            std::string text = piece.second;
            if (piece.first && first) {
                // charset'language'value
                const std::size_t q1 = text.find('\'');
                const std::size_t q2 = q1 == std::string::npos ? std::string::npos : text.find('\'', q1 + 1);
                if (q2 != std::string::npos) {
                    charset = Lower(text.substr(0, q1));
                    text = text.substr(q2 + 1);
                }
            }
            bytes += piece.first ? PercentDecode(text) : text;
            first = false;
            if (index == -1) break;
        }
        params[base] = {charset, bytes};  // the RFC 2231 form wins over a plain one
    }
    return params;
}

bool SMimeEntity::Param(const std::string& name, std::string& value, std::string* charset) const {
    auto it = typeParams_.find(name);
    if (it == typeParams_.end()) return false;
    value = it->second.second;
    if (charset) *charset = it->second.first;
    return true;
}

std::string SMimeEntity::Charset() const {
    std::string value;
    if (!Param("charset", value)) return std::string();
    return Lower(Trim(value));
}

std::string SMimeEntity::FileName() const {
    for (const Params* params : {&dispositionParams_, &typeParams_}) {
        auto it = params->find(params == &dispositionParams_ ? "filename" : "name");
        if (it == params->end() || it->second.second.empty()) continue;
        const auto& [charset, bytes] = it->second;
        if (!charset.empty()) return TextToUtf8(charset, bytes);
        return DecodeHeaderUtf8(bytes);
    }
    return std::string();
}

std::string SMimeEntity::FileNameOf(const std::string& contentType, const std::string& disposition) {
    std::string bytes;
    if (!contentType.empty()) bytes += "Content-Type: " + contentType + "\r\n";
    if (!disposition.empty()) bytes += "Content-Disposition: " + disposition + "\r\n";
    bytes += "\r\n";
    return SMimeEntity(bytes).FileName();
}

bool SMimeEntity::ParamOf(const std::string& fieldValue, const std::string& name, std::string& value) {
    std::string main;
    const Params params = ParseParams(fieldValue, main);
    auto it = params.find(name);
    if (it == params.end()) return false;
    value = it->second.second;
    return true;
}

std::string SMimeEntity::DecodedBody() const {
    if (encoding_ == "base64") return DecodeBase64Text(body_);
    if (encoding_ == "quoted-printable") return DecodeQuotedPrintableText(body_);
    return std::string(body_);
}

std::vector<std::string_view> SMimeEntity::Parts() const {
    std::vector<std::string_view> parts;
    std::string boundary;
    if (!IsMultipart() || !Param("boundary", boundary) || boundary.empty()) return parts;
    const std::string delimiter = "--" + boundary;
    std::size_t at = 0;
    std::size_t partStart = std::string_view::npos;
    while (at < body_.size()) {
        std::size_t next = 0;
        const std::string_view line = LineAt(body_, at, next);
        bool close = false;
        if (IsDelimiter(line, delimiter, close)) {
            if (partStart != std::string_view::npos) {
                // The line end before a delimiter belongs to the delimiter.
                std::size_t end = at;
                if (end > partStart && body_[end - 1] == '\n') --end;
                if (end > partStart && body_[end - 1] == '\r') --end;
                const std::string_view part = body_.substr(partStart, end - partStart);
                if (!Trim(part).empty()) parts.push_back(part);
            }
            if (close) return parts;
            partStart = next;
        }
        at = next;
    }
    // No close delimiter: what came is shown all the same.
    if (partStart != std::string_view::npos && partStart < body_.size()) {
        const std::string_view part = body_.substr(partStart);
        if (!Trim(part).empty()) parts.push_back(part);
    }
    return parts;
}
