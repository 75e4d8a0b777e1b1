#include "common/SQuotedStr.h"

#include <cstring>

#include "common/JString.h"
#include "common/MbChar.h"
#include "common/SEscapeString.h"

bool SQuotedStr::Token(std::string& out, const char* open, const char* close, bool ignoreCase) {
    auto search = [ignoreCase](const char* text, const char* pattern) {
        return ignoreCase ? stristr(text, pattern) : jstrstr(text, pattern);
    };
    const char* text = text_.c_str();
    const char* o = (open && close) ? search(text, open) : nullptr;
    const char* c = o ? search(o + std::strlen(open), close) : nullptr;
    if (!c) {
        start_ = end_ = -1;
        out.clear();
        return false;
    }
    start_ = static_cast<int>(o + std::strlen(open) - text);
    end_ = static_cast<int>(c - text);
    out.assign(text + start_, text + end_);
    return true;
}

const char* SQuotedEscStr::StrChrEsc(const char* text, char c, char escape) const {
    return StrChrEscape(text, c, escape, MultiByte());
}

bool SQuotedEscStr::Found(const char* open, const char* close) {
    if (!open || !close) {
        start_ = end_ = -1;
        return false;
    }
    start_ = static_cast<int>(open + 1 - text_.c_str());
    end_ = static_cast<int>(close - text_.c_str());
    return true;
}

bool SQuotedEscStr::Find(char open, char close, char escape) {
    const char* o = StrChrEsc(text_.c_str(), open, escape);
    return Found(o, o ? StrChrEsc(o + 1, close, escape) : nullptr);
}

bool SQuotedEscStr::FindOutSide(char open, char close, char escape) {
    if (open == close) return Find(open, close, escape);
    const char* o = StrChrEsc(text_.c_str(), open, escape);
    if (!o) return Found(nullptr, nullptr);
    // One pass after the opening character; it is unescaped, so the escape
    // state starts clean there.
    const bool multiByte = MultiByte();
    int depth = 0;
    for (const char* p = o + 1; *p;) {
        std::size_t len = multiByte ? MbCharLen(p) : 1;
        if (len == 1 && *p == escape) {
            if (!*++p) break;
            len = multiByte ? MbCharLen(p) : 1;
        } else if (len == 1 && *p == open) {
            ++depth;
        } else if (len == 1 && *p == close && depth-- == 0) {
            return Found(o, p);
        }
        p += len;
    }
    return Found(nullptr, nullptr);
}

int SQuotedEscStr::FindFirst(unsigned from, char a, char b, char escape, char* which) const {
    // Scanned from the start, so that an escape before `from` still counts.
    const char* text = text_.c_str();
    const char* p = text;
    const bool multiByte = MultiByte();
    while (*p) {
        std::size_t len = multiByte ? MbCharLen(p) : 1;
        if (len == 1 && (*p == a || *p == b) && static_cast<unsigned>(p - text) >= from) {
            if (which) *which = *p;
            return static_cast<int>(p - text);
        }
        if (len == 1 && *p == escape) {
            if (!*++p) break;
            len = multiByte ? MbCharLen(p) : 1;
        }
        p += len;
    }
    return -1;
}

bool SQuotedEscStr::TakeToken(std::string& out, bool found) {
    if (found) {
        out.assign(text_, static_cast<std::size_t>(start_), static_cast<std::size_t>(end_ - start_));
    } else {
        out.clear();
    }
    return found;
}

bool SQuotedEscStr::Token(std::string& out, char open, char close, char escape) {
    return TakeToken(out, Find(open, close, escape));
}

bool SQuotedEscStr::TokenOutSide(std::string& out, char open, char close, char escape) {
    return TakeToken(out, FindOutSide(open, close, escape));
}
