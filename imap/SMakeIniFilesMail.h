// The settings mail "INI Files": a multipart mail made by the composer, from
// the user's own address to the same address, with one attachment per
// settings file (SIniFilesList) and a short text that names them.
#pragma once

#include <string>
#include <vector>

#include "common/SNotice.h"
#include "imap/SIniFilesList.h"

class SMakeIniFilesMail {
public:
    // `place`: the INIFilesPlace bits; `mailAddress`: the user's (MailAddr).
    SMakeIniFilesMail(int place, const std::string& mailAddress) : list_(place), address_(mailAddress) {}

    // Writes the mail into `path`, replacing what it held. False after the
    // notices that say why (a file list that cannot be made); a failure of
    // the composer itself was shown by the composer. List files the mail
    // cannot carry are told as notices and the mail is made without them.
    bool Make(const std::string& path);

    const SIniFilesList& List() const { return list_; }
    std::vector<SNotice> TakeNotices();

private:
    SIniFilesList list_;
    std::string address_;
    std::vector<SNotice> notices_;
};

// Copies `from` over `to` (written beside it first, then put in its place in
// one step). False when a read or a write failed; `to` is then unchanged.
bool CopyFileOver(const std::string& from, const std::string& to);
