#include "address/AliasLookup.h"

#include <functional>

#include "address/SAddressArray.h"
#include "address/SAddressFolder.h"
#include "address/SAliasExpand.h"
#include "common/JapaneseCodes.h"

namespace {

// Calls `visit` with each folder's entries until it returns true.
bool VisitFolders(const std::function<bool(const SAliasArray&)>& visit) {
    SAddressFolderList folders;
    folders.Load();  // a damaged list still gives the folders read before the damage
    for (const SAddressFolder& folder : folders) {
        SAddressArray contents;
        contents.id = folder.id;
        contents.Load(true);
        if (visit(contents.aliases)) return true;
    }
    return false;
}

std::string Trimmed(const std::string& text) {
    const std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    const std::size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

}  // namespace

bool FindAddressOfAliasName(const std::string& aliasName, std::string& address) {
    return VisitFolders([&](const SAliasArray& aliases) { return aliases.FindAddress(aliasName, address); });
}

bool FindAliasNameOfAddress(const std::string& address, std::string& aliasName) {
    return VisitFolders([&](const SAliasArray& aliases) { return aliases.FindAlias(address, aliasName); });
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
            if (std::string t = Trimmed(item); !t.empty()) items.push_back(std::move(t));
            item.clear();
            continue;
        }
        item.push_back(c);
    }
    if (std::string t = Trimmed(item); !t.empty()) items.push_back(std::move(t));
    return items;
}

std::string ExpandAliasesInField(const std::string& field) {
    const std::string trimmed = Trimmed(field);
    if (trimmed.empty() || trimmed[0] == '\\') return field;
    const std::vector<std::string> items = SplitAddressField(field);
    SAddressFolderList folders;
    folders.Load();
    std::vector<SAddressArray> contents;
    for (const SAddressFolder& folder : folders) {
        contents.push_back(SAddressArray{folder.id, {}, 0});
        contents.back().Load(true);
    }
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
