#include "store/SQimComparator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/FilePath.h"
#include "common/InetDate.h"

using namespace qimstore;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c; }

bool IsDescending(int direction) { return direction == kDirDescending || direction == kDirThreadDescending; }

}  // namespace

void SQimComparator::SetDirection(int column, int direction) { directions_[Clamp(column)] = direction; }

void SQimComparator::StepDirection(int column) {
    int& d = directions_[Clamp(column)];
    const int last = Clamp(column) == kColumnSubject ? kDirThreadDescending : kDirDescending;
    d = d >= last ? kDirAscending : d + 1;
}

void SQimComparator::Reset() {
    for (int& d : directions_) d = kDirNone;
}

const char* SQimComparator::ThreadKey(const char* s) {
    s = SkipBlanks(s);
    if (*s == '[') {
        // Only a tag that closes counts; the search goes by whole characters so
        // that a "]" byte inside a double-byte character is no end.
        const char* p = s + 1;
        while (*p && *p != ']') {
            const unsigned char c = static_cast<unsigned char>(*p);
            const bool lead = (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc);
            p += lead && p[1] ? 2 : 1;
        }
        if (*p == ']') s = SkipBlanks(p + 1);
    }
    s = SkipBlanks(s);
    if (s[0] == 'R' && (s[1] == 'e' || s[1] == 'E') && s[2] == ':') s = SkipBlanks(s + 3);
    return s;
}

int SQimComparator::LocaleCompare(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    int caseOrder = 0;
    for (; *p && *q; ++p, ++q) {
        const unsigned char x = Lower(*p), y = Lower(*q);
        if (x != y) return x < y ? -1 : 1;
        // Same letter: small before capital, decided only when all else is equal.
        if (caseOrder == 0 && *p != *q) caseOrder = *p > *q ? -1 : 1;
    }
    if (*p || *q) return *p ? 1 : -1;
    return caseOrder;
}

int SQimComparator::ThreadCompare(const char* a, const char* b) {
    const int r = LocaleCompare(ThreadKey(a), ThreadKey(b));
    return r != 0 ? r : LocaleCompare(a, b);
}

int SQimComparator::CompareFields(const SQimMailData& a, const SQimMailData& b, int column) const {
    switch (column) {
    case kColumnNumber:
        return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    case kColumnDate:
        return Sign(CompareDate(a.header.date.c_str(), b.header.date.c_str()));
    case kColumnFrom:
        return showsTo_ ? Sign(a.header.to.compare(b.header.to)) : Sign(a.header.from.compare(b.header.from));
    case kColumnSubject: {
        const int d = directions_[kColumnSubject];
        if (d == kDirThreadAscending || d == kDirThreadDescending)
            return Sign(ThreadCompare(a.header.subject.c_str(), b.header.subject.c_str()));
        return Sign(a.header.subject.compare(b.header.subject));
    }
    default:
        return 0;
    }
}

int SQimComparator::Compare(const SQimMailData& a, const SQimMailData& b, int column) const {
    column = Clamp(column);
    int r = CompareFields(a, b, column);
    if (r == 0) r = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    return IsDescending(directions_[column]) ? -r : r;
}

namespace {

// A date key "yy.mm.dd HH:MM" as one number that orders as CompareDate does
// (years below 60 after the others); false for any other shape.
bool DateKeyValue(const std::string& key, std::uint64_t& value) {
    static const char kShape[] = "00.00.00 00:00";
    if (key.size() != sizeof kShape - 1) return false;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char c = key[i];
        if (kShape[i] != '0') {
            if (c != kShape[i]) return false;
            continue;
        }
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    // The year is the first two of the ten digits.
    constexpr std::uint64_t kYear = 100000000;
    if (v / kYear < 60) v += 100 * kYear;
    value = v;
    return true;
}

struct DatedRow {
    std::uint64_t key;
    int number;
    const SQimMailData* row;
};

// The date order of `rows` through one number per row, which a folder of
// 100 000 mails needs to sort at once; false (rows untouched) when a date
// is not a well-formed key.
bool SortByDateKeys(std::vector<const SQimMailData*>& rows, bool descending) {
    std::vector<DatedRow> keyed;
    keyed.reserve(rows.size());
    for (const SQimMailData* r : rows) {
        std::uint64_t key = 0;
        if (!DateKeyValue(r->header.date, key)) return false;
        keyed.push_back(DatedRow{key, r->number, r});
    }
    auto less = [](const DatedRow& a, const DatedRow& b) {
        return a.key != b.key ? a.key < b.key : a.number < b.number;
    };
    if (descending)
        std::stable_sort(keyed.begin(), keyed.end(), [&](const DatedRow& a, const DatedRow& b) { return less(b, a); });
    else
        std::stable_sort(keyed.begin(), keyed.end(), less);
    for (std::size_t i = 0; i < keyed.size(); ++i) rows[i] = keyed[i].row;
    return true;
}

struct ThreadRow {
    const char* key;
    const SQimMailData* row;
};

// The thread order with each subject's rest found once instead of at every
// comparison.
void SortByThreadKeys(std::vector<const SQimMailData*>& rows, bool descending) {
    std::vector<ThreadRow> keyed;
    keyed.reserve(rows.size());
    for (const SQimMailData* r : rows) keyed.push_back(ThreadRow{SQimComparator::ThreadKey(r->header.subject.c_str()), r});
    auto less = [](const ThreadRow& a, const ThreadRow& b) {
        int c = SQimComparator::LocaleCompare(a.key, b.key);
        if (c == 0) c = SQimComparator::LocaleCompare(a.row->header.subject.c_str(), b.row->header.subject.c_str());
        return c != 0 ? c < 0 : a.row->number < b.row->number;
    };
    if (descending)
        std::stable_sort(keyed.begin(), keyed.end(), [&](const ThreadRow& a, const ThreadRow& b) { return less(b, a); });
    else
        std::stable_sort(keyed.begin(), keyed.end(), less);
    for (std::size_t i = 0; i < keyed.size(); ++i) rows[i] = keyed[i].row;
}

}  // namespace

void SQimComparator::Sort(std::vector<const SQimMailData*>& rows, int column) const {
    column = Clamp(column);
    const int direction = directions_[column];
    if (column == kColumnDate && SortByDateKeys(rows, IsDescending(direction))) return;
    if (column == kColumnSubject && (direction == kDirThreadAscending || direction == kDirThreadDescending)) {
        SortByThreadKeys(rows, IsDescending(direction));
        return;
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const SQimMailData* a, const SQimMailData* b) { return Compare(*a, *b, column) < 0; });
}

bool DefaultSortOf(int defHLWSort, bool isInbox, int& column, int& direction) {
    if (!(defHLWSort & kSortOn)) return false;
    if (!(defHLWSort & kSortEveryFolder) && !isInbox) return false;
    column = defHLWSort & kSortColumnMask;
    const bool descending = (defHLWSort & kSortDescending) != 0;
    const bool thread = (defHLWSort & kSortThread) != 0;
    direction = thread ? (descending ? kDirThreadDescending : kDirThreadAscending)
                       : (descending ? kDirDescending : kDirAscending);
    return true;
}

bool SFromToChoice::AutomaticTo(const std::string& folder, const std::string& sentFolder,
                                const std::string& draftFolder) {
    return (!sentFolder.empty() && IsSameDir(folder, sentFolder)) ||
           (!draftFolder.empty() && IsSameDir(folder, draftFolder));
}
