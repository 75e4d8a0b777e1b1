// The requests windows send to the application object, served through a table
// keyed by request code (QimRequestCodes.h). A code nobody serves answers 0.
#pragma once

#include <functional>
#include <map>
#include <string>

struct SAppRequest {
    int code = 0;
    int flag = 0;             // sub-code or flag
    std::string text;         // the argument: a URL, a folder path (Shift_JIS)
    std::string answerText;   // an answer that is a text: the home directory, the mail address
};

class SRequestDispatcher {
public:
    using Handler = std::function<long(SAppRequest& request)>;

    // Replaces any handler the code had.
    void Register(int code, Handler handler);
    bool Has(int code) const;
    long Dispatch(SAppRequest& request) const;

private:
    std::map<int, Handler> table_;
};
