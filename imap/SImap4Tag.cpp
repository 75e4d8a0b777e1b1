#include "imap/SImap4Tag.h"

const char* SImap4Tag::Next() {
    if (++number_ > 9999) {
        number_ = 0;
        if (++letter_ > 'y') letter_ = 'a';
    }
    // "%c%04d", written out: the letter and four digits.
    text_[0] = static_cast<char>(letter_);
    int n = number_;
    for (int i = 4; i >= 1; --i, n /= 10) text_[i] = static_cast<char>('0' + n % 10);
    text_[5] = '\0';
    return text_;
}
