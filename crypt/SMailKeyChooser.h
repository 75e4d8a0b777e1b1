// What the key dialog of one mail does when OK is pressed, apart from the
// window: the key from the key file (looked up by the address) or as typed,
// typed twice when encrypting. The dialog shows the fields and calls Accept.
#pragma once

#include <string>
#include <vector>

#include "crypt/SKeyFileSettings.h"
#include "crypt/SLoki91.h"
#include "platform/DialogService.h"

// What the user entered in the key dialog.
struct SMailKeyEntry {
    std::string address;
    bool fromKeyFile = false;  // take the key of the address from the key file
    std::string key;
    std::string keyAgain;      // encrypt mode only
};

class SMailKeyChooser {
public:
    enum class Mode { Encrypt, Decrypt };
    enum class Outcome {
        Ok,       // `key` holds the key
        Retry,    // a box said what is missing; the dialog stays open
        TypeKey,  // the key file has no key for the address: it has to be typed
        Failed,   // the key file could not be used (a box said why); the dialog fails
    };

    SMailKeyChooser(Mode mode, const SKeyFileSettings& settings, std::string loginPassword,
                    std::string keyFilePath = std::string());

    Mode GetMode() const { return mode_; }
    // Whether keys are looked up in the key file (KeyFileExist is 1).
    bool OffersKeyFile() const { return settings_.LooksUpKeys(); }

    Outcome Accept(platform::ParentWindow parent, const SMailKeyEntry& entry, unsigned char key[kLokiKeySize]);

private:
    Outcome FromKeyFile(platform::ParentWindow parent, const std::string& address, unsigned char key[kLokiKeySize]);

    Mode mode_;
    SKeyFileSettings settings_;
    std::string loginPassword_;
    std::string keyFilePath_;
};

// The key dialog as the windows show it; tests and qimtool give scripted ones.
class SCryptKeyPrompt {
public:
    enum class Result { Ok, Cancelled, Failed };
    virtual ~SCryptKeyPrompt() = default;
    // Opens the dialog with `address` filled in and the key-file choice
    // preselected when the chooser offers it; OK goes through chooser.Accept.
    virtual Result AskMailKey(platform::ParentWindow parent, SMailKeyChooser& chooser, const std::string& address,
                              unsigned char key[kLokiKeySize]) = 0;
};

// Plays the given entries in order, as a user pressing OK after each; runs
// out as a cancel.
class SScriptedKeyPrompt : public SCryptKeyPrompt {
public:
    void Add(SMailKeyEntry entry) { entries_.push_back(std::move(entry)); }
    Result AskMailKey(platform::ParentWindow parent, SMailKeyChooser& chooser, const std::string& address,
                      unsigned char key[kLokiKeySize]) override;
    // The address each AskMailKey was opened with.
    const std::vector<std::string>& Opened() const { return opened_; }

private:
    std::vector<SMailKeyEntry> entries_;
    std::size_t next_ = 0;
    std::vector<std::string> opened_;
};
