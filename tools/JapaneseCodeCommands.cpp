// sjis2jis, jis2sjis, han2zen: the code converters as filters (binary-safe:
// NUL bytes pass through and split the text around them).
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/JapaneseCodes.h"
#include "common/SHanZenKana.h"
#include "tools/ToolCommand.h"

namespace {

// Each converter appends the conversion of one stretch without a NUL, starting
// in the mode `mode` says and leaving there the mode at its end.
using Converter = void (*)(const char* in, std::size_t length, qimtool::ByteBuffer& out, JisMode& mode);

void ToJis(const char* in, std::size_t length, qimtool::ByteBuffer& out, JisMode&) {
    // Every input byte gives at most four output bytes (a designation and the
    // byte), plus the closing designation: enough room without counting first.
    char* dest = out.Room(4 * length + 4);
    out.Commit(static_cast<std::size_t>(
        Sjis2JisBytes(dest, reinterpret_cast<const unsigned char*>(in), static_cast<int>(length))));
}

void ToSjis(const char* in, std::size_t length, qimtool::ByteBuffer& out, JisMode& mode) {
    char* dest = out.Room(length + 1);
    out.Commit(static_cast<std::size_t>(
        Jis2SjisBytes(dest, reinterpret_cast<const unsigned char*>(in), static_cast<int>(length), mode)));
}

void Widen(const char* in, std::size_t length, qimtool::ByteBuffer& out, JisMode&) {
    const std::string text(in, length);  // the widener reads up to a NUL
    char* dest = out.Room(2 * length + 1);  // widening at most doubles the length
    SHanZenKana().Han2Zen(text.c_str(), dest, static_cast<int>(2 * length + 1));
    out.Commit(std::strlen(dest));
}

// Converts blocks of text in turn, as if they were one text: the mode at the
// end of a block is where the next one starts. A NUL is copied and splits the
// text: what follows it starts in ASCII.
class BlockConverter {
public:
    explicit BlockConverter(Converter convert) : convert_(convert) {}

    void Convert(const char* text, std::size_t size, qimtool::ByteBuffer& out) {
        const char* end = text + size;
        while (true) {
            const char* nul = static_cast<const char*>(std::memchr(text, '\0', static_cast<std::size_t>(end - text)));
            const char* stop = nul ? nul : end;
            convert_(text, static_cast<std::size_t>(stop - text), out, mode_);
            if (!nul) break;
            out.Append("", 1);
            mode_ = JisMode::Ascii;
            text = nul + 1;
        }
    }

private:
    Converter convert_;
    JisMode mode_ = JisMode::Ascii;
};

// Where a block may end: after the last line end or NUL among `size` bytes;
// 0 when there is none.
std::size_t CutPoint(const char* data, std::size_t size) {
    for (std::size_t i = size; i > 0; --i) {
        if (data[i - 1] == '\n' || data[i - 1] == '\0') return i;
    }
    return 0;
}

// The input is converted a block at a time, each block cut after a line end
// or a NUL, so no character is split and memory stays small on large files.
// The bytes after the cut move to the front of the buffer for the next read.
int RunFilter(const qimtool::Command& self, const std::vector<std::string>& args, Converter convert,
              bool utf8In, bool utf8Out) {
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {}, parsed, error)) return qimtool::UsageError(self, error);
    if (parsed.operands.size() > 2) return qimtool::UsageError(self, "引数が多すぎます");
    std::string inPath = parsed.operands.size() > 0 ? parsed.operands[0] : "-";
    std::string outPath = parsed.operands.size() > 1 ? parsed.operands[1] : "-";
    FILE* in = inPath == "-" ? stdin : std::fopen(inPath.c_str(), "rbe");
    if (!in) return qimtool::Failure("入力を読めません: " + inPath);
    std::unique_ptr<FILE, int (*)(FILE*)> closeIn(in == stdin ? nullptr : in, &std::fclose);
    qimtool::OutputStream output;
    if (!output.Open(outPath)) return qimtool::Failure("出力を書けません: " + outPath);
    const bool utf8 = parsed.Has("--utf8");
    BlockConverter converter(convert);

    constexpr std::size_t kBlock = 1 << 20;
    std::vector<char> buffer(kBlock);
    std::size_t held = 0;  // bytes in the buffer not yet converted
    std::string block, text;
    qimtool::ByteBuffer out;
    bool more = true;
    while (more) {
        if (buffer.size() - held < kBlock / 2) buffer.resize(buffer.size() * 2);  // a line longer than a block
        const std::size_t n = std::fread(buffer.data() + held, 1, buffer.size() - held, in);
        if (std::ferror(in)) return qimtool::Failure("入力を読めません: " + inPath);
        more = n > 0;
        held += n;
        const std::size_t cut = more ? CutPoint(buffer.data(), held) : held;
        if (cut == 0) continue;  // no cut point yet: read on
        out.Clear();
        if (utf8 && utf8In) {
            block.assign(buffer.data(), cut);
            if (!qimtool::TerminalToSjis(block, text)) return qimtool::Failure("入力を Shift_JIS に変換できません");
            converter.Convert(text.data(), text.size(), out);
        } else {
            converter.Convert(buffer.data(), cut, out);
        }
        std::memmove(buffer.data(), buffer.data() + cut, held - cut);
        held -= cut;
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
