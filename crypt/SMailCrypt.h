// The program's own mail encryption as the compose window and the viewer use
// it: the key dialog, the cipher work and the messages the user sees.
//
// Compose window, qimcmd::SendEncrypted and SendAttachedEncrypted (after the message file is made):
//     SCryptContext ctx{...};
//     switch (EncryptMailForSend(ctx, toField, madeFile, encryptedFile)) ...
//   On Ok the header carries "X-Qim-Crypt-Version: 0.1" and the encrypted
//   file is what is sent; on Cancelled or Failed the box is already shown and
//   the compose window empties its crypt-version field again.
// Viewer, preparation step 3:
//     if (!UndoOwnEncryptionForView(ctx, workPath, decryptionOutput, wasEncrypted)) prepared = false;
#pragma once

#include <string>

#include "crypt/SCryptMailHeader.h"
#include "crypt/SMailKeyChooser.h"
#include "platform/DialogService.h"

class SCryptProgress;
class STmpFilePath;

struct SCryptContext {
    platform::ParentWindow parent = nullptr;
    SCryptKeyPrompt* prompt = nullptr;  // the key dialog (required)
    std::string loginPassword;          // for the key-file lock method 1
    SCryptProgress* progress = nullptr; // null: no progress window
    std::string tempDir;                // empty: the program's temporary folder
    std::string keyFilePath;            // empty: KeyFileB.cip in the home directory
};

enum class SCryptResult { Ok, Cancelled, Failed };

// The first address of a To field ("A <a@b>, c@d" gives a@b); empty when none.
std::string FirstAddress(const std::string& toField);

// Asks for the key in encrypt mode with the first address of `toField` and
// encrypts the body of `mailPath` into `outPath`. Shows "暗号化に失敗しました｡"
// on failure and "中止します。" when the user cancelled.
SCryptResult EncryptMailForSend(const SCryptContext& context, const std::string& toField, const char* mailPath,
                                const char* outPath);

// Whether the header of the mail says it is encrypted (the header read is
// given back when asked for).
bool IsEncryptedMail(const char* mailPath, SCryptMailHeader* header = nullptr);

// Decrypts an encrypted mail into `outPath`: "ヴァージョンが合いません。" for
// a version other than 0.1 with option 1; the key dialog with the sender's
// address; "平文化に失敗しました｡" when it or the decryption fails without
// being cancelled.
SCryptResult DecryptMailForView(const SCryptContext& context, const char* mailPath, const char* outPath);

// The viewer's step: when the work file is encrypted, decrypts it into
// `output` and makes that the work file. False (after "中止します。") when
// decryption did not succeed; true with the work file unchanged for a mail
// that is not encrypted.
bool UndoOwnEncryptionForView(const SCryptContext& context, std::string& workPath, STmpFilePath& output,
                              bool& wasEncrypted);
