// The server's answer to UIDL, collected line by line: which unique id each
// message number carries. A listing that breaks the rules of the protocol is
// refused as a whole rather than trusted in part: a wrong or repeated id could
// make a message look received when it is not.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// A unique id as the protocol allows it: 1 to 70 bytes of 0x21 to 0x7E. Only
// such ids are ever written to the record of received messages.
bool IsValidUid(const std::string& uid);

class SUidlListing {
public:
    // Longest id the protocol allows.
    static constexpr std::size_t kMaxUidLength = 70;
    // Most lines taken: a server that claims more messages cannot make the
    // listing grow without bound.
    static constexpr std::size_t kMaxLines = 1000000;

    // The mailbox holds `messageCount` messages (from STAT).
    explicit SUidlListing(int messageCount);

    // One line of the listing without its CR LF: "number id". False when the
    // line is malformed (not two tokens, a number that is not decimal or out of
    // 1..count, a number or an id listed before, an id not allowed, more than
    // kMaxLines lines).
    bool AddLine(const char* line, std::size_t length);

    // The id of message `number`, empty when the listing has none for it.
    const std::string& UidOf(int number) const;
    // Every id listed.
    const std::unordered_set<std::string>& Ids() const { return ids_; }

private:
    int messageCount_;
    std::unordered_map<int, std::string> byNumber_;
    std::unordered_set<std::string> ids_;
};
