#include "common/SHtmlText.h"

#include <cctype>
#include <cstdlib>

namespace {

std::string Lower(std::string_view s) {
    std::string out;
    for (char c : s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

void AppendUtf8(std::string& out, unsigned long cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The entity at `at` ("&...;"): appended to `out`; returns the length read, 0
// when it is not one (the "&" then stays).
std::size_t Entity(std::string_view html, std::size_t at, std::string& out) {
    const std::size_t semi = html.find(';', at);
    if (semi == std::string_view::npos || semi - at > 12 || semi == at + 1) return 0;
    const std::string_view name = html.substr(at + 1, semi - at - 1);
    if (name[0] == '#') {
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const std::string digits(name.substr(hex ? 2 : 1));
        if (digits.empty()) return 0;
        char* end = nullptr;
        const unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        if (*end) return 0;
        AppendUtf8(out, cp);
        return semi - at + 1;
    }
    static const std::pair<const char*, unsigned long> kNamed[] = {
        {"amp", '&'},     {"lt", '<'},      {"gt", '>'},     {"quot", '"'},   {"apos", '\''},
        {"nbsp", 0xA0},   {"copy", 0xA9},   {"reg", 0xAE},   {"yen", 0xA5},   {"hellip", 0x2026},
        {"mdash", 0x2014}, {"ndash", 0x2013}, {"laquo", 0xAB}, {"raquo", 0xBB}, {"times", 0xD7},
        {"middot", 0xB7}, {"trade", 0x2122}, {"euro", 0x20AC}, {"rsquo", 0x2019}, {"lsquo", 0x2018},
        {"rdquo", 0x201D}, {"ldquo", 0x201C}, {"bull", 0x2022},
    };
    for (const auto& [n, cp] : kNamed) {
        if (name != n) continue;
        // A no-break space reads as a blank.
        AppendUtf8(out, cp == 0xA0 ? ' ' : cp);
        return semi - at + 1;
    }
    return 0;
}

std::string AttributeValue(std::string_view tag, const char* attribute) {
    const std::string lower = Lower(tag);
    std::size_t at = lower.find(attribute);
    while (at != std::string::npos) {
        std::size_t p = at + std::char_traits<char>::length(attribute);
        while (p < tag.size() && tag[p] == ' ') ++p;
        if (p < tag.size() && tag[p] == '=' && (at == 0 || !std::isalnum(static_cast<unsigned char>(lower[at - 1])))) {
            ++p;
            while (p < tag.size() && tag[p] == ' ') ++p;
            const char quote = p < tag.size() && (tag[p] == '"' || tag[p] == '\'') ? tag[p] : 0;
            if (quote) ++p;
            std::size_t end = p;
            while (end < tag.size() && (quote ? tag[end] != quote : !std::isspace(static_cast<unsigned char>(tag[end]))))
                ++end;
            return std::string(tag.substr(p, end - p));
        }
        at = lower.find(attribute, at + 1);
    }
    return std::string();
}

bool EndsBlock(const std::string& name) {
    static const char* kBlocks[] = {"br", "p", "/p", "div", "/div", "tr", "/tr", "li", "/li", "/h1", "/h2", "/h3",
                                    "/h4", "/h5", "/h6", "h1", "h2", "h3", "h4", "h5", "h6", "/table", "hr",
                                    "blockquote", "/blockquote", "/ul", "/ol", "pre", "/pre", "/title"};
    for (const char* b : kBlocks)
        if (name == b) return true;
    return false;
}

}  // namespace

std::string HtmlToText(std::string_view html) {
    std::string out;
    std::string link;  // the address of the open <a>
    bool blank = false;  // a blank is pending between words
    bool pre = false;
    std::size_t i = 0;
    auto newline = [&] {
        // At most one empty line in a row.
        if (out.size() >= 2 && out[out.size() - 1] == '\n' && out[out.size() - 2] == '\n') return;
        if (!out.empty()) out += '\n';
        blank = false;
    };
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            if (html.substr(i, 4) == "<!--") {
                const std::size_t end = html.find("-->", i + 4);
                i = end == std::string_view::npos ? html.size() : end + 3;
                continue;
            }
            const std::size_t close = html.find('>', i);
            if (close == std::string_view::npos) break;
            const std::string_view tag = html.substr(i + 1, close - i - 1);
            std::size_t nameEnd = 0;
            while (nameEnd < tag.size() && !std::isspace(static_cast<unsigned char>(tag[nameEnd])) && tag[nameEnd] != '>')
                ++nameEnd;
            std::string name = Lower(tag.substr(0, nameEnd));
            if (!name.empty() && name.back() == '/') name.pop_back();
            i = close + 1;
            if (name == "script" || name == "style" || name == "head" || name == "title") {
                // Their content is not text a reader sees (a title is the window's).
                const std::string endTag = "</" + name;
                const std::size_t end = Lower(html.substr(i)).find(endTag);
                i = end == std::string::npos ? html.size() : i + end;
                continue;
            }
            if (name == "pre") pre = true;
            if (name == "/pre") pre = false;
            if (name == "a") link = AttributeValue(tag, "href");
            if (name == "/a") {
                if (!link.empty() && link.rfind("#", 0) != 0) {
                    out += " <";
                    out += link;
                    out += '>';
                }
                link.clear();
            }
            if (name == "img") {
                const std::string alt = AttributeValue(tag, "alt");
                if (!alt.empty()) out += alt;
            }
            if (EndsBlock(name)) newline();
            else if (name == "td" || name == "th") blank = true;
            continue;
        }
        if (c == '&') {
            std::string decoded;
            if (const std::size_t n = Entity(html, i, decoded)) {
                if (blank && !out.empty() && out.back() != '\n') out += ' ';
                blank = false;
                out += decoded;
                i += n;
                continue;
            }
        }
        if (!pre && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            blank = true;
            ++i;
            continue;
        }
        if (pre && c == '\r') {
            ++i;
            continue;
        }
        if (blank && !out.empty() && out.back() != '\n') out += ' ';
        blank = false;
        out += c;
        ++i;
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    if (!out.empty()) out += '\n';
    return out;
}
