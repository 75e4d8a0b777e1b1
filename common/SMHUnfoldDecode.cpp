#include "common/SMHUnfoldDecode.h"

#include <cstring>
#include <vector>

#include "common/SHeaderField.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Raw 8-bit text may be UTF-8 (RFC 6532), which the store cannot keep as it is.
bool HasEightBit(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// The blank line that ends a header; a file read in text mode gives a bare LF.
bool IsHeaderEnd(const char* line) { return std::strcmp(line, "\r\n") == 0 || std::strcmp(line, "\n") == 0; }

}  // namespace

SMHUnfoldDecode::SMHUnfoldDecode() { SMHUnfoldDecode::Init(); }

SMHUnfoldDecode::~SMHUnfoldDecode() {
    if (!finished_) SMHUnfoldDecode::Finish();
}

void SMHUnfoldDecode::Init() {
    collected_.clear();
    finished_ = false;
}

bool SMHUnfoldDecode::Execute(const char* line) {
    if (!IsBlank(line[0])) {
        if (!collected_.empty()) {
            if (decode_ && (IsMimeHeader(collected_.c_str()) || HasEightBit(collected_))) {
                std::vector<char> decoded(collected_.size() + 1);
                if (DecodeALineSjis(collected_.c_str(), decoded.data())) collected_ = decoded.data();
            }
            if (!Action(collected_.c_str())) return false;
        }
        collected_ = line;
        return true;
    }
    if (!collected_.empty() && collected_.back() == '\n') collected_.pop_back();
    if (!collected_.empty() && collected_.back() == '\r') collected_.pop_back();
    const bool keepEachBlank =
        IsHeaderField(collected_.c_str(), "Subject:") || IsHeaderField(collected_.c_str(), "Comments:");
    const char* rest = line;
    std::size_t blanks = 0;
    while (IsBlank(*rest)) {
        ++rest;
        ++blanks;
    }
    collected_.append(keepEachBlank ? blanks : 1, ' ');
    collected_ += rest;
    return true;
}

bool SMHUnfoldDecode::Finish() {
    finished_ = true;
    // The base step, so that a mail reader past its header gets no empty body line.
    return SMHUnfoldDecode::Execute("");
}

bool SMHUnfoldDecode::Action(const char* field) { return field != nullptr; }

SMHUnfoldDecodeMail::SMHUnfoldDecodeMail() { inHeader_ = true; }

void SMHUnfoldDecodeMail::Init() {
    SMHUnfoldDecode::Init();
    inHeader_ = true;
}

bool SMHUnfoldDecodeMail::Execute(const char* line) {
    if (!inHeader_) return ActionBody(line);
    if (!IsHeaderEnd(line)) return SMHUnfoldDecode::Execute(line);
    inHeader_ = false;
    if (!Finish()) return false;
    return ActionBody(line);
}

bool SMHUnfoldDecodeMail::ActionBody(const char* line) { return Action(line); }
