#include "imap/SImap4Tag.h"

#include <cstdio>

const char* SImap4Tag::Next() {
    if (++number_ > 9999) {
        number_ = 0;
        if (++letter_ > 'y') letter_ = 'a';
    }
    std::snprintf(text_, sizeof text_, "%c%04d", letter_, number_);
    return text_;
}
