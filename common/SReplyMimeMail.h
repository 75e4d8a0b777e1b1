// Feeds the text of a stored message into an editor for quoting, each line
// behind a prefix: a message that is not MIME (or is plain text) goes in as its
// body stands; a MIME message is walked and the client's actions choose the
// parts to quote, which they pass on with the range form of ShowAsIs.
#pragma once

#include <cstdio>
#include <string>

#include "common/SMimeMail.h"
#include "common/STextSink.h"

class SReplyMimeMail : public SMimeMail {
public:
    // Lines longer than this reach the editor in pieces (the prefix only before the first).
    static constexpr int kLinePiece = 1000;

    // `owner`: the window the quoting is for; `target`: the editor.
    SReplyMimeMail(platform::ParentWindow owner, STextSink* target, const char* prefix = "")
        : SMimeMail(owner), target_(target), prefix_(prefix ? prefix : "") {}

    // Analyses the message header (false after a notice when it cannot be read),
    // then quotes the body as it stands or walks the MIME parts.
    bool Process(const char* path);
    // The body of the message at `path` (everything after the first empty
    // line), line by line behind the prefix. False when the file cannot be opened.
    bool ShowAsIs(const char* path);
    // The lines of `file` from `start` through the line that reaches `end`,
    // behind the prefix, each ending CR LF.
    bool ShowAsIs(FILE* file, long start, long end);

    const std::string& Prefix() const { return prefix_; }
    void SetPrefix(const char* prefix) { prefix_ = prefix ? prefix : ""; }
    STextSink* Target() const { return target_; }

protected:
    // One line piece to the editor; the prefix goes first when it starts a line.
    void Insert(const char* piece, bool lineStart);

    STextSink* target_;
    std::string prefix_;
};
