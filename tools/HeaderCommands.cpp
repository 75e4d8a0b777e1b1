// header encode / header decode: a header field to its folded form of encoded
// words and back, as Qim writes and reads them.
#include <string>
#include <vector>

#include "common/SHeaderMime.h"
#include "common/SMHUnfoldDecode.h"
#include "tools/ToolCommand.h"

namespace {

int HeaderCommand(const std::vector<std::string>& args);

const qimtool::Command kHeader{"header", "encode|decode [--utf8] [IN [OUT]]",
                               "ヘッダー行の MIME 符号化 (ISO-2022-JP) と復号", HeaderCommand};

// Collects the unfolded, decoded fields of a header.
class FieldCollector : public SMHUnfoldDecode {
public:
    explicit FieldCollector(std::string* out) : out_(out) {}
    ~FieldCollector() override { Finish(); }
    bool Action(const char* field) override {
        *out_ += field;
        return true;
    }

private:
    std::string* out_;
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        std::size_t stop = lf == std::string::npos ? text.size() : lf + 1;
        lines.push_back(text.substr(start, stop - start));
        start = stop;
    }
    return lines;
}

// Each input line is one whole field; each comes out folded, ending in CR LF.
bool Encode(const std::string& input, std::string& output) {
    bool ok = true;
    for (std::string line : SplitLines(input)) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        std::string folded;
        if (!SHeaderMime::EncodeALine(line.c_str(), folded)) ok = false;
        output += folded + "\r\n";
    }
    return ok;
}

// The fields of a header up to its blank line, unfolded and decoded.
void Decode(const std::string& input, std::string& output) {
    FieldCollector fields(&output);
    for (const std::string& line : SplitLines(input)) {
        if (line == "\r\n" || line == "\n") break;
        fields.Execute(line.c_str());
    }
}

int HeaderCommand(const std::vector<std::string>& args) {
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {}, parsed, error)) return qimtool::UsageError(kHeader, error);
    if (parsed.operands.empty()) return qimtool::UsageError(kHeader, "encode か decode を指定してください");
    const std::string mode = parsed.operands[0];
    if (mode != "encode" && mode != "decode") return qimtool::UsageError(kHeader, "不明な処理です: " + mode);
    if (parsed.operands.size() > 3) return qimtool::UsageError(kHeader, "引数が多すぎます");
    const std::string inPath = parsed.operands.size() > 1 ? parsed.operands[1] : "-";
    const std::string outPath = parsed.operands.size() > 2 ? parsed.operands[2] : "-";
    const bool utf8 = parsed.Has("--utf8");

    std::string input;
    if (!qimtool::ReadInput(inPath, input)) return qimtool::Failure("入力を読めません: " + inPath);
    if (input.find('\0') != std::string::npos) return qimtool::Failure("ヘッダーに NUL 文字があります");
    if (utf8 && mode == "encode") {
        std::string sjis;
        if (!qimtool::TerminalToSjis(input, sjis)) return qimtool::Failure("入力を Shift_JIS に変換できません");
        input.swap(sjis);
    }
    std::string output;
    bool ok = true;
    if (mode == "encode") {
        ok = Encode(input, output);
    } else {
        Decode(input, output);
        if (utf8) {
            std::string text;
            if (!qimtool::SjisToTerminal(output, text)) return qimtool::Failure("出力を UTF-8 に変換できません");
            output.swap(text);
        }
    }
    if (!qimtool::WriteOutput(outPath, output)) return qimtool::Failure("出力を書けません: " + outPath);
    return ok ? qimtool::kExitOk : qimtool::Failure("折り返し行にも収まらない語がありました");
}

const bool kRegistered = qimtool::RegisterCommand(kHeader);

}  // namespace
