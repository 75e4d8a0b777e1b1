// A mail folder to archive (Japanese subjects, a binary attachment, the
// header cache, and things that are not mails), and an observer that
// records what the archiving command reports and answers its name question.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "archive/SArchiveObserver.h"
#include "config/QimNotices.h"
#include "support/TestSupport.h"

namespace archivetest {

class RecordingObserver : public SArchiveObserver {
public:
    // nullopt: the user cancels; "": the default as it is.
    std::optional<std::string> answer = std::string();
    std::string askedWith;
    std::vector<std::string> notices;  // texts
    std::vector<std::string> events;
    int range = -1;
    int steps = 0;

    bool AskArchiveName(std::string& name) override {
        askedWith = name;
        if (!answer) return false;
        if (!answer->empty()) name = *answer;
        return true;
    }
    void Notify(const SNotice& notice) override { notices.push_back(NoticeText(notice)); }
    void BeginRun(const std::string& archive, int r) override {
        range = r;
        events.push_back("begin " + archive);
    }
    void ShowFirstLine(const std::string& text) override {
        if (events.empty() || events.back() != text) events.push_back(text);
    }
    void StepRun() override { ++steps; }
    void EndRun() override { events.push_back("end"); }
    void ShowStatus(const std::string& text) override { events.push_back(text); }
};

// A base64 body part of `bytes`, in lines of 72.
inline std::string Base64(const std::string& bytes) {
    static const char* const kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    int column = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[v & 63] : '=';
        if ((column += 4) == 72) {
            out += "\r\n";
            column = 0;
        }
    }
    return out + "\r\n";
}

// Mails 1..count (Shift_JIS subjects; mail 2 carries a binary attachment),
// by name; the caller writes them.
inline std::map<std::string, std::string> FolderMails(int count) {
    std::map<std::string, std::string> mails;
    for (int n = 1; n <= count; ++n) {
        std::string m = "To: b@example.jp\r\nFrom: a@example.jp\r\nSubject: " + qimtest::Sjis("会議の件 ") +
                        std::to_string(n) + "\r\nDate: Thu, 10 Dec 2026 13:15:00 +0900\r\n";
        if (n == 2) {
            std::string binary;
            for (int i = 0; i < 20000; ++i) binary.push_back(static_cast<char>((i * 7919 + i / 13) & 0xFF));
            m += "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
                 "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\nbody\r\n--b\r\n"
                 "Content-Type: application/octet-stream; name=\"a.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                 Base64(binary) + "--b--\r\n";
        } else {
            m += "\r\n" + qimtest::Sjis("本文です。") + "\r\n";
        }
        mails[std::to_string(n)] = m;
    }
    return mails;
}

}  // namespace archivetest
