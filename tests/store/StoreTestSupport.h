// Small helpers for the store tests: the commands with scripted dialogs, mail
// files written into a folder, and the check that a folder's cache file says
// what its mail files say.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ScriptedDialogService.h"
#include "store/SMemCacheFolder.h"
#include "support/TestSupport.h"

namespace storetest {

// A command class with a scripted dialog service (also installed for the
// common library's own boxes), and the texts of the message boxes shown.
template <typename Commands>
struct CommandsFixture {
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scope{dialogs};
    Commands commands{dialogs};

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const platform::RecordedBox& b : dialogs.Boxes())
            if (b.kind == platform::RecordedBox::Kind::Message) texts.push_back(b.text);
        return texts;
    }
};

// A mail with the given header values (Shift_JIS), CR LF line ends as on disk.
inline std::string Mail(const std::string& subject, const std::string& date = "Thu, 10 Dec 2026 13:15:00 +0900",
                        const std::string& from = "a@example.jp", const std::string& to = "b@example.jp") {
    std::string m;
    if (!to.empty()) m += "To: " + to + "\r\n";
    if (!from.empty()) m += "From: " + from + "\r\n";
    if (!subject.empty()) m += "Subject: " + subject + "\r\n";
    if (!date.empty()) m += "Date: " + date + "\r\n";
    m += "\r\nbody\r\n";
    return m;
}

inline void WriteMail(const std::string& folder, int number, const std::string& mail) {
    qimtest::WriteFileBytes(folder + "/" + std::to_string(number), mail);
}

// "s" and the number: the subject WriteMails gives mail `n`.
inline std::string Subject(int n) {
    std::string s("s");
    s += std::to_string(n);
    return s;
}

// Mails named by `numbers`, each with the subject "s<number>".
inline void WriteMails(const std::string& folder, const std::vector<int>& numbers) {
    for (int n : numbers) WriteMail(folder, n, Mail(storetest::Subject(n)));
}

// The folder's cache file, read fresh, holds exactly one record per mail file
// and each record has that mail's own subject.
inline void ExpectCacheAgrees(const std::string& folder) {
    SQimCacheFolder plain(folder);
    SMemCacheFolder memory;
    memory.SetFolder(folder);
    std::vector<int> cached;
    for (const SQimMailData& r : memory.Records()) {
        cached.push_back(r.number);
        SHeaderData fromFile;
        ASSERT_TRUE(SQimCacheFolder::ReadHeaderData(memory.MailPath(r.number).c_str(), fromFile)) << r.number;
        EXPECT_EQ(r.header.subject, fromFile.subject) << "record of " << r.number << " in " << folder;
    }
    std::sort(cached.begin(), cached.end());
    EXPECT_EQ(cached, memory.MailNumbers()) << folder;
}

// Subjects of the mail files, by number ascending.
inline std::vector<std::string> SubjectsByNumber(const std::string& folder) {
    SQimFolder f(folder);
    std::vector<std::string> subjects;
    for (int n : f.MailNumbers()) {
        SHeaderData d;
        SQimCacheFolder::ReadHeaderData(f.MailPath(n).c_str(), d);
        subjects.push_back(d.subject);
    }
    return subjects;
}

}  // namespace storetest
