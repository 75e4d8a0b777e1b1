#include "common/SHeaderMime.h"

#include <cstring>
#include <memory>
#include <vector>

#include "common/JString.h"
#include "common/JapaneseCodes.h"
#include "common/SHanZenKana.h"
#include "common/SHeaderMimeQuotedPrintable.h"
#include "common/SHeaderMimeToken.h"
#include "common/SMimeBase64.h"
#include "common/SHeaderField.h"
#include "common/SHeaderWords.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWithNoCase(const char* s, const char* prefix) {
    return jstrnaicmp(s, prefix, static_cast<int>(std::strlen(prefix))) == 0;
}

// Decodes one payload with the codec of its prefix; -1 when it cannot be decoded.
int DecodePayload(const std::string& payload, bool base64, unsigned char* dest) {
    if (base64) return SMimeBase64().DecodeBinary(payload.c_str(), dest, false);
    return SHeaderMimeQuotedPrintable().DecodeBinary(reinterpret_cast<const unsigned char*>(payload.c_str()), dest);
}

// Decodes every encoded word with `prefix`; blanks between adjacent words go.
bool DecodeWords(const char* src, char* dest, const char* prefix, bool base64) {
    const std::size_t prefixLength = std::strlen(prefix);
    char* out = dest;
    const char* rest = src;
    *out = '\0';
    while (const char* hit = stristr(rest, prefix)) {
        std::memcpy(out, rest, static_cast<std::size_t>(hit - rest));
        out += hit - rest;
        *out = '\0';
        const char* payload = hit + prefixLength;
        const char* end = std::strstr(payload, kMimeHeaderSuffix);
        if (!end) return false;
        if (end - payload >= kMaxEncodedWordLength + 1) return false;
        int n = DecodePayload(std::string(payload, end), base64, reinterpret_cast<unsigned char*>(out));
        if (n < 0) return false;
        out += n;
        *out = '\0';
        rest = end + 2;
        if (IsBlank(rest[0]) && IsBlank(rest[1])) ++rest;
        const char* next = rest;
        while (IsBlank(*next)) ++next;
        if (next != rest && StartsWithNoCase(next, prefix)) rest = next;
        if (!*rest) return true;
    }
    std::strcpy(out, rest);
    return true;
}

// A fold is CR LF and a blank. When the text that follows begins with a blank
// already, that blank is the fold's: adding another would put a second blank
// into the text when a reader unfolds it.
void AppendFold(std::string& out, const std::string& next) {
    out += IsBlank(next.empty() ? 'x' : next[0]) ? "\r\n" : kMimeHeaderFold;
}

// A fold before an encoded word: when the line already ends in the blank that
// separates the word from the text before it, the fold goes before that blank,
// which then starts the continuation line (no second blank is added).
void FoldBeforeWord(std::string& out) {
    if (!out.empty() && IsBlank(out.back())) {
        out.insert(out.size() - 1, "\r\n");
    } else {
        out += kMimeHeaderFold;
    }
}

bool IsUnstructured(const char* line) {
    return IsHeaderField(line, "Subject:") || IsHeaderField(line, "Comments:");
}

}  // namespace

const char* SHeaderMime::PMimeHeaderBQ(const char* line, const char* prefix) {
    const std::size_t prefixLength = std::strlen(prefix);
    const char* hit = stristr(line, prefix);
    if (!hit) return nullptr;
    // A later hit could only find the same or no "?=", so one search decides.
    const char* end = std::strstr(hit + prefixLength, kMimeHeaderSuffix);
    if (!end) return nullptr;
    if (end + 2 - hit > kMaxEncodedWordLength) return nullptr;
    for (const char* p = hit; p < end; ++p)
        if (*p == ' ') return nullptr;
    return hit;
}

const char* SHeaderMime::PMimeHeader(const char* line) {
    const char* b = PMimeHeaderBQ(line, kMimeHeaderBPrefix);
    const char* q = PMimeHeaderBQ(line, kMimeHeaderQPrefix);
    if (!b) return q;
    if (!q) return b;
    return b < q ? b : q;
}

bool SHeaderMime::IsMimeHeader(const char* line) const { return HasEncodedWord(line); }

bool SHeaderMime::HasEncodedWord(const char* line) { return ::HasEncodedWord(line); }

bool SHeaderMime::DecodeALineBody(const char* src, char* dest) {
    if (PMimeHeaderBQ(src, kMimeHeaderBPrefix)) return DecodeWords(src, dest, kMimeHeaderBPrefix, true);
    if (PMimeHeaderBQ(src, kMimeHeaderQPrefix)) return DecodeWords(src, dest, kMimeHeaderQPrefix, false);
    std::strcpy(dest, src);
    return true;
}

bool SHeaderMime::DecodeALine(const char* src, char* dest) {
    std::string copy(src);
    return DecodeALineBody(copy.c_str(), dest);
}

bool SHeaderMime::DecodeALine(char* line) { return DecodeALine(line, line); }

bool SHeaderMime::DecodeALineSjis(const char* src, char* dest) {
    const std::string decoded = DecodeHeaderSjis(src);
    // Never longer than the source: the caller's buffer has its size.
    const std::size_t room = std::strlen(src);
    const std::size_t n = decoded.size() <= room ? decoded.size()
                                                 : static_cast<std::size_t>(MaxSubStrLen(decoded.c_str(), static_cast<int>(room)));
    std::memmove(dest, decoded.data(), n);
    dest[n] = '\0';
    return true;
}

bool SHeaderMime::DecodeALineSjis(char* line) { return DecodeALineSjis(line, line); }

