// A table of message texts by number, written in UTF-8 in the source and
// handed out in Shift_JIS (converted once, on first use). The library's table
// and the program's table are both one of these.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class SStringTable {
public:
    struct Entry {
        unsigned id;
        const char* utf8;
    };

    SStringTable(const Entry* entries, std::size_t count) : entries_(entries), count_(count) {}

    // The text of `id`; empty when the table has no such string.
    std::string Load(unsigned id) const;
    // Copies the text into `buffer` (at most size-1 bytes, never half of a
    // double-byte character, then NUL) and returns the bytes copied; 0 when the
    // table has no such string or there is no room.
    int Load(unsigned id, char* buffer, int size) const;
    // Every number the table holds, in ascending order.
    std::vector<unsigned> Ids() const;

private:
    struct Loaded {
        unsigned id;
        std::string sjis;
    };
    const std::vector<Loaded>& Table() const;
    const std::string* Find(unsigned id) const;

    const Entry* entries_;
    std::size_t count_;
    mutable std::vector<Loaded> table_;
    mutable bool loaded_ = false;
};
