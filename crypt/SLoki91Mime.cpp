#include "crypt/SLoki91Mime.h"

#include <cstdio>
#include <cstring>

#include "common/SHeaderField.h"
#include "config/SQimTmpFilePath.h"
#include "common/SMimeBase64.h"
#include "crypt/SCryptMailHeader.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace {

// The field name of the first line of `extraHeader` ("X-Qim-Crypt-Version").
std::string FieldName(const char* extraHeader) {
    if (!extraHeader) return {};
    const char* colon = std::strchr(extraHeader, ':');
    const char* lf = std::strchr(extraHeader, '\n');
    if (!colon || (lf && lf < colon)) return {};
    std::string name(extraHeader, colon);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
    return name;
}

// Copies the header lines of `in` up to its first empty line (passing over
// the lines of the field `skip`), then `extra` and an empty line. `bodyStart`
// gets the offset of the first body byte (the end of the file when there is
// no body).
bool CopyHeader(platform::TextFile& in, platform::TextFile& out, const std::string& skip, const char* extra,
                long long& bodyStart) {
    std::string line;
    bool skipping = false;
    while (in.GetLine(line)) {
        if (line.empty() || line == "\r") break;
        const bool continuation = line[0] == ' ' || line[0] == '\t';
        if (!continuation) skipping = !skip.empty() && HeaderFieldValue(line.c_str(), skip.c_str());
        if (skipping) continue;
        line += '\n';
        if (!out.Write(line.data(), line.size())) return false;
    }
    if (in.Error()) return false;
    bodyStart = in.Tell();
    if (extra && !out.Puts(extra)) return false;
    return out.Puts("\n") && out.Flush();
}

// Copies the raw bytes of `in` from `offset` to its end into `outPath`.
bool CopyRawTail(FILE* in, long long offset, const char* outPath, bool append) {
    if (fseeko(in, offset, SEEK_SET) != 0) return false;
    FILE* out = platform::OpenFile(outPath, append ? "a" : "w");
    if (!out) return false;
    char buffer[1 << 15];
    bool ok = true;
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        if (std::fwrite(buffer, 1, n, out) != n) {
            ok = false;
            break;
        }
    ok = !std::ferror(in) && ok;
    return std::fclose(out) == 0 && ok;
}

// Whether the bytes of `path` from `offset` on could be mail text: no NUL and
// no control byte besides TAB, LF, FF, CR and ESC (of JIS text).
bool IsMailText(const char* path, std::uint64_t offset) {
    FILE* fp = platform::OpenFile(path, "r");
    if (!fp) return false;
    bool text = fseeko(fp, static_cast<off_t>(offset), SEEK_SET) == 0;
    unsigned char buffer[1 << 15];
    std::size_t n;
    while (text && (n = std::fread(buffer, 1, sizeof buffer, fp)) > 0)
        for (std::size_t i = 0; i < n && text; ++i)
            text = buffer[i] >= 0x20 || buffer[i] == '\t' || buffer[i] == '\n' || buffer[i] == '\f' ||
                   buffer[i] == '\r' || buffer[i] == 0x1B;
    text = text && !std::ferror(fp);
    std::fclose(fp);
    return text;
}

}  // namespace

SLoki91Mime::SLoki91Mime(const unsigned char key[kLokiKeySize], std::string tempDir)
    : SLoki91File(key), tempDir_(std::move(tempDir)) {}

bool SLoki91Mime::Fail(Error error) {
    error_ = error;
    return false;
}

bool SLoki91Mime::EncryptMail(const char* inPath, const char* outPath, const char* extraHeader) {
    error_ = Error::None;
    platform::TextFile in;
    if (!in.Open(inPath, "r")) return Fail(Error::OpenInput);
    platform::TextFile out;
    if (!out.Open(outPath, "w")) return Fail(Error::OpenOutput);
    long long bodyStart = 0;
    const bool headerOk = CopyHeader(in, out, FieldName(extraHeader), extraHeader, bodyStart);
    const bool closed = out.Close();
    SQimTmpFilePath plain(tempDir_.empty() ? nullptr : tempDir_.c_str());
    SQimTmpFilePath cipher(tempDir_.empty() ? nullptr : tempDir_.c_str());
    Error error = Error::None;
    if (!headerOk || !closed) error = in.Error() ? Error::OpenInput : Error::OpenOutput;
    else if (!*plain.Path() || !*cipher.Path() || !CopyRawTail(in.Handle(), bodyStart, plain.Path(), false))
        error = Error::TempFile;
    else if (!EncryptFile(plain.Path(), cipher.Path())) error = Error::TempFile;
    else if (!SMimeBase64().EncodeFile(cipher.Path(), outPath, true)) error = Error::OpenOutput;
    if (error == Error::None) return true;
    platform::RemoveFile(outPath);
    return Fail(error);
}

bool SLoki91Mime::DecryptMail(const char* inPath, const char* outPath) {
    error_ = Error::None;
    platform::TextFile in;
    if (!in.Open(inPath, "r")) return Fail(Error::OpenInput);
    platform::TextFile out;
    if (!out.Open(outPath, "w")) return Fail(Error::OpenOutput);
    long long bodyStart = 0;
    const bool headerOk = CopyHeader(in, out, std::string(), nullptr, bodyStart);
    const bool closed = out.Close();
    SQimTmpFilePath cipher(tempDir_.empty() ? nullptr : tempDir_.c_str());
    Error error = Error::None;
    std::uint64_t plainBytes = 0;
    std::uint64_t headerBytes = 0;
    if (!headerOk || !closed || !platform::FileSize(outPath, &headerBytes)) {
        error = in.Error() ? Error::OpenInput : Error::OpenOutput;
    } else if (!*cipher.Path()) {
        error = Error::TempFile;
    } else {
        std::fseek(in.Handle(), 0, SEEK_END);
        const long end = std::ftell(in.Handle());
        SMimeBase64 base64;
        if (!base64.DecodeFilePart(in.Handle(), static_cast<long>(bodyStart), end, cipher.Path(), false))
            error = base64.ErrorCode() == SMime::kMimeErrorData ? Error::Data : Error::TempFile;
        else if (!DecryptFile(cipher.Path(), outPath, true, &plainBytes))
            error = Error::Data;
        else if (plainBytes == 0)
            error = Error::Empty;
        else if (!IsMailText(outPath, headerBytes))
            error = Error::WrongKey;
    }
    if (error == Error::None) return true;
    platform::RemoveFile(outPath);
    return Fail(error);
}
