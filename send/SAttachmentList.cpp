#include "send/SAttachmentList.h"

#include <algorithm>
#include <cstdio>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/FilePath.h"
#include "common/QimMessageBox.h"
#include "send/SendCodes.h"

namespace {

// A total that stands for "too large to say": it always brings up the question.
constexpr std::uint64_t kHugeTotal = 1048577;

}  // namespace

bool ChooseAttachments(SAttachmentList& list, platform::ParentWindow owner) {
    platform::FileDialogRequest request;
    request.parent = owner;
    request.kind = platform::FileDialogKind::Open;
    request.title = LoadQimString(qimstr::ChooseAttachments);
    request.mustExist = true;
    request.multiSelect = true;
    std::vector<std::string> paths;
    if (!platform::Dialogs().FileDialog(request, paths) || paths.empty()) return false;
    for (const std::string& path : paths) {
        if (std::find(list.begin(), list.end(), path) != list.end()) {
            char text[1024];
            std::snprintf(text, sizeof text, LoadQimString(qimstr::AttachmentListed).c_str(), path.c_str());
            if (QimMessageBox(owner, text, platform::MessageIcon::Question, platform::MessageButtons::YesNo, 1) !=
                platform::MessageAnswer::Yes)
                continue;
        }
        list.push_back(path);
    }
    return true;
}

void RemoveAttachments(SAttachmentList& list, const std::vector<int>& indexes) {
    SAttachmentList kept;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (std::find(indexes.begin(), indexes.end(), static_cast<int>(i)) == indexes.end()) kept.push_back(list[i]);
    list.swap(kept);
}

bool AttachmentsTotalSize(const SAttachmentList& list, std::uint64_t& total, std::string* failedPath) {
    total = 0;
    for (const std::string& path : list) {
        unsigned long low = 0;
        unsigned long high = 0;
        if (!GetFileSize(path.c_str(), &low, &high)) {
            if (failedPath) *failedPath = path;
            return false;
        }
        if (high != 0) {
            total = kHugeTotal;
            return true;
        }
        total += low;
    }
    return true;
}

long TotalKB(std::uint64_t total) { return static_cast<long>(total / 1024 + 1); }

long EncodedKB(std::uint64_t total) { return static_cast<long>(((total + 2) * 4 / 3) / 1024 + 1); }

std::string AttachmentSizeText(std::uint64_t total) {
    char text[256];
    std::snprintf(text, sizeof text, LoadQimString(qimstr::AttachmentSizeText).c_str(), TotalKB(total),
                  EncodedKB(total));
    return text;
}

std::string AttachmentListText(const SAttachmentList& list) {
    std::string text;
    for (const std::string& path : list) {
        const std::string next = text.empty() ? path : ", " + path;
        if (text.size() + next.size() > static_cast<std::size_t>(kAttachListTextMax)) {
            text += "...";
            break;
        }
        text += next;
    }
    return text;
}

std::string AttachFilesHeaderLine(const SAttachmentList& list) {
    std::string line = kAttachFilesField;
    for (std::size_t i = 0; i < list.size(); ++i) line += (i ? ", \"" : "\"") + list[i] + "\"";
    return line;
}

bool ReadAttachFilesValue(const std::string& value, SAttachmentList& list, std::size_t& used) {
    if (used + value.size() + 1 > static_cast<std::size_t>(kAttachRecordSize)) return false;
    used += value.size();
    // Paths are quoted; a quote never occurs inside a path of the record.
    std::size_t pos = 0;
    while ((pos = value.find('"', pos)) != std::string::npos) {
        const std::size_t end = value.find('"', pos + 1);
        if (end == std::string::npos) break;
        if (end > pos + 1) list.push_back(value.substr(pos + 1, end - pos - 1));
        pos = end + 1;
    }
    return true;
}
