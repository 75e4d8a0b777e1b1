// One IMAP4 command: the command word and its arguments, sent after the tag
// and ended by CR LF. A string argument goes bare when it is ASCII letters
// and digits only, else as a quoted string with \ and " escaped; one that a
// quoted string cannot carry (CR, LF, NUL, bytes above 0x7F) goes as a
// literal, so that no argument can end the line early and smuggle in a
// command of its own. A command with literals is sent in segments: each one
// after the server's "+" continuation.
#pragma once

#include <string>
#include <vector>

class SImap4Command {
public:
    explicit SImap4Command(const std::string& word) : word_(word), text_(word) {}

    // Appends `text` as it is (numbers, ranges, fixed syntax).
    SImap4Command& Raw(const std::string& text);
    // Appends a space and the string argument `value`.
    SImap4Command& Arg(const std::string& value);

    // The command word ("SELECT"), for the status line.
    const std::string& Word() const { return word_; }
    // The segments to send after `tag`, each with its CR LF: the first begins
    // with the tag; every one but the last ends with a literal's "{n}".
    std::vector<std::string> Segments(const char* tag) const;

    // The quoted form of `value`: bare when every byte is an ASCII letter or
    // digit, otherwise within double quotes with \ and " escaped ("" when empty).
    static std::string Quoted(const std::string& value);
    // Whether `value` cannot travel in a quoted string.
    static bool NeedsLiteral(const std::string& value);

private:
    std::string word_;
    std::string text_;                    // what goes before the first literal, or everything
    std::vector<std::string> literals_;   // the literal values, in order
    std::vector<std::string> afterEach_;  // the text after each literal
};
