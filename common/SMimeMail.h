// The walk over a stored message and its nested multiparts by byte ranges of
// the file: every leaf part is handed, with its range and description, to the
// action of its transfer encoding, which the working classes supply. What the
// walk finds wrong it reports as notices; it shows nothing itself.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/SMimePart.h"
#include "common/SNotice.h"
#include "platform/DialogService.h"

class SMimeMail {
public:
    // Multiparts are opened this many levels deep; one nested deeper is
    // reported as strange and handed to the actions as one part, not opened,
    // so a hostile message cannot run the walk's recursion (and its rereading
    // of the file) without bound; the walk then counts as failed. Real mail
    // stays far below it.
    static constexpr int kMaxNestingDepth = 32;
    // Leaf parts one walk hands out at most; a message with more is strange and
    // its walk stops there, so a mail of tiny parts cannot make the part list
    // many times larger than itself.
    static constexpr int kMaxLeafParts = 10000;

    // `owner`: the parent of the boxes of the working classes' own questions.
    explicit SMimeMail(platform::ParentWindow owner = nullptr) : owner_(owner) {}
    virtual ~SMimeMail() = default;

    // Dispatches on the part's transfer encoding.
    virtual bool CallEachAction(FILE* file, long start, long end, const SMimePart& part);
    virtual bool ActionBase64(FILE* file, long start, long end, const SMimePart& part) = 0;
    virtual bool ActionQuotedPrintable(FILE* file, long start, long end, const SMimePart& part) = 0;
    virtual bool ActionOtherEncoded(FILE* file, long start, long end, const SMimePart& part) = 0;
    virtual bool ActionNoEncoded(FILE* file, long start, long end, const SMimePart& part) = 0;

    // Walks the whole file. False (after a notice) when it cannot be opened or
    // the message is broken; the parts found before that have had their actions.
    bool DecodeMimeMail(const char* path);
    // Walks the part in [start, end) of `file`: a leaf goes to CallEachAction
    // (whose result does not count), a multipart is split at its delimiter lines
    // and each part walked in turn; a failure inside one part does not stop its
    // siblings (only the part limit stops the whole walk). Within one walk each
    // message text is shown once.
    bool Decode(FILE* file, long start, long end);

    platform::ParentWindow Owner() const { return owner_; }
    void SetOwner(platform::ParentWindow owner) { owner_ = owner; }

    // What the walk has to tell the user, as it happens. Kept for TakeNotices
    // unless a client that shows notices at once overrides it.
    virtual void Report(const SNotice& notice);
    // The notices kept so far, in order; the list is empty afterwards.
    std::vector<SNotice> TakeNotices();

protected:
    // A stop-icon notice with the text `id` of the library's string table;
    // within one walk each text is reported once.
    void ReportError(unsigned id);

    platform::ParentWindow owner_;

private:
    bool DecodePart(FILE* file, long start, long end);
    bool DecodeMultipart(FILE* file, const std::string& boundary, long bodyStart, long end);

    int calls_ = 0;                // Decode calls under way
    int multipartDepth_ = 0;       // multiparts being walked
    int leaves_ = 0;               // leaf parts handed out in the current walk
    bool stopped_ = false;         // the current walk met kMaxLeafParts
    bool tooDeep_ = false;         // ... or left a multipart unopened
    std::vector<unsigned> shown_;  // texts already reported in the current walk
    std::vector<SNotice> notices_;
};
