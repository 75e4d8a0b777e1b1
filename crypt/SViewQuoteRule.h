// Which lines of a shown mail are quoted text (drawn in the quote font): a
// line is quoted when one of the prefixes of "PrefixList" starts within its
// first "PrefixLimit" characters ("> text", ">> text", "名前> text").
#pragma once

#include <string>
#include <vector>

class SViewQuoteRule {
public:
    SViewQuoteRule();  // the defaults: ">,＞" and 5

    // "PrefixList" and "PrefixLimit" of CONFIG.INI, section Font (beside the
    // quote font); the defaults for what is missing.
    void Read();
    // Prefixes separated by commas (empty items are dropped).
    void SetPrefixList(const std::string& list);
    void SetLimit(int limit) { limit_ = limit < 0 ? 0 : limit; }

    // `line` is Shift_JIS, without its line end.
    bool IsQuoted(const std::string& line) const;
    // How deep a quoted line is quoted (0 for a line that is not).
    int Level(const std::string& line) const;

    const std::vector<std::string>& Prefixes() const { return prefixes_; }
    int Limit() const { return limit_; }

    static constexpr int kDefaultLimit = 5;
    static const char* DefaultList();  // ">,＞" in Shift_JIS

private:
    std::vector<std::string> prefixes_;
    int limit_ = kDefaultLimit;
};
