// base64 and qp: the MIME body codecs as filters. Decoding reads text lines (CR LF
// or LF) and writes raw bytes; encoding reads raw bytes and writes lines ending
// CR LF, as in a mail file. A named output file is removed again when the work
// fails, except that undecodable base64 lines leave the decodable rest in place.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/SMimeBase64.h"
#include "common/SMimeOutputFile.h"
#include "common/SMimeQuotedPrintable.h"
#include "platform/TextFile.h"
#include "tools/ToolCommand.h"

namespace {

bool IsStdio(const std::string& path) { return path.empty() || path == "-"; }

bool IsDirectory(FILE* fp) {
    struct stat st;
    return fstat(fileno(fp), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ErrorText(int error, bool decoding, const std::string& inName, const std::string& outName) {
    switch (error) {
        case SMime::kMimeErrorRead:
            return "入力を読めません: " + inName;
        case SMime::kMimeErrorWrite:
            return "出力を書けません: " + outName;
        case SMime::kMimeErrorData:
            return decoding ? "復号できない行がありました (復号できた部分だけを書き出しました): " + inName
                            : "符号化できませんでした: " + inName;
        default:
            return "処理に失敗しました";
    }
}

// Input and output as the operands name them, "-" or nothing for stdin and stdout.
class CodecFiles {
public:
    ~CodecFiles() {
        if (in_ && in_ != stdin) std::fclose(in_);
    }
    // Empty on success, else the message for the user.
    std::string Open(const std::string& inPath, const std::string& outPath, bool decoding) {
        inName_ = IsStdio(inPath) ? "(標準入力)" : inPath;
        outName_ = IsStdio(outPath) ? "(標準出力)" : outPath;
        std::string sjis;
        if (IsStdio(inPath)) {
            in_ = stdin;
        } else if (qimtool::TerminalToSjis(inPath, sjis)) {
            in_ = platform::OpenFile(sjis.c_str(), "r");
        }
        if (in_ && in_ != stdin && IsDirectory(in_)) {
            std::fclose(in_);
            in_ = nullptr;
        }
        if (!in_) return "入力ファイルを開けません: " + inName_;
        if (IsStdio(outPath)) return "";
        bool opened = qimtool::TerminalToSjis(outPath, sjis) &&
                      (decoding ? out_.OpenHandle(sjis.c_str(), false, fileno(in_))
                                : out_.OpenStream(sjis.c_str(), false, fileno(in_)));
        named_ = opened;
        return opened ? "" : "出力ファイルを作れません (入力と同じファイルには書けません): " + outName_;
    }
    FILE* In() const { return in_; }
    int OutHandle() const { return named_ ? out_.Handle() : fileno(stdout); }
    FILE* OutStream() const { return named_ ? out_.Stream() : stdout; }
    // False when a named output could not be closed cleanly.
    bool Close(bool keep) { return named_ ? out_.Close(keep) || !keep : true; }
    const std::string& InName() const { return inName_; }
    const std::string& OutName() const { return outName_; }

private:
    FILE* in_ = nullptr;
    SMimeOutputFile out_;
    bool named_ = false;
    std::string inName_, outName_;
};

int RunCodec(const qimtool::Command& self, SMime& codec, const std::vector<std::string>& args) {
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {}, {}, parsed, error)) return qimtool::UsageError(self, error);
    if (parsed.operands.empty()) return qimtool::UsageError(self, "encode か decode を指定してください");
    if (parsed.operands.size() > 3) return qimtool::UsageError(self, "引数が多すぎます");
    const std::string& direction = parsed.operands[0];
    if (direction != "encode" && direction != "decode")
        return qimtool::UsageError(self, "encode か decode を指定してください: " + direction);
    const bool decoding = direction == "decode";
    CodecFiles files;
    std::string failure = files.Open(parsed.operands.size() > 1 ? parsed.operands[1] : "-",
                                     parsed.operands.size() > 2 ? parsed.operands[2] : "-", decoding);
    if (!failure.empty()) return qimtool::Failure(failure);

    bool ok = decoding ? codec.DecodeFileBody(files.In(), files.OutHandle(), -1, false)
                       : codec.EncodeFileBody(fileno(files.In()), files.OutStream());
    // What could be decoded of a body with bad lines is worth keeping.
    bool keep = ok || codec.ErrorCode() == SMime::kMimeErrorData;
    if (!files.Close(keep)) return qimtool::Failure(ErrorText(SMime::kMimeErrorWrite, decoding, "", files.OutName()));
    if (!ok) return qimtool::Failure(ErrorText(codec.ErrorCode(), decoding, files.InName(), files.OutName()));
    return qimtool::kExitOk;
}

int Base64Command(const std::vector<std::string>& args);
int QpCommand(const std::vector<std::string>& args);

const qimtool::Command kBase64{"base64", "encode|decode [IN [OUT]]", "base64 の符号化と復号 (72 桁の行)",
                               Base64Command};
const qimtool::Command kQp{"qp", "encode|decode [IN [OUT]]", "quoted-printable の符号化と復号", QpCommand};

int Base64Command(const std::vector<std::string>& args) {
    SMimeBase64 codec;
    return RunCodec(kBase64, codec, args);
}

int QpCommand(const std::vector<std::string>& args) {
    SMimeQuotedPrintable codec;
    return RunCodec(kQp, codec, args);
}

const bool kRegistered = qimtool::RegisterCommand(kBase64) && qimtool::RegisterCommand(kQp);

}  // namespace
