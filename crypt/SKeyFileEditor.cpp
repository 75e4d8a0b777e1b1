#include "crypt/SKeyFileEditor.h"

#include <cstring>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/CmmnStringIds.h"
#include "common/QimMessageBox.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

SKeyFileEditor::SKeyFileEditor(std::string loginPassword, std::string keyFilePath)
    : file_(keyFilePath.empty() ? SKeyFile::DefaultPath() : std::move(keyFilePath)),
      loginPassword_(std::move(loginPassword)) {}

bool SKeyFileEditor::Load(platform::ParentWindow parent) {
    settings_.Read();
    records_.clear();
    haveTypedKey_ = false;
    changed_ = false;
    if (!file_.Exists()) return true;
    unsigned char key[kLokiKeySize];
    if (GetKeyFileKey(parent, settings_.lock, loginPassword_, false, key) != SKeyFileKeyResult::Ok) return false;
    const SKeyFileStatus status = file_.Read(key, records_);
    if (status != SKeyFileStatus::Ok) {
        ShowCryptMessage(parent, KeyFileMessageId(status), MessageIcon::Stop);
        return false;
    }
    if (settings_.lock == qimcrypt::LockTyped) {
        std::memcpy(typedKey_, key, sizeof typedKey_);
        haveTypedKey_ = true;
    }
    return true;
}

void SKeyFileEditor::SetLooksUpKeys(bool on) {
    if (on) settings_.exist = qimcrypt::KeyFileLookup;
    else if (settings_.exist == qimcrypt::KeyFileLookup) settings_.exist = 0;
}

bool SKeyFileEditor::Add(platform::ParentWindow parent, const std::string& address, const std::string& key,
                         const std::string& keyAgain) {
    unsigned id = 0;
    if (address.empty()) id = cmmnstr::EnterAddress;
    else if (key.empty()) id = cmmnstr::EnterKey;
    else if (keyAgain.empty()) id = cmmnstr::EnterKeyAgain;
    else if (key != keyAgain) id = cmmnstr::KeysDiffer;
    if (id) {
        ShowCryptMessage(parent, id, MessageIcon::Exclamation);
        return false;
    }
    SKeyRecord record;
    record.SetAddress(address);
    MakeLokiKey(key, record.key);
    for (SKeyRecord& existing : records_) {
        if (!existing.HasAddress(address)) continue;
        if (QimMessageBox(parent, LoadQimString(qimstr::ReplaceKeyQuestion).c_str(), MessageIcon::Question,
                          MessageButtons::YesNo) != MessageAnswer::Yes)
            return false;
        std::memcpy(existing.key, record.key, sizeof record.key);
        changed_ = true;
        return true;
    }
    records_.push_back(record);
    changed_ = true;
    return true;
}

bool SKeyFileEditor::Remove(platform::ParentWindow parent, std::size_t index) {
    if (index >= records_.size()) return false;
    const std::string question = records_[index].Address() + LoadQimString(qimstr::DeleteKeyQuestion);
    if (QimMessageBox(parent, question.c_str(), MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    changed_ = true;
    return true;
}

bool SKeyFileEditor::Save(platform::ParentWindow parent) {
    unsigned char key[kLokiKeySize];
    if (settings_.lock == qimcrypt::LockTyped && haveTypedKey_) {
        std::memcpy(key, typedKey_, sizeof key);
    } else if (GetKeyFileKey(parent, settings_.lock, loginPassword_, true, key) != SKeyFileKeyResult::Ok) {
        return false;
    }
    if (file_.Write(key, records_) != SKeyFileStatus::Ok) {
        ShowCryptMessage(parent, cmmnstr::CannotWriteKeyFile, MessageIcon::Stop);
        return false;
    }
    if (settings_.lock == qimcrypt::LockTyped) {
        std::memcpy(typedKey_, key, sizeof typedKey_);
        haveTypedKey_ = true;
    }
    changed_ = false;
    if (!settings_.Write()) {
        ShowCryptMessage(parent, cmmnstr::CannotSaveKeyFileLock, MessageIcon::Stop);
        return false;
    }
    return true;
}
