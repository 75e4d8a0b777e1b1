// Storing a mail of the compose window in a local folder: the sent copy (from
// the header text and the editor, or the finished message file) and the
// unsent mail. Each is written as the next free number of its folder, the
// folder's cache is brought up to date and the new mail is left unread; the
// caller is told the folder so the header list can show it (qimreq::ReloadFolder).
#pragma once

#include <functional>
#include <string>

#include "config/SQimSendSettingData.h"
#include "platform/DialogService.h"
#include "send/SAttachmentList.h"
#include "send/SComposeEditor.h"
#include "send/SEMailHeader.h"

class SSaveMailFile {
public:
    explicit SSaveMailFile(platform::ParentWindow owner = nullptr) : owner_(owner) {}
    virtual ~SSaveMailFile() = default;

    // Writes the mail as the next number of `folderPath` (a full path). A
    // failure shows qimstr::CannotSaveMail and leaves no file behind; false then.
    virtual bool Save(const std::string& folderPath);
    // The mail file the last successful Save wrote.
    const std::string& SavedPath() const { return saved_; }

    // Told the folder once a mail was stored in it.
    std::function<void(const std::string& folderPath)> onStored;

protected:
    // Writes the whole mail to `path` (a new file); false on any failure.
    virtual bool Write(const std::string& path) = 0;
    // Appends every editor line with CR LF to `path`.
    static bool AppendEditorText(const std::string& path, const SComposeEditor& editor);

    platform::ParentWindow owner_;
    std::string saved_;
};

// The sent copy made from the header text and the editor's text.
class SSaveSentMail : public SSaveMailFile {
public:
    SSaveSentMail(const SEMailHeader& header, const SComposeEditor& editor, platform::ParentWindow owner = nullptr)
        : SSaveMailFile(owner), header_(header), editor_(editor) {}

protected:
    bool Write(const std::string& path) override;

private:
    const SEMailHeader& header_;
    const SComposeEditor& editor_;
};

// The sent copy made from the finished message file: moved into the folder
// (a temporary file of the compose window), or copied (a file the user named).
class SSaveSentMailFile : public SSaveMailFile {
public:
    enum class Mode { Move, Copy };
    SSaveSentMailFile(const std::string& messageFile, Mode mode, platform::ParentWindow owner = nullptr)
        : SSaveMailFile(owner), messageFile_(messageFile), mode_(mode) {}

protected:
    bool Write(const std::string& path) override;

private:
    std::string messageFile_;
    Mode mode_;
};

// The unsent mail: the draft header (SHalfwayHeader), the attachment record,
// the empty line, then the editor's text. A failed write shows qimstr::CannotSave.
class SSaveDraftMail : public SSaveMailFile {
public:
    SSaveDraftMail(const SEMailHeader& header, const SComposeEditor& editor, SAttachmentList attachments,
                   int mode, platform::ParentWindow owner = nullptr)
        : SSaveMailFile(owner), header_(header), editor_(editor), attachments_(std::move(attachments)), mode_(mode) {}

protected:
    bool Write(const std::string& path) override;

private:
    const SEMailHeader& header_;
    const SComposeEditor& editor_;
    SAttachmentList attachments_;  // a copy: the list may be a temporary
    int mode_;
};

// The sent copy of one send: nothing (and success) when the sent-mail folder
// property is off, else `writer` saves into its folder.
bool StoreSentCopy(const SSaveMailFolderProperty& fcc, SSaveMailFile& writer);

// The question after a draft was saved: qimstr::SavedInFolder "フォルダー %s に" (left out
// without a folder name), qimstr::DraftSaved, a line feed and qimstr::CloseThisWindow.
std::string DraftSavedQuestion(const std::string& folderName);