void SHeaderMime::EncodeB(const std::string& sjis, std::string& out) {
    out.clear();
    if (sjis.empty()) return;
    const unsigned char* src = reinterpret_cast<const unsigned char*>(sjis.c_str());
    std::vector<char> jis(static_cast<std::size_t>(LengthAsJis(src)) + 1);
    int jisLength = Sjis2Jis(jis.data(), src);
    std::vector<char> base64(static_cast<std::size_t>(jisLength + 2) / 3 * 4 + 1);
    SMimeBase64().EncodeBinary(reinterpret_cast<const unsigned char*>(jis.data()), base64.data(), jisLength);
    out = kMimeHeaderBPrefix;
    out += base64.data();
    out += kMimeHeaderSuffix;
}

int SHeaderMime::GetLastLineNum(const std::string& s) {
    std::size_t lf = s.rfind('\n');
    return static_cast<int>(lf == std::string::npos ? s.size() : s.size() - lf - 1);
}

int SHeaderMime::MaxEnableKanjiEncodedALineB(int column) { return (54 - column) / 4 * 3 - 7; }

int SHeaderMime::MaxSubStrLen(const char* s, int limit) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    int n = 0;
    while (u[n]) {
        int step = (IsKanji1(u[n]) && u[n + 1]) ? 2 : 1;
        if (n + step > limit) break;
        n += step;
    }
    return n;
}

int SHeaderMime::PosFolding(const std::string& s) {
    const int length = static_cast<int>(s.size());
    if (length <= kFoldColumn) return length;
    int start = 0;
    while (start < length && IsBlank(s[start])) ++start;
    int lastBefore = -1;
    for (int i = start; i <= kFoldColumn && i < length; ++i)
        if (IsBlank(s[i])) lastBefore = i;
    if (lastBefore > 0) return lastBefore;
    for (int i = std::max(start, kFoldColumn + 1); i < length; ++i)
        if (IsBlank(s[i])) return i;
    return length;
}

void SHeaderMime::UnFolding(std::string& s) {
    if (s.find('\r') == std::string::npos) return;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t lf = s.find('\n', start);
        std::size_t stop = lf == std::string::npos ? s.size() : lf + 1;
        lines.push_back(s.substr(start, stop - start));
        start = stop;
    }
    std::string result;
    std::string pending = lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        std::string rewritten = " " + (IsBlank(line[0]) ? line.substr(1) : line);
        if (static_cast<int>(pending.size()) - 2 + static_cast<int>(rewritten.size()) >= kFoldColumn) {
            result += pending;
            pending = rewritten;
        } else {
            if (pending.size() >= 2 && pending.compare(pending.size() - 2, 2, "\r\n") == 0) pending.resize(pending.size() - 2);
            pending += rewritten;
        }
    }
    result += pending;
    s.swap(result);
}

bool SHeaderMime::EncodeALine(const char* sjisLine, std::string& out) {
    std::size_t length = std::strlen(sjisLine);
    std::vector<char> wide(2 * length + 2);
    SHanZenKana().Han2Zen(sjisLine, wide.data(), static_cast<int>(wide.size()));
    return EncodeALineB(wide.data(), out);
}

bool SHeaderMime::EncodeALineB(const char* sjisLine, std::string& out) {
    std::unique_ptr<SHeaderMimeToken> tokens;
    if (IsUnstructured(sjisLine))
        tokens = std::make_unique<SHeaderMimeToken>(sjisLine);
    else
        tokens = std::make_unique<SHeaderMimeTokenStructured>(sjisLine);
    auto endsInDelimiter = [&] { return !out.empty() && tokens->IsDelimiter(static_cast<unsigned char>(out.back())); };

    out.clear();
    bool result = true;
    std::string token, word;
    while (tokens->GetToken(token)) {
        if (!tokens->NeedsEncoding()) {
            while (!token.empty()) {
                std::size_t p = static_cast<std::size_t>(PosFolding(token));
                if (p >= token.size()) {
                    out += token;
                    break;
                }
                out.append(token, 0, p);
                token.erase(0, p);
                AppendFold(out, token);
            }
            continue;
        }
        while (true) {
            int column = GetLastLineNum(out);
            int n = MaxSubStrLen(token.c_str(), MaxEnableKanjiEncodedALineB(column));
            if (static_cast<std::size_t>(n) >= token.size()) {
                if (!out.empty() && !endsInDelimiter()) out += ' ';
                EncodeB(token, word);
                out += word;
                std::string next;
                if (!tokens->GetToken(next)) break;
                int after = GetLastLineNum(out);
                bool plain = !tokens->NeedsEncoding();
                bool stays = (plain && after + static_cast<int>(next.size()) <= kFoldColumn) ||
                             (next.size() == 1 && after + 1 <= 75);
                if (stays) {
                    if (!tokens->IsDelimiter(static_cast<unsigned char>(next[0]))) out += ' ';
                    out += next;
                } else {
                    tokens->PushBack(next);
                    AppendFold(out, plain ? next : std::string());
                }
                break;
            }
            if (n < 1) {
                if (column < 2) {
                    result = false;
                    break;
                }
                FoldBeforeWord(out);
                continue;
            }
            if (!out.empty() && !endsInDelimiter()) out += ' ';
            EncodeB(token.substr(0, static_cast<std::size_t>(n)), word);
            out += word;
            out += kMimeHeaderFold;
            token.erase(0, static_cast<std::size_t>(n));
        }
        if (!result) break;
    }
    UnFolding(out);
    return result;
}
