// Small helpers for the store tests: mail files written into a folder.
#pragma once

#include <string>

#include "support/TestSupport.h"

namespace storetest {

// A mail with the given header values (Shift_JIS), CR LF line ends as on disk.
inline std::string Mail(const std::string& from, const std::string& subject, const std::string& date,
                        const std::string& to = "to@example.jp", const std::string& body = "body") {
    std::string m;
    if (!to.empty()) m += "To: " + to + "\r\n";
    if (!from.empty()) m += "From: " + from + "\r\n";
    if (!subject.empty()) m += "Subject: " + subject + "\r\n";
    if (!date.empty()) m += "Date: " + date + "\r\n";
    m += "\r\n" + body + "\r\n";
    return m;
}

inline void WriteMail(const qimtest::TempDir& dir, const std::string& name, const std::string& mail) {
    qimtest::WriteFileBytes(dir.File(name), mail);
}

}  // namespace storetest
