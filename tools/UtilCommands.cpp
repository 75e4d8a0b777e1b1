// mutf7: IMAP4 mailbox names to and from modified UTF-7.
// date: Internet dates to the header list's date keys, and times to the Date
// field Qim writes.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "common/InetDate.h"
#include "common/ModifiedUTF7.h"
#include "tools/ToolCommand.h"

namespace {

int Mutf7Command(const std::vector<std::string>& args);
int DateCommand(const std::vector<std::string>& args);

const qimtool::Command kMutf7{"mutf7", "encode|decode [--utf8] [NAME...]",
                              "IMAP4 のフォルダー名と modified UTF-7 の変換", Mutf7Command};
const qimtool::Command kDate{"date", "parse [--fields] [TEXT...] | format [EPOCH]",
                             "メールの日付と一覧の日付キーの変換", DateCommand};

const char kMutf7Help[] =
    "使い方: qimtool mutf7 encode|decode [--utf8] [NAME...]\n"
    "  encode  Shift_JIS のフォルダー名を modified UTF-7 (RFC 3501) にする (半角カナは全角にしてから)\n"
    "  decode  modified UTF-7 の名前を Shift_JIS に戻す\n"
    "NAME を並べるとそれぞれを (端末の UTF-8 として) 変換し、なければ標準入力の各行を変換します。\n"
    "入出力は Shift_JIS、--utf8 で UTF-8。1 行に 1 つの名前を書きます。\n"
    "変換できない名前があると終了状態は 1 (decode はそのまま残した形を書きます)。\n";

const char kDateHelp[] =
    "使い方: qimtool date parse [--fields] [TEXT...]\n"
    "        qimtool date format [EPOCH]\n"
    "  parse   メールの日付 (\"Thu, 10 Dec 2026 13:15:00 +0900\") を一覧の日付キー \"%y.%m.%d %H:%M\"\n"
    "          (26.12.10 13:15) にする。TEXT がなければ標準入力の各行。時差は読みません。\n"
    "          読めなかった欄は空の日付と同じ (00.00.00 00:00 の各欄) になります。\n"
    "          --fields: 読み取った欄 (tm の値) をそのまま表示する\n"
    "  format  EPOCH (1970 年からの秒数、省略すると現在) をこの機械の地方時で Date 欄の形にする。\n"
    "          時差はいつも +0900 と書きます (Qim が書く形)。\n";

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

// The names to convert: the operands (typed, so UTF-8) or the lines of stdin.
bool CollectNames(const qimtool::ParsedArgs& parsed, std::size_t first, bool utf8In,
                  std::vector<std::string>& names, std::string& error) {
    if (parsed.operands.size() > first) {
        for (std::size_t i = first; i < parsed.operands.size(); ++i) {
            std::string sjis;
            if (!qimtool::TerminalToSjis(parsed.operands[i], sjis)) {
                error = "Shift_JIS にできない名前です: " + parsed.operands[i];
                return false;
            }
            names.push_back(sjis);
        }
        return true;
    }
    std::string data;
    if (!qimtool::ReadInput("-", data)) {
        error = "入力を読めません";
        return false;
    }
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        if (end == std::string::npos) end = data.size();
        std::string line = data.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (utf8In) {
            std::string sjis;
            if (!qimtool::TerminalToSjis(line, sjis)) {
                error = "Shift_JIS にできない名前です: " + line;
                return false;
            }
            line.swap(sjis);
        }
        names.push_back(line);
        start = end + 1;
    }
    return true;
}

bool WriteLine(const std::string& sjis, bool utf8Out) {
    std::string text = sjis;
    if (utf8Out && !qimtool::SjisToTerminal(sjis, text)) text = sjis;  // raw bytes rather than nothing
    text += '\n';
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

int Mutf7Command(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::fputs(kMutf7Help, stdout);
        return qimtool::kExitOk;
    }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {}, parsed, error)) return qimtool::UsageError(kMutf7, error);
    if (parsed.operands.empty()) return qimtool::UsageError(kMutf7, "encode か decode を指定してください");
    const std::string& mode = parsed.operands[0];
    if (mode != "encode" && mode != "decode") return qimtool::UsageError(kMutf7, "不明な指定です: " + mode);
    const bool utf8 = parsed.Has("--utf8");
    std::vector<std::string> names;
    // Operands are typed at a terminal, so they are UTF-8 whatever --utf8 says.
    if (!CollectNames(parsed, 1, utf8, names, error)) return qimtool::Failure(error);

    bool allOk = true;
    for (const std::string& name : names) {
        std::string out;
        const bool ok = mode == "encode" ? ModifiedUTF7::Encode(name, out) : ModifiedUTF7::Decode(name, out);
        if (!ok) {
            allOk = false;
            std::string shown;
            if (!qimtool::SjisToTerminal(name, shown)) shown = name;
            std::fprintf(stderr, "qimtool: 変換できない名前です: %s\n", shown.c_str());
            if (mode == "encode") continue;
        }
        if (!WriteLine(out, utf8 && mode == "decode")) return qimtool::Failure("出力を書けません");
    }
    if (std::fflush(stdout) != 0) return qimtool::Failure("出力を書けません");
    return allOk ? qimtool::kExitOk : qimtool::kExitFailure;
}

int DateParse(const qimtool::ParsedArgs& parsed) {
    std::vector<std::string> texts;
    std::string error;
    if (!CollectNames(parsed, 1, false, texts, error)) return qimtool::Failure(error);
    for (const std::string& text : texts) {
        // Fields the text does not reach keep the values of an empty date.
        std::tm t{};
        InetDateToDate("", &t);
        t.tm_wday = -1;
        InetDateToDate(text.c_str(), &t);
        char line[160];
        if (parsed.Has("--fields")) {
            std::snprintf(line, sizeof line, "year=%d mon=%d mday=%d hour=%d min=%d sec=%d wday=%d", t.tm_year,
                          t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_wday);
        } else {
            FormatDateKey(t, line);
        }
        std::printf("%s\n", line);
    }
    return std::fflush(stdout) == 0 ? qimtool::kExitOk : qimtool::Failure("出力を書けません");
}

int DateFormat(const qimtool::ParsedArgs& parsed) {
    if (parsed.operands.size() > 2) return qimtool::UsageError(kDate, "引数が多すぎます");
    std::time_t when = std::time(nullptr);
    if (parsed.operands.size() == 2) {
        const std::string& text = parsed.operands[1];
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end || errno == ERANGE) return qimtool::UsageError(kDate, "秒数ではありません: " + text);
        when = static_cast<std::time_t>(v);
    }
    std::tm local{};
    if (!localtime_r(&when, &local)) return qimtool::Failure("その時刻は表せません");
    std::printf("%s\n", DateToInetDate(local).c_str());
    return std::fflush(stdout) == 0 ? qimtool::kExitOk : qimtool::Failure("出力を書けません");
}

int DateCommand(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::fputs(kDateHelp, stdout);
        return qimtool::kExitOk;
    }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--fields"}, {}, parsed, error)) return qimtool::UsageError(kDate, error);
    if (parsed.operands.empty()) return qimtool::UsageError(kDate, "parse か format を指定してください");
    const std::string& mode = parsed.operands[0];
    if (mode == "parse") return DateParse(parsed);
    if (mode == "format") {
        if (parsed.Has("--fields")) return qimtool::UsageError(kDate, "--fields は parse だけのものです");
        return DateFormat(parsed);
    }
    return qimtool::UsageError(kDate, "不明な指定です: " + mode);
}

const bool kRegistered = qimtool::RegisterCommand(kMutf7) && qimtool::RegisterCommand(kDate);

}  // namespace
