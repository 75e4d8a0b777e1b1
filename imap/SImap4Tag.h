// The tags of a session's commands: a0001, a0002, ... a9999, b0000, ... y9999,
// then a0000 again. The letter 'z' is never used.
#pragma once

class SImap4Tag {
public:
    // The tag of the next command.
    const char* Next();
    // The tag Next gave last (empty before the first).
    const char* Current() const { return text_; }

private:
    int letter_ = 'a';
    int number_ = 0;
    char text_[9] = {};
};
