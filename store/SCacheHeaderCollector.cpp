#include "store/SCacheHeaderCollector.h"

#include <cstring>
#include <ctime>

#include "common/InetDate.h"
#include "common/SHeaderField.h"

namespace {

// A folded field stops growing at this length.
constexpr std::size_t kMaxFieldLength = 64 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasEightBit(const char* s) {
    for (; *s; ++s)
        if (static_cast<unsigned char>(*s) >= 0x80) return true;
    return false;
}

// Whether the field begins with a plain name: printable ASCII other than '='
// (and blanks) up to its first colon. Decoding leaves such a start as it is,
// so the name can be told before decoding.
bool HasPlainName(const char* field) {
    for (const char* p = field; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == ':') return p != field;
        if (c == '=' || !(IsBlank(*p) || (c >= 0x21 && c <= 0x7E))) return false;
    }
    return false;
}

const char* const kNames[] = {"To:", "From:", "Subject:", "Date:"};

// Which of the four the field is by its name, -1 for none; `body` is set to
// what follows the colon. A name matches only where its first letter does,
// so one name at most is tried.
int KeptFieldOf(const char* field, const char*& body) {
    int i = -1;
    switch (field[0]) {
    case 'T': case 't': i = 0; break;
    case 'F': case 'f': i = 1; break;
    case 'S': case 's': i = 2; break;
    case 'D': case 'd': i = 3; break;
    default: return -1;
    }
    body = HeaderFieldBody(field, kNames[i]);
    return body ? i : -1;
}

}  // namespace

// Fields are decoded here, only those a record keeps: the other fields of a
// header need no decoding at all.
SCacheHeaderCollector::SCacheHeaderCollector() { SetDecode(false); }

SCacheHeaderCollector::~SCacheHeaderCollector() {
    if (!IsFinished()) SCacheHeaderCollector::Finish();
}

void SCacheHeaderCollector::Init() {
    SMHUnfoldDecode::Init();
    data_.to.clear();
    data_.from.clear();
    data_.subject.clear();
    data_.date.clear();
    date_.clear();
}

bool SCacheHeaderCollector::Execute(const char* line) {
    // A field folded without end keeps its first part only.
    if (IsBlank(line[0]) && collected_.size() >= kMaxFieldLength) return true;
    return SMHUnfoldDecode::Execute(line);
}

bool SCacheHeaderCollector::Action(const char* field) {
    const char* body = nullptr;
    const bool plain = HasPlainName(field);
    int i = plain ? KeptFieldOf(field, body) : -1;
    if (plain && i < 0) return true;
    const char* text = field;
    if (IsMimeHeader(field) || HasEightBit(field)) {
        decoded_.resize(std::strlen(field) + 1);
        if (DecodeALineSjis(field, decoded_.data())) text = decoded_.data();
    }
    // A plain name stays what it was, and where; any other start is read
    // after decoding.
    if (plain) body = text + (body - field);
    else i = KeptFieldOf(text, body);
    if (i < 0) return true;
    while (IsBlank(*body)) ++body;
    const std::size_t length = std::strcspn(body, "\r\n");
    // The first of a repeated field counts, as every reader shows it.
    std::string* const targets[] = {&data_.to, &data_.from, &data_.subject, &date_};
    if (length > 0 && targets[i]->empty()) targets[i]->assign(body, length);
    return true;
}

bool SCacheHeaderCollector::Finish() {
    const bool ok = SMHUnfoldDecode::Finish();
    std::tm t{};
    t.tm_mon = -1;
    t.tm_year = 100;
    InetDateToDate(date_.c_str(), &t);
    char key[kDateKeySize];
    data_.date = FormatDateKey(t, key);
    return ok;
}
