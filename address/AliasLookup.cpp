#include "address/AliasLookup.h"

#include "address/SAddressArray.h"
#include "address/SAddressFolder.h"
#include "address/SAliasExpand.h"
#include "address/TrimBlanks.h"
#include "common/JapaneseCodes.h"

SAddressArrayList LoadAddressBook() {
    SAddressFolderList folders;
    folders.Load();  // a damaged list still gives the folders read before the damage
    SAddressArrayList book;
    for (const SAddressFolder& folder : folders) book.Load(folder.id, true);
    return book;
}

bool FindAddressOfAliasName(const std::string& aliasName, std::string& address) {
    for (const SAddressArray& folder : LoadAddressBook())
        if (folder.aliases.FindAddress(aliasName, address)) return true;
    return false;
}

bool FindAliasNameOfAddress(const std::string& address, std::string& aliasName) {
    for (const SAddressArray& folder : LoadAddressBook())
        if (folder.aliases.FindAlias(address, aliasName)) return true;
    return false;
}

std::vector<std::string> SplitAddressField(const std::string& field) {
    std::vector<std::string> items;
    std::string item;
    bool quoted = false;
    int angle = 0, comment = 0;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (IsKanji1(static_cast<unsigned char>(c)) && i + 1 < field.size()) {
            item.append(field, i, 2);
            ++i;
            continue;
        }
        if (c == '\\' && quoted && i + 1 < field.size()) {
            item.append(field, i, 2);
            ++i;
            continue;
        }
        if (c == '"' && !comment) quoted = !quoted;
        else if (!quoted && c == '(') ++comment;
        else if (!quoted && c == ')' && comment) --comment;
        else if (!quoted && !comment && c == '<') ++angle;
        else if (!quoted && !comment && c == '>' && angle) --angle;
        if (c == ',' && !quoted && !angle && !comment) {
            if (std::string t = TrimBlanks(item); !t.empty()) items.push_back(std::move(t));
            item.clear();
            continue;
        }
        item.push_back(c);
    }
    if (std::string t = TrimBlanks(item); !t.empty()) items.push_back(std::move(t));
    return items;
}

std::string ExpandAliasesInField(const std::string& field) {
    const std::string trimmed = TrimBlanks(field);
    if (trimmed.empty() || trimmed[0] == '\\') return field;
    const std::vector<std::string> items = SplitAddressField(field);
    const SAddressArrayList contents = LoadAddressBook();
    std::string out;
    bool replaced = false;
    for (const std::string& item : items) {
        std::string text = item;
        for (const SAddressArray& folder : contents) {
            std::string address, expanded;
            if (!folder.aliases.FindAddress(item, address)) continue;
            if (ExpandAliasAddress(address, expanded) && !expanded.empty()) {
                text = expanded;
                replaced = true;
            }
            break;
        }
        if (!out.empty()) out.append(", ");
        out.append(text);
    }
    // Without an alias the field stays exactly as typed.
    return replaced ? out : field;
}
