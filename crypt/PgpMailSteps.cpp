#include "crypt/PgpMailSteps.h"

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/QimMessageBox.h"
#include "common/STmpFilePath.h"

namespace {

void ShowExclamation(platform::ParentWindow parent, unsigned id) {
    QimMessageBox(parent, LoadQimString(id).c_str(), platform::MessageIcon::Exclamation);
}

}  // namespace

bool UndoPgpForView(SUsePGP& pgp, platform::ParentWindow parent, std::string& workPath, STmpFilePath& decrypted,
                    STmpFilePath& verified) {
    if (!SUsePGP::HoldsPgpMessage(workPath.c_str())) return true;
    const char* first = decrypted.Path();
    if (!*first || !pgp.Perform(parent, SUsePGP::DecryptVerify, workPath.c_str(), first)) {
        // A signed message that does not verify is told as such, not as a decryption failure.
        ShowExclamation(parent, pgp.LastError() == PGPMSG_ERR_BAD_SIGNATURE ? qimstr::PgpVerifyFailed
                                                                             : qimstr::PgpDecryptFailed);
        return false;
    }
    workPath = first;
    if (!SUsePGP::HoldsPgpMessage(first)) return true;
    const char* second = verified.Path();
    if (!*second || !pgp.Perform(parent, SUsePGP::DecryptVerify, first, second)) {
        ShowExclamation(parent, qimstr::PgpVerifyFailed);
        return false;
    }
    workPath = second;
    return true;
}

bool ImportAttachedPgpKeys(SUsePGP& pgp, platform::ParentWindow parent, const char* mailPath) {
    if (!SUsePGP::HoldsPgpKey(mailPath)) {
        ShowExclamation(parent, qimstr::PgpNoAttachedKey);
        return false;
    }
    // The library imports what it finds; the copy it writes is not wanted.
    STmpFilePath output;
    if (!*output.Path() || !pgp.Perform(parent, SUsePGP::DecryptVerify, mailPath, output.Path())) {
        ShowExclamation(parent, qimstr::PgpKeyNotImported);
        return false;
    }
    QimMessageBox(parent, LoadQimString(qimstr::PgpKeyImported).c_str(), platform::MessageIcon::Information);
    return true;
}
