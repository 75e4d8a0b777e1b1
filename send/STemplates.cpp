#include "send/STemplates.h"

#include <cstdio>

#include "common/FilePath.h"
#include "common/SHeaderMime.h"
#include "config/QimGlobals.h"
#include "config/SQimProfile.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "send/SAddressText.h"

namespace {

constexpr const char* kSection = "Template";
bool templatesChanged = false;

const char* KindWord(STemplateKind kind) { return kind == STemplateKind::Head ? "Head" : "Tail"; }

std::string Key(STemplateKind kind, const char* what) {
    std::string key = KindWord(kind);
    key += what;
    return key;
}

std::string Cut(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    return text.substr(0, static_cast<std::size_t>(SHeaderMime::MaxSubStrLen(text.c_str(), static_cast<int>(limit))));
}

}  // namespace

std::uint32_t TemplateNameHash(const std::string& name) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

std::string TemplateFilePath(STemplateKind kind, const std::string& name) {
    char file[32];
    std::snprintf(file, sizeof file, "Qim%u%s", static_cast<unsigned>(TemplateNameHash(name)),
                  kind == STemplateKind::Head ? ".thd" : ".ttl");
    std::string path;
    MergeFilePath(path, GetQimHome(), file);
    return path;
}

std::vector<std::string> STemplateList::ReadNames() const {
    SConfigProfile profile(kSection);
    const int count = profile.GetInt(Key(kind_, "Num").c_str(), 0);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        std::string name;
        profile.GetString(Key(kind_, std::to_string(i).c_str()).c_str(), name, kTemplateNameSize + 1, "");
        // A gap in the list ends it: what follows cannot be trusted to be names.
        if (name.empty()) break;
        names.push_back(name);
    }
    return names;
}

bool STemplateList::WriteNames(const std::vector<std::string>& names) const {
    SConfigProfile profile(kSection);
    const int previous = profile.GetInt(Key(kind_, "Num").c_str(), 0);
    bool ok = profile.WriteInt(Key(kind_, "Num").c_str(), static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i)
        ok &= profile.WriteStringDQ(Key(kind_, std::to_string(i).c_str()).c_str(), Cut(names[i], kTemplateNameSize));
    for (int i = static_cast<int>(names.size()); i < previous; ++i)
        profile.DeleteKey(Key(kind_, std::to_string(i).c_str()).c_str());
    return ok;
}

std::string STemplateList::ReadDefault() const {
    std::string name;
    SConfigProfile(kSection).GetString(Key(kind_, "DefSel").c_str(), name, kTemplateNameSize + 1, "");
    return name;
}

bool STemplateList::WriteDefault(const std::string& name) const {
    SConfigProfile profile(kSection);
    if (name.empty()) {
        profile.DeleteKey(Key(kind_, "DefSel").c_str());
        return true;
    }
    return profile.WriteStringDQ(Key(kind_, "DefSel").c_str(), Cut(name, kTemplateNameSize));
}

bool STemplateList::ReadText(const std::string& name, std::string& text) const {
    FILE* file = platform::OpenFile(TemplateFilePath(kind_, name).c_str(), "rb");
    if (!file) return false;
    char buffer[kTemplateTextSize];
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return false;
    text = Cut(std::string(buffer, n), kTemplateTextSize);
    return true;
}

bool STemplateList::WriteText(const std::string& name, const std::string& text) const {
    const std::string path = TemplateFilePath(kind_, name);
    FILE* file = platform::OpenFile(path.c_str(), "wb");
    if (!file) return false;
    const std::string kept = Cut(text, kTemplateTextSize);
    bool ok = std::fwrite(kept.data(), 1, kept.size(), file) == kept.size();
    ok = std::fclose(file) == 0 && ok;
    templatesChanged = true;
    return ok;
}

bool STemplateList::RemoveText(const std::string& name) const {
    templatesChanged = true;
    return platform::RemoveFile(TemplateFilePath(kind_, name).c_str());
}

bool TemplatesChanged() { return templatesChanged; }

void ResetTemplatesChanged() { templatesChanged = false; }

std::string ExpandHeadTemplate(const std::string& text, const SReplyFields& source, const STemplateSources& sources) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char letter = text[i + 1];
        switch (letter) {
        case 'F': case 'f': out += source.from; break;
        case 'S': case 's': out += source.subject; break;
        case 'D': case 'd': out += source.date; break;
        case 'I': case 'i': out += source.messageId; break;
        case 'X': case 'x':
            out += sources.substitutedFrom ? sources.substitutedFrom(source.from) : source.from;
            break;
        case 'A': case 'a': {
            std::string alias;
            if (sources.aliasName && sources.aliasName(AddressPart(source.from), alias)) out += alias;
            else out += source.from;
            break;
        }
        default:
            out += '%';
            out += letter;
            break;
        }
        ++i;
    }
    return out;
}
