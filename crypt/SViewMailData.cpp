#include "crypt/SViewMailData.h"

#include <cstdio>

#include "config/QimGlobals.h"
#include "config/SQimTmpFilePath.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/SMimeLineReader.h"
#include "common/QimMessageBox.h"
#include "crypt/PgpMailSteps.h"
#include "crypt/SUsePGP.h"
#include "crypt/SUudecode.h"

using platform::MessageIcon;

namespace {

// Bit 0 of the PGP usage flags: PGP is in use.
constexpr int kPgpInUse = 0x01;

}  // namespace

SViewMailData::SViewMailData(platform::ParentWindow owner) : owner_(owner) { crypt_.parent = owner; }

SViewMailData::~SViewMailData() { Release(); }

void SViewMailData::Release() {
    dist_.reset();
    pgpOutput_.reset();
    pgpVerified_.reset();
    decryptionOutput_.reset();
    displayCopy_.reset();
    displayPath_.clear();
    textPath_.clear();
    hasAttachments_ = false;
    wasEncrypted_ = false;
    prepared_ = false;
}

std::unique_ptr<STmpFilePath> SViewMailData::NewTmp() const {
    if (!tempDir_.empty()) return std::make_unique<STmpFilePath>(tempDir_.c_str());
    return std::make_unique<SQimTmpFilePath>();
}

bool SViewMailData::Prepare(const std::string& mailPath, int number, const std::string& folder) {
    Release();
    mailPath_ = mailPath;
    number_ = number;
    folder_ = folder;
    std::string work = mailPath;
    prepared_ = true;
    UndoPgp(work);

    decryptionOutput_ = NewTmp();
    if (crypt_.tempDir.empty()) crypt_.tempDir = tempDir_;
    if (!UndoOwnEncryptionForView(crypt_, work, *decryptionOutput_, wasEncrypted_)) {
        // The header of a mail still encrypted describes parts that are not
        // there: it is shown as stored, without a second box about its MIME.
        prepared_ = false;
        displayPath_ = work;
        textPath_ = work;
        return false;
    }

    textPath_ = work;
    MakeDisplayCopy(work);
    displayPath_ = work;
    return prepared_;
}

void SViewMailData::UndoPgp(std::string& work) {
    if (!(GetSettingData().pgpUsage & kPgpInUse)) return;
    SUsePGP* pgp = pgp_;
    if (!pgp) {
        if (!ownPgp_) ownPgp_ = std::make_unique<SUsePGP>();
        pgp = ownPgp_.get();
    }
    if (!pgp->Open(GetSettingData().pgpMajor, GetSettingData().pgpMinor, owner_)) return;
    pgpOutput_ = NewTmp();
    pgpVerified_ = NewTmp();
    if (!UndoPgpForView(*pgp, owner_, work, *pgpOutput_, *pgpVerified_)) prepared_ = false;
}

void SViewMailData::MakeDisplayCopy(std::string& work) {
    dist_ = std::make_unique<SSaveAttachMimeMail>(owner_, work.c_str());
    dist_->SetDestination(DefaultDestination());
    dist_->SetBusyHook(busy_);
    if (!dist_->AnalizeMimeMail()) {
        prepared_ = false;
        return;
    }
    const int binaries = dist_->BinaryPartCount(false);
    hasAttachments_ = binaries > 0;
    if (binaries == 0 && dist_->EncodedTextPlainUsJpPartCount() == 0) return;
    displayCopy_ = NewTmp();
    const std::unique_ptr<STmpFilePath> scratch = NewTmp();
    if (!displayCopy_->Path()[0] || !scratch->Path()[0]) return;
    if (dist_->MakeOmitBinaryFile(displayCopy_->Path(), scratch->Path())) work = displayCopy_->Path();
}

std::string SViewMailData::DefaultDestination() const {
    const std::string& chosen = GetSettingData().attachmentFolder;
    return chosen.empty() ? GetQimHome() : chosen;
}

int SViewMailData::TakeOutAttachments(SAttachmentPrompt& prompt) {
    if (!hasAttachments_ || !dist_) return 0;
    char text[256];
    std::snprintf(text, sizeof text, LoadStringCmmnDll(cmmnstr::AttachmentCount).c_str(),
                  dist_->BinaryPartCount(false));
    platform::Dialogs().Beep(platform::BeepKind::Question);
    std::string destination = dist_->Destination();
    bool saveAll = false;
    if (!prompt.Choose(owner_, text, destination, saveAll)) return 0;
    dist_->SetAsk(!saveAll);
    dist_->SetDestination(destination);
    dist_->ResetSaved();
    const bool walked = dist_->TakeBinaryFile(false);
    if (saveAll) {
        if (!walked) {
            QimMessageBox(owner_, LoadStringCmmnDll(cmmnstr::ExtractFailed).c_str(), MessageIcon::Exclamation);
        } else if (dist_->Saved() > 0) {
            const std::string format = LoadStringCmmnDll(cmmnstr::AttachmentsSaved);
            std::string message;
            message.resize(format.size() + destination.size() + 32);
            const int n = std::snprintf(message.data(), message.size(), format.c_str(), destination.c_str(),
                                        dist_->Saved());
            message.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
            QimMessageBox(owner_, message.c_str(), MessageIcon::Information);
        }
    }
    return dist_->Saved();
}

std::vector<SAttachmentEntry> SViewMailData::Attachments() const {
    std::vector<SAttachmentEntry> entries;
    if (!dist_) return entries;
    const std::vector<SDecodeBand>& bands = dist_->Bands();
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const SDecodeBand& band = bands[i];
        const bool encoded = band.part.encoding == kMimeEncodingBase64 || band.part.encoding == kMimeEncodingQuotedPrintable;
        if (!encoded || SDistMimeMail::IsTextPlainUsJp(band.part)) continue;
        SAttachmentEntry entry;
        entry.name = band.part.name;
        entry.type = SMimePart::TypeSubtypeStr(band.part, false);
        const long length = band.end - band.start;
        // Base64 carries three bytes in four characters, and line ends.
        entry.size = band.part.encoding == kMimeEncodingBase64 ? length * 3 / 4 * 72 / 74 : length;
        entry.band = i;
        entries.push_back(entry);
    }
    return entries;
}

int SViewMailData::SaveAttachment(const SAttachmentEntry& entry, SAttachmentPrompt& prompt) {
    if (!dist_ || entry.band >= dist_->Bands().size()) return 0;
    std::string destination = dist_->Destination();
    bool saveAll = false;
    char text[256];
    std::snprintf(text, sizeof text, LoadStringCmmnDll(cmmnstr::AttachmentCount).c_str(), 1);
    if (!prompt.Choose(owner_, text, destination, saveAll)) return 0;
    dist_->SetAsk(!saveAll);
    dist_->SetDestination(destination);
    dist_->ResetSaved();
    const SDecodeBand band = dist_->Bands()[entry.band];
    FILE* file = OpenMessageFile(dist_->Path().c_str());
    if (!file) {
        QimMessageBox(owner_, LoadStringCmmnDll(cmmnstr::CannotOpenFile).c_str(), MessageIcon::Stop);
        return 0;
    }
    dist_->CallEachAction(file, band.start, band.end, band.part);
    std::fclose(file);
    return dist_->Saved();
}

int SViewMailData::Uudecode() {
    if (mailPath_.empty()) return 0;
    SUudecode uudecode(owner_, DefaultDestination());
    uudecode.Run(mailPath_.c_str());
    return uudecode.Saved();
}
