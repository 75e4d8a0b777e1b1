#include "crypt/SUudecode.h"

#include <cstdio>
#include <cstring>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/FilePath.h"
#include "common/QimMessageBox.h"
#include "common/SCheckWindowsFileName.h"
#include "crypt/MailFileNames.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

using platform::MessageIcon;

namespace {

// Lines are read in pieces of at most this many bytes.
constexpr int kLineBuffer = 512;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool EndsName(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; }

// A data or "end" line without its line end.
std::string Chomp(const char* line) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

SUudecode::SUudecode(platform::ParentWindow owner, std::string initialDir)
    : owner_(owner), initialDir_(std::move(initialDir)) {}

bool SUudecode::ParseBegin(const char* line, std::string& name) {
    if (std::strncmp(line, "begin", 5) != 0 || !IsBlank(line[5])) return false;
    const char* p = line + 5;
    while (IsBlank(*p)) ++p;
    for (int i = 0; i < 3; ++i)
        if (p[i] < '0' || p[i] > '9') return false;
    if (!IsBlank(p[3])) return false;
    p += 3;
    while (IsBlank(*p)) ++p;
    const char* end = p;
    while (!EndsName(*end)) ++end;
    if (end == p) return false;
    name.assign(p, end);
    return true;
}

bool SUudecode::DecodeLine(const char* line, std::string& out, int& count) {
    out.clear();
    const std::string text = Chomp(line);
    if (text.empty()) return false;
    auto value = [](char c, int& v) {
        const int u = static_cast<unsigned char>(c);
        if (u < 32 || u > 96) return false;
        v = (u - 32) & 0x3F;
        return true;
    };
    if (!value(text[0], count)) return false;
    std::size_t at = 1;
    int left = count;
    while (left > 0) {
        if (at + 4 > text.size()) return false;
        int v[4];
        for (int i = 0; i < 4; ++i)
            if (!value(text[at + i], v[i])) return false;
        const unsigned char bytes[3] = {static_cast<unsigned char>(v[0] << 2 | v[1] >> 4),
                                        static_cast<unsigned char>((v[1] & 0x0F) << 4 | v[2] >> 2),
                                        static_cast<unsigned char>((v[2] & 0x03) << 6 | v[3])};
        const int take = left < 3 ? left : 3;
        out.append(reinterpret_cast<const char*>(bytes), take);
        left -= take;
        at += 4;
    }
    return true;
}

SUudecode::Result SUudecode::DecodeBlock(FILE* in, const std::string& target) {
    FILE* out = platform::OpenFile(target.c_str(), "wb");
    if (!out) return Result::CannotOpen;
    Result result = Result::NoEnd;
    char line[kLineBuffer];
    std::string bytes;
    while (std::fgets(line, sizeof line, in)) {
        int count = 0;
        if (!DecodeLine(line, bytes, count)) {
            result = Result::BadData;
            break;
        }
        if (count == 0) {
            result = std::fgets(line, sizeof line, in) && std::strncmp(line, "end", 3) == 0 ? Result::Done
                                                                                           : Result::NoEnd;
            break;
        }
        if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
            result = Result::WriteFailed;
            break;
        }
    }
    if (std::fclose(out) != 0 && result == Result::Done) result = Result::WriteFailed;
    // Half a file is worse than none: the user would take it for the attachment.
    if (result != Result::Done) platform::RemoveFile(target.c_str());
    return result;
}

SUudecode::Result SUudecode::Run(const char* mailPath) {
    saved_ = 0;
    FILE* in = platform::OpenFile(mailPath, "rb");
    if (!in) {
        Report(Result::CannotOpen);
        return Result::CannotOpen;
    }
    bool found = false;
    Result result = Result::Done;
    char line[kLineBuffer];
    while (result == Result::Done && std::fgets(line, sizeof line, in)) {
        std::string name;
        if (!ParseBegin(line, name)) continue;
        found = true;
        std::string proposed;
        MergeFilePath(proposed, initialDir_, PlainFileNameFromMail(name, "uudecode.out"));
        char path[kMaxPath] = {};
        if (proposed.size() >= sizeof path) proposed = PlainFileNameFromMail(name, "uudecode.out");
        proposed.copy(path, sizeof path - 1);
        // Cancel skips this block; the search goes on from the data lines, which never begin with "begin ".
        if (!GetSetSaveFileName(owner_, path, initialDir_.c_str(), sizeof path)) continue;
        result = DecodeBlock(in, path);
        if (result == Result::Done) ++saved_;
    }
    std::fclose(in);
    if (result == Result::Done && !found) result = Result::NoBegin;
    Report(result);
    return result;
}

void SUudecode::Report(Result result) const {
    unsigned id = 0;
    switch (result) {
    case Result::Done:
        if (saved_ > 0) {
            char text[256];
            std::snprintf(text, sizeof text, LoadQimString(qimstr::FilesSaved).c_str(), saved_);
            QimMessageBox(owner_, text, MessageIcon::Information);
        }
        return;
    case Result::CannotOpen: id = qimstr::CannotOpenFile; break;
    case Result::NoBegin: id = qimstr::UuNoEncodedText; break;
    case Result::BadData: id = qimstr::SomethingStrange; break;
    case Result::NoEnd: id = qimstr::UuNoEnd; break;
    case Result::WriteFailed: id = qimstr::FileWriteFailed; break;
    }
    QimMessageBox(owner_, LoadQimString(id).c_str(), MessageIcon::Stop);
}
