// A home directory with mail folders for the sorting tests: mails written
// with the header lines a rule looks at, and a look at which mails each
// folder holds afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/SAutoMoveFilesData.h"
#include "platform/FileSystem.h"
#include "store/SQimCacheFolder.h"
#include "tests/app/AppTestSupport.h"
#include "tests/store/StoreTestSupport.h"

namespace sorttest {

// A mail whose header has these lines (Shift_JIS or ASCII, without line
// ends) before a Date and a body naming `tag`, so it can be told wherever
// it ends up.
inline std::string MailWith(const std::vector<std::string>& lines, const std::string& tag) {
    std::string mail;
    for (const std::string& line : lines) mail.append(line).append("\r\n");
    mail.append("Date: Thu, 10 Dec 2026 13:15:00 +0900\r\n\r\n").append(tag).append("\r\n");
    return mail;
}

class SortHome : public qimtest::QimHomeTest {
protected:
    std::string Folder(const std::string& name) const { return name.empty() ? home_ : home_ + "/" + name; }
    void MakeFolder(const std::string& name) const { ASSERT_TRUE(platform::CreateDirectory(Folder(name).c_str())); }
    // Mail `tag` into the next number of `folder` (its cache follows).
    void Put(const std::string& folder, const std::string& tag, const std::vector<std::string>& lines) const {
        SQimCacheFolder box(Folder(folder));
        const int number = box.LastNumber() + 1;
        storetest::WriteMail(Folder(folder), number, MailWith(lines, tag));
        box.AppendRecord(number);
    }
    // The tags of the mails of `folder`, by number.
    std::vector<std::string> Tags(const std::string& folder) const {
        SQimFolder box(Folder(folder));
        std::vector<std::string> tags;
        for (int n : box.MailNumbers()) {
            const std::string mail = qimtest::ReadFileBytes(box.MailPath(n));
            const std::size_t body = mail.find("\r\n\r\n");
            tags.push_back(body == std::string::npos ? std::string() : mail.substr(body + 4, mail.size() - body - 6));
        }
        return tags;
    }
    static SAutoMoveFilesData Rule(int type, const std::string& pattern, const std::string& destination,
                                   const std::string& field = std::string()) {
        SAutoMoveFilesData rule;
        rule.headerType = type;
        rule.pattern = pattern;
        rule.destination = destination;
        rule.fieldName = field;
        rule.option = {false, false, false};  // anywhere, case ignored
        return rule;
    }
};

}  // namespace sorttest
