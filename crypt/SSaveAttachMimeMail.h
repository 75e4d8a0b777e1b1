// The viewer's distributed mail: takes the attachments of the shown mail out
// into a folder, asking about each one (a question that describes the part,
// then a save dialog) or saving them all under their own names.
#pragma once

#include <functional>
#include <string>

#include "common/SDistMimeMail.h"

class SSaveAttachMimeMail : public SDistMimeMail {
public:
    SSaveAttachMimeMail(platform::ParentWindow owner, const char* path);

    // Saves the part (after the questions); a part the user skips is no
    // failure. A part that cannot be decoded shows "変です。復号出来ませんでした。"
    // and fails, without ending the walk.
    bool ActionPart(FILE* file, long start, long end, const SMimePart& part) override;
    // The viewer's walks tell the user at once, in order with the questions.
    void Report(const SNotice& notice) override;

    // The Yes/No question that describes one part, Shift_JIS.
    static std::string QuestionFor(const SMimePart& part);

    bool Ask() const { return ask_; }
    void SetAsk(bool ask) { ask_ = ask; }
    // The folder attachments go to; the home directory until set.
    const std::string& Destination() const { return destination_; }
    void SetDestination(const std::string& folder) { destination_ = folder; }
    // Attachments written since the last ResetSaved.
    int Saved() const { return saved_; }
    void ResetSaved() { saved_ = 0; }
    // Called with true before a part is decoded and false after (the window's
    // wait cursor); questions and dialogs stay outside.
    void SetBusyHook(std::function<void(bool)> hook) { busy_ = std::move(hook); }

protected:
    // The path to write the part to; empty to skip it.
    virtual std::string TargetFor(const SMimePart& part);
    // Decodes the part into `target` and counts it.
    bool SavePart(FILE* file, long start, long end, const SMimePart& part, const std::string& target);

    bool ask_ = true;
    std::string destination_;
    int saved_ = 0;
    std::function<void(bool)> busy_;
};

// The variant that never asks: every part goes into the home directory under
// its own name, replacing a file of that name (settings files restored from a
// mail); a read-only, hidden or system file keeps those attributes.
class SRestoreAttachMimeMail : public SSaveAttachMimeMail {
public:
    SRestoreAttachMimeMail(platform::ParentWindow owner, const char* path);
    bool ActionPart(FILE* file, long start, long end, const SMimePart& part) override;
};
