// A stored message taken apart: its leaf parts as a list of byte ranges, the
// counts the viewer asks for (attachments, encoded text parts), the walk that
// hands attachments to the client's ActionPart to be saved, and the viewable
// copy in which encoded text is decoded and every other encoded part is
// replaced by a one-line notice.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/SDecodeBand.h"
#include "common/SMime.h"
#include "common/SMimeMail.h"

class SDistMimeMail : public SMimeMail {
public:
    explicit SDistMimeMail(platform::ParentWindow owner) : SMimeMail(owner) {}
    SDistMimeMail(platform::ParentWindow owner, const char* path) : SMimeMail(owner), path_(path ? path : "") {}
    SDistMimeMail(const SDistMimeMail& other) : SMimeMail(other.owner_) { CopyToMe(other); }
    SDistMimeMail& operator=(const SDistMimeMail&) = delete;

    // Takes the owner, the path, the continue flag and the part list of `other`.
    void CopyToMe(const SDistMimeMail& other);
    // The same path, the same continue flag and equal part lists.
    bool operator==(const SDistMimeMail& other) const;

    // Every encoding goes to ActionPart.
    bool ActionBase64(FILE* file, long start, long end, const SMimePart& part) override;
    bool ActionQuotedPrintable(FILE* file, long start, long end, const SMimePart& part) override;
    bool ActionOtherEncoded(FILE* file, long start, long end, const SMimePart& part) override;
    bool ActionNoEncoded(FILE* file, long start, long end, const SMimePart& part) override;
    // What to do with one part taken out of the message (the client saves it).
    virtual bool ActionPart(FILE* file, long start, long end, const SMimePart& part) = 0;

    // Lists the leaf parts of the message at the path.
    bool AnalizeMimeMail();

    int MimePartCount() const { return static_cast<int>(bands_.size()); }
    int Rfc822PartCount() const;
    int EncodedTextPlainUsJpPartCount() const;
    // With `all`, every part; otherwise the encoded parts that are not plain
    // US-ASCII or Japanese text: the attachments.
    int BinaryPartCount(bool all) const;
    static bool IsMessageRfc822(const SMimePart& part);
    // The codec that decodes a part of this transfer encoding (unencoded for
    // anything but base64 and quoted-printable).
    static std::unique_ptr<SMime> CodecFor(int encoding);
    static bool IsTextPlainUsJp(const SMimePart& part);

    // Hands every part (with `all`) or every part that is not plain US-ASCII or
    // Japanese text to CallEachAction. A part that fails makes the result false
    // and, unless the continue flag is set, ends the walk.
    bool TakeBinaryFile(bool all);
    // Decodes the part in [start, end) of the message into `tmpPath`, then
    // writes it to `out` as Shift_JIS, line by line. `spare` is not used.
    bool DecodeAndWrite(FILE* out, FILE* spare, long start, long end, const SMimePart& part, const char* tmpPath);
    // Writes the viewable copy of the message to `outPath` (`tmpPath` is scratch
    // room for decoding): headers and unencoded parts as they are, encoded
    // US-ASCII and Japanese text decoded, every other encoded part replaced by
    // one notice line. False after a notice when anything failed; no partial copy
    // is left behind then.
    bool MakeOmitBinaryFile(const char* outPath, const char* tmpPath);

    const std::string& Path() const { return path_; }
    void SetPath(const char* path) { path_ = path ? path : ""; }
    const std::vector<SDecodeBand>& Bands() const { return bands_; }
    bool ContinueAfterFailure() const { return continue_ != 0; }
    void SetContinueAfterFailure(bool on) { continue_ = on ? 1 : 0; }

protected:
    // Copies [from, to) of `in` to `out`.
    static bool CopyRange(FILE* in, FILE* out, long from, long to);
    // Writes the decoded text of `tmp` to `out` line by line as Shift_JIS.
    static bool WriteAsSjis(FILE* tmp, FILE* out);

    std::vector<SDecodeBand> bands_;
    std::string path_;
    int continue_ = 0;
};
