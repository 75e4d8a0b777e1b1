#include "common/SStringTable.h"

#include <algorithm>
#include <cstring>

#include "common/MbChar.h"
#include "platform/CodePage.h"

const std::vector<SStringTable::Loaded>& SStringTable::Table() const {
    if (!loaded_) {
        for (std::size_t i = 0; i < count_; ++i) {
            Loaded l{entries_[i].id, {}};
            // Every text has a Shift_JIS form; the tables' tests keep it so.
            platform::Utf8ToCp932(entries_[i].utf8, l.sjis);
            table_.push_back(std::move(l));
        }
        std::sort(table_.begin(), table_.end(), [](const Loaded& a, const Loaded& b) { return a.id < b.id; });
        loaded_ = true;
    }
    return table_;
}

const std::string* SStringTable::Find(unsigned id) const {
    const std::vector<Loaded>& t = Table();
    auto it = std::lower_bound(t.begin(), t.end(), id, [](const Loaded& l, unsigned v) { return l.id < v; });
    return (it != t.end() && it->id == id) ? &it->sjis : nullptr;
}

std::string SStringTable::Load(unsigned id) const {
    const std::string* s = Find(id);
    return s ? *s : std::string();
}

int SStringTable::Load(unsigned id, char* buffer, int size) const {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    const std::string* s = Find(id);
    if (!s) return 0;
    std::size_t n = 0;
    while (n < s->size()) {
        const std::size_t len = MbCharLen(s->c_str() + n);
        if (n + len > static_cast<std::size_t>(size - 1)) break;
        n += len;
    }
    std::memcpy(buffer, s->data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::vector<unsigned> SStringTable::Ids() const {
    std::vector<unsigned> ids;
    for (const Loaded& l : Table()) ids.push_back(l.id);
    return ids;
}
