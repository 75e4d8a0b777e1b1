// Shows the From and Subject of the message being received: each unfolded,
// decoded header field goes to the display's two lines. A value of
// qimpop3::kHeaderShowLimit bytes or more leaves its line as it was.
#pragma once

#include <functional>
#include <string>

#include "common/SMHUnfoldDecode.h"

class SSetHeaderStatus : public SMHUnfoldDecode {
public:
    // Receives the Shift_JIS value for the From or the Subject line.
    using Show = std::function<void(const std::string& value)>;

    SSetHeaderStatus(Show showFrom, Show showSubject);
    ~SSetHeaderStatus() override;

    bool Action(const char* field) override;

private:
    Show showFrom_;
    Show showSubject_;
};
