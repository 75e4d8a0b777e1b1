#include "config/SQimSendSettingData.h"

#include "config/QimGlobals.h"
#include "config/QimSettingKeys.h"
#include "config/SQimProfile.h"
#include "common/FilePath.h"

namespace {

constexpr int kFolderSize = 261;
constexpr int kPrefixSize = 81;
// Defaults that tell "not in QIM.INI" from every stored kind: -1 is not 1, and
// -17 & 3 is 3, not 1.
constexpr int kSentNotThere = -1;
constexpr int kDraftNotThere = -17;

bool Flag(const SpProfile& profile, const char* key, bool def) { return profile.GetInt(key, def ? 1 : 0) != 0; }

// The folder of a property: false when it is missing although the kind needs one.
bool ReadFolder(const SpProfile& profile, const char* key, int kind, std::string& folder) {
    const bool present = profile.GetString(key, folder, kFolderSize, nullptr);
    return present || kind == kSaveNone;
}

bool ReadSentMail(SSaveMailFolderProperty& sent) {
    const SQimProfile local(qimini::QimSend);
    const SConfigProfile config(qimini::QimSend);
    bool ok;
    sent.kind = local.GetInt(qimini::bFcc, kSentNotThere);
    if (sent.kind == kSaveHomeRelative) {
        ok = ReadFolder(local, qimini::Fcc, sent.kind, sent.folder);
    } else {
        sent.kind = config.GetInt(qimini::bFcc, kSaveNone);
        ok = ReadFolder(config, qimini::Fcc, sent.kind, sent.folder);
    }
    sent.showTo = Flag(config, qimini::bShowToFcc, false);
    sent.showToSub = Flag(config, qimini::bShowToSub, false);
    sent.noInquiry = Flag(config, qimini::bNoInquirySave, false);
    return ok;
}

bool ReadDraft(SSaveMailFolderProperty& draft) {
    const SQimProfile local(qimini::QimSend);
    bool ok;
    int value = local.GetInt(qimini::Draft, kDraftNotThere);
    draft.kind = value & kDraftKindMask;
    if (draft.kind == kSaveHomeRelative) {
        ok = ReadFolder(local, qimini::DraftFolder, draft.kind, draft.folder);
    } else {
        const SConfigProfile config(qimini::QimSend);
        value = config.GetInt(qimini::Draft, 0);
        draft.kind = value & kDraftKindMask;
        ok = ReadFolder(config, qimini::DraftFolder, draft.kind, draft.folder);
    }
    const bool flags = (value & kDraftHasFlags) != 0;
    draft.showTo = flags && (value & kDraftShowTo);
    draft.showToSub = flags && (value & kDraftShowToSub);
    draft.noInquiry = flags && (value & kDraftNoInquiry);
    return ok;
}

// A home-relative property goes to QIM.INI; any other to CONFIG.INI, and then
// QIM.INI must not keep an older home-relative choice that would win at the next read.
bool WriteProperty(const char* kindKey, int kindValue, const char* folderKey, const SSaveMailFolderProperty& property) {
    if (property.kind == kSaveHomeRelative) {
        const SQimProfile local(qimini::QimSend);
        return local.WriteInt(kindKey, kindValue) && local.WriteString(folderKey, property.folder);
    }
    const SConfigProfile config(qimini::QimSend);
    bool ok = config.WriteInt(kindKey, kindValue) && config.WriteString(folderKey, property.folder);
    const SQimProfile local(qimini::QimSend);
    ok &= local.DeleteKey(kindKey);
    ok &= local.DeleteKey(folderKey);
    return ok;
}

}  // namespace

std::string SSaveMailFolderProperty::FullPath(const std::string& qimpLocalFolder) const {
    const std::string rel = folder.empty() ? "." : folder;
    std::string path;
    if (kind & kSaveHomeRelative) {
        MakeFullPath(path, GetQimHome(), rel);
    } else if (kind & kSaveQimPRelative) {
        MakeFullPath(path, qimpLocalFolder, rel);
    } else {
        path = folder;
    }
    return path;
}

bool SSaveMailFolderProperty::Matches(const std::string& shownFolder, const std::string& qimpLocalFolder) const {
    if (kind == kSaveNone) return false;
    return IsSubfolder(FullPath(qimpLocalFolder), shownFolder, showToSub);
}

bool SQimSendSettingData::Read() {
    bool ok = ReadSentMail(sentMail);
    ok &= ReadDraft(draft);
    const SConfigProfile config(qimini::QimSend);
    config.GetString(qimini::RPrefix, replyPrefix, kPrefixSize, ">");
    textAsMime = Flag(config, qimini::bMimeTextPlainMail, true);
    foldWidth = config.GetInt(qimini::FitNumALine, kDefaultFoldWidth);
    aliasMenuRows = config.GetInt(qimini::AliasMenuMaxRow, 25);
    return ok;
}

bool SQimSendSettingData::Write() const {
    bool ok = WriteProperty(qimini::bFcc, sentMail.kind, qimini::Fcc, sentMail);
    int draftValue = (draft.kind & kDraftKindMask) | kDraftHasFlags;
    if (draft.showTo) draftValue |= kDraftShowTo;
    if (draft.showToSub) draftValue |= kDraftShowToSub;
    if (draft.noInquiry) draftValue |= kDraftNoInquiry;
    ok &= WriteProperty(qimini::Draft, draftValue, qimini::DraftFolder, draft);
    const SConfigProfile config(qimini::QimSend);
    ok &= config.WriteInt(qimini::bShowToFcc, sentMail.showTo ? 1 : 0);
    ok &= config.WriteInt(qimini::bShowToSub, sentMail.showToSub ? 1 : 0);
    ok &= config.WriteInt(qimini::bNoInquirySave, sentMail.noInquiry ? 1 : 0);
    // Quoted, so the blank of the usual "> " survives the reading, which trims values.
    ok &= config.WriteStringDQ(qimini::RPrefix, replyPrefix);
    ok &= config.WriteInt(qimini::bMimeTextPlainMail, textAsMime ? 1 : 0);
    ok &= config.WriteInt(qimini::FitNumALine, foldWidth);
    return ok;
}
