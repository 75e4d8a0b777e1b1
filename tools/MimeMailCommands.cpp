// mime parts / view / extract: a stored message taken apart as the viewer takes
// it: the list of its leaf parts, the viewable copy without attachments, and one
// part decoded into a file. The boxes the library would show appear on stderr.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/SDistMimeMail.h"
#include "common/SMailText.h"
#include "common/STmpFilePath.h"
#include "config/QimNotices.h"
#include "platform/CodePage.h"
#include "platform/NativePath.h"
#include "platform/TextFile.h"
#include "tools/ToolCommand.h"

namespace {

int MimeCommand(const std::vector<std::string>& args);

const qimtool::Command kMime{"mime", "parts [--utf8] FILE | view [--utf8] FILE [OUT] | extract FILE N OUT",
                             "MIME メールのパート一覧、添付を省いた表示用の写し、パートの取り出し", MimeCommand};

bool IsStdio(const std::string& path) { return path.empty() || path == "-"; }

// The library's list of parts; its ActionPart is never called here. Its
// notices go to stderr as they come.
class ToolMail : public SDistMimeMail {
public:
    explicit ToolMail(const std::string& sjisPath) : SDistMimeMail(nullptr, sjisPath.c_str()) {}
    bool ActionPart(FILE*, long, long, const SMimePart&) override { return false; }
    void Report(const SNotice& notice) override { ShowNotice(notice); }
};

const char* TypeName(int type) {
    static const char* const kNames[] = {"-",
                                         SMimePart::cpszMimeCTApplication,
                                         SMimePart::cpszMimeCTAudio,
                                         SMimePart::cpszMimeCTImage,
                                         SMimePart::cpszMimeCTMessage,
                                         SMimePart::cpszMimeCTMultipart,
                                         SMimePart::cpszMimeCTText,
                                         SMimePart::cpszMimeCTVideo,
                                         "other"};
    return type >= 0 && type <= kMimeTypeOther ? kNames[type] : "?";
}

const char* SubtypeName(int subtype) {
    static const char* const kNames[] = {"-",
                                         "other",
                                         SMimePart::cpszMimeCSTOctetStream,
                                         SMimePart::cpszMimeCSTPostscript,
                                         SMimePart::cpszMimeCSTPgpEncrypted,
                                         SMimePart::cpszMimeCSTPgpSignature,
                                         SMimePart::cpszMimeCSTPgpKeys,
                                         SMimePart::cpszMimeCSTBasic,
                                         SMimePart::cpszMimeCSTGif,
                                         SMimePart::cpszMimeCSTJpeg,
                                         SMimePart::cpszMimeCSTXBmp,
                                         SMimePart::cpszMimeCSTRfc822,
                                         SMimePart::cpszMimeCSTPartial,
                                         SMimePart::cpszMimeCSTExternalBody,
                                         SMimePart::cpszMimeCSTMixed,
                                         SMimePart::cpszMimeCSTParallel,
                                         SMimePart::cpszMimeCSTDigest,
                                         SMimePart::cpszMimeCSTAlternative,
                                         SMimePart::cpszMimeCSTEncrypted,
                                         SMimePart::cpszMimeCSTPlain,
                                         SMimePart::cpszMimeCSTMpeg};
    return subtype >= 0 && subtype <= kMimeSubtypeMpeg ? kNames[subtype] : "?";
}

const char* EncodingName(int encoding) {
    switch (encoding) {
        case kMimeEncodingNone:
            return "none";
        case kMimeEncodingBase64:
            return SMimePart::cpszMimeCTEBase64;
        case kMimeEncodingQuotedPrintable:
            return SMimePart::cpszMimeCTEQuotedPrintable;
        case kMimeEncodingOther:
            return "other";
        default:
            return "?";
    }
}

const char* CharsetName(int charset) {
    if (charset == kMimeCharsetUsAscii) return SMimePart::cpszMimeCSUsAscii;
    if (charset == kMimeCharsetIso2022Jp) return SMimePart::cpszMimeCSIso2020Jp;
    return "-";
}

// A name from a mail is shown on one line and cannot steer the terminal.
std::string PrintableName(const std::string& name, bool utf8) {
    std::string shown;
    for (char c : name) shown += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '?' : c;
    return utf8 ? platform::Cp932ToUtf8Lossy(shown) : shown;
}

// A path typed at the terminal, as the library takes it.
bool SjisPath(const std::string& typed, std::string& sjis) {
    if (qimtool::TerminalToSjis(typed, sjis)) return true;
    qimtool::Failure("ファイル名を Shift_JIS に変換できません: " + typed);
    return false;
}

bool Analyse(ToolMail& mail, const std::string& typed) {
    if (mail.AnalizeMimeMail()) return true;
    qimtool::Failure("メールを解析できませんでした: " + typed);
    return false;
}

int Parts(const qimtool::ParsedArgs& parsed) {
    if (parsed.operands.size() != 2) return qimtool::UsageError(kMime, "parts にはメールのファイルを一つ指定してください");
    std::string path;
    if (!SjisPath(parsed.operands[1], path)) return qimtool::kExitFailure;
    ToolMail mail(path);
    const bool ok = Analyse(mail, parsed.operands[1]);
    // The parts found before a failure are listed all the same.
    std::string out;
    for (const SDecodeBand& band : mail.Bands()) {
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "%ld\t%ld\t", band.start, band.end);
        out += numbers;
        out += std::string(TypeName(band.part.type)) + "/" + SubtypeName(band.part.subtype) + "\t" +
               EncodingName(band.part.encoding) + "\t" + CharsetName(band.part.charset) + "\t" +
               PrintableName(band.part.name, parsed.Has("--utf8")) + "\n";
    }
    if (!qimtool::WriteOutput("-", out)) return qimtool::Failure("出力を書けません");
    return ok ? qimtool::kExitOk : qimtool::kExitFailure;
}

