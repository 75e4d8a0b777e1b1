// The message-file makers: from the compose window's header object, its
// editor lines and the attachment list they write the finished message into
// a temporary file (Shift_JIS, CR LF lines), ready for the SMTP send and the
// sent copy. A plain text message, or multipart/mixed with a text part and
// one base64 part per attached file.
#pragma once

#include <functional>
#include <string>

#include "config/SQimTmpFilePath.h"
#include "platform/DialogService.h"
#include "send/SAttachmentList.h"
#include "send/SComposeEditor.h"
#include "send/SEMailHeader.h"

class SMakeMimeMailFile {
public:
    SMakeMimeMailFile(SEMailMimeHeader& header, SComposeEditor& editor, platform::ParentWindow owner);
    virtual ~SMakeMimeMailFile() = default;
    SMakeMimeMailFile(const SMakeMimeMailFile&) = delete;
    SMakeMimeMailFile& operator=(const SMakeMimeMailFile&) = delete;

    // True when the file is complete; on failure the user was told and the
    // temporary file is gone.
    virtual bool Make() = 0;

    // The finished file; it is deleted when the maker goes unless taken over.
    const char* FilePath() { return file_.Path(); }
    STmpFilePath& MessageFile() { return file_; }
    const std::string& Boundary() const { return boundary_; }

    // "text/plain; charset=US-ASCII" when every editor line is ASCII, else
    // "text/plain; charset=ISO-2022-JP".
    static std::string TextContentType(const SComposeEditor& editor);

protected:
    // Builds the header and writes it with the empty line (create or truncate).
    bool WriteHeader();
    // Appends each editor line with CR LF.
    bool AppendEditorLines(FILE* fp);
    // Shows string `id` (stop icon), deletes the file; false.
    bool Fail(unsigned id);

    std::string boundary_;
    platform::ParentWindow owner_;
    bool encodeName_ = true;
    SEMailMimeHeader& header_;
    SComposeEditor& editor_;
    SQimTmpFilePath file_;
};

class SMakePlainTextMimeMail : public SMakeMimeMailFile {
public:
    using SMakeMimeMailFile::SMakeMimeMailFile;
    bool Make() override;
};

class SMakeMimeMail : public SMakeMimeMailFile {
public:
    // `attachments` null: a list of the maker's own, empty at first.
    SMakeMimeMail(SEMailMimeHeader& header, SComposeEditor& editor, SAttachmentList* attachments,
                  platform::ParentWindow owner);
    bool Make() override;

    SAttachmentList& Attachments() { return *attachments_; }
    // Told the path of each file as it is being encoded (the progress dialog).
    std::function<void(const std::string& path)> onEncoding;

private:
    bool WriteTextPart();
    bool WriteFilePart(const std::string& path);

    SAttachmentList ownList_;
    SAttachmentList* attachments_;
};

// Every send with attachments: chooses files when none are listed, asks about
// a large total, makes the multipart message and asks for the confirmation.
class SMakeBinaryMimeMail : public SMakeMimeMail {
public:
    using SMakeMimeMail::SMakeMimeMail;
    bool Make() override;

    // Told once files were chosen here (the compose window updates its list).
    std::function<void()> onAttachmentsChosen;
    // The size question (qimstr::AttachmentsLarge) and the final one (qimstr::SendWithAttachments); a
    // caller whose user has named the files on purpose (the command-line
    // tool) turns them off.
    bool askSize = true;
    bool confirm = true;
};
