#include "common/SStrTok.h"

#include "common/MbChar.h"

char* SStrTok::Cut(const char* delimiters, bool quotes) {
    if (!pos_) return nullptr;
    if (!delimiters) delimiters = "";
    char* p = pos_;
    std::size_t len;
    while ((len = MbCharLen(p)) != 0 && MbCharInSet(p, len, delimiters)) p += len;
    if (!*p) {
        pos_ = p;
        return nullptr;
    }
    char* token = p;
    bool quoted = false;
    while ((len = MbCharLen(p)) != 0) {
        if (quotes && *p == '"') {
            quoted = !quoted;
        } else if (!quoted && MbCharInSet(p, len, delimiters)) {
            *p = '\0';
            pos_ = p + len;
            return token;
        }
        p += len;
    }
    pos_ = p;
    return token;
}

char* SStrTok::Token(const char* delimiters) { return Cut(delimiters, false); }

char* SStrTok::TokenQuote(const char* delimiters) { return Cut(delimiters, true); }

void SConstStrTok::SetStr(const char* text) {
    copy_.assign(text ? text : "");
    Reset(copy_.data());
}
