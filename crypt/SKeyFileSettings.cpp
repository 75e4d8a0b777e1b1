#include "crypt/SKeyFileSettings.h"

#include "config/SQimProfile.h"
#include "common/CmmnStringIds.h"
#include "common/AppNames.h"
#include "common/CmmnStrings.h"
#include "common/QimMessageBox.h"

namespace {

int InRange(int value) { return value >= 0 && value <= 2 ? value : 0; }

// 8 bytes of this program's own; a key file locked with method 2 by another
// value cannot be opened with it.
constexpr unsigned char kBuiltInKey[kLokiKeySize] = {'Q', 'i', 'm', 0x4B, 0x65, 0x79, 0x46, 0xB2};

// A text typed into a password box; false on cancel.
bool AskHidden(platform::ParentWindow parent, unsigned promptId, std::string& text) {
    platform::InputBoxRequest request;
    request.parent = parent;
    request.caption = GetAppName();
    request.prompt = LoadStringCmmnDll(promptId);
    request.password = true;
    text.clear();
    return platform::Dialogs().InputBox(request, text);
}

}  // namespace

bool SKeyFileSettings::Read() {
    SConfigProfile config(qimcrypt::Section);
    lock = InRange(config.GetInt(qimcrypt::KeyFileLock, 0));
    exist = InRange(config.GetInt(qimcrypt::KeyFileExist, 0));
    if (lock == 0 && exist == 0) {
        SQimProfile qim(qimcrypt::Section);
        lock = InRange(qim.GetInt(qimcrypt::KeyFileLock, 0));
        exist = InRange(qim.GetInt(qimcrypt::KeyFileExist, 0));
    }
    return true;
}

bool SKeyFileSettings::Write() const {
    SConfigProfile config(qimcrypt::Section);
    const bool lockOk = config.WriteInt(qimcrypt::KeyFileLock, lock);
    const bool existOk = config.WriteInt(qimcrypt::KeyFileExist, exist);
    return lockOk && existOk;
}

const unsigned char* BuiltInKeyFileKey() { return kBuiltInKey; }

void ShowCryptMessage(platform::ParentWindow parent, unsigned cmmnId, platform::MessageIcon icon) {
    QimMessageBox(parent, LoadStringCmmnDll(cmmnId).c_str(), icon);
}

SKeyFileKeyResult GetKeyFileKey(platform::ParentWindow parent, int lock, const std::string& loginPassword,
                                bool confirm, unsigned char key[kLokiKeySize]) {
    if (lock == qimcrypt::LockBuiltIn) {
        MakeLokiKey(std::string(reinterpret_cast<const char*>(kBuiltInKey), kLokiKeySize), key);
        return SKeyFileKeyResult::Ok;
    }
    if (lock == qimcrypt::LockPassword) {
        if (loginPassword.empty()) {
            ShowCryptMessage(parent, cmmnstr::NoLoginPassword, platform::MessageIcon::Stop);
            return SKeyFileKeyResult::NoPassword;
        }
        MakeLokiKey(loginPassword, key);
        return SKeyFileKeyResult::Ok;
    }
    for (;;) {
        std::string typed;
        if (!AskHidden(parent, cmmnstr::EnterKeyFileKey, typed)) return SKeyFileKeyResult::Cancelled;
        if (typed.empty()) {
            ShowCryptMessage(parent, cmmnstr::EnterKey, platform::MessageIcon::Exclamation);
            continue;
        }
        if (confirm) {
            std::string again;
            if (!AskHidden(parent, cmmnstr::EnterKeyAgain, again)) return SKeyFileKeyResult::Cancelled;
            if (again != typed) {
                ShowCryptMessage(parent, cmmnstr::KeysDiffer, platform::MessageIcon::Exclamation);
                continue;
            }
        }
        MakeLokiKey(typed, key);
        return SKeyFileKeyResult::Ok;
    }
}
