#include "tools/ToolCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/CodePage.h"

namespace qimtool {
namespace {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

bool ReadStream(FILE* fp, std::string& data) {
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) data.append(buf, n);
    return !std::ferror(fp);
}

}  // namespace

char* ByteBuffer::Room(std::size_t extra) {
    if (size_ + extra > capacity_) {
        std::size_t capacity = std::max(size_ + extra, capacity_ * 2);
        std::unique_ptr<char[]> bigger(new char[capacity]);
        if (size_) std::memcpy(bigger.get(), data_.get(), size_);
        data_ = std::move(bigger);
        capacity_ = capacity;
    }
    return data_.get() + size_;
}

void ByteBuffer::Append(const char* data, std::size_t length) {
    std::memcpy(Room(length), data, length);
    Commit(length);
}

InputStream::~InputStream() {
    if (own_ && fp_) std::fclose(fp_);
}

bool InputStream::Open(const std::string& path) {
    if (path.empty() || path == "-") {
        fp_ = stdin;
        return true;
    }
    fp_ = std::fopen(path.c_str(), "rbe");
    own_ = true;
    return fp_ != nullptr;
}

bool InputStream::Read(std::string& piece) {
    constexpr std::size_t kBlock = 1 << 20;
    piece.resize(kBlock);
    std::size_t n = std::fread(piece.data(), 1, kBlock, fp_);
    piece.resize(n);
    if (std::ferror(fp_)) failed_ = true;
    return n > 0;
}

OutputStream::~OutputStream() { Close(); }

bool OutputStream::Open(const std::string& path) {
    if (path.empty() || path == "-") {
        fp_ = stdout;
        return true;
    }
    fp_ = std::fopen(path.c_str(), "wbe");
    own_ = true;
    return fp_ != nullptr;
}

bool OutputStream::Write(const char* data, std::size_t length) {
    return length == 0 || std::fwrite(data, 1, length, fp_) == length;
}

bool OutputStream::Close() {
    if (!fp_) return true;
    bool ok = own_ ? std::fclose(fp_) == 0 : std::fflush(fp_) == 0;
    fp_ = nullptr;
    return ok;
}

bool RegisterCommand(const Command& command) {
    Registry().push_back(command);
    return true;
}

const std::vector<Command>& Commands() { return Registry(); }

int UsageError(const Command& command, const std::string& message) {
    std::fprintf(stderr, "qimtool %s: %s\n使い方: qimtool %s %s\n", command.name, message.c_str(), command.name,
                 command.usage);
    return kExitUsage;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "qimtool: %s\n", message.c_str());
    return kExitFailure;
}

bool ParsedArgs::Has(const std::string& flag) const {
    for (const std::string& f : flags)
        if (f == flag) return true;
    return false;
}

const std::string* ParsedArgs::Value(const std::string& option) const {
    for (const auto& [name, value] : values)
        if (name == option) return &value;
    return nullptr;
}

bool ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& flagNames,
               const std::vector<std::string>& valueNames, ParsedArgs& out, std::string& error) {
    auto known = [](const std::vector<std::string>& names, const std::string& a) {
        for (const std::string& n : names)
            if (n == a) return true;
        return false;
    };
    bool onlyOperands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyOperands || a.size() < 2 || a[0] != '-' || a == "-") {
            out.operands.push_back(a);
        } else if (a == "--") {
            onlyOperands = true;
        } else if (known(flagNames, a)) {
            out.flags.push_back(a);
        } else if (known(valueNames, a)) {
            if (i + 1 >= args.size()) {
                error = a + " には値が必要です";
                return false;
            }
            out.values.emplace_back(a, args[++i]);
        } else {
            error = "不明なオプションです: " + a;
            return false;
        }
    }
    return true;
}

bool ReadInput(const std::string& path, std::string& data) {
    data.clear();
    if (path.empty() || path == "-") return ReadStream(stdin, data);
    FILE* fp = std::fopen(path.c_str(), "rbe");
    if (!fp) return false;
    bool ok = ReadStream(fp, data);
    std::fclose(fp);
    return ok;
}

bool WriteOutput(const std::string& path, const std::string& data) {
    return WriteOutput(path, data.data(), data.size());
}

bool WriteOutput(const std::string& path, const char* data, std::size_t length) {
    if (path.empty() || path == "-") {
        return std::fwrite(data, 1, length, stdout) == length && std::fflush(stdout) == 0;
    }
    FILE* fp = std::fopen(path.c_str(), "wbe");
    if (!fp) return false;
    bool ok = std::fwrite(data, 1, length, fp) == length;
    return (std::fclose(fp) == 0) && ok;
}

bool TerminalToSjis(const std::string& utf8, std::string& sjis) {
    return static_cast<bool>(platform::Utf8ToCp932(utf8, sjis));
}

bool SjisToTerminal(const std::string& sjis, std::string& utf8) {
    return static_cast<bool>(platform::Cp932ToUtf8(sjis, utf8));
}

}  // namespace qimtool
