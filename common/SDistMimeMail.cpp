#include "common/SDistMimeMail.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/JapaneseCodes.h"
#include "common/SAnalizeMimeMail.h"
#include "common/SMimeBase64.h"
#include "common/SMimeLineReader.h"
#include "common/SMimeNoEncoded.h"
#include "common/SMimeOutputFile.h"
#include "common/SMimeQuotedPrintable.h"
#include "platform/NativePath.h"
#include "platform/TextFile.h"

namespace {

bool IsEncoded(const SMimePart& part) {
    return part.encoding == kMimeEncodingBase64 || part.encoding == kMimeEncodingQuotedPrintable;
}

// Whether `path` names the file open as `handle`.
bool NamesOpenFile(const char* path, int handle) {
    std::string native;
    struct stat a, b;
    return path && platform::ToNativePath(path, native) && stat(native.c_str(), &a) == 0 && fstat(handle, &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

void SDistMimeMail::CopyToMe(const SDistMimeMail& other) {
    owner_ = other.owner_;
    path_ = other.path_;
    continue_ = other.continue_;
    bands_ = other.bands_;
}

bool SDistMimeMail::operator==(const SDistMimeMail& other) const {
    return path_ == other.path_ && continue_ == other.continue_ && bands_ == other.bands_;
}

bool SDistMimeMail::ActionBase64(FILE* file, long start, long end, const SMimePart& part) {
    return ActionPart(file, start, end, part);
}

bool SDistMimeMail::ActionQuotedPrintable(FILE* file, long start, long end, const SMimePart& part) {
    return ActionPart(file, start, end, part);
}

bool SDistMimeMail::ActionOtherEncoded(FILE* file, long start, long end, const SMimePart& part) {
    return ActionPart(file, start, end, part);
}

bool SDistMimeMail::ActionNoEncoded(FILE* file, long start, long end, const SMimePart& part) {
    return ActionPart(file, start, end, part);
}

bool SDistMimeMail::AnalizeMimeMail() {
    SAnalizeMimeMail analysis(owner_);
    const bool ok = analysis.AnalizeMimeMail(path_.c_str(), &bands_);
    for (const SNotice& notice : analysis.TakeNotices()) Report(notice);
    return ok;
}

std::unique_ptr<SMime> SDistMimeMail::CodecFor(int encoding) {
    if (encoding == kMimeEncodingBase64) return std::make_unique<SMimeBase64>();
    if (encoding == kMimeEncodingQuotedPrintable) return std::make_unique<SMimeQuotedPrintable>();
    return std::make_unique<SMimeNoEncoded>();
}

bool SDistMimeMail::IsMessageRfc822(const SMimePart& part) {
    return part.type == kMimeTypeMessage && part.subtype == kMimeSubtypeRfc822;
}

bool SDistMimeMail::IsTextPlainUsJp(const SMimePart& part) {
    return part.type == kMimeTypeText && part.subtype == kMimeSubtypePlain &&
           (part.charset == kMimeCharsetUsAscii || part.charset == kMimeCharsetIso2022Jp);
}

int SDistMimeMail::Rfc822PartCount() const {
    return static_cast<int>(
        std::count_if(bands_.begin(), bands_.end(), [](const SDecodeBand& b) { return IsMessageRfc822(b.part); }));
}

int SDistMimeMail::EncodedTextPlainUsJpPartCount() const {
    return static_cast<int>(std::count_if(bands_.begin(), bands_.end(), [](const SDecodeBand& b) {
        return IsEncoded(b.part) && IsTextPlainUsJp(b.part);
    }));
}

int SDistMimeMail::BinaryPartCount(bool all) const {
    if (all) return MimePartCount();
    return static_cast<int>(std::count_if(bands_.begin(), bands_.end(), [](const SDecodeBand& b) {
        return IsEncoded(b.part) && !IsTextPlainUsJp(b.part);
    }));
}

bool SDistMimeMail::TakeBinaryFile(bool all) {
    FILE* file = OpenMessageFile(path_.c_str());
    if (!file) {
        ReportError(cmmnstr::CannotOpenFile);
        return false;
    }
    bool result = true;
    // By index: the client's action may look at the list while it runs.
    for (std::size_t i = 0; i < bands_.size(); ++i) {
        const SDecodeBand band = bands_[i];
        if (!all && IsTextPlainUsJp(band.part)) continue;
        if (!CallEachAction(file, band.start, band.end, band.part)) {
            result = false;
            if (!continue_) break;
        }
    }
    std::fclose(file);
    return result;
}

bool SDistMimeMail::DecodeAndWrite(FILE* out, FILE*, long start, long end, const SMimePart& part,
                                   const char* tmpPath) {
    FILE* in = OpenMessageFile(path_.c_str());
    if (!in) {
        ReportError(cmmnstr::CannotOpenFile);
        return false;
    }
    bool decoded = CodecFor(part.encoding)->DecodeFilePart(in, start, end, tmpPath, false);
    std::fclose(in);
    if (!decoded || !out) return false;
    FILE* tmp = platform::OpenFile(tmpPath, "r");
    if (!tmp) return false;
    bool written = WriteAsSjis(tmp, out);
    std::fclose(tmp);
    return written;
}

bool SDistMimeMail::WriteAsSjis(FILE* tmp, FILE* out) {
    // Whole lines: an ISO-2022-JP line cut in two would lose its shift state.
    // The decoded text keeps its own line ends (CR LF from the decoders).
    char* line = nullptr;
    std::size_t capacity = 0;
    bool ok = true;
    for (ssize_t length; ok && (length = getline(&line, &capacity, tmp)) > 0;) {
        // NUL bytes are no text; each stretch between them is converted alone.
        char* piece = line;
        char* const stop = line + length;
        while (ok && piece < stop) {
            const std::size_t stretch = std::strlen(piece);
            const int converted = Jis2Sjis(piece, reinterpret_cast<const unsigned char*>(piece));
            ok = std::fwrite(piece, 1, static_cast<std::size_t>(converted), out) == static_cast<std::size_t>(converted);
            piece += stretch;
            if (ok && piece < stop) ok = std::fputc('\0', out) != EOF;
            ++piece;
        }
    }
    if (std::ferror(tmp)) ok = false;
    std::free(line);
    return ok;
}

bool SDistMimeMail::CopyRange(FILE* in, FILE* out, long from, long to) {
    if (from >= to) return true;
    if (std::fseek(in, from, SEEK_SET) != 0) return false;
    char buffer[1 << 16];
    for (long left = to - from; left > 0;) {
        std::size_t want = static_cast<std::size_t>(std::min<long>(left, sizeof buffer));
        std::size_t got = std::fread(buffer, 1, want, in);
        if (got == 0 || std::fwrite(buffer, 1, got, out) != got) return false;
        left -= static_cast<long>(got);
    }
    return true;
}

bool SDistMimeMail::MakeOmitBinaryFile(const char* outPath, const char* tmpPath) {
    FILE* in = OpenMessageFile(path_.c_str());
    if (!in) {
        ReportError(cmmnstr::CannotOpenFile);
        return false;
    }
    // The copy must not replace the message itself, nor be the scratch file.
    SMimeOutputFile out;
    if (!out.OpenStream(outPath, false, fileno(in)) || NamesOpenFile(tmpPath, fileno(out.Stream()))) {
        out.Close(false);
        std::fclose(in);
        ReportError(cmmnstr::CannotOpenFile);
        return false;
    }
    long length = -1;
    if (std::fseek(in, 0, SEEK_END) == 0) length = std::ftell(in);
    // A closing band at the end of the file brings the tail along.
    std::vector<SDecodeBand> bands = bands_;
    SDecodeBand tail;
    tail.start = tail.end = std::max(length, 0L);
    tail.part.encoding = kMimeEncodingOther;
    bands.push_back(tail);

    bool ok = length >= 0;
    long offset = 0;
    const std::string notice = LoadStringCmmnDll(cmmnstr::AttachmentOmitted) + "\r\n";
    for (const SDecodeBand& band : bands) {
        if (!ok) break;
        // Unencoded parts stay in the copied stretches.
        if (band.part.encoding == kMimeEncodingNone) continue;
        const long start = std::clamp(band.start, offset, std::max(length, 0L));
        const long end = std::clamp(band.end, start, std::max(length, 0L));
        ok = CopyRange(in, out.Stream(), offset, start);
        if (ok && start < end) {
            if (IsTextPlainUsJp(band.part))
                ok = DecodeAndWrite(out.Stream(), nullptr, start, end, band.part, tmpPath);
            else
                ok = std::fwrite(notice.data(), 1, notice.size(), out.Stream()) == notice.size();
        }
        offset = end;
    }
    std::fclose(in);
    if (!out.Close(ok) && ok) ok = false;
    if (!ok) ReportError(cmmnstr::Strange);
    return ok;
}
