#include "common/SMimeMail.h"

#include <algorithm>

#include "common/CmmnStringIds.h"
#include "common/SAnalizeMimeHeader.h"
#include "common/SMimeLineReader.h"

namespace {

// Counts a nesting level for as long as it lives.
class Level {
public:
    explicit Level(int& counter) : counter_(counter) { ++counter_; }
    ~Level() { --counter_; }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

private:
    int& counter_;
};

}  // namespace

void SMimeMail::ReportError(unsigned id) {
    // A broken message can fail in thousands of parts; one notice of each kind
    // tells the user as much.
    if (calls_ > 0) {
        if (std::find(shown_.begin(), shown_.end(), id) != shown_.end()) return;
        shown_.push_back(id);
    }
    Report(SNotice::Library(id));
}

void SMimeMail::Report(const SNotice& notice) { notices_.push_back(notice); }

std::vector<SNotice> SMimeMail::TakeNotices() {
    std::vector<SNotice> taken;
    taken.swap(notices_);
    return taken;
}

bool SMimeMail::CallEachAction(FILE* file, long start, long end, const SMimePart& part) {
    switch (part.encoding) {
        case kMimeEncodingBase64:
            return ActionBase64(file, start, end, part);
        case kMimeEncodingQuotedPrintable:
            return ActionQuotedPrintable(file, start, end, part);
        case kMimeEncodingOther:
            return ActionOtherEncoded(file, start, end, part);
        default:
            return ActionNoEncoded(file, start, end, part);
    }
}

bool SMimeMail::DecodeMimeMail(const char* path) {
    FILE* file = OpenMessageFile(path);
    if (!file) {
        ReportError(cmmnstr::CannotOpenFile);
        return false;
    }
    std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    bool ok = length >= 0 && Decode(file, 0, length);
    if (length < 0) ReportError(cmmnstr::CannotOpenFile);
    std::fclose(file);
    return ok;
}

bool SMimeMail::Decode(FILE* file, long start, long end) {
    if (calls_ == 0) {
        shown_.clear();
        leaves_ = 0;
        stopped_ = false;
        tooDeep_ = false;
    }
    Level call(calls_);
    const bool ok = DecodePart(file, start, end);
    // A walk that left a multipart unopened did not see the whole message,
    // whatever its own parts said.
    return ok && !(calls_ == 1 && tooDeep_);
}

bool SMimeMail::DecodePart(FILE* file, long start, long end) {
    if (!file || start < 0 || std::fseek(file, start, SEEK_SET) != 0) {
        ReportError(cmmnstr::HeaderParseFailed);
        return false;
    }
    end = std::max(start, end);
    SAnalizeMimeHeaderFile header;
    header.AnalizeMimeHeader(file, end);
    // A header that runs to the end of its range leaves an empty body.
    const long bodyStart = std::min(header.BodyStart(), end);
    if (header.Part().type != kMimeTypeMultipart || multipartDepth_ >= kMaxNestingDepth) {
        if (header.Part().type == kMimeTypeMultipart) {
            // Too deep to open: listed as one part as it stands, so what lies
            // above it is still shown and it can still be saved.
            tooDeep_ = true;
            ReportError(cmmnstr::Strange);
        }
        if (leaves_ >= kMaxLeafParts) {
            stopped_ = true;
            ReportError(cmmnstr::Strange);
            return false;
        }
        ++leaves_;
        CallEachAction(file, bodyStart, end, header.Part());
        return true;
    }
    if (header.Boundary().empty()) {
        ReportError(cmmnstr::HeaderParseFailed);
        return false;
    }
    Level level(multipartDepth_);
    if (header.BodyStart() != bodyStart && std::fseek(file, bodyStart, SEEK_SET) != 0) {
        ReportError(cmmnstr::Strange);
        return false;
    }
    return DecodeMultipart(file, header.Boundary(), bodyStart, end);
}

bool SMimeMail::DecodeMultipart(FILE* file, const std::string& boundary, long bodyStart, long end) {
    const std::string delimiter = "--" + boundary;
    const std::string closing = delimiter + "--";
    SMimeLineReader reader(file, bodyStart);
    // Text before the first delimiter line is not part of any part; a body
    // without one has no parts to show (nothing is wrong with the rest).
    for (;;) {
        if (!reader.Next() || reader.LineStart() >= end) return true;
        if (reader.Is(delimiter)) break;
    }
    for (;;) {
        const long partStart = reader.Position();
        int lineEndBefore = 0;
        bool closed = false;
        bool ended = false;
        for (;;) {
            lineEndBefore = reader.LineEndLength();
            if (!reader.Next() || reader.LineStart() >= end) {
                // No close delimiter: the last part runs to the end, as
                // every reader shows it.
                ended = true;
                break;
            }
            if (reader.Is(delimiter)) break;
            if (reader.Is(closing)) {
                closed = true;
                break;
            }
        }
        if (ended) {
            if (end > partStart) Decode(file, partStart, end);
            return !stopped_;
        }
        // The line end before a delimiter line belongs to the delimiter.
        const long partEnd = std::max(partStart, reader.LineStart() - lineEndBefore);
        const long after = reader.Position();
        // Delimiter lines in a row make no empty parts.
        if (partEnd > partStart) Decode(file, partStart, partEnd);
        if (stopped_) return false;
        if (after >= end || closed) return true;
        if (std::fseek(file, after, SEEK_SET) != 0) {
            ReportError(cmmnstr::Strange);
            return false;
        }
        reader.Restart(after);
    }
}
