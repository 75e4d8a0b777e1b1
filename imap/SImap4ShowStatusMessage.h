// The session's status line and caption: the texts of the string table
// (Shift_JIS), "%s 実行中..." / "%s 成功" / "%s 終了" with the word of the
// command sent last. Texts of 255 bytes or more are not shown.
#pragma once

#include <string>

class SImap4Observer;

class SImap4ShowStatusMessage {
public:
    explicit SImap4ShowStatusMessage(SImap4Observer& observer) : observer_(observer) {}

    // A command goes out: its word is remembered and shown in the caption.
    void Running(const std::string& commandWord);
    // The reply to it: OK, or anything else.
    void Succeeded();
    void Ended();
    // A text of the string table, or any text, in the status line.
    void Status(unsigned id);
    void Status(const std::string& text);
    void Caption(const std::string& text);
    const std::string& CommandWord() const { return word_; }

private:
    std::string WithWord(unsigned id) const;

    SImap4Observer& observer_;
    std::string word_;
};
