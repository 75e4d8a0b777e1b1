#include "outside/pgpmsg/PgpMsgMail.h"

#include <strings.h>

#include <cstring>

namespace pgpmsg {

namespace {

bool StartsNoCase(const std::string& text, std::size_t pos, const char* prefix) {
    const std::size_t n = std::strlen(prefix);
    return text.size() - pos >= n && strncasecmp(text.data() + pos, prefix, n) == 0;
}

// The end of the line at `pos` (past its LF), or the end of the text.
std::size_t LineEnd(const std::string& text, std::size_t pos) {
    const std::size_t lf = text.find('\n', pos);
    return lf == std::string::npos ? text.size() : lf + 1;
}

// The line at `pos` without its line end.
std::string LineAt(const std::string& text, std::size_t pos) {
    std::size_t end = LineEnd(text, pos);
    if (end > pos && text[end - 1] == '\n') --end;
    if (end > pos && text[end - 1] == '\r') --end;
    return text.substr(pos, end - pos);
}

bool IsEmptyLine(const std::string& text, std::size_t pos) {
    return pos < text.size() && (text[pos] == '\n' || (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n'));
}

// The header of `text` from `pos`: the offset of the empty line that ends it
// (the end of the text when there is none), and of the first body byte.
void HeaderBounds(const std::string& text, std::size_t pos, std::size_t& headerEnd, std::size_t& bodyStart) {
    while (pos < text.size() && !IsEmptyLine(text, pos)) pos = LineEnd(text, pos);
    headerEnd = pos;
    bodyStart = pos < text.size() ? LineEnd(text, pos) : pos;
}

// The parameter `name` of a Content-Type value (quoted or not).
std::string Parameter(const std::string& value, const char* name) {
    const std::size_t n = std::strlen(name);
    for (std::size_t semi = value.find(';'); semi != std::string::npos; semi = value.find(';', semi + 1)) {
        std::size_t p = semi + 1;
        while (p < value.size() && (value[p] == ' ' || value[p] == '\t')) ++p;
        if (!StartsNoCase(value, p, name) || p + n >= value.size() || value[p + n] != '=') continue;
        p += n + 1;
        if (p < value.size() && value[p] == '"') {
            const std::size_t close = value.find('"', p + 1);
            return value.substr(p + 1, close == std::string::npos ? std::string::npos : close - p - 1);
        }
        std::size_t e = p;
        while (e < value.size() && value[e] != ';' && value[e] != ' ' && value[e] != '\t') ++e;
        return value.substr(p, e - p);
    }
    return {};
}

// The unfolded value of field `name` in the header [pos, headerEnd).
std::string FieldIn(const std::string& text, std::size_t pos, std::size_t headerEnd, const std::string& name) {
    while (pos < headerEnd) {
        const std::size_t next = LineEnd(text, pos);
        if (StartsNoCase(text, pos, name.c_str()) && text.size() > pos + name.size() && text[pos + name.size()] == ':') {
            std::string value = LineAt(text, pos).substr(name.size() + 1);
            for (std::size_t p = next; p < headerEnd && (text[p] == ' ' || text[p] == '\t'); p = LineEnd(text, p))
                value += LineAt(text, p);
            const std::size_t first = value.find_first_not_of(" \t");
            return first == std::string::npos ? std::string() : value.substr(first);
        }
        pos = next;
    }
    return {};
}

}  // namespace

Mail::Mail(std::string raw) : raw_(std::move(raw)) {
    const std::size_t lf = raw_.find('\n');
    if (lf != std::string::npos && lf > 0 && raw_[lf - 1] == '\r') eol_ = "\r\n";
    HeaderBounds(raw_, 0, headerEnd_, bodyStart_);
    const std::string type = Field("Content-Type");
    if (strncasecmp(type.c_str(), "multipart/", 10) == 0) boundary_ = Parameter(type, "boundary");
    FindEntities();
}

std::string Mail::Field(const std::string& name) const { return FieldIn(raw_, 0, headerEnd_, name); }

std::string Mail::HeaderWithoutContent(bool dropVersion) const {
    std::string out;
    bool dropping = false;
    for (std::size_t pos = 0; pos < headerEnd_;) {
        const std::size_t next = LineEnd(raw_, pos);
        if (raw_[pos] != ' ' && raw_[pos] != '\t')
            dropping = StartsNoCase(raw_, pos, "Content-") || (dropVersion && StartsNoCase(raw_, pos, "MIME-Version:"));
        if (!dropping) out.append(raw_, pos, next - pos);
        pos = next;
    }
    return out;
}

void Mail::FindEntities() {
    if (boundary_.empty()) {
        Entity whole;
        whole.begin = headerEnd_;
        whole.end = raw_.size();
        std::string fields;
        bool taking = false;
        for (std::size_t pos = 0; pos < headerEnd_;) {
            const std::size_t next = LineEnd(raw_, pos);
            if (raw_[pos] != ' ' && raw_[pos] != '\t') taking = StartsNoCase(raw_, pos, "Content-");
            if (taking) fields.append(raw_, pos, next - pos);
            pos = next;
        }
        whole.text = fields + eol_ + raw_.substr(bodyStart_);
        const std::string type = Field("Content-Type");
        whole.description = type.empty() ? "text/plain" : type;
        entities_.push_back(std::move(whole));
        return;
    }
    // Parts lie between the delimiter lines "--boundary" up to "--boundary--".
    const std::string delimiter = "--" + boundary_;
    std::size_t partStart = std::string::npos;
    for (std::size_t pos = bodyStart_; pos < raw_.size(); pos = LineEnd(raw_, pos)) {
        if (raw_.compare(pos, delimiter.size(), delimiter) != 0) continue;
        const std::string line = LineAt(raw_, pos);
        const bool closing = line.compare(delimiter.size(), 2, "--") == 0;
        if (line.find_first_not_of(" \t", delimiter.size() + (closing ? 2 : 0)) != std::string::npos) continue;
        if (partStart != std::string::npos) {
            // The line end before the delimiter belongs to the delimiter.
            std::size_t end = pos;
            if (end > partStart && raw_[end - 1] == '\n') --end;
            if (end > partStart && raw_[end - 1] == '\r') --end;
            Entity part;
            part.begin = partStart;
            part.end = end;
            part.text = raw_.substr(partStart, end - partStart);
            std::size_t he, bs;
            HeaderBounds(part.text, 0, he, bs);
            const std::string type = FieldIn(part.text, 0, he, "Content-Type");
            part.description = type.empty() ? "text/plain" : type;
            entities_.push_back(std::move(part));
        }
        if (closing) break;
        partStart = LineEnd(raw_, pos);
    }
}

std::string Mail::Replace(std::size_t index, const std::string& replacement) const {
    const Entity& e = entities_.at(index);
    if (boundary_.empty()) return HeaderWithoutContent(false) + replacement;
    return raw_.substr(0, e.begin) + replacement + raw_.substr(e.end);
}

std::string Mail::AddAfter(std::size_t index, const std::string& entity, const std::string& boundary) const {
    if (boundary_.empty()) {
        std::string out = HeaderWithoutContent(true);
        out += "MIME-Version: 1.0" + eol_;
        out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"" + eol_ + eol_;
        out += "--" + boundary + eol_ + entities_.at(0).text + eol_;
        out += "--" + boundary + eol_ + entity + eol_;
        out += "--" + boundary + "--" + eol_;
        return out;
    }
    const Entity& e = entities_.at(index);
    return raw_.substr(0, e.end) + eol_ + "--" + boundary_ + eol_ + entity + raw_.substr(e.end);
}

std::vector<std::string> Addresses(const std::string& field) {
    std::vector<std::string> out;
    std::size_t start = 0;
    bool quoted = false;
    int angle = 0, paren = 0;
    for (std::size_t i = 0; i <= field.size(); ++i) {
        const char c = i < field.size() ? field[i] : ',';
        if (c == '"' && paren == 0) quoted = !quoted;
        else if (quoted) continue;
        else if (c == '(') ++paren;
        else if (c == ')' && paren > 0) --paren;
        else if (c == '<' && paren == 0) ++angle;
        else if (c == '>' && angle > 0) --angle;
        if (c != ',' || quoted || angle || paren) continue;
        const std::string item = field.substr(start, i - start);
        start = i + 1;
        const std::size_t open = item.find('<');
        std::string address;
        if (open != std::string::npos) {
            const std::size_t close = item.find('>', open);
            address = item.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        } else {
            // The word that holds the at sign; comments in parentheses are not addresses.
            std::string bare;
            int depth = 0;
            for (char ch : item) {
                if (ch == '(') ++depth;
                else if (ch == ')' && depth > 0) --depth;
                else if (depth == 0) bare += ch;
            }
            const std::size_t at = bare.find('@');
            if (at == std::string::npos) continue;
            std::size_t b = bare.find_last_of(" \t", at);
            b = b == std::string::npos ? 0 : b + 1;
            const std::size_t e = bare.find_first_of(" \t", at);
            address = bare.substr(b, e == std::string::npos ? std::string::npos : e - b);
        }
        const std::size_t first = address.find_first_not_of(" \t");
        const std::size_t last = address.find_last_not_of(" \t");
        if (first != std::string::npos && address.find('@') != std::string::npos)
            out.push_back(address.substr(first, last - first + 1));
    }
    return out;
}

std::string WithLineEnds(const std::string& text, const std::string& eol) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n') out += eol;
        else out += text[i];
    }
    return out;
}

bool FindArmour(const std::string& text, const char* kind, std::size_t& begin, std::size_t& end) {
    const std::string open = std::string("-----BEGIN PGP ") + kind + "-----";
    const std::string close = std::strcmp(kind, "SIGNED MESSAGE") == 0 ? "-----END PGP SIGNATURE-----"
                                                                       : std::string("-----END PGP ") + kind + "-----";
    for (std::size_t pos = 0; pos < text.size(); pos = LineEnd(text, pos)) {
        if (!StartsNoCase(text, pos, open.c_str())) continue;
        for (std::size_t p = LineEnd(text, pos); p < text.size(); p = LineEnd(text, p)) {
            if (!StartsNoCase(text, p, close.c_str())) continue;
            begin = pos;
            end = LineEnd(text, p);
            return true;
        }
        return false;
    }
    return false;
}

bool LooksLikeEntity(const std::string& text) {
    if (!StartsNoCase(text, 0, "Content-")) return false;
    std::size_t headerEnd, bodyStart;
    HeaderBounds(text, 0, headerEnd, bodyStart);
    return headerEnd < text.size();
}

}  // namespace pgpmsg
