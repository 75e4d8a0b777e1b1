// The viewer's PGP step before MIME analysis: decrypt a mail that holds PGP
// armour, then verify the result when it again holds armour.
//
// Compose window: after the message file is made,
//     pgp.Perform(window, SUsePGP::Encrypt /* Sign, EncryptSign, AttachKey */, made, output)
// and send `output`; on false pgp.LastError() holds the library's result.
#pragma once

#include <string>

#include "crypt/SUsePGP.h"

class STmpFilePath;

// When `workPath` holds a PGP message: decrypts it into `decrypted` and makes
// that the work file; when that holds a PGP message again, verifies it into
// `verified` and makes that the work file. A failed decryption shows
// "復号できませんでした。" (or "照合できませんでした。" when the library says a
// signature does not verify), a failed verification "照合できませんでした。",
// with the exclamation icon; false then, and `workPath` is the last text
// obtained. True with nothing done for a mail without PGP armour.
bool UndoPgpForView(SUsePGP& pgp, platform::ParentWindow parent, std::string& workPath, STmpFilePath& decrypted,
                    STmpFilePath& verified);

// Takes the public keys attached to a mail into the user's keyring and says
// how it went; false when the mail holds no key or the library refused it.
bool ImportAttachedPgpKeys(SUsePGP& pgp, platform::ParentWindow parent, const char* mailPath);
