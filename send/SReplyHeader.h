// How a reply or a forward starts its header from the source message: the
// recipients, the counted "Re:" subject, and the ids that thread it.
#pragma once

#include <string>

#include "send/SEMailHeader.h"

// The subject of a reply: unchanged when it starts with "Re:" (any case);
// "Re^n:" counts on to "Re^n+1:"; anything else gets "Re: " in front. Leading
// blanks are skipped for the tests only.
std::string ReplySubject(const std::string& subject);

// The subject of a forward: "Fw: " in front, unless it is there already.
std::string ForwardSubject(const std::string& subject);

// The References value of a reply: the source's References, then its
// Message-Id, blank-separated, oldest first. A long thread keeps its first id
// and the newest ones, kMaxReferences in all, so the field stays a few lines.
std::string ReplyReferences(const std::string& sourceReferences, const std::string& sourceMessageId);
constexpr int kMaxReferences = 20;

struct SReplyOptions {
    bool all = false;        // To the sender, Cc the other recipients
    std::string ownAddress;  // left out of a reply to all
};

// The reply's fields in `header`: To the reply address (Reply-To, else From),
// the reply subject, In-Reply-To the source's Message-Id, References. A reply
// to all puts the source's To and Cc into Cc, each address once, without the
// user's own address and those already in To.
void StartReplyHeader(const SReplyFields& source, const SReplyOptions& options, SEMailHeader& header);
