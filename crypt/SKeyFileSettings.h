// The key-file settings "KeyFileLock" and "KeyFileExist" of section
// "CryptMail": read from CONFIG.INI, or from QIM.INI when CONFIG.INI has
// none; written to CONFIG.INI.
#pragma once

#include <string>

#include "crypt/CryptCodes.h"
#include "crypt/SLoki91.h"
#include "platform/DialogService.h"

class SKeyFileSettings {
public:
    int lock = qimcrypt::LockTyped;  // KeyFileLock: 0, 1 or 2
    int exist = 0;                   // KeyFileExist: 0, 1 or 2

    // Always true: values out of range read as 0.
    bool Read();
    // False when a value could not be stored.
    bool Write() const;

    bool LooksUpKeys() const { return exist == qimcrypt::KeyFileLookup; }
};

// The program's own key of lock method 2.
const unsigned char* BuiltInKeyFileKey();

enum class SKeyFileKeyResult { Ok, Cancelled, NoPassword };

// The key that protects the key file under `lock`: typed by the user (asked
// with "鍵管理ファイルの鍵を入力して下さい。"; with `confirm` a second time,
// and again while the two differ), the first 8 bytes of `loginPassword`
// ("ログインパスワードの設定がされていません。" when it is empty), or the
// built-in key.
SKeyFileKeyResult GetKeyFileKey(platform::ParentWindow parent, int lock, const std::string& loginPassword,
                                bool confirm, unsigned char key[kLokiKeySize]);

// A message of the common library's table as a box with caption "Qim".
void ShowCryptMessage(platform::ParentWindow parent, unsigned cmmnId, platform::MessageIcon icon);