// Copies a finished file to stdout, as UTF-8 for the terminal when asked.
bool CopyToStdout(const std::string& sjisPath, bool utf8) {
    FILE* file = platform::OpenFile(sjisPath.c_str(), "r");
    if (!file) return false;
    std::string data;
    char block[1 << 16];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) data.append(block, n);
    const bool read = !std::ferror(file);
    std::fclose(file);
    if (!read) return false;
    if (utf8) data = platform::Cp932ToUtf8Lossy(data);
    return qimtool::WriteOutput("-", data);
}

// Whether two Shift_JIS paths name one file (the output must never be the mail).
bool SameFile(const std::string& a, const std::string& b) {
    std::string na, nb;
    struct stat sa, sb;
    return platform::ToNativePath(a.c_str(), na) && platform::ToNativePath(b.c_str(), nb) && stat(na.c_str(), &sa) == 0 &&
           stat(nb.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The viewer's text of a mail: UTF-8 with LF for the terminal, else
// Shift_JIS with CR LF as the files are.
int View(const qimtool::ParsedArgs& parsed) {
    if (parsed.operands.size() < 2 || parsed.operands.size() > 3)
        return qimtool::UsageError(kMime, "view にはメールのファイルと、必要なら出力先を指定してください");
    const std::string outTyped = parsed.operands.size() > 2 ? parsed.operands[2] : "-";
    const bool utf8 = parsed.Has("--utf8");
    if (utf8 && !IsStdio(outTyped)) return qimtool::UsageError(kMime, "--utf8 は標準出力に書くときだけ使えます");
    std::string path, outPath;
    if (!SjisPath(parsed.operands[1], path)) return qimtool::kExitFailure;
    if (!IsStdio(outTyped) && !SjisPath(outTyped, outPath)) return qimtool::kExitFailure;
    std::string text;
    if (!MailFileTextUtf8(path.c_str(), text, std::string::npos))
        return qimtool::Failure("メールを解析できませんでした: " + parsed.operands[1]);
    if (!utf8) {
        std::string crlf;
        for (char c : platform::Utf8ToCp932Lossy(text)) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        text.swap(crlf);
    }
    if (!IsStdio(outTyped) && SameFile(path, outPath))
        return qimtool::Failure("出力ファイルをオープンできません (メールと同じファイルには書けません): " + outTyped);
    if (!qimtool::WriteOutput(IsStdio(outTyped) ? "-" : outPath, text))
        return qimtool::Failure("出力ファイルをオープンできません: " + outTyped);
    return qimtool::kExitOk;
}

// A part number as typed: 1 and up, digits only.
bool PartNumber(const std::string& text, long& number) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    number = std::strtol(text.c_str(), nullptr, 10);
    return number >= 1;
}

std::string DecodeFailure(int error, const std::string& outTyped) {
    switch (error) {
        case SMime::kMimeErrorOpenOutput:
            return "出力ファイルを作れません (メールと同じファイルには書けません): " + outTyped;
        case SMime::kMimeErrorWrite:
            return "出力を書けません: " + outTyped;
        case SMime::kMimeErrorData:
            return "復号できない行がありました (復号できた部分だけを書き出しました): " + outTyped;
        default:
            return "メールを読めません";
    }
}

int Extract(const qimtool::ParsedArgs& parsed) {
    if (parsed.operands.size() != 4)
        return qimtool::UsageError(kMime, "extract にはメールのファイル、パートの番号、出力先を指定してください");
    long number = 0;
    if (!PartNumber(parsed.operands[2], number))
        return qimtool::UsageError(kMime, "パートの番号は 1 以上の整数です: " + parsed.operands[2]);
    const std::string& outTyped = parsed.operands[3];
    std::string path, outPath;
    if (!SjisPath(parsed.operands[1], path)) return qimtool::kExitFailure;
    ToolMail mail(path);
    const bool analysed = mail.AnalizeMimeMail();
    // A part listed before the walk failed can still be taken out.
    if (number > mail.MimePartCount()) {
        if (!analysed) return qimtool::Failure("メールを解析できませんでした: " + parsed.operands[1]);
        return qimtool::Failure("パート " + parsed.operands[2] + " はありません (パートは " +
                                std::to_string(mail.MimePartCount()) + " 個です)");
    }
    STmpFilePath copy;
    if (IsStdio(outTyped)) {
        if (!copy.Path()) return qimtool::Failure("一時ファイルを作れません");
        outPath = copy.Path();
    } else if (!SjisPath(outTyped, outPath)) {
        return qimtool::kExitFailure;
    }
    const SDecodeBand& band = mail.Bands()[static_cast<std::size_t>(number - 1)];
    FILE* in = platform::OpenFile(path.c_str(), "r");
    if (!in) return qimtool::Failure("メールを開けません: " + parsed.operands[1]);
    std::unique_ptr<SMime> codec = SDistMimeMail::CodecFor(band.part.encoding);
    const bool ok = codec->DecodeFilePart(in, band.start, band.end, outPath.c_str(), false);
    std::fclose(in);
    // Decodable lines of a damaged part are kept, and go to stdout too.
    const bool kept = ok || codec->ErrorCode() == SMime::kMimeErrorData;
    if (kept && IsStdio(outTyped) && !CopyToStdout(outPath, false)) return qimtool::Failure("出力を書けません");
    if (!ok) return qimtool::Failure(DecodeFailure(codec->ErrorCode(), outTyped));
    return qimtool::kExitOk;
}

int MimeCommand(const std::vector<std::string>& args) {
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {}, parsed, error)) return qimtool::UsageError(kMime, error);
    if (parsed.operands.empty()) return qimtool::UsageError(kMime, "parts、view、extract のどれかを指定してください");
    const std::string& mode = parsed.operands[0];
    if (mode == "parts") return Parts(parsed);
    if (mode == "view") return View(parsed);
    if (mode == "extract") {
        if (parsed.Has("--utf8")) return qimtool::UsageError(kMime, "extract はバイトのまま書き出します (--utf8 は使えません)");
        return Extract(parsed);
    }
    return qimtool::UsageError(kMime, "不明な処理です: " + mode);
}

const bool kRegistered = qimtool::RegisterCommand(kMime);

}  // namespace
