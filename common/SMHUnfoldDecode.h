// Line-driven header reading: continuation lines are unfolded, each complete
// field is decoded to Shift_JIS and handed to Action. The header cache, the
// receive dialog, the MIME analysis and the search derive from it.
#pragma once

#include <string>

#include "common/SHeaderMime.h"

class SMHUnfoldDecode : public SHeaderMime {
public:
    SMHUnfoldDecode();
    // Delivers the last field if Finish was not called. A subclass whose
    // Action must see that field calls Finish itself: by the time this runs,
    // the subclass is gone and only the base Action is left.
    ~SMHUnfoldDecode() override;

    virtual void Init();
    // One physical line including its line end.
    virtual bool Execute(const char* line);
    // Delivers the last collected field.
    virtual bool Finish();
    // One complete (unfolded, decoded) field with its line end. False stops the
    // reading at once.
    virtual bool Action(const char* field);

    void SetDecode(bool decode) { decode_ = decode; }
    bool IsFinished() const { return finished_; }

protected:
    std::string collected_;
    bool finished_ = false;
    bool decode_ = true;
};

// The same over a whole message: the header fields go to Action, then the
// blank line and every body line to ActionBody.
class SMHUnfoldDecodeMail : public SMHUnfoldDecode {
public:
    SMHUnfoldDecodeMail();

    void Init() override;
    bool Execute(const char* line) override;
    virtual bool ActionBody(const char* line);

    bool InHeader() const { return inHeader_; }

protected:
    bool inHeader_ = true;
};
