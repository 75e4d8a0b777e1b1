#include "send/SReplyHeader.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "common/JString.h"
#include "send/SAddressText.h"

namespace {

bool StartsWithNoCase(const std::string& text, std::size_t at, const char* prefix) {
    for (std::size_t i = 0; prefix[i]; ++i) {
        if (at + i >= text.size()) return false;
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

std::size_t SkipBlanks(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    return at;
}

// The message ids of a field value: every "<...>", in order.
std::vector<std::string> MessageIds(const std::string& value) {
    std::vector<std::string> ids;
    std::size_t at = 0;
    while ((at = value.find('<', at)) != std::string::npos) {
        const std::size_t end = value.find('>', at);
        if (end == std::string::npos) break;
        ids.push_back(value.substr(at, end + 1 - at));
        at = end + 1;
    }
    return ids;
}

bool ContainsAddress(const std::vector<std::string>& list, const std::string& address) {
    for (const std::string& known : list)
        if (jstraicmp(known.c_str(), address.c_str()) == 0) return true;
    return false;
}

}  // namespace

std::string ReplySubject(const std::string& subject) {
    const std::size_t at = SkipBlanks(subject);
    if (StartsWithNoCase(subject, at, "Re:")) return subject;
    if (StartsWithNoCase(subject, at, "Re^")) {
        const std::size_t colon = subject.find(':', at + 3);
        const std::string digits =
            colon == std::string::npos ? std::string() : subject.substr(at + 3, colon - at - 3);
        bool allDigits = !digits.empty() && digits.size() < 9;
        for (char c : digits) allDigits = allDigits && std::isdigit(static_cast<unsigned char>(c));
        if (allDigits) {
            char counted[24];
            std::snprintf(counted, sizeof counted, "Re^%d:", std::stoi(digits) + 1);
            std::string out = counted;
            out.append(subject, colon + 1, std::string::npos);
            return out;
        }
    }
    std::string out = "Re: ";
    out += subject;
    return out;
}

std::string ForwardSubject(const std::string& subject) {
    const std::size_t at = SkipBlanks(subject);
    if (StartsWithNoCase(subject, at, "Fw:") || StartsWithNoCase(subject, at, "Fwd:")) return subject;
    std::string out = "Fw: ";
    out += subject;
    return out;
}

std::string ReplyReferences(const std::string& sourceReferences, const std::string& sourceMessageId) {
    std::vector<std::string> ids = MessageIds(sourceReferences);
    for (std::string& id : MessageIds(sourceMessageId)) ids.push_back(std::move(id));
    if (ids.size() > static_cast<std::size_t>(kMaxReferences))
        ids.erase(ids.begin() + 1, ids.end() - (kMaxReferences - 1));
    std::string out;
    for (const std::string& id : ids) {
        if (!out.empty()) out += ' ';
        out += id;
    }
    return out;
}

void StartReplyHeader(const SReplyFields& source, const SReplyOptions& options, SEMailHeader& header) {
    header.to = source.replyAddress;
    header.subject = ReplySubject(source.subject);
    const std::vector<std::string> ids = MessageIds(source.messageId);
    header.inReplyTo = ids.empty() ? source.messageId : ids.front();
    header.references = ReplyReferences(source.references, source.messageId);
    if (!options.all) return;
    std::vector<std::string> seen = SplitAddresses(header.to);
    if (!options.ownAddress.empty()) seen.push_back(AddressPart(options.ownAddress));
    std::string cc;
    for (const std::string* list : {&source.to, &source.cc}) {
        for (const std::string& address : SplitAddresses(*list)) {
            if (ContainsAddress(seen, address)) continue;
            seen.push_back(address);
            if (!cc.empty()) cc += ", ";
            cc += address;
        }
    }
    header.cc = cc;
}
