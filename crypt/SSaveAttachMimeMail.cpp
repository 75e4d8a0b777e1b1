#include "crypt/SSaveAttachMimeMail.h"

#include <cstdio>
#include <vector>

#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/FilePath.h"
#include "common/QimMessageBox.h"
#include "config/QimNotices.h"
#include "common/SCheckWindowsFileName.h"
#include "crypt/MailFileNames.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

std::string Format(const std::string& format, const char* a, const char* b = nullptr, const char* c = nullptr) {
    // The formats hold at most three %s and no other conversion.
    std::string out;
    const char* args[] = {a, b, c};
    int next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            const char* arg = next < 3 ? args[next++] : nullptr;
            out += arg ? arg : "";
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

// The nine words "Audio,画像,Video,GIF,JPEG,BMP,MPEG,テキスト,PLAIN".
enum Word { kAudio, kImage, kVideo, kGif, kJpeg, kBmp, kMpeg, kText, kPlain, kWordCount };

std::vector<std::string> MediaWords() {
    std::vector<std::string> words;
    const std::string all = LoadStringCmmnDll(cmmnstr::MediaTypeNames);
    std::size_t from = 0;
    while (words.size() < kWordCount) {
        const std::size_t comma = all.find(',', from);
        words.push_back(all.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    words.resize(kWordCount);
    return words;
}

std::string Extract(const char* name) { return Format(LoadStringCmmnDll(cmmnstr::ExtractAttachment), name); }

std::string Kind(const std::string& kind, const char* name) {
    return Format(LoadStringCmmnDll(cmmnstr::AttachmentKind), kind.c_str(), name) +
           LoadStringCmmnDll(cmmnstr::ExtractQuestion);
}

std::string KindSub(const std::string& form, const std::string& kind, const char* name) {
    return Format(LoadStringCmmnDll(cmmnstr::AttachmentKindSub), form.c_str(), kind.c_str(), name) +
           LoadStringCmmnDll(cmmnstr::ExtractQuestion);
}

}  // namespace

SSaveAttachMimeMail::SSaveAttachMimeMail(platform::ParentWindow owner, const char* path)
    : SDistMimeMail(owner, path), destination_(GetQimHome()) {
    // A part that cannot be decoded is reported and the others are still offered.
    SetContinueAfterFailure(true);
}

void SSaveAttachMimeMail::Report(const SNotice& notice) { ShowNotice(notice, owner_); }

std::string SSaveAttachMimeMail::QuestionFor(const SMimePart& part) {
    const std::string shownName = part.name.empty() ? LoadStringCmmnDll(cmmnstr::UnknownFileName) : part.name;
    const char* name = shownName.c_str();
    const std::vector<std::string> w = MediaWords();
    switch (part.type) {
    case kMimeTypeApplication:
        switch (part.subtype) {
        case kMimeSubtypePgpEncrypted: return Extract(name) + LoadStringCmmnDll(cmmnstr::PgpControl);
        case kMimeSubtypePgpSignature: return Extract(name) + LoadStringCmmnDll(cmmnstr::PgpSignature);
        case kMimeSubtypePgpKeys: return Extract(name) + LoadStringCmmnDll(cmmnstr::PgpKey);
        case kMimeSubtypeOctetStream: return Extract(name);
        default: return Extract(name) + LoadStringCmmnDll(cmmnstr::UnknownSubtype);
        }
    case kMimeTypeAudio: return Kind(w[kAudio], name);
    case kMimeTypeImage:
        switch (part.subtype) {
        case kMimeSubtypeGif: return KindSub(w[kGif], w[kImage], name);
        case kMimeSubtypeJpeg: return KindSub(w[kJpeg], w[kImage], name);
        case kMimeSubtypeXBmp: return KindSub(w[kBmp], w[kImage], name);
        default: return Kind(w[kImage], name);
        }
    case kMimeTypeVideo:
        if (part.subtype == kMimeSubtypeMpeg) return KindSub(w[kMpeg], w[kVideo], name);
        return Kind(w[kVideo], name);
    case kMimeTypeText:
        if (part.subtype == kMimeSubtypePlain) return Kind(w[kText], name);
        break;
    default: break;
    }
    return Extract(name) + LoadStringCmmnDll(cmmnstr::UnknownType);
}

std::string SSaveAttachMimeMail::TargetFor(const SMimePart& part) {
    std::string target;
    if (!ask_ && !part.name.empty()) {
        MergeFilePath(target, destination_, PlainFileNameFromMail(part.name));
        // Saving all at once still never replaces a file unasked.
        if (platform::PathExists(target.c_str())) {
            const std::string question = Format(LoadQimString(qimstr::OverwriteQuestion), target.c_str());
            if (QimMessageBox(owner_, question.c_str(), MessageIcon::Question, MessageButtons::YesNo, 1) !=
                MessageAnswer::Yes)
                return std::string();
        }
        return target;
    }
    const std::string question = QuestionFor(part);
    if (QimMessageBox(owner_, question.c_str(), MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return std::string();
    // The dialog proposes the part's name in the destination and asks before
    // it replaces a file; what the user then picks is the user's own choice.
    std::string proposed;
    MergeFilePath(proposed, destination_, PlainFileNameFromMail(part.name));
    char path[kMaxPath] = {};
    if (proposed.size() >= sizeof path) proposed = PlainFileNameFromMail(part.name);
    proposed.copy(path, sizeof path - 1);
    if (!GetSetSaveFileName(owner_, path, destination_.c_str(), sizeof path)) return std::string();
    return path;
}

bool SSaveAttachMimeMail::SavePart(FILE* file, long start, long end, const SMimePart& part,
                                   const std::string& target) {
    if (busy_) busy_(true);
    const bool ok = CodecFor(part.encoding)->DecodeFilePart(file, start, end, target.c_str(), false);
    if (busy_) busy_(false);
    if (!ok) {
        QimMessageBox(owner_, LoadStringCmmnDll(cmmnstr::StrangeCannotDecrypt).c_str(), MessageIcon::Stop);
        return false;
    }
    ++saved_;
    return true;
}

bool SSaveAttachMimeMail::ActionPart(FILE* file, long start, long end, const SMimePart& part) {
    const std::string target = TargetFor(part);
    if (target.empty()) return true;
    return SavePart(file, start, end, part, target);
}

SRestoreAttachMimeMail::SRestoreAttachMimeMail(platform::ParentWindow owner, const char* path)
    : SSaveAttachMimeMail(owner, path) {
    ask_ = false;
}

bool SRestoreAttachMimeMail::ActionPart(FILE* file, long start, long end, const SMimePart& part) {
    // Nothing to restore under a name of the sender's choosing when there is none.
    if (part.name.empty()) return true;
    std::string target;
    MergeFilePath(target, GetQimHome(), PlainFileNameFromMail(part.name));
    const std::uint32_t before = platform::GetFileAttributes(target.c_str());
    constexpr std::uint32_t kKept =
        platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_SYSTEM;
    const bool protectedFile = before != platform::INVALID_FILE_ATTRIBUTES && (before & platform::FILE_ATTRIBUTE_READONLY);
    if (protectedFile) platform::SetFileAttributes(target.c_str(), platform::FILE_ATTRIBUTE_NORMAL);
    const bool ok = SavePart(file, start, end, part, target);
    if (protectedFile) platform::SetFileAttributes(target.c_str(), before & kKept);
    return ok;
}
