// The progress window of a long encryption or decryption: a caption and a
// gauge that advances once per chunk. The windows give one; without it the
// work runs silently.
#pragma once

#include <string>

class SCryptProgress {
public:
    virtual ~SCryptProgress() = default;
    // `steps` is the number of Step calls to expect (at least 1).
    virtual void Begin(const std::string& caption, long steps) = 0;
    virtual void Step() = 0;
    virtual void End() = 0;
};
