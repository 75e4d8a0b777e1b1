// The work of the key-file editor ("暗号化鍵の登録"), apart from its window:
// the records of the key file, adding, replacing and removing them with the
// questions the user answers, the lock method and the lookup setting, and
// saving all of it. The dialog (ui/) shows the list and forwards the buttons.
#pragma once

#include <string>
#include <vector>

#include "crypt/SKeyFile.h"
#include "crypt/SKeyFileSettings.h"
#include "platform/DialogService.h"

class SKeyFileEditor {
public:
    explicit SKeyFileEditor(std::string loginPassword, std::string keyFilePath = std::string());

    // Reads the settings and, when the key file exists, its records (asking
    // for its key under lock method 0). False, after a box that says why, when
    // the file cannot be read; the editor is not opened then.
    bool Load(platform::ParentWindow parent);

    const std::vector<SKeyRecord>& Records() const { return records_; }
    const SKeyFileSettings& Settings() const { return settings_; }
    void SetLock(int lock) { settings_.lock = lock; }
    void SetLooksUpKeys(bool on);

    // Adds the key of an address, or replaces it when the user agrees to
    // "同じアドレスが既に登録されています。入れ替えますか？". An empty address, an
    // empty key, a missing repetition or two different keys are told in a box.
    // True when the list changed.
    bool Add(platform::ParentWindow parent, const std::string& address, const std::string& key,
             const std::string& keyAgain);
    // Removes a record after "<address> の鍵登録を削除しますか？". True when removed.
    bool Remove(platform::ParentWindow parent, std::size_t index);
    bool Changed() const { return changed_; }

    // Writes the records with the key of the chosen lock method (asking for a
    // new typed key, twice, unless one is known for this method) and the
    // settings. False after "鍵管理ファイルに書き込みが出来ません。" or
    // "鍵管理ファイルのロック方法の保存が出来ません。", or when the key was not given.
    bool Save(platform::ParentWindow parent);

private:
    SKeyFile file_;
    std::string loginPassword_;
    SKeyFileSettings settings_;
    std::vector<SKeyRecord> records_;
    // The typed key the file was read with (lock method 0), reused on save.
    bool haveTypedKey_ = false;
    unsigned char typedKey_[kLokiKeySize] = {};
    bool changed_ = false;
};
