#include "crypt/SMailKeyChooser.h"

#include <algorithm>

#include "common/CmmnStringIds.h"
#include "crypt/SKeyFile.h"

using platform::MessageIcon;

SMailKeyChooser::SMailKeyChooser(Mode mode, const SKeyFileSettings& settings, std::string loginPassword,
                                 std::string keyFilePath)
    : mode_(mode),
      settings_(settings),
      loginPassword_(std::move(loginPassword)),
      keyFilePath_(keyFilePath.empty() ? SKeyFile::DefaultPath() : std::move(keyFilePath)) {}

SMailKeyChooser::Outcome SMailKeyChooser::Accept(platform::ParentWindow parent, const SMailKeyEntry& entry,
                                                 unsigned char key[kLokiKeySize]) {
    if (entry.fromKeyFile && OffersKeyFile()) {
        if (entry.address.empty()) {
            ShowCryptMessage(parent, cmmnstr::EnterAddress, MessageIcon::Exclamation);
            return Outcome::Retry;
        }
        return FromKeyFile(parent, entry.address, key);
    }
    if (entry.key.empty()) {
        ShowCryptMessage(parent, cmmnstr::EnterKey, MessageIcon::Exclamation);
        return Outcome::Retry;
    }
    if (mode_ == Mode::Encrypt) {
        if (entry.keyAgain.empty()) {
            ShowCryptMessage(parent, cmmnstr::EnterKeyAgain, MessageIcon::Exclamation);
            return Outcome::Retry;
        }
        if (entry.keyAgain != entry.key) {
            ShowCryptMessage(parent, cmmnstr::KeysDiffer, MessageIcon::Exclamation);
            return Outcome::Retry;
        }
    }
    MakeLokiKey(entry.key, key);
    return Outcome::Ok;
}

SMailKeyChooser::Outcome SMailKeyChooser::FromKeyFile(platform::ParentWindow parent, const std::string& address,
                                                      unsigned char key[kLokiKeySize]) {
    unsigned char fileKey[kLokiKeySize];
    switch (GetKeyFileKey(parent, settings_.lock, loginPassword_, false, fileKey)) {
    case SKeyFileKeyResult::Ok: break;
    case SKeyFileKeyResult::Cancelled: return Outcome::Retry;
    case SKeyFileKeyResult::NoPassword: return Outcome::Failed;
    }
    SKeyRecord record;
    bool found = false;
    const SKeyFileStatus status = SKeyFile(keyFilePath_).Find(fileKey, address, record, found);
    if (status != SKeyFileStatus::Ok) {
        ShowCryptMessage(parent, KeyFileMessageId(status), MessageIcon::Stop);
        return Outcome::Failed;
    }
    if (!found) {
        ShowCryptMessage(parent, cmmnstr::EnterMailKey, MessageIcon::Exclamation);
        return Outcome::TypeKey;
    }
    std::copy(record.key, record.key + kLokiKeySize, key);
    return Outcome::Ok;
}

SCryptKeyPrompt::Result SScriptedKeyPrompt::AskMailKey(platform::ParentWindow parent, SMailKeyChooser& chooser,
                                                       const std::string& address, unsigned char key[kLokiKeySize]) {
    opened_.push_back(address);
    while (next_ < entries_.size()) {
        switch (chooser.Accept(parent, entries_[next_++], key)) {
        case SMailKeyChooser::Outcome::Ok: return Result::Ok;
        case SMailKeyChooser::Outcome::Failed: return Result::Failed;
        case SMailKeyChooser::Outcome::Retry:
        case SMailKeyChooser::Outcome::TypeKey: break;
        }
    }
    return Result::Cancelled;
}
