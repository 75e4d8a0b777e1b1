#include "crypt/SMailCrypt.h"

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/CmmnStringIds.h"
#include "common/QimMessageBox.h"
#include "common/STmpFilePath.h"
#include "crypt/CryptCodes.h"
#include "crypt/SLoki91Mime.h"

using platform::MessageIcon;

namespace {

void ShowQimMessage(platform::ParentWindow parent, unsigned id, MessageIcon icon) {
    QimMessageBox(parent, LoadQimString(id).c_str(), icon);
}

SCryptResult AskKey(const SCryptContext& context, SMailKeyChooser::Mode mode, const std::string& address,
                    unsigned char key[kLokiKeySize]) {
    if (!context.prompt) return SCryptResult::Failed;
    SKeyFileSettings settings;
    settings.Read();
    SMailKeyChooser chooser(mode, settings, context.loginPassword, context.keyFilePath);
    switch (context.prompt->AskMailKey(context.parent, chooser, address, key)) {
    case SCryptKeyPrompt::Result::Ok: return SCryptResult::Ok;
    case SCryptKeyPrompt::Result::Cancelled: return SCryptResult::Cancelled;
    case SCryptKeyPrompt::Result::Failed: break;
    }
    return SCryptResult::Failed;
}

}  // namespace

std::string FirstAddress(const std::string& toField) {
    // The first element up to a comma outside quotes, angle brackets and comments.
    bool quoted = false;
    int angle = 0, paren = 0;
    std::size_t end = 0;
    for (; end < toField.size(); ++end) {
        const char c = toField[end];
        if (c == '\\' && end + 1 < toField.size()) {
            ++end;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == '<') ++angle;
            else if (c == '>' && angle > 0) --angle;
            else if (c == '(') ++paren;
            else if (c == ')' && paren > 0) --paren;
            else if (c == ',' && angle == 0 && paren == 0) break;
        }
    }
    return BareAddress(toField.substr(0, end));
}

SCryptResult EncryptMailForSend(const SCryptContext& context, const std::string& toField, const char* mailPath,
                                const char* outPath) {
    unsigned char key[kLokiKeySize];
    SCryptResult result = AskKey(context, SMailKeyChooser::Mode::Encrypt, FirstAddress(toField), key);
    if (result == SCryptResult::Ok) {
        SLoki91Mime cipher(key, context.tempDir);
        cipher.SetProgress(context.progress, LoadQimString(qimstr::Encrypting));
        if (!cipher.EncryptMail(mailPath, outPath, qimcrypt::ExtraHeader)) result = SCryptResult::Failed;
    }
    if (result == SCryptResult::Cancelled) ShowQimMessage(context.parent, qimstr::Aborting, MessageIcon::Exclamation);
    if (result == SCryptResult::Failed) ShowQimMessage(context.parent, qimstr::EncryptFailed, MessageIcon::Stop);
    return result;
}

bool IsEncryptedMail(const char* mailPath, SCryptMailHeader* header) {
    SCryptMailHeader read;
    const bool encrypted = read.Read(mailPath) && read.IsValid();
    if (header) *header = read;
    return encrypted;
}

SCryptResult DecryptMailForView(const SCryptContext& context, const char* mailPath, const char* outPath) {
    SCryptMailHeader header;
    if (!header.Read(mailPath)) {
        ShowCryptMessage(context.parent, cmmnstr::DecryptFailed, MessageIcon::Stop);
        return SCryptResult::Failed;
    }
    if (!header.IsSupported()) {
        ShowCryptMessage(context.parent, cmmnstr::VersionMismatch, MessageIcon::Exclamation);
        return SCryptResult::Failed;
    }
    unsigned char key[kLokiKeySize];
    SCryptResult result = AskKey(context, SMailKeyChooser::Mode::Decrypt, header.from, key);
    if (result == SCryptResult::Ok) {
        SLoki91Mime cipher(key, context.tempDir);
        cipher.SetProgress(context.progress, LoadQimString(qimstr::Decrypting));
        if (!cipher.DecryptMail(mailPath, outPath)) result = SCryptResult::Failed;
    }
    if (result == SCryptResult::Failed) ShowCryptMessage(context.parent, cmmnstr::DecryptFailed, MessageIcon::Stop);
    return result;
}

bool UndoOwnEncryptionForView(const SCryptContext& context, std::string& workPath, STmpFilePath& output,
                              bool& wasEncrypted) {
    wasEncrypted = false;
    if (!IsEncryptedMail(workPath.c_str())) return true;
    wasEncrypted = true;
    const char* out = output.Path();
    if (*out && DecryptMailForView(context, workPath.c_str(), out) == SCryptResult::Ok) {
        workPath = out;
        return true;
    }
    ShowQimMessage(context.parent, qimstr::Aborting, MessageIcon::Exclamation);
    return false;
}
