// One displayed mail made ready for the viewer: PGP undone, the program's own
// encryption undone, the MIME structure analysed and, when the mail has
// attachments or encoded text, a display copy without the binary parts. The
// same object takes the attachments out and uudecodes the stored mail.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crypt/SMailCrypt.h"
#include "crypt/SSaveAttachMimeMail.h"
#include "platform/DialogService.h"

class STmpFilePath;
class SUsePGP;

// The dialog that opens before attachments are taken out: shows `text` (how
// many files are attached), offers the destination folder and the choice of
// saving everything without questions. False when cancelled.
class SAttachmentPrompt {
public:
    virtual ~SAttachmentPrompt() = default;
    virtual bool Choose(platform::ParentWindow parent, const std::string& text, std::string& destination,
                        bool& saveAll) = 0;
};

// One attached file of the mail on display, as the viewer lists it.
struct SAttachmentEntry {
    std::string name;  // Shift_JIS; empty when the part has none
    std::string type;  // "image/png"
    long size = 0;     // bytes once decoded (base64 reckoned from its text)
    std::size_t band = 0;  // the part among the analysis' bands
};

class SViewMailData {
public:
    explicit SViewMailData(platform::ParentWindow owner = nullptr);
    ~SViewMailData();
    SViewMailData(const SViewMailData&) = delete;
    SViewMailData& operator=(const SViewMailData&) = delete;

    // Folder for the temporary files; empty: the program's temporary folder.
    void SetTempDir(const std::string& dir) { tempDir_ = dir; }
    // The PGP bridge to use while bit 0 of the PGP usage is set; null: the
    // object opens one of its own when needed.
    void SetPgp(SUsePGP* pgp) { pgp_ = pgp; }
    // Key dialog and key file for the program's own encryption.
    void SetCryptContext(const SCryptContext& context) { crypt_ = context; }

    // Prepares the mail at `mailPath` (number and folder of the mail on
    // display, for the caller). Always leaves a display path: the last file
    // obtained when a step failed (after its box). False when a step failed.
    bool Prepare(const std::string& mailPath, int number = 0, const std::string& folder = std::string());
    // Lets the previous mail's objects and temporary files go.
    void Release();

    const std::string& MailPath() const { return mailPath_; }

    // The attached files (the parts TakeOutAttachments would save), in order.
    std::vector<SAttachmentEntry> Attachments() const;
    // Saves one of them with the same questions as TakeOutAttachments, into
    // the attachment folder; 1 when it was saved.
    int SaveAttachment(const SAttachmentEntry& entry, SAttachmentPrompt& prompt);
    const std::string& DisplayPath() const { return displayPath_; }
    // The mail with PGP and the program's encryption undone, before any
    // display copy: what the viewer reads its text from, in every charset.
    const std::string& TextPath() const { return textPath_; }
    bool HasAttachments() const { return hasAttachments_; }
    bool WasEncrypted() const { return wasEncrypted_; }
    bool Prepared() const { return prepared_; }
    int Number() const { return number_; }
    const std::string& Folder() const { return folder_; }
    SSaveAttachMimeMail* Distributed() const { return dist_.get(); }

    // Takes the attachments out (only when the mail has some): the question
    // beep, the prompt, then the walk over the parts; in save-all mode the
    // outcome is reported. Returns the number of files saved.
    int TakeOutAttachments(SAttachmentPrompt& prompt);
    // The hook the distributed mail gets for its decoding (the wait cursor).
    void SetBusyHook(std::function<void(bool)> hook) { busy_ = std::move(hook); }
    // Uudecodes the stored mail file; returns the number of files saved.
    int Uudecode();
    // Where attachments go unless the user picks another folder.
    std::string DefaultDestination() const;

private:
    void UndoPgp(std::string& work);
    void MakeDisplayCopy(std::string& work);
    std::unique_ptr<STmpFilePath> NewTmp() const;

    platform::ParentWindow owner_;
    std::unique_ptr<SSaveAttachMimeMail> dist_;
    std::unique_ptr<STmpFilePath> pgpOutput_;
    std::unique_ptr<STmpFilePath> pgpVerified_;
    std::unique_ptr<STmpFilePath> decryptionOutput_;
    std::unique_ptr<STmpFilePath> displayCopy_;
    std::string mailPath_;
    std::string displayPath_;
    std::string textPath_;
    bool hasAttachments_ = false;
    bool wasEncrypted_ = false;
    bool prepared_ = false;
    int number_ = 0;
    std::string folder_;

    std::string tempDir_;
    SUsePGP* pgp_ = nullptr;
    std::unique_ptr<SUsePGP> ownPgp_;
    SCryptContext crypt_;
    std::function<void(bool)> busy_;
};
