// The settings mail fetched from the server, taken apart into the settings
// files it carries. Its attachments are first decoded beside their targets;
// only when every name is one of the settings files the program writes do
// they replace the files, each in one step. A mail with any other name (a
// path, "..", a mail's number, a name the settings do not know) restores
// nothing: every such name is reported and the local files stay as they were.
// The key file comes back only with kIniWithKeyFile (and read-only), QIM.INI
// only with kIniWithMainFile; without them they are passed over silently.
#pragma once

#include <string>
#include <vector>

#include "common/SDistMimeMail.h"

class SDecodeIniFilesMail : public SDistMimeMail {
public:
    // `place`: the INIFilesPlace bits.
    SDecodeIniFilesMail(const char* path, int place);
    ~SDecodeIniFilesMail() override;
    SDecodeIniFilesMail(const SDecodeIniFilesMail&) = delete;
    SDecodeIniFilesMail& operator=(const SDecodeIniFilesMail&) = delete;

    // Restores the files. True when at least one file was restored and
    // nothing went wrong; false after the notices (TakeNotices) that say why,
    // or without one when the mail carries no settings file.
    bool Restore();

    // Decodes one attachment beside the file it is to replace.
    bool ActionPart(FILE* file, long start, long end, const SMimePart& part) override;

    // The names of the files replaced, in the mail's order.
    const std::vector<std::string>& Restored() const { return restored_; }
    // The mail held a key file (or QIM.INI) that the options kept out.
    bool KeyFilePassedOver() const { return keyPassedOver_; }
    bool MainFilePassedOver() const { return mainPassedOver_; }

    // At most this many files come from one mail; a mail with more is damaged.
    static constexpr std::size_t kMaxFiles = 1000;

private:
    struct Staged {
        std::string name;
        std::string target;
        std::string temporary;
    };

    bool Accepted(const Staged& staged, const std::vector<std::string>& listFiles) const;
    bool Commit();
    void DropStaged();

    int place_;
    std::vector<Staged> staged_;
    std::vector<std::string> refused_;
    std::vector<std::string> restored_;
    bool keyPassedOver_ = false;
    bool mainPassedOver_ = false;
};
