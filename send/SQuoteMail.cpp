#include "send/SQuoteMail.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/JapaneseCodes.h"
#include "common/SAnalizeMimeMail.h"
#include "common/SMimeLineReader.h"
#include "common/STransferDecode.h"

namespace {

// A piece this long goes to the reader at once; a longer line follows in pieces.
constexpr std::size_t kPiece = 4096;

bool IsReceived(const char* field) { return strncasecmp(field, "Received:", 9) == 0; }

bool IsQuotedText(const SMimePart& part) {
    return part.type == kMimeTypeAbsent ||
           (part.type == kMimeTypeText && (part.subtype == kMimeSubtypePlain || part.subtype == kMimeSubtypeAbsent));
}

bool ReadRange(FILE* file, long start, long end, std::string& bytes) {
    if (!file || start < 0 || end < start || std::fseek(file, start, SEEK_SET) != 0) return false;
    bytes.resize(static_cast<std::size_t>(end - start));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    return true;
}

}  // namespace

bool SInsertMailFilePrefixDecode::Action(const char* field) {
    if (!*field) return true;
    if (!prefix_.empty()) target_.InsertAtCaret(prefix_.c_str());
    target_.InsertAtCaret(field);
    return true;
}

bool SInsertMailFilePrefixDecode::ActionBody(const char* line) { return SInsertMailFilePrefixDecode::Action(line); }

bool SForwardMailDecode::Action(const char* field) {
    if (*field && !IsReceived(field)) target_.InsertAtCaret(field);
    return true;
}

bool SForwardMailDecode::ActionBody(const char* line) {
    target_.InsertAtCaret(line);
    return true;
}

bool FeedMailFile(const char* path, SMHUnfoldDecodeMail& reader) {
    FILE* file = OpenMessageFile(path);
    if (!file) return false;
    reader.Init();
    std::string piece;
    bool ok = true;
    for (int c; ok && (c = getc_unlocked(file)) != EOF;) {
        // A NUL would end the text early: mail is text here.
        if (c != '\0') piece += static_cast<char>(c);
        if (c == '\n' || piece.size() >= kPiece) {
            ok = reader.Execute(piece.c_str());
            piece.clear();
        }
    }
    if (ok && !piece.empty()) ok = reader.Execute(piece.c_str());
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    // A message without a body still has its last field to give.
    if (ok && reader.InHeader()) ok = reader.Finish();
    return ok && !readError;
}

SForwardResult ForwardMail(STextSink& target, const char* path, const std::string& preMarker,
                           const std::string& postMarker) {
    FILE* probe = OpenMessageFile(path);
    if (!probe) return SForwardResult::CannotOpen;
    std::fclose(probe);
    target.InsertAtCaret("\r\n");
    target.InsertAtCaret(preMarker.c_str());
    target.InsertAtCaret("\r\n\r\n");
    SForwardMailDecode reader(target);
    if (!FeedMailFile(path, reader)) return SForwardResult::Failed;
    target.InsertAtCaret("\r\n");
    target.InsertAtCaret(postMarker.c_str());
    target.InsertAtCaret("\r\n\r\n");
    return SForwardResult::Done;
}

bool DecodedPartText(FILE* file, long start, long end, const SMimePart& part, std::string& text) {
    std::string encoded;
    if (!ReadRange(file, start, end, encoded)) return false;
    text = part.encoding == kMimeEncodingBase64 ? DecodeBase64Text(encoded) : DecodeQuotedPrintableText(encoded);
    if (part.charset == kMimeCharsetIso2022Jp) {
        std::vector<char> sjis(text.size() + 1);
        const int n = Jis2SjisBytes(sjis.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                    static_cast<int>(text.size()));
        text.assign(sjis.data(), static_cast<std::size_t>(n));
    }
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return true;
}

void SQuoteReplyMimeMail::InsertText(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line += "\r\n";
        Insert(line.c_str(), true);
    }
}

bool SQuoteReplyMimeMail::ActionBase64(FILE* file, long start, long end, const SMimePart& part) {
    if (!IsQuotedText(part)) return true;
    std::string text;
    if (!DecodedPartText(file, start, end, part, text)) return false;
    InsertText(text);
    return true;
}

bool SQuoteReplyMimeMail::ActionQuotedPrintable(FILE* file, long start, long end, const SMimePart& part) {
    return SQuoteReplyMimeMail::ActionBase64(file, start, end, part);
}

bool SQuoteReplyMimeMail::ActionNoEncoded(FILE* file, long start, long end, const SMimePart& part) {
    if (!IsQuotedText(part)) return true;
    return ShowAsIs(file, start, end);
}

bool HasAttachments(const char* path) {
    SAnalizeMimeMail analysis;
    std::vector<SDecodeBand> bands;
    if (!analysis.AnalizeMimeMail(path, &bands)) return false;
    for (const SDecodeBand& band : bands)
        if (!IsQuotedText(band.part)) return true;
    return false;
}
