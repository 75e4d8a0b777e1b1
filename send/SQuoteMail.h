// A stored message into the compose editor: quoted behind the reply prefix
// (its text parts decoded), forwarded between the two marker lines, or
// inserted whole with a prefix of the user's choosing.
#pragma once

#include <cstdio>
#include <string>

#include "common/SMHUnfoldDecode.h"
#include "common/SReplyMimeMail.h"
#include "common/STextSink.h"

// Header fields (unfolded, decoded) and body lines, each behind the prefix.
class SInsertMailFilePrefixDecode : public SMHUnfoldDecodeMail {
public:
    SInsertMailFilePrefixDecode(STextSink& target, const std::string& prefix) : target_(target), prefix_(prefix) {}
    ~SInsertMailFilePrefixDecode() override = default;
    bool Action(const char* field) override;
    bool ActionBody(const char* line) override;

private:
    STextSink& target_;
    std::string prefix_;
};

// Every header field but the Received lines, and every body line, as they are.
class SForwardMailDecode : public SMHUnfoldDecodeMail {
public:
    explicit SForwardMailDecode(STextSink& target) : target_(target) {}
    ~SForwardMailDecode() override = default;
    bool Action(const char* field) override;
    bool ActionBody(const char* line) override;

private:
    STextSink& target_;
};

// The quoting of a reply: the message's text behind the prefix. Plain text
// parts are quoted, base64 and quoted-printable ones decoded first (JIS
// becomes Shift_JIS); other parts are left out.
class SQuoteReplyMimeMail : public SReplyMimeMail {
public:
    using SReplyMimeMail::SReplyMimeMail;
    bool ActionBase64(FILE* file, long start, long end, const SMimePart& part) override;
    bool ActionQuotedPrintable(FILE* file, long start, long end, const SMimePart& part) override;
    bool ActionOtherEncoded(FILE*, long, long, const SMimePart&) override { return true; }
    bool ActionNoEncoded(FILE* file, long start, long end, const SMimePart& part) override;

    // Decoded text, line by line behind the prefix, each ending CR LF.
    void InsertText(const std::string& text);
};

// Runs a whole message file through `reader` (raw lines, long ones in
// pieces). False when the file cannot be opened or the reader stops.
bool FeedMailFile(const char* path, SMHUnfoldDecodeMail& reader);

enum class SForwardResult { Done, CannotOpen, Failed };

// The forward of the message at `path` at the caret: a line break, the first
// marker, an empty line, the message, then a line break, the last marker
// and an empty line.
SForwardResult ForwardMail(STextSink& target, const char* path, const std::string& preMarker,
                           const std::string& postMarker);

// Whether the stored mail has parts a forward leaves behind: any part but
// plain text (its analysis notices are dropped: the question is only asked).
bool HasAttachments(const char* path);

// The text of a base64 or quoted-printable part in [start, end), decoded, in
// Shift_JIS when it was JIS. False when the range cannot be read.
bool DecodedPartText(FILE* file, long start, long end, const SMimePart& part, std::string& text);
