#include "common/TextTools.h"
#include "common/SHeaderWords.h"

#include <cctype>
#include <utility>
#include <vector>

#include "common/JString.h"
#include "common/JapaneseCodes.h"
#include "common/SCharsetText.h"
#include "common/SMimeBase64.h"
#include "platform/CodePage.h"

namespace {

// A longer word is not taken for one (as the older decoder did).
constexpr std::size_t kMaxWord = 32766;

struct Segment {
    bool encoded = false;
    std::string charset;  // of an encoded segment, without a language part
    std::string bytes;
};


bool DecodeQ(std::string_view payload, std::string& out) {
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const char c = payload[i];
        if (c == '_') {
            out += ' ';
        } else if (c == '=' && i + 2 < payload.size() && HexDigitValue(payload[i + 1]) >= 0 &&
                   HexDigitValue(payload[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(payload[i + 1]) * 16 + HexDigitValue(payload[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return true;
}

bool DecodeB(std::string_view payload, std::string& out) {
    std::string padded(payload);
    while (!padded.empty() && padded.back() == '=') padded.pop_back();
    if (padded.size() % 4 == 1) return false;
    while (padded.size() % 4 != 0) padded += '=';
    // Decoded straight into the result, one buffer fewer per word.
    out.resize(padded.size() / 4 * 3 + 1);
    const int n = SMimeBase64::DecodeBinary(padded.c_str(), reinterpret_cast<unsigned char*>(out.data()), false);
    if (n < 0) {
        out.clear();
        return false;
    }
    out.resize(static_cast<std::size_t>(n));
    return true;
}

// Finds encoded words in one pass: the positions of the next "?=" and of the
// next blank are kept, so a hostile line of many openings without a close
// costs no more than reading it once.
class WordScanner {
public:
    // `decode` false: only where the words are (their bytes stay empty).
    explicit WordScanner(std::string_view raw, bool decode = true) : raw_(raw), decode_(decode) {}

    // The first encoded word at or after `from`: its start and end, its
    // charset and decoded bytes; false when there is none.
    bool Next(std::size_t from, std::size_t& at, std::size_t& end, std::string& charset, std::string& bytes) {
        for (at = raw_.find("=?", from); at != std::string_view::npos; at = raw_.find("=?", at + 2))
            if (Parse(at, end, charset, bytes)) return true;
        return false;
    }

private:
    std::size_t CloseAfter(std::size_t p) {
        if (close_ == std::string_view::npos) return close_;
        if (close_ < p || !closeKnown_) {
            close_ = raw_.find("?=", p);
            closeKnown_ = true;
        }
        return close_;
    }
    std::size_t BlankAfter(std::size_t p) {
        if (blank_ == std::string_view::npos) return blank_;
        if (blank_ < p || !blankKnown_) {
            // By hand: find_first_of looks each byte up in the set with a call.
            blank_ = std::string_view::npos;
            for (std::size_t i = p; i < raw_.size(); ++i) {
                const char c = raw_[i];
                if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                    blank_ = i;
                    break;
                }
            }
            blankKnown_ = true;
        }
        return blank_;
    }

    bool Parse(std::size_t at, std::size_t& end, std::string& charset, std::string& bytes) {
        std::size_t q1 = at + 2;
        while (q1 < raw_.size() && q1 - at < 80 && raw_[q1] != '?') ++q1;
        if (q1 >= raw_.size() || raw_[q1] != '?' || q1 == at + 2 || q1 + 3 > raw_.size() || raw_[q1 + 2] != '?')
            return false;
        const char form = static_cast<char>(std::toupper(static_cast<unsigned char>(raw_[q1 + 1])));
        if (form != 'B' && form != 'Q') return false;
        const std::size_t close = CloseAfter(q1 + 3);
        if (close == std::string_view::npos || close + 2 - at > kMaxWord) return false;
        if (BlankAfter(q1 + 3) < close) return false;
        charset.assign(raw_.substr(at + 2, q1 - at - 2));
        for (char c : charset)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '*' && c != '.' &&
                c != ':')
                return false;
        // RFC 2231 lets a language follow the charset ("utf-8*ja").
        if (const std::size_t star = charset.find('*'); star != std::string::npos) charset.resize(star);
        const std::string_view payload = raw_.substr(q1 + 3, close - q1 - 3);
        bytes.clear();
        if (decode_ && !(form == 'B' ? DecodeB(payload, bytes) : DecodeQ(payload, bytes))) return false;
        if (!decode_ && form == 'B' && payload.size() % 4 == 1) return false;
        end = close + 2;
        return true;
    }

    std::string_view raw_;
    bool decode_;
    std::size_t close_ = 0, blank_ = 0;
    bool closeKnown_ = false, blankKnown_ = false;
};

bool IsBlankText(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

// Two blanks after an encoded word stand for one: that is how the encoder
// folds before plain text.
std::string_view AfterWord(const std::vector<Segment>& segments, std::string_view text) {
    if (!segments.empty() && segments.back().encoded && text.size() >= 2 && (text[0] == ' ' || text[0] == '\t') &&
        (text[1] == ' ' || text[1] == '\t'))
        text.remove_prefix(1);
    return text;
}

std::vector<Segment> Split(std::string_view raw) {
    std::vector<Segment> segments;
    WordScanner scanner(raw);
    std::size_t pos = 0;
    while (pos < raw.size()) {
        std::size_t at = 0, end = 0;
        std::string charset, bytes;
        if (!scanner.Next(pos, at, end, charset, bytes)) {
            segments.push_back({false, std::string(), std::string(AfterWord(segments, raw.substr(pos)))});
            break;
        }
        std::string_view between = raw.substr(pos, at - pos);
        const bool afterWord = !segments.empty() && segments.back().encoded;
        between = AfterWord(segments, between);
        // Blanks between two encoded words are not part of the text.
        if (!between.empty() && !(afterWord && IsBlankText(between)))
            segments.push_back({false, std::string(), std::string(between)});
        const bool joins = !segments.empty() && segments.back().encoded &&
                           jstraicmp(segments.back().charset.c_str(), charset.c_str()) == 0;
        // One character may be split between two words: their bytes go together.
        if (joins) segments.back().bytes += bytes;
        else segments.push_back({true, std::move(charset), std::move(bytes)});
        pos = end;
    }
    return segments;
}

// Raw header bytes: UTF-8 when they clearly are, else the stored Shift_JIS.
bool LooksUtf8(std::string_view bytes) {
    bool wide = false;
    for (char c : bytes) wide = wide || static_cast<unsigned char>(c) >= 0xE0;
    return wide && platform::IsValidUtf8(bytes);
}

std::string RawToUtf8(std::string_view bytes) {
    if (LooksUtf8(bytes)) return std::string(bytes);
    return TextToUtf8("iso-2022-jp", bytes);
}

std::string RawToSjis(std::string_view bytes) {
    if (LooksUtf8(bytes)) return platform::Utf8ToCp932Lossy(bytes);
    // What the store keeps is Shift_JIS already (JIS is turned as it arrives).
    std::vector<char> sjis(bytes.size() + 1);
    const int n = Jis2SjisBytes(sjis.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                static_cast<int>(bytes.size()));
    return std::string(sjis.data(), static_cast<std::size_t>(n));
}

}  // namespace

bool HasEncodedWord(std::string_view raw) {
    WordScanner scanner(raw, false);
    std::size_t at = 0, end = 0;
    std::string charset, bytes;
    return scanner.Next(0, at, end, charset, bytes);
}

std::string DecodeHeaderUtf8(std::string_view raw) {
    std::string out;
    for (const Segment& s : Split(raw)) out += s.encoded ? TextToUtf8(s.charset, s.bytes) : RawToUtf8(s.bytes);
    return out;
}

std::string DecodeHeaderSjis(std::string_view raw) {
    std::string out;
    for (const Segment& s : Split(raw)) out += s.encoded ? TextToSjis(s.charset, s.bytes) : RawToSjis(s.bytes);
    return out;
}
