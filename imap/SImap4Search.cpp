#include "imap/SImap4Search.h"

#include <strings.h>

#include <vector>

#include "common/JapaneseCodes.h"
#include "common/SHanZenKana.h"
#include "imap/Imap4Codes.h"

namespace {

// Shift_JIS -> ISO-2022-JP; half-width katakana, which JIS mail cannot hold,
// is widened first so that it matches what the server keeps.
std::string ToJis(const std::string& sjis) {
    std::string wide;
    if (!SHanZenKana().Han2Zen(sjis, wide)) wide = sjis;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(wide.c_str());
    std::vector<char> out(static_cast<std::size_t>(LengthAsJis(s)) + 1);
    const int n = Sjis2Jis(out.data(), s);
    return std::string(out.data(), static_cast<std::size_t>(n));
}

constexpr std::size_t kNumberDigitsMax = 10;

}  // namespace

SImap4Command SImap4Search::CommandFor(const SFindMailCondition& condition) {
    SImap4Command command("SEARCH");
    std::string pattern(condition.Pattern(), static_cast<std::size_t>(condition.PatternLength()));
    if (!IsUSAscii(reinterpret_cast<const unsigned char*>(pattern.c_str()))) {
        command.Raw(" CHARSET ISO-2022-JP");
        pattern = ToJis(pattern);
    }
    const std::string field(condition.FieldName(), static_cast<std::size_t>(condition.FieldNameLength()));
    if (condition.Where() == SFindMailCondition::FindInBody) {
        command.Raw(" BODY");
    } else if (condition.Where() == SFindMailCondition::FindInField && !field.empty()) {
        command.Raw(" HEADER").Arg(field);
    } else {
        // The whole message, and every header field (IMAP has no criterion
        // for the header as a whole).
        command.Raw(" TEXT");
    }
    command.Arg(pattern);
    return command;
}

void SImap4Search::Begin(std::string* result) {
    result_ = result;
    if (result_) result_->clear();
    number_.clear();
    bad_ = false;
    full_ = false;
}

void SImap4Search::AddPiece(const char* text, int length, bool lineStart, bool cut) {
    int i = 0;
    if (lineStart) {
        // "* SEARCH": the numbers follow the word.
        std::string line(text, static_cast<std::size_t>(length));
        const std::size_t word = line.find(' ');
        std::size_t at = word == std::string::npos ? std::string::npos : line.find_first_not_of(' ', word);
        if (at == std::string::npos || strncasecmp(line.c_str() + at, "SEARCH", 6) != 0) return;
        i = static_cast<int>(at + 6);
    }
    for (; i < length; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (number_.size() < kNumberDigitsMax) number_.push_back(c);
            else bad_ = true;
        } else if (c == ' ' || c == '\r' || c == '\n') {
            EndNumber();
        } else {
            bad_ = true;
        }
    }
    if (!cut) EndNumber();
}

void SImap4Search::EndNumber() {
    if (!number_.empty() && !bad_ && !full_ && result_) {
        const std::size_t grown = result_->size() + (result_->empty() ? 0 : 1) + number_.size();
        if (grown < static_cast<std::size_t>(qimimap::kSearchResultLimit)) {
            if (!result_->empty()) result_->push_back(' ');
            result_->append(number_);
        } else {
            full_ = true;
        }
    }
    number_.clear();
    bad_ = false;
}
