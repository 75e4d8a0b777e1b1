// The compose and send settings: where sent mails and drafts are saved, the
// reply prefix, MIME for plain text, the fold width and the alias menu size.
// A home-relative save folder stays with this installation's QIM.INI; every
// other choice lives in CONFIG.INI, which can follow the user to the server.
#pragma once

#include <string>

// The fold width of the long-line commands when nothing is set.
constexpr int kDefaultFoldWidth = 72;

// Where one kind of mail (sent mails, drafts) is saved.
struct SSaveMailFolderProperty {
    int kind = 0;            // 0 none, 1 relative to the home directory, 2 relative to
                             // the server-folder mode's local folder, else the path itself
    std::string folder;
    bool showTo = false;     // the header list shows To in that folder
    bool showToSub = false;  // ... and in its subfolders
    bool noInquiry = false;  // save without asking
    int dialogId = 0;        // the dialog that edits the property, and its caption
    int dialogTextId = 0;

    // Full path of the folder; an empty folder means the base folder itself.
    std::string FullPath(const std::string& qimpLocalFolder = std::string()) const;
    // Whether the header list of `shownFolder` is this property's folder (or
    // lies below it, with showToSub). A property of kind 0 never matches.
    bool Matches(const std::string& shownFolder, const std::string& qimpLocalFolder = std::string()) const;
};

constexpr int kSaveNone = 0;
constexpr int kSaveHomeRelative = 1;
constexpr int kSaveQimPRelative = 2;

class SQimSendSettingData {
public:
    SSaveMailFolderProperty sentMail;
    SSaveMailFolderProperty draft;
    std::string replyPrefix = ">";   // RPrefix
    bool textAsMime = true;          // bMimeTextPlainMail
    int foldWidth = kDefaultFoldWidth;  // FitNumALine
    int aliasMenuRows = 25;          // AliasMenuMaxRow

    // False when a folder that should be there is missing.
    bool Read();
    // False when any write failed.
    bool Write() const;
};

// Draft value bits: the low two bits are the kind; with 0x10 the three flags follow.
constexpr int kDraftKindMask = 0x03;
constexpr int kDraftHasFlags = 0x10;
constexpr int kDraftShowTo = 0x20;
constexpr int kDraftShowToSub = 0x40;
constexpr int kDraftNoInquiry = 0x80;
