#include "imap/SImap4Flags.h"

#include <strings.h>

#include "imap/Imap4Codes.h"
#include "store/QimStoreCodes.h"

namespace qimimap {

namespace {

struct FlagWord {
    unsigned bit;
    const char* word;
};
constexpr FlagWord kFlagWords[] = {
    {kFlagSeen, "\\Seen"},     {kFlagAnswered, "\\Answered"}, {kFlagFlagged, "\\Flagged"},
    {kFlagDeleted, "\\Deleted"}, {kFlagDraft, "\\Draft"},     {kFlagRecent, "\\Recent"},
};

}  // namespace

std::string FlagListText(unsigned flags) {
    std::string text;
    for (const FlagWord& f : kFlagWords) {
        if ((flags & f.bit) == 0) continue;
        if (!text.empty()) text.push_back(' ');
        text.append(f.word);
    }
    return text;
}

unsigned FlagBitOf(const std::string& word) {
    for (const FlagWord& f : kFlagWords)
        if (strcasecmp(word.c_str(), f.word) == 0) return f.bit;
    return 0;
}

unsigned FlagBitsOfList(const std::string& words) {
    unsigned bits = 0;
    std::size_t pos = 0;
    while (pos < words.size()) {
        const std::size_t end = words.find_first_of(" ()", pos);
        const std::size_t stop = end == std::string::npos ? words.size() : end;
        if (stop > pos) bits |= FlagBitOf(words.substr(pos, stop - pos));
        pos = stop + 1;
    }
    return bits;
}

unsigned char MarkOfFlags(unsigned flags) {
    unsigned char mark = qimstore::kMarkNone;
    if (flags & kFlagSeen) mark |= qimstore::kMarkRead;
    if (flags & kFlagRecent) mark |= kMarkRecent;
    return mark;
}

unsigned FlagsOfMark(unsigned char mark) {
    unsigned flags = 0;
    if (mark & qimstore::kMarkRead) flags |= kFlagSeen;
    if (mark & kMarkRecent) flags |= kFlagRecent;
    return flags;
}

}  // namespace qimimap
