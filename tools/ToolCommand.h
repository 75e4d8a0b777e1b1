// The subcommand registry of qimtool. Each tools/*.cpp registers its own
// subcommands from a namespace-scope initialiser, so adding one needs no
// central edit.
//
// Conventions: data in on stdin and out on stdout unless files are named, as
// Shift_JIS bytes like the files (--utf8 converts text data at both ends);
// arguments typed by a person are UTF-8 and converted inside. Exit status 0
// success, 1 failure of the work (or nothing found), 2 bad usage.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace qimtool {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

using CommandFunction = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* usage;    // arguments after the name
    const char* summary;  // one line, shown by --help
    CommandFunction run;
};

bool RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

// Prints "qimtool NAME: message" and the usage line on stderr; returns 2.
int UsageError(const Command& command, const std::string& message);
// Prints "qimtool: message" on stderr; returns 1.
int Failure(const std::string& message);

// Options and operands of one subcommand. Flags take no value; value options
// take the next argument. Anything else starting with "--" is an error.
struct ParsedArgs {
    std::vector<std::string> flags;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> operands;
    bool Has(const std::string& flag) const;
    const std::string* Value(const std::string& option) const;
};
bool ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& flagNames,
               const std::vector<std::string>& valueNames, ParsedArgs& out, std::string& error);

// A byte buffer that grows without clearing the new room first, for
// converters that write straight into it.
class ByteBuffer {
public:
    // Room for `extra` more bytes after Size(); the caller writes there and
    // then calls Commit with the number written.
    char* Room(std::size_t extra);
    void Commit(std::size_t written) { size_ += written; }
    void Append(const char* data, std::size_t length);
    void Clear() { size_ = 0; }
    const char* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }
    std::string Str() const { return std::string(data_.get(), size_); }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Input read a block at a time from a named file or, for "" or "-", stdin.
class InputStream {
public:
    ~InputStream();
    bool Open(const std::string& path);
    // The next block into `piece` (replacing it); false at the end or on error.
    bool Read(std::string& piece);
    bool Failed() const { return failed_; }

private:
    FILE* fp_ = nullptr;
    bool own_ = false;
    bool failed_ = false;
};

// Output to a named file or, for "" or "-", stdout.
class OutputStream {
public:
    ~OutputStream();
    bool Open(const std::string& path);
    bool Write(const char* data, std::size_t length);
    bool Close();

private:
    FILE* fp_ = nullptr;
    bool own_ = false;
};

// Whole input from a named file (a path as typed, used as it is) or, for "" or "-", from stdin (binary).
bool ReadInput(const std::string& path, std::string& data);
// To a named file or, for "" or "-", to stdout (binary).
bool WriteOutput(const std::string& path, const std::string& data);
bool WriteOutput(const std::string& path, const char* data, std::size_t length);

// Text typed at a terminal (UTF-8) to Shift_JIS and back; false when it has no
// such form.
bool TerminalToSjis(const std::string& utf8, std::string& sjis);
bool SjisToTerminal(const std::string& sjis, std::string& utf8);

}  // namespace qimtool
