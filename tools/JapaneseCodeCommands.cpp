// sjis2jis, jis2sjis, han2zen: the code converters as filters (binary-safe:
// NUL bytes pass through and split the text around them).
#include <cstring>
#include <string>
#include <vector>

#include "common/JapaneseCodes.h"
#include "common/SHanZenKana.h"
#include "tools/ToolCommand.h"

namespace {

// Each converter appends the conversion of one NUL-terminated stretch.
using Converter = void (*)(const char* in, std::size_t length, qimtool::ByteBuffer& out);

void ToJis(const char* in, std::size_t length, qimtool::ByteBuffer& out) {
    // Every input byte gives at most four output bytes (a designation and the
    // byte), plus the closing designation: enough room without counting first.
    char* dest = out.Room(4 * length + 4);
    out.Commit(static_cast<std::size_t>(Sjis2Jis(dest, reinterpret_cast<const unsigned char*>(in))));
}

void ToSjis(const char* in, std::size_t length, qimtool::ByteBuffer& out) {
    char* dest = out.Room(length + 1);
    out.Commit(static_cast<std::size_t>(Jis2Sjis(dest, reinterpret_cast<const unsigned char*>(in))));
}

void Widen(const char* in, std::size_t length, qimtool::ByteBuffer& out) {
    char* dest = out.Room(2 * length + 1);  // widening at most doubles the length
    SHanZenKana().Han2Zen(in, dest, static_cast<int>(2 * length + 1));
    out.Commit(std::strlen(dest));
}

// Whether JIS text that has been converted up to `end` is left in its kanji
// state: the last kanji-in or kanji-out sequence decides.
bool EndsInKanji(const std::string& text, std::size_t end) {
    for (std::size_t i = end; i >= 3; --i) {
        const char* p = text.data() + i - 3;
        if (p[0] != 0x1B) continue;
        if (p[1] == '$' && (p[2] == 'B' || p[2] == '@')) return true;
        if (p[1] == '(' && (p[2] == 'B' || p[2] == 'J')) return false;
    }
    return false;
}

// Converts blocks of text in turn, as if they were one text: a block that
// leaves JIS text in its kanji state hands that state to the next.
class BlockConverter {
public:
    BlockConverter(Converter convert, bool jisInput) : convert_(convert), jisInput_(jisInput) {}

    void Convert(const std::string& text, qimtool::ByteBuffer& out) {
        std::string block;
        if (kanji_) block = "\x1B$B";
        block += text;
        kanji_ = jisInput_ && EndsInKanji(block, block.size());
        // NULs are copied; they split the text the converters see.
        std::size_t start = 0;
        while (true) {
            std::size_t length = std::strlen(block.c_str() + start);
            convert_(block.c_str() + start, length, out);
            start += length;
            if (start >= block.size()) break;
            out.Append("", 1);
            ++start;
        }
    }

private:
    Converter convert_;
    bool jisInput_;
    bool kanji_ = false;
};

// The input is converted a block at a time, each block cut after a line end
// or a NUL, so no character is split and memory stays small on large files.
int RunFilter(const qimtool::Command& self, const std::vector<std::string>& args, Converter convert,
              bool utf8In, bool utf8Out) {
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {}, parsed, error)) return qimtool::UsageError(self, error);
    if (parsed.operands.size() > 2) return qimtool::UsageError(self, "引数が多すぎます");
    std::string inPath = parsed.operands.size() > 0 ? parsed.operands[0] : "-";
    std::string outPath = parsed.operands.size() > 1 ? parsed.operands[1] : "-";
    qimtool::InputStream in;
    if (!in.Open(inPath)) return qimtool::Failure("入力を読めません: " + inPath);
    qimtool::OutputStream output;
    if (!output.Open(outPath)) return qimtool::Failure("出力を書けません: " + outPath);
    const bool utf8 = parsed.Has("--utf8");
    BlockConverter converter(convert, convert == ToSjis);

    std::string pending, piece, block, text;
    qimtool::ByteBuffer out;
    bool more = true;
    while (more) {
        more = in.Read(piece);
        if (in.Failed()) return qimtool::Failure("入力を読めません: " + inPath);
        pending += piece;
        std::size_t cut = pending.size();
        if (more) {
            std::size_t end = pending.find_last_of(std::string("\n\0", 2));
            if (end == std::string::npos) continue;  // no cut point yet: read on
            cut = end + 1;
        }
        block.assign(pending, 0, cut);
        pending.erase(0, cut);
        if (utf8 && utf8In) {
            if (!qimtool::TerminalToSjis(block, text)) return qimtool::Failure("入力を Shift_JIS に変換できません");
            block.swap(text);
        }
        out.Clear();
        converter.Convert(block, out);
        bool written;
        if (utf8 && utf8Out) {
            if (!qimtool::SjisToTerminal(out.Str(), text)) return qimtool::Failure("出力を UTF-8 に変換できません");
            written = output.Write(text.data(), text.size());
        } else {
            written = output.Write(out.Data(), out.Size());
        }
        if (!written) return qimtool::Failure("出力を書けません: " + outPath);
    }
    if (!output.Close()) return qimtool::Failure("出力を書けません: " + outPath);
    return qimtool::kExitOk;
}

int Sjis2JisCommand(const std::vector<std::string>& args);
int Jis2SjisCommand(const std::vector<std::string>& args);
int Han2ZenCommand(const std::vector<std::string>& args);

const qimtool::Command kSjis2Jis{"sjis2jis", "[--utf8] [IN [OUT]]", "Shift_JIS を ISO-2022-JP に変換", Sjis2JisCommand};
const qimtool::Command kJis2Sjis{"jis2sjis", "[--utf8] [IN [OUT]]", "ISO-2022-JP を Shift_JIS に変換", Jis2SjisCommand};
const qimtool::Command kHan2Zen{"han2zen", "[--utf8] [IN [OUT]]", "半角カナを全角カナに変換", Han2ZenCommand};

int Sjis2JisCommand(const std::vector<std::string>& args) { return RunFilter(kSjis2Jis, args, ToJis, true, false); }
int Jis2SjisCommand(const std::vector<std::string>& args) { return RunFilter(kJis2Sjis, args, ToSjis, false, true); }
int Han2ZenCommand(const std::vector<std::string>& args) { return RunFilter(kHan2Zen, args, Widen, true, true); }

const bool kRegistered = qimtool::RegisterCommand(kSjis2Jis) && qimtool::RegisterCommand(kJis2Sjis) &&
                         qimtool::RegisterCommand(kHan2Zen);

}  // namespace
