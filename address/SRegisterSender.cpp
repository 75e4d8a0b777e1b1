#include "address/SRegisterSender.h"

#include "address/SAddressArray.h"
#include "address/TrimBlanks.h"
#include "common/JapaneseCodes.h"
#include "common/SQuotedStr.h"

using namespace qimaddr;

namespace {


// At most `bytes` bytes, never half of a double-byte character.
std::string CutAtCharacter(const std::string& text, std::size_t bytes) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t len = IsKanji1(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + len > bytes) break;
        i += len;
    }
    return text.substr(0, i);
}

std::string Unquoted(std::string text) {
    text = TrimBlanks(text);
    SJQuotedEscStr quoted(text.c_str());
    std::string inner;
    if (text.size() >= 2 && text.front() == '"' && quoted.Token(inner, '"', '"', '\\')) return inner;
    return text;
}

}  // namespace

void SplitFromField(const std::string& from, std::string& phrase, std::string& address) {
    SJQuotedEscStr tokens(from.c_str());
    std::string inner;
    if (tokens.Token(inner, '<', '>', '\\')) {
        address = TrimBlanks(inner);
        phrase = Unquoted(from.substr(0, static_cast<std::size_t>(tokens.Start() - 1)));
        return;
    }
    if (tokens.Token(inner, '(', ')', '\\')) {
        phrase = TrimBlanks(inner);
        address = TrimBlanks(from.substr(0, static_cast<std::size_t>(tokens.Start() - 1)));
        return;
    }
    phrase.clear();
    address = TrimBlanks(from);
}

SAlias AliasOfSender(const std::string& from) {
    SAlias entry;
    std::string phrase;
    SplitFromField(from, phrase, entry.address);
    entry.alias = CutAtCharacter(phrase.empty() ? entry.address : phrase, kAliasBuffer - 1);
    return entry;
}

bool AppendAlias(int folderId, const SAlias& entry) {
    SAddressArray contents;
    contents.id = folderId;
    contents.Load(false);
    contents.aliases.push_back(entry);
    return contents.Save();
}
