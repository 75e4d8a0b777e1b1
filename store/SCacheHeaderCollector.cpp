#include "store/SCacheHeaderCollector.h"

#include <cstring>
#include <ctime>

#include "common/InetDate.h"
#include "common/SHeaderField.h"

namespace {

// A folded field stops growing at this length.
constexpr std::size_t kMaxFieldLength = 64 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

SCacheHeaderCollector::SCacheHeaderCollector() { SetDecode(true); }

SCacheHeaderCollector::~SCacheHeaderCollector() {
    if (!IsFinished()) SCacheHeaderCollector::Finish();
}

bool SCacheHeaderCollector::Execute(const char* line) {
    // A field folded without end keeps its first part only.
    if (IsBlank(line[0]) && collected_.size() >= kMaxFieldLength) return true;
    return SMHUnfoldDecode::Execute(line);
}

bool SCacheHeaderCollector::Action(const char* field) {
    static const char* const kNames[] = {"To:", "From:", "Subject:", "Date:"};
    std::string* const targets[] = {&data_.to, &data_.from, &data_.subject, &date_};
    for (int i = 0; i < 4; ++i) {
        const char* value = HeaderFieldValue(field, kNames[i]);
        if (!value) continue;
        const std::size_t length = std::strcspn(value, "\r\n");
        // The first of a repeated field counts, as every reader shows it.
        if (length == 0 || !targets[i]->empty()) break;
        targets[i]->assign(value, length);
        break;
    }
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
