// Japanese header fields on the wire: RFC 2047 encoded words. Encoding turns
// one Shift_JIS header line into a folded line of base64 words in
// ISO-2022-JP; decoding to Shift_JIS takes words of any charset. DecodeALine
// keeps the ISO-2022-JP payload as it is, for the callers that want JIS.
#pragma once

#include <string>

constexpr char kMimeHeaderBPrefix[] = "=?ISO-2022-JP?B?";
constexpr char kMimeHeaderQPrefix[] = "=?ISO-2022-JP?Q?";
constexpr char kMimeHeaderSuffix[] = "?=";
constexpr char kMimeHeaderFold[] = "\r\n ";
// Longest encoded word (prefix to the end of "?=") that is decoded at all.
constexpr int kMaxEncodedWordLength = 32766;
// Columns of a header line: plain text folds here, and so do encoded words.
constexpr int kFoldColumn = 72;

class SHeaderMime {
public:
    virtual ~SHeaderMime() = default;

    // Whether the line holds an encoded word (B or Q form, any charset).
    virtual bool IsMimeHeader(const char* line) const;
    static bool HasEncodedWord(const char* line);

    // The first valid encoded word with `prefix`, or null. A word longer than
    // kMaxEncodedWordLength, or one holding a space, makes the whole line count
    // as not encoded.
    static const char* PMimeHeaderBQ(const char* line, const char* prefix);
    // The earlier of the first B word and the first Q word.
    static const char* PMimeHeader(const char* line);

    // Decodes every B word (or, when there is none, every Q word); the payload
    // stays ISO-2022-JP. `dest` needs the length of `src` plus one. False when
    // a word is malformed; `dest` then holds what was decoded so far.
    static bool DecodeALineBody(const char* src, char* dest);
    static bool DecodeALine(const char* src, char* dest);
    static bool DecodeALine(char* line);
    // Every encoded word of any charset decoded to Shift_JIS (see
    // common/SHeaderWords.h); what has no Shift_JIS form becomes 〓.
    static bool DecodeALineSjis(const char* src, char* dest);
    static bool DecodeALineSjis(char* line);

    // The whole field (name and colon included) to its folded encoded form,
    // without a final CR LF. Half-width katakana is widened first.
    static bool EncodeALine(const char* sjisLine, std::string& out);
    static bool EncodeALineB(const char* sjisLine, std::string& out);
    // One encoded word for the Shift_JIS text (empty for empty text).
    static void EncodeB(const std::string& sjis, std::string& out);

    // Characters after the last LF (the whole length when there is none).
    static int GetLastLineNum(const std::string& s);
    // Most Shift_JIS bytes one encoded word may carry when it starts at `column`.
    static int MaxEnableKanjiEncodedALineB(int column);
    // Longest prefix of at most `limit` bytes that splits no double-byte character.
    static int MaxSubStrLen(const char* s, int limit);
    // Where a plain stretch is folded.
    static int PosFolding(const std::string& s);
    // Re-joins fold lines that fit within the fold column.
    static void UnFolding(std::string& s);
};
